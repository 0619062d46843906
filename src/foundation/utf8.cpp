#include "foundation/utf8.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace ZVXML {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one character at text[0..size) (size > 0) and returns the number of
// bytes it used; an invalid sequence uses at least one byte and gives U+FFFD.
std::size_t DecodeOne(const unsigned char* text, std::size_t size, char32_t& out)
{
    const unsigned char lead = text[0];
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
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
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        out = kReplacement;
        return used;
    }
    out = value;
    return used;
}

void AppendCodePoint(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

void AppendUtf8AsWide(const char* text, std::size_t size, std::wstring& out)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    out.reserve(out.size() + size);
    while (i < size) {
        // Runs of ASCII are the common case in markup and names.
        std::size_t start = i;
        while (i < size && bytes[i] < 0x80) {
            ++i;
        }
        if (i > start) {
            out.append(bytes + start, bytes + i);
        }
        if (i >= size) {
            break;
        }
        char32_t cp;
        i += DecodeOne(bytes + i, size - i, cp);
        if constexpr (sizeof(wchar_t) >= 4) {
            out.push_back(static_cast<wchar_t>(cp));
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    }
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    AppendUtf8AsWide(text.data(), text.size(), out);
    return out;
}

std::wstring Utf8ToWide(const char* text)
{
    if (text == nullptr) {
        return std::wstring();
    }
    return Utf8ToWide(std::string_view(text, std::strlen(text)));
}

void AppendWideAsUtf8(const wchar_t* text, std::size_t size, std::string& out)
{
    out.reserve(out.size() + size);
    for (std::size_t i = 0; i < size; ++i) {
        char32_t cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size) {
            char32_t low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            cp = kReplacement;
        }
        AppendCodePoint(cp, out);
    }
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    AppendWideAsUtf8(text.data(), text.size(), out);
    return out;
}

} // namespace ZVXML
