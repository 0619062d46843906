// Marks the element of a schema file a reader is reading, so that its
// failures and log lines carry the file and the element's line (see
// GetReadPosition). Readers of items put one first; nested ones (a property
// inside a class) answer until they end.
#ifndef ZVXML_SCHEMAXML_READING_ELEMENT_H
#define ZVXML_SCHEMAXML_READING_ELEMENT_H

#include <zvxml/dom.h>

#include "foundation/read_position.h"
#include "platform/dom/node_position.h"

namespace ZVXML {

class ReadingElement final : public ReadPositionSource {
public:
    explicit ReadingElement(XMLNode element) : m_element(element), m_scope(*this) {}
    ReadPosition Where() const override { return platform::NodePosition(m_element); }

private:
    XMLNode m_element;
    ReadPositionScope m_scope; // last: the position is complete when it starts answering
};

} // namespace ZVXML

#endif
