#include "foundation/char_class.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace ZVXML {
namespace {

// Created once and never freed: classification may run during static
// destruction of a host.
locale_t UnicodeLocale()
{
    static const locale_t locale = [] {
        const char* const names[] = {"C.UTF-8", "C.utf8", "en_US.UTF-8"};
        for (const char* name : names) {
            locale_t created = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
            if (created != static_cast<locale_t>(0)) {
                return created;
            }
        }
        return static_cast<locale_t>(0);
    }();
    return locale;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsSurrogateOrOutOfRange(wchar_t c)
{
    const unsigned long value = static_cast<unsigned long>(c);
    return (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF;
}

} // namespace

bool IsLetter(wchar_t c)
{
    if (static_cast<unsigned long>(c) < 0x80) {
        return IsAsciiLetter(c);
    }
    if (IsSurrogateOrOutOfRange(c)) {
        return false;
    }
    locale_t locale = UnicodeLocale();
    return locale != static_cast<locale_t>(0) && iswalpha_l(static_cast<wint_t>(c), locale) != 0;
}

bool IsLetterOrDigit(wchar_t c)
{
    if (static_cast<unsigned long>(c) < 0x80) {
        return IsAsciiLetter(c) || IsAsciiDigit(c);
    }
    if (IsSurrogateOrOutOfRange(c)) {
        return false;
    }
    locale_t locale = UnicodeLocale();
    return locale != static_cast<locale_t>(0) && iswalnum_l(static_cast<wint_t>(c), locale) != 0;
}

} // namespace ZVXML
