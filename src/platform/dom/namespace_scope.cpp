#include "platform/dom/namespace_scope.h"

#include "platform/dom/node_position.h"

#include <algorithm>
#include <vector>

namespace ZVXML {
namespace platform {
namespace {

std::size_t OwnDeclarations(const xmlNode& element)
{
    std::size_t count = 0;
    for (const xmlNs* ns = element.nsDef; ns != nullptr; ns = ns->next) {
        ++count;
    }
    return count;
}

} // namespace

std::size_t MostNamespaceDeclarationsInScope(XMLNode element)
{
    const xmlNodePtr root = XMLNode::Access::Node(element);
    std::size_t most = 0;
    // Declarations in scope at each element whose children are being walked.
    std::vector<std::size_t> open;
    for (xmlNodePtr node = root; node != nullptr;) {
        if (node->type == XML_ELEMENT_NODE) {
            const std::size_t inScope = (open.empty() ? 0 : open.back()) + OwnDeclarations(*node);
            most = std::max(most, inScope);
            if (node->children != nullptr) {
                open.push_back(inScope);
                node = node->children;
                continue;
            }
        }
        while (node != root && node->next == nullptr) {
            node = node->parent;
            open.pop_back();
        }
        node = node != root ? node->next : nullptr;
    }
    return most;
}

} // namespace platform
} // namespace ZVXML
