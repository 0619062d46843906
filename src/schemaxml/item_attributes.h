// The attributes of a schema file's element that describe its item.
#ifndef ZVXML_SCHEMAXML_ITEM_ATTRIBUTES_H
#define ZVXML_SCHEMAXML_ITEM_ATTRIBUTES_H

#include "platform/dom/attribute_range.h"

namespace ZVXML {

// The element's attributes less its namespace declarations: any XML tool may
// declare namespaces on any element, and a declaration says nothing about
// the item. For a range-based for; each attribute is valid until the loop
// moves on.
inline platform::AttributeRange ItemAttributes(XMLNode element) { return platform::AttributeRange(element); }

} // namespace ZVXML

#endif
