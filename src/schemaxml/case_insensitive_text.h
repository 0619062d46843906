// Comparing texts of schema files where letter case does not matter: the
// namespace URI of the root and the flag texts ("True", "TRUE", "true").
#ifndef ZVXML_SCHEMAXML_CASE_INSENSITIVE_TEXT_H
#define ZVXML_SCHEMAXML_CASE_INSENSITIVE_TEXT_H

#include <string_view>

namespace ZVXML {

// Equal when only the case of ASCII letters differs. The texts compared with
// (URIs, "True") are ASCII, so no other letter could match them anyway, and
// the answer never depends on the host's locale.
bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view expected);

// A flag attribute: 1 for "True" in any letter case, 0 for any other text.
int IsTrueText(std::wstring_view text);

} // namespace ZVXML

#endif
