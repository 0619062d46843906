// The text of a node or an attribute, gathered by us rather than by
// libxml2's xmlNodeGetContent and xmlNodeListGetString: those return NULL
// both for "no text" and for "out of memory", so a failed allocation would
// read as an empty value. Here a failure is a std::bad_alloc.
#ifndef ZVXML_PLATFORM_DOM_NODE_TEXT_H
#define ZVXML_PLATFORM_DOM_NODE_TEXT_H

#include <libxml/tree.h>

#include <string>

namespace ZVXML {
namespace platform {

// What xmlNodeGetContent gives: the text of a text, CDATA, comment or
// processing instruction node, or the text and CDATA nodes under an element
// or the document, in document order (UTF-8). Works without recursion.
std::string NodeText(const xmlNode& node);

// The value of an attribute (UTF-8). No DOCTYPE is ever loaded, so an
// attribute's children are text: the predefined entities and character
// references are already replaced by the parser.
std::string AttributeText(const xmlAttr& attribute);

} // namespace platform
} // namespace ZVXML

#endif
