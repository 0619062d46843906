// Namespace declarations of elements built through the document API.
//
// An element we create remembers its namespace in an xmlns="..." declaration
// of its own (marked as ours). Wherever it is appended, that declaration is
// kept only if the default namespace in scope differs; an element in no
// namespace under a default namespace gets xmlns="" instead. Declarations a
// caller made, or that came from a file, are never removed.
//
// Everything here throws std::bad_alloc when out of memory.
#ifndef ZVXML_PLATFORM_DOM_NAMESPACE_FIXUP_H
#define ZVXML_PLATFORM_DOM_NAMESPACE_FIXUP_H

#include <libxml/tree.h>

#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

// Gives a new, unattached element its namespace `uri` (non-empty).
void SetCreatedNamespace(xmlNodePtr element, const xmlChar* uri);

// Before `subtree` is moved away from its place: declares on it the prefixes
// its elements and attributes use that are declared above it.
void KeepPrefixesInScope(xmlNodePtr subtree);

// An element in the default namespace (or in none) and the namespace URI it
// must keep; "" for none.
struct Placement {
    xmlNodePtr element;
    std::string uri;
};

// The unprefixed elements of `subtree`, top down, with their namespaces.
// Take it before declarations change: settling an element may free the
// declaration its descendants still point to.
std::vector<Placement> CaptureDefaultNamespaces(xmlNodePtr subtree);

// Puts each captured element back into its namespace where it now stands,
// with as few default declarations as that needs.
void RestoreDefaultNamespaces(const std::vector<Placement>& placements);

// Both at once, after `subtree` got its place. Works without recursion.
void SettleDefaultNamespaces(xmlNodePtr subtree);

// Makes the element's own default namespace declaration (a new one, or ours
// taken over) one the caller made, with the URI `uri`, so that it stays.
void DeclareDefaultNamespace(xmlNodePtr element, const xmlChar* uri);

// Declares on `element` the prefix `prefix` for `uri` (replacing the
// element's own declaration of it). Returns false, changing nothing, when an
// element or attribute in the declaration's scope already uses the prefix
// for another namespace: the declaration would move it there.
bool DeclarePrefix(xmlNodePtr element, const xmlChar* prefix, const xmlChar* uri);

} // namespace platform
} // namespace ZVXML

#endif
