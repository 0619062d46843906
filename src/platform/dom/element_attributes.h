// Setting attributes and namespace declarations on an element.
#ifndef ZVXML_PLATFORM_DOM_ELEMENT_ATTRIBUTES_H
#define ZVXML_PLATFORM_DOM_ELEMENT_ATTRIBUTES_H

#include <libxml/tree.h>

#include <string>

namespace ZVXML {
namespace platform {

// Sets the attribute `name` (UTF-8) of `element` to `value`:
// - "xmlns" declares the element's default namespace. For an element
//   without a prefix it must be the element's own namespace ("" for none):
//   an element keeps the namespace it was created in.
// - "xmlns:p" declares the prefix p (replacing the element's own
//   declaration of p), unless something in its scope uses p for another
//   namespace.
// - Any other qualified name adds the attribute or replaces the value of the
//   attribute with that qualified name.
// Returns an empty string on success, otherwise why it was refused.
// Throws std::bad_alloc when out of memory.
std::string SetElementAttribute(xmlNodePtr element, const std::string& name, const std::string& value);

} // namespace platform
} // namespace ZVXML

#endif
