#include "foundation/utf8.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ZVXML {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Writes one character; two UTF-16 halves where wchar_t is 16 bits wide (a
// 4-byte sequence, so the output never outgrows the input).
std::size_t PutWide(char32_t cp, wchar_t* out)
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

// Widens leading ASCII bytes sixteen at a time (four stores of four wide
// characters) where the processor has the instructions; returns how many
// bytes it took, a multiple of sixteen, stopping before any other byte.
std::size_t WidenAsciiBlocks(const unsigned char* text, std::size_t size, wchar_t* out)
{
    std::size_t done = 0;
#if defined(__SSE2__)
    if constexpr (sizeof(wchar_t) == 4) {
        const __m128i zero = _mm_setzero_si128();
        while (done + 16 <= size) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + done));
            if (_mm_movemask_epi8(bytes) != 0) {
                break;
            }
            const __m128i low = _mm_unpacklo_epi8(bytes, zero);
            const __m128i high = _mm_unpackhi_epi8(bytes, zero);
            __m128i* target = reinterpret_cast<__m128i*>(out + done);
            _mm_storeu_si128(target, _mm_unpacklo_epi16(low, zero));
            _mm_storeu_si128(target + 1, _mm_unpackhi_epi16(low, zero));
            _mm_storeu_si128(target + 2, _mm_unpacklo_epi16(high, zero));
            _mm_storeu_si128(target + 3, _mm_unpackhi_epi16(high, zero));
            done += 16;
        }
    }
#else
    (void)text;
    (void)size;
    (void)out;
#endif
    return done;
}

} // namespace

std::size_t DecodeUtf8Char(const unsigned char* text, std::size_t size, char32_t& out)
{
    const unsigned char lead = text[0];
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
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

std::size_t DecodeUtf8(const unsigned char* text, std::size_t size, wchar_t* out)
{
    std::size_t in = 0;
    std::size_t written = 0;
    while (in < size) {
        // Runs of ASCII are the common case of texts and names.
        const std::size_t widened = WidenAsciiBlocks(text + in, size - in, out + written);
        in += widened;
        written += widened;
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
            in += DecodeUtf8Char(text + in, size - in, cp);
            written += PutWide(cp, out + written);
        }
    }
    return written;
}

void AppendUtf8AsWide(const char* text, std::size_t size, std::wstring& out)
{
    const std::size_t start = out.size();
    out.resize(start + size);
    out.resize(start + DecodeUtf8(reinterpret_cast<const unsigned char*>(text), size, out.data() + start));
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

std::size_t Utf8Length(std::wstring_view text)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (cp < 0x80) {
            bytes += 1;
        } else if (cp < 0x800) {
            bytes += 2;
        } else if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            bytes += 4; // a pair of halves joined into one character
            ++i;
        } else if (cp < 0x10000 || cp > 0x10FFFF) {
            bytes += 3; // U+FFFD stands for what has no UTF-8 form
        } else {
            bytes += 4;
        }
    }
    return bytes;
}

namespace {

// `markUnencodable`: see AppendWideAsUtf8ForParser.
template <bool markUnencodable>
void AppendWide(const wchar_t* text, std::size_t size, std::string& out)
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
        if (cp > 0x10FFFF) {
            if constexpr (markUnencodable) {
                out.push_back('\xFF');
                continue;
            }
            cp = kReplacement;
        } else if (cp >= 0xD800 && cp <= 0xDFFF && !markUnencodable) {
            cp = kReplacement; // else its three-byte form, which is no UTF-8
        }
        AppendCodePoint(cp, out);
    }
}

} // namespace

void AppendWideAsUtf8(const wchar_t* text, std::size_t size, std::string& out) { AppendWide<false>(text, size, out); }

void AppendWideAsUtf8ForParser(const wchar_t* text, std::size_t size, std::string& out)
{
    AppendWide<true>(text, size, out);
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    AppendWideAsUtf8(text.data(), text.size(), out);
    return out;
}

} // namespace ZVXML
