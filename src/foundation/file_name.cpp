#include "foundation/file_name.h"

#include "foundation/xml_characters.h"

#include <type_traits>

namespace ZVXML {
namespace {

char32_t CodeAt(std::wstring_view text, std::size_t i)
{
    return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
}

} // namespace

std::wstring FileNameProblem(std::wstring_view path)
{
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char32_t c = CodeAt(path, i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && CodeAt(path, i + 1) >= 0xDC00 &&
            CodeAt(path, i + 1) <= 0xDFFF) {
            ++i; // a pair is one character
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            return L"its name holds " + CharacterCodeText(c) + L", which no file name can hold";
        }
    }
    return std::wstring();
}

} // namespace ZVXML
