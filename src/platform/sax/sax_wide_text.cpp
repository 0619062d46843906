#include "platform/sax/sax_wide_text.h"

#include "foundation/utf8.h"

#include <cstdint>
#include <cstring>

namespace ZVXML {
namespace platform {

void AssignUtf8(const unsigned char* text, std::size_t size, std::wstring& out)
{
    out.clear();
    AppendUtf8AsWide(reinterpret_cast<const char*>(text), size, out);
}

bool WideEqualsUtf8(const wchar_t* wide, const unsigned char* utf8)
{
    if constexpr (sizeof(wchar_t) < 4) {
        std::wstring converted;
        AssignUtf8(utf8, std::strlen(reinterpret_cast<const char*>(utf8)), converted);
        return converted == wide;
    }
    std::size_t i = 0;
    while (*utf8 != 0) {
        if (*utf8 < 0x80) { // names are mostly ASCII: no decoding call
            if (static_cast<std::uint32_t>(wide[i]) != *utf8) {
                return false;
            }
            ++utf8;
            ++i;
            continue;
        }
        char32_t cp;
        // The terminating NUL is not a continuation byte, so decoding stops
        // at it: a bound of 4 reads nothing beyond the text.
        utf8 += DecodeUtf8Char(utf8, 4, cp);
        if (static_cast<char32_t>(wide[i]) != cp) {
            return false;
        }
        ++i;
    }
    return wide[i] == 0;
}

std::size_t NormalizeLineEnds(wchar_t* text, std::size_t length, bool& afterCr)
{
    const bool endsWithCr = length > 0 && text[length - 1] == L'\r';
    std::size_t from = 0;
    if (afterCr && length > 0 && text[0] == L'\n') {
        from = 1;
    }
    std::size_t to = 0;
    for (; from < length; ++from) {
        const wchar_t c = text[from];
        if (c != L'\r') {
            text[to++] = c;
            continue;
        }
        text[to++] = L'\n';
        if (from + 1 < length && text[from + 1] == L'\n') {
            ++from;
        }
    }
    afterCr = endsWithCr;
    return to;
}

wchar_t* SaxTextBuffer::Convert(const unsigned char* text, std::size_t size, std::size_t& length)
{
    if (m_chars.size() < size) {
        m_chars.resize(size);
    }
    length = DecodeUtf8(text, size, m_chars.data());
    return m_chars.data();
}

} // namespace platform
} // namespace ZVXML
