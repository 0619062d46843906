// Where a node of a loaded document stands in its source, for the readers
// of schema files to report.
#ifndef ZVXML_PLATFORM_DOM_NODE_POSITION_H
#define ZVXML_PLATFORM_DOM_NODE_POSITION_H

#include <zvxml/dom.h>
#include <zvxml/errors.h>

#include <libxml/tree.h>

namespace ZVXML {

struct XMLNode::Access {
    static xmlNodePtr Node(XMLNode node) { return static_cast<xmlNodePtr>(node.m_node); }
};

namespace platform {

// The file the node's document was loaded from (empty for a text or a built
// document), and the 1-based line where the node starts: for an element,
// the line of its start tag's "<". The column is not kept (0). A null node,
// or one built in memory, has line 0.
ReadPosition NodePosition(XMLNode node);

// Called as an element is added to a tree being loaded (the parser's input
// is just past its start tag): records the line of the tag's "<", however
// large, where NodePosition finds it.
void RecordElementLine(xmlNodePtr element, const xmlParserInput& input);

} // namespace platform
} // namespace ZVXML

#endif
