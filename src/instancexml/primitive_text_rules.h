// Which texts each primitive type accepts (the rules are listed in
// instancevalidation.h).
#ifndef ZVXML_INSTANCEXML_PRIMITIVE_TEXT_RULES_H
#define ZVXML_INSTANCEXML_PRIMITIVE_TEXT_RULES_H

#include <string>
#include <string_view>

namespace ZVXML {

// Empty when `text` is a value of the primitive type `typeName` (and for a
// type name that is not primitive); otherwise why not, as "is not a double"
// or "is out of the range of int".
std::wstring PrimitiveTextProblem(const std::wstring& typeName, std::wstring_view text);

} // namespace ZVXML

#endif
