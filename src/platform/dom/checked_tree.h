// libxml2's tree constructors, with every part of what they make checked.
//
// In libxml2 2.9 xmlNewDocNode, xmlNewDocText, xmlNewNs and xmlNewProp copy
// the name or text they are given without checking the copy: when that
// allocation fails they still return a node whose name or text is NULL
// (xmlNewNs and xmlNewProp have already linked it to the element), which a
// save then writes as a wrong document or crashes on. These undo such a
// half-made result and throw std::bad_alloc; on success the result is
// whole, and a failure leaves the tree as it was.
#ifndef ZVXML_PLATFORM_DOM_CHECKED_TREE_H
#define ZVXML_PLATFORM_DOM_CHECKED_TREE_H

#include <libxml/tree.h>

namespace ZVXML {
namespace platform {

// A new element named `name` of `doc`, in no namespace, not linked.
xmlNodePtr NewElement(xmlDocPtr doc, const xmlChar* name);

// A new text node of `doc` holding `content`, not linked.
xmlNodePtr NewText(xmlDocPtr doc, const xmlChar* content);

// Adds the declaration of `prefix` (NULL: the default namespace) for `uri`
// at the end of the element's declarations. The element must not declare
// `prefix` yet.
xmlNsPtr NewDeclaration(xmlNodePtr element, const xmlChar* uri, const xmlChar* prefix);

// Gives `attribute` of `element` the value `value`; when `attribute` is
// NULL, adds a new attribute named `name` (in no namespace) first.
void SetAttributeValue(xmlNodePtr element, xmlAttrPtr attribute, const xmlChar* name, const xmlChar* value);

} // namespace platform
} // namespace ZVXML

#endif
