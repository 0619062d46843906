// How the library makes the XMLAttributes it hands to state handlers and
// callbacks (their constructor is not open to hosts).
#ifndef ZVXML_INSTANCEXML_XML_ATTRIBUTES_ACCESS_H
#define ZVXML_INSTANCEXML_XML_ATTRIBUTES_ACCESS_H

#include <zvxml/instancexml.h>

#include "platform/sax/sax_reader.h"

namespace ZVXML {
namespace detail {

// What an XMLAttributes views: the reader's attributes of one start tag. The
// public header names only this type, so it stays free of the reader's.
// Lives as long as the start event that made it.
class XMLAttributeList {
public:
    explicit XMLAttributeList(const platform::SaxAttributes& attributes) : m_attributes(attributes) {}
    const platform::SaxAttributes& Attributes() const { return m_attributes; }

private:
    const platform::SaxAttributes& m_attributes;
};

} // namespace detail

struct XMLAttributes::Access {
    static XMLAttributes Make(const detail::XMLAttributeList* attributes) { return XMLAttributes(attributes); }
};

} // namespace ZVXML

#endif
