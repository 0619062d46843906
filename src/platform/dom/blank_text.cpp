#include "platform/dom/blank_text.h"

#include "platform/dom/tree_walk.h"

namespace ZVXML {
namespace platform {
namespace {

bool IsBlank(const xmlChar* text)
{
    for (; text != nullptr && *text != 0; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') {
            return false;
        }
    }
    return true;
}

bool IsBlankText(const xmlNode& node) { return node.type == XML_TEXT_NODE && IsBlank(node.content); }

} // namespace

void RemoveBlankTextNodes(xmlNodePtr root)
{
    if (root == nullptr) {
        return;
    }
    xmlNodePtr node = root->children;
    while (node != nullptr) {
        if (IsBlankText(*node)) {
            xmlNodePtr next = NextSkippingChildren(node, root);
            xmlUnlinkNode(node);
            xmlFreeNode(node);
            node = next;
        } else {
            node = NextInSubtree(node, root);
        }
    }
}

} // namespace platform
} // namespace ZVXML
