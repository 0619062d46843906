#include "foundation/number_text.h"

#include <charconv>
#include <cstring>
#include <cwchar>
#include <locale.h>
#include <wchar.h>

namespace ZVXML {
namespace {

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

void AppendAscii(const char* begin, const char* end, std::wstring& out) { out.append(begin, end); }

// printf writes at least two exponent digits; the documented form has three.
std::size_t WidenExponent(char* text, std::size_t length)
{
    char* e = static_cast<char*>(std::memchr(text, 'e', length));
    if (e == nullptr) {
        return length;
    }
    char* digits = e + 2; // after "e+" or "e-"
    std::size_t digitCount = static_cast<std::size_t>(text + length - digits);
    if (digitCount >= 3) {
        return length;
    }
    std::size_t pad = 3 - digitCount;
    std::memmove(digits + pad, digits, digitCount);
    std::memset(digits, '0', pad);
    return length + pad;
}

} // namespace

void AppendLong(long value, std::wstring& out)
{
    char buffer[32];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    AppendAscii(buffer, result.ptr, out);
}

std::wstring FormatLong(long value)
{
    std::wstring out;
    AppendLong(value, out);
    return out;
}

std::wstring FormatUnsignedLong(unsigned long value)
{
    char buffer[32];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::wstring out;
    AppendAscii(buffer, result.ptr, out);
    return out;
}

std::wstring FormatDouble(double value)
{
    // Room for 15 digits, sign, point, and a padded exponent; to_chars is
    // locale-independent and gives exactly what printf's "%.15g" gives.
    char buffer[64];
    std::to_chars_result result = std::to_chars(buffer, buffer + 40, value, std::chars_format::general, 15);
    std::size_t length = WidenExponent(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::wstring out;
    AppendAscii(buffer, buffer + length, out);
    return out;
}

long ParseLong(const wchar_t* text, wchar_t** end, int base) { return wcstol_l(text, end, base, CLocale()); }

unsigned long ParseUnsignedLong(const wchar_t* text, wchar_t** end, int base)
{
    return wcstoul_l(text, end, base, CLocale());
}

double ParseDouble(const wchar_t* text, wchar_t** end) { return wcstod_l(text, end, CLocale()); }

} // namespace ZVXML
