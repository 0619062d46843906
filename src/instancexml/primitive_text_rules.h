// Which texts each primitive type accepts (the rules are listed in
// instancevalidation.h).
#ifndef ZVXML_INSTANCEXML_PRIMITIVE_TEXT_RULES_H
#define ZVXML_INSTANCEXML_PRIMITIVE_TEXT_RULES_H

#include <string>
#include <string_view>

namespace ZVXML {

enum class PrimitiveType { String, Int, Long, Double, Boolean, DateTime, Point3d, Binary, NotPrimitive };

// The type a property's type name names.
PrimitiveType PrimitiveTypeOf(std::wstring_view typeName);

// Empty when `text` is a value of `type` (and for NotPrimitive); otherwise
// why not, as "is not a double" or "is out of the range of int".
std::wstring PrimitiveTextProblem(PrimitiveType type, std::wstring_view text);

} // namespace ZVXML

#endif
