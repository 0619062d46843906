// The naming rule shared by schemas, prefixes, classes and properties.
#ifndef ZVXML_SCHEMA_NAMING_RULE_H
#define ZVXML_SCHEMA_NAMING_RULE_H

namespace ZVXML {

// The labels that name the kind of name in messages.
extern const wchar_t* const kSchemaNameKind; // "ZVSchema"
extern const wchar_t* const kClassOrPropertyNameKind; // "ZVClass or ZVProperty"

// Returns 1 for a valid name and 0 for an invalid one when `throwOnError` is
// 0; throws otherwise. NULL always throws ZVXMLLogicError. An empty name is
// valid unless `throwOnError` is set.
int CheckName(const wchar_t* name, int throwOnError, const wchar_t* kind);

} // namespace ZVXML

#endif
