#include "platform/dom/node_text.h"

#include "platform/dom/tree_walk.h"
#include "platform/libxml_resources.h"

namespace ZVXML {
namespace platform {
namespace {

bool IsText(const xmlNode& node) { return node.type == XML_TEXT_NODE || node.type == XML_CDATA_SECTION_NODE; }

void Append(std::string& text, const xmlChar* content)
{
    if (content != nullptr) {
        text.append(AsChars(content));
    }
}

} // namespace

std::string NodeText(const xmlNode& node)
{
    std::string text;
    if (node.type != XML_ELEMENT_NODE && node.type != XML_DOCUMENT_NODE) {
        Append(text, node.content);
        return text;
    }
    xmlNodePtr root = const_cast<xmlNodePtr>(&node);
    for (xmlNodePtr at = root; at != nullptr; at = NextInSubtree(at, root)) {
        if (IsText(*at)) {
            Append(text, at->content);
        }
    }
    return text;
}

std::string AttributeText(const xmlAttr& attribute)
{
    std::string text;
    for (const xmlNode* child = attribute.children; child != nullptr; child = child->next) {
        if (IsText(*child)) {
            Append(text, child->content);
        }
    }
    return text;
}

} // namespace platform
} // namespace ZVXML
