// The attributes of a schema file's element that describe its item.
#ifndef ZVXML_SCHEMAXML_ITEM_ATTRIBUTES_H
#define ZVXML_SCHEMAXML_ITEM_ATTRIBUTES_H

#include <zvxml/dom.h>

#include <algorithm>
#include <vector>

namespace ZVXML {

// Whether the document tree lists `attribute` as a namespace declaration
// ("xmlns" or "xmlns:p") rather than as an attribute of the element.
inline bool IsNamespaceDeclaration(const XMLAttribute& attribute)
{
    return attribute.name == L"xmlns" || attribute.name.compare(0, 6, L"xmlns:") == 0;
}

// The element's attributes less its namespace declarations: any XML tool may
// declare namespaces on any element, and a declaration says nothing about
// the item.
inline std::vector<XMLAttribute> ItemAttributes(XMLNode element)
{
    std::vector<XMLAttribute> attributes = element.Attributes();
    attributes.erase(std::remove_if(attributes.begin(), attributes.end(), IsNamespaceDeclaration), attributes.end());
    return attributes;
}

} // namespace ZVXML

#endif
