// Letter and digit classification that does not depend on the host's locale.
#ifndef ZVXML_FOUNDATION_CHAR_CLASS_H
#define ZVXML_FOUNDATION_CHAR_CLASS_H

namespace ZVXML {

// Unicode letters (as the C.UTF-8 locale classifies them). A name must not be
// valid in one process and invalid in another, so the host's locale is never
// consulted. Surrogate halves are neither letters nor digits.
bool IsLetter(wchar_t c);
bool IsLetterOrDigit(wchar_t c);

} // namespace ZVXML

#endif
