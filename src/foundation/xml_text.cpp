// Escaping for XML, the reversible tag-name encoding, and the decimal text
// of integers.
#include <zvxml/errors.h>
#include <zvxml/text.h>

#include "foundation/char_class.h"
#include "foundation/number_text.h"

#include <cwchar>
#include <type_traits>

namespace ZVXML {
namespace {

constexpr unsigned long kHighSurrogateFirst = 0xD800;
constexpr unsigned long kLowSurrogateFirst = 0xDC00;
constexpr unsigned long kSurrogateLast = 0xDFFF;
constexpr std::size_t kTokenLength = 9; // "__x" + 4 hex digits + "__"

unsigned long CodeOf(wchar_t c) { return static_cast<unsigned long>(static_cast<std::make_unsigned_t<wchar_t>>(c)); }
bool IsHighSurrogate(unsigned long u) { return u >= kHighSurrogateFirst && u < kLowSurrogateFirst; }
bool IsLowSurrogate(unsigned long u) { return u >= kLowSurrogateFirst && u <= kSurrogateLast; }

unsigned long JoinSurrogates(unsigned long high, unsigned long low)
{
    return 0x10000 + ((high - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
}

void AppendHexUpper(unsigned long value, std::wstring& out)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    wchar_t buffer[16];
    int n = 0;
    do {
        buffer[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (n > 0) {
        out.push_back(buffer[--n]);
    }
}

void AppendCharacterReference(unsigned long code, std::wstring& out)
{
    out.append(L"&#x");
    AppendHexUpper(code, out);
    out.push_back(L';');
}

void AppendToken(unsigned long unit, std::wstring& out)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    out.append(L"__x");
    for (int shift = 12; shift >= 0; shift -= 4) {
        out.push_back(digits[(unit >> shift) & 0xF]);
    }
    out.append(L"__");
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// The value of the token at name[pos], or -1 when there is none.
long TokenAt(const std::wstring& name, std::size_t pos)
{
    if (pos + kTokenLength > name.size() || name.compare(pos, 3, L"__x") != 0 || name[pos + 7] != L'_' ||
        name[pos + 8] != L'_') {
        return -1;
    }
    long value = 0;
    for (std::size_t i = 3; i < 7; ++i) {
        int digit = HexValue(name[pos + i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

bool IsAllowedInTag(wchar_t c, bool first)
{
    if (CodeOf(c) > 0xFFFF) {
        return false; // always written as its two UTF-16 halves
    }
    return c == L'_' || IsLetter(c) || (!first && IsLetterOrDigit(c));
}

} // namespace

void ConvertToXmlString(const wchar_t* text, std::wstring& result)
{
    if (text == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL text into ConvertToXmlString", L"");
    }
    const std::size_t length = std::wcslen(text);
    std::wstring out;
    out.reserve(length + length / 8);
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned long u = CodeOf(text[i]);
        switch (u) {
        case 0x09:
        case 0x0A:
        case 0x0D:
            out.push_back(text[i]);
            continue;
        case 0x26:
            out.append(L"&amp;");
            continue;
        case 0x3C:
            out.append(L"&lt;");
            continue;
        case 0x3E:
            out.append(L"&gt;");
            continue;
        case 0x22:
            out.append(L"&quot;");
            continue;
        case 0x27:
            out.append(L"&apos;");
            continue;
        default:
            break;
        }
        if (u >= 0x20 && u <= 0x7E) {
            out.push_back(text[i]);
        } else if (u < 0x20 || u == 0xFFFE || u == 0xFFFF || u > 0x10FFFF) {
            out.push_back(L'?');
        } else if (IsHighSurrogate(u) && i + 1 < length && IsLowSurrogate(CodeOf(text[i + 1]))) {
            // A pair (the only form on 16-bit wchar_t) is one character.
            AppendCharacterReference(JoinSurrogates(u, CodeOf(text[i + 1])), out);
            ++i;
        } else if (u >= kHighSurrogateFirst && u <= kSurrogateLast) {
            out.push_back(L'?');
        } else {
            AppendCharacterReference(u, out);
        }
    }
    result.swap(out);
}

int EncodeToValidXmlTag(std::wstring& name)
{
    std::size_t i = 0;
    while (i < name.size() && IsAllowedInTag(name[i], i == 0)) {
        ++i;
    }
    if (i == name.size()) {
        return 0;
    }
    std::wstring out(name, 0, i);
    for (; i < name.size(); ++i) {
        const unsigned long u = CodeOf(name[i]);
        if (u > 0xFFFF && u <= 0x10FFFF) {
            // Encoded as its two UTF-16 halves, so names match across
            // platforms whatever the width of wchar_t.
            const unsigned long v = u - 0x10000;
            AppendToken(kHighSurrogateFirst + (v >> 10), out);
            AppendToken(kLowSurrogateFirst + (v & 0x3FF), out);
        } else if (u > 0x10FFFF) {
            AppendToken(0xFFFD, out);
        } else if (IsAllowedInTag(name[i], out.empty())) {
            out.push_back(name[i]);
        } else {
            AppendToken(u, out);
        }
    }
    name.swap(out);
    return 1;
}

// The text between tokens is copied once into a new string, so that a name
// of many tokens decodes in time linear in its length.
int DecodeFromValidXmlTag(std::wstring& name)
{
    std::wstring out;
    std::size_t copied = 0; // name[0, copied) is in `out`
    std::size_t pos = name.find(L"__x");
    while (pos != std::wstring::npos && pos + kTokenLength <= name.size()) {
        const long value = TokenAt(name, pos);
        if (value < 0) {
            pos = name.find(L"__x", pos + 3);
            continue;
        }
        unsigned long character = static_cast<unsigned long>(value);
        std::size_t replaced = kTokenLength;
        if (IsHighSurrogate(character)) {
            const long low = TokenAt(name, pos + kTokenLength);
            if (low >= 0 && IsLowSurrogate(static_cast<unsigned long>(low))) {
                replaced = 2 * kTokenLength;
                character = JoinSurrogates(character, static_cast<unsigned long>(low));
            }
        }
        out.append(name, copied, pos - copied);
        if (sizeof(wchar_t) == 2 && character > 0xFFFF) {
            // Keep the pair as its two halves where wchar_t is UTF-16.
            const unsigned long v = character - 0x10000;
            out.push_back(static_cast<wchar_t>(kHighSurrogateFirst + (v >> 10)));
            out.push_back(static_cast<wchar_t>(kLowSurrogateFirst + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(character));
        }
        copied = pos + replaced;
        pos = name.find(L"__x", copied);
    }
    if (copied == 0) {
        return 0;
    }
    out.append(name, copied, std::wstring::npos);
    name.swap(out);
    return 1;
}

std::wstring ToWString(long value) { return FormatLong(value); }

} // namespace ZVXML
