#include "platform/dom/node_position.h"

#include "platform/libxml_resources.h"
#include "platform/tag_start.h"

#include <cstddef>

namespace ZVXML {
namespace platform {
namespace {

// libxml2 keeps a node's line in 16 bits; a larger line of a text node goes
// to its psvi field (XML_PARSE_BIG_LINES). Elements get the same here: the
// trees of this layer are never validated, which is psvi's other use.
constexpr unsigned short kLineLimit = 65535;

long ElementLine(const xmlNode& element)
{
    if (element.line == kLineLimit && element.psvi != nullptr) {
        return static_cast<long>(reinterpret_cast<std::ptrdiff_t>(element.psvi));
    }
    return element.line;
}

} // namespace

ReadPosition NodePosition(XMLNode handle)
{
    ReadPosition position;
    const xmlNodePtr node = XMLNode::Access::Node(handle);
    if (node == nullptr) {
        return position;
    }
    if (node->doc != nullptr && node->doc->URL != nullptr) {
        position.file = ToWide(node->doc->URL);
    }
    const long line = node->type == XML_ELEMENT_NODE ? ElementLine(*node) : xmlGetLineNo(node);
    position.line = line > 0 ? line : 0;
    return position;
}

void RecordElementLine(xmlNodePtr element, const xmlParserInput& input)
{
    const long line = TagStartLine(input);
    if (line < kLineLimit) {
        element->line = static_cast<unsigned short>(line > 0 ? line : 0);
    } else {
        element->line = kLineLimit;
        element->psvi = reinterpret_cast<void*>(static_cast<std::ptrdiff_t>(line));
    }
}

} // namespace platform
} // namespace ZVXML
