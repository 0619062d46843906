// Walking a libxml2 subtree in document order without recursion, so that
// trees of any depth are safe.
#ifndef ZVXML_PLATFORM_DOM_TREE_WALK_H
#define ZVXML_PLATFORM_DOM_TREE_WALK_H

#include <libxml/tree.h>

namespace ZVXML {
namespace platform {

// The node after `node` in document order within the subtree of `root`,
// skipping `node`'s own children; null at the end of the subtree.
inline xmlNodePtr NextSkippingChildren(xmlNodePtr node, xmlNodePtr root)
{
    while (node != root) {
        if (node->next != nullptr) {
            return node->next;
        }
        node = node->parent;
    }
    return nullptr;
}

// The node after `node` in document order within the subtree of `root`
// (`root` itself comes first). Attributes are not visited.
inline xmlNodePtr NextInSubtree(xmlNodePtr node, xmlNodePtr root)
{
    if (node->children != nullptr && node->type != XML_ENTITY_REF_NODE) {
        return node->children;
    }
    return NextSkippingChildren(node, root);
}

} // namespace platform
} // namespace ZVXML

#endif
