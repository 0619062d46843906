// How the library makes the XMLAttributes it hands to state handlers and
// callbacks (their constructor is not open to hosts).
#ifndef ZVXML_INSTANCEXML_XML_ATTRIBUTES_ACCESS_H
#define ZVXML_INSTANCEXML_XML_ATTRIBUTES_ACCESS_H

#include <zvxml/instancexml.h>

namespace ZVXML {

struct XMLAttributes::Access {
    static XMLAttributes Make(const platform::SaxAttributes* attributes) { return XMLAttributes(attributes); }
};

} // namespace ZVXML

#endif
