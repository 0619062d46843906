#include "platform/sax_wide_text.h"

#include <cstdint>
#include <cstring>

namespace ZVXML {
namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the character starting with a byte >= 0x80 at text[0..size) and
// returns the bytes it used (at least one).
std::size_t DecodeMultiByte(const unsigned char* text, std::size_t size, char32_t& out)
{
    const unsigned char lead = text[0];
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2; value = lead & 0x1F; minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3; value = lead & 0x0F; minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4; value = lead & 0x07; minimum = 0x10000;
    } else {
        out = kReplacement;
        return 1;
    }
    std::size_t used = 1;
    for (; used < length; ++used) {
        if (used >= size || !IsContinuation(text[used])) {
            out = kReplacement;
            return used;
        }
        value = (value << 6) | (text[used] & 0x3F);
    }
    const bool valid = value >= minimum && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    out = valid ? value : kReplacement;
    return used;
}

// Writes one character; two UTF-16 halves where wchar_t is 16 bits wide
// (a 4-byte sequence, so the output never outgrows the input).
std::size_t Put(char32_t cp, wchar_t* out)
{
    if constexpr (sizeof(wchar_t) < 4) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
            out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return 2;
        }
    }
    out[0] = static_cast<wchar_t>(cp);
    return 1;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

} // namespace

std::size_t DecodeUtf8(const unsigned char* text, std::size_t size, wchar_t* out)
{
    std::size_t in = 0;
    std::size_t written = 0;
    while (in < size) {
        // Eight ASCII bytes at a time: the common case of markup text.
        while (in + 8 <= size) {
            std::uint64_t block;
            std::memcpy(&block, text + in, sizeof block);
            if ((block & kHighBits) != 0) {
                break;
            }
            for (std::size_t k = 0; k < 8; ++k) {
                out[written + k] = static_cast<wchar_t>(text[in + k]);
            }
            in += 8;
            written += 8;
        }
        while (in < size && text[in] < 0x80) {
            out[written++] = static_cast<wchar_t>(text[in++]);
        }
        if (in < size) {
            char32_t cp;
            in += DecodeMultiByte(text + in, size - in, cp);
            written += Put(cp, out + written);
        }
    }
    return written;
}

void AssignUtf8(const unsigned char* text, std::size_t size, std::wstring& out)
{
    out.resize(size);
    out.resize(DecodeUtf8(text, size, out.data()));
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
        char32_t cp = *utf8;
        if (cp < 0x80) {
            ++utf8;
        } else {
            // The terminating NUL is not a continuation byte, so decoding
            // stops at it: a bound of 4 reads nothing beyond the text.
            utf8 += DecodeMultiByte(utf8, 4, cp);
        }
        if (static_cast<char32_t>(wide[i]) != cp) {
            return false;
        }
        ++i;
    }
    return wide[i] == 0;
}

const wchar_t* SaxTextBuffer::Convert(const unsigned char* text, std::size_t size, std::size_t& length)
{
    if (m_chars.size() < size) {
        m_chars.resize(size);
    }
    length = DecodeUtf8(text, size, m_chars.data());
    return m_chars.data();
}

} // namespace platform
} // namespace ZVXML
