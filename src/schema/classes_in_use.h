// Which classes the custom attributes a schema keeps after RemoveAllClasses
// still depend on.
#ifndef ZVXML_SCHEMA_CLASSES_IN_USE_H
#define ZVXML_SCHEMA_CLASSES_IN_USE_H

#include <unordered_set>

namespace ZVXML {
class CZVClass;
class CZVSchema;

namespace detail {

// The classes of the custom attributes on the schema itself and on its
// relationship classes, their properties and their ends, and of every
// instance those hold through struct and array values, to any depth.
std::unordered_set<const CZVClass*> ClassesOfKeptCustomAttributes(const CZVSchema& schema);

} // namespace detail
} // namespace ZVXML

#endif
