// How many namespace declarations a built tree brings into scope, counted as
// a reader of the saved document counts them (see markup_guard.h), so that a
// writer can refuse a document that would not read back.
#ifndef ZVXML_PLATFORM_DOM_NAMESPACE_SCOPE_H
#define ZVXML_PLATFORM_DOM_NAMESPACE_SCOPE_H

#include <zvxml/dom.h>

#include <cstddef>

namespace ZVXML {
namespace platform {

// The most declarations in scope at any element of the subtree of `element`
// (its own and its ancestors' within the subtree). Works without recursion.
std::size_t MostNamespaceDeclarationsInScope(XMLNode element);

} // namespace platform
} // namespace ZVXML

#endif
