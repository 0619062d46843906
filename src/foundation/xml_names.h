// Which texts can be XML names, by the current rules of XML 1.0 (the
// NameStartChar and NameChar ranges of its fifth edition), which is what
// the readers accept. Names here are local: no ':' (NCName).
#ifndef ZVXML_FOUNDATION_XML_NAMES_H
#define ZVXML_FOUNDATION_XML_NAMES_H

#include <cstddef>
#include <string_view>

namespace ZVXML {

// The longest name libxml2 reads, in bytes of UTF-8 (its XML_MAX_NAME_LENGTH):
// the readers refuse a longer one ("Name too long"), so writers do too.
constexpr std::size_t kMaxXmlNameBytes = 50000;

bool IsXmlNameStartCharacter(char32_t c);
bool IsXmlNameCharacter(char32_t c);

// Whether `name` is a non-empty name without ':'. Where wchar_t is 16 bits
// a high and a low surrogate next to each other are one character; a lone
// half is no name character.
bool IsXmlLocalName(std::wstring_view name);
bool IsXmlLocalName(std::string_view utf8Name);
// A local name the readers take: IsXmlLocalName, and no longer than
// kMaxXmlNameBytes in UTF-8.
bool IsReadableXmlLocalName(std::wstring_view name);
// A local name, or two joined by one ':' ("prefix:local").
bool IsXmlQualifiedName(std::string_view utf8Name);

} // namespace ZVXML

#endif
