#include "foundation/xml_characters.h"

#include <type_traits>

namespace ZVXML {

bool FindNonXmlCharacter(const wchar_t* text, std::size_t length, char32_t& found)
{
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = static_cast<std::make_unsigned_t<wchar_t>>(text[i]);
        if (c >= 0x20 && c < 0xD800) {
            continue; // the common case, tested first
        }
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                ++i; // a pair: one character above U+FFFF
                continue;
            }
        }
        if (!IsXmlCharacter(c)) {
            found = c;
            return true;
        }
    }
    return false;
}

std::wstring CharacterCodeText(char32_t c)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (unsigned long value = c; value != 0 || hex.size() < 4; value >>= 4) {
        hex.insert(hex.begin(), digits[value & 0xF]);
    }
    return L"U+" + hex;
}

} // namespace ZVXML
