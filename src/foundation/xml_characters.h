// The characters an XML 1.0 document can carry, and finding those it
// cannot in a text about to be written.
#ifndef ZVXML_FOUNDATION_XML_CHARACTERS_H
#define ZVXML_FOUNDATION_XML_CHARACTERS_H

#include <cstddef>
#include <string>

namespace ZVXML {

// Tab, line feed, carriage return, U+0020-U+D7FF, U+E000-U+FFFD and
// U+10000-U+10FFFF. Everything else (other control characters, U+FFFE,
// U+FFFF, surrogate halves, values above U+10FFFF) cannot be written.
constexpr bool IsXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The first character of `text` that XML 1.0 cannot carry: true, with the
// character in `found`; false when there is none. Where wchar_t is 16 bits
// a high and a low surrogate next to each other are one character; a lone
// half is refused wherever it stands.
bool FindNonXmlCharacter(const wchar_t* text, std::size_t length, char32_t& found);

// "U+0002": "U+" and at least four upper-case hexadecimal digits.
std::wstring CharacterCodeText(char32_t c);

} // namespace ZVXML

#endif
