#include "platform/dom/namespace_fixup.h"

#include "platform/dom/checked_tree.h"
#include "platform/libxml_resources.h"
#include "platform/dom/tree_walk.h"

#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ZVXML {
namespace platform {
namespace {

// Its address marks (in xmlNs::_private) the declarations we made.
char g_ourDeclaration;

bool IsOurs(const xmlNs& declaration) { return declaration._private == &g_ourDeclaration; }

xmlNsPtr OwnDefaultDeclaration(xmlNodePtr element)
{
    for (xmlNsPtr ns = element->nsDef; ns != nullptr; ns = ns->next) {
        if (ns->prefix == nullptr) {
            return ns;
        }
    }
    return nullptr;
}

xmlNsPtr DeclareOurs(xmlNodePtr element, const xmlChar* uri)
{
    xmlNsPtr declaration = NewDeclaration(element, uri, nullptr);
    declaration->_private = &g_ourDeclaration;
    return declaration;
}

void RemoveDeclaration(xmlNodePtr element, xmlNsPtr declaration)
{
    xmlNsPtr* link = &element->nsDef;
    while (*link != declaration) {
        link = &(*link)->next;
    }
    *link = declaration->next;
    declaration->next = nullptr;
    xmlFreeNs(declaration);
}

void SetHref(xmlNsPtr declaration, const xmlChar* uri)
{
    if (xmlStrEqual(declaration->href, uri)) {
        return;
    }
    xmlChar* copy = xmlStrdup(uri);
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    xmlFree(const_cast<xmlChar*>(declaration->href));
    declaration->href = copy;
}

void Settle(const Placement& placement)
{
    xmlNodePtr element = placement.element;
    const xmlChar* uri = AsXmlChars(placement.uri);
    const bool none = placement.uri.empty();
    xmlNsPtr own = OwnDefaultDeclaration(element);
    if (own != nullptr && !IsOurs(*own)) {
        element->ns = none ? nullptr : own;
        return;
    }
    xmlNodePtr parent = element->parent;
    xmlNsPtr inScope =
        (parent != nullptr && parent->type == XML_ELEMENT_NODE) ? xmlSearchNs(element->doc, parent, nullptr) : nullptr;
    const xmlChar* inScopeUri = (inScope != nullptr && inScope->href != nullptr) ? inScope->href : BAD_CAST "";
    if (xmlStrEqual(inScopeUri, uri)) {
        if (own != nullptr) {
            RemoveDeclaration(element, own);
        }
        element->ns = none ? nullptr : inScope;
        return;
    }
    if (own != nullptr) {
        SetHref(own, uri);
    } else {
        own = DeclareOurs(element, uri);
    }
    element->ns = none ? nullptr : own;
}

} // namespace

void SetCreatedNamespace(xmlNodePtr element, const xmlChar* uri) { element->ns = DeclareOurs(element, uri); }

void KeepPrefixesInScope(xmlNodePtr subtree)
{
    if (subtree->type != XML_ELEMENT_NODE) {
        return;
    }
    std::unordered_set<xmlNsPtr> declaredInside;
    for (xmlNodePtr node = subtree; node != nullptr; node = NextInSubtree(node, subtree)) {
        for (xmlNsPtr ns = node->type == XML_ELEMENT_NODE ? node->nsDef : nullptr; ns != nullptr; ns = ns->next) {
            declaredInside.insert(ns);
        }
    }
    std::unordered_map<xmlNsPtr, xmlNsPtr> copies;
    auto rebind = [&](xmlNsPtr& ns) {
        // The prefix "xml" is bound everywhere and cannot be declared.
        if (ns == nullptr || ns->prefix == nullptr || declaredInside.count(ns) != 0 ||
            xmlStrEqual(ns->prefix, BAD_CAST "xml")) {
            return;
        }
        auto copy = copies.find(ns);
        if (copy == copies.end()) {
            xmlNsPtr declaration = NewDeclaration(subtree, ns->href, ns->prefix);
            copy = copies.emplace(ns, declaration).first;
        }
        ns = copy->second;
    };
    for (xmlNodePtr node = subtree; node != nullptr; node = NextInSubtree(node, subtree)) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        rebind(node->ns);
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            rebind(attribute->ns);
        }
    }
}

std::vector<Placement> CaptureDefaultNamespaces(xmlNodePtr subtree)
{
    std::vector<Placement> found;
    for (xmlNodePtr node = subtree; node != nullptr; node = NextInSubtree(node, subtree)) {
        if (node->type != XML_ELEMENT_NODE || (node->ns != nullptr && node->ns->prefix != nullptr)) {
            continue;
        }
        const xmlChar* uri = node->ns != nullptr ? node->ns->href : nullptr;
        found.push_back({node, uri != nullptr ? AsChars(uri) : ""});
    }
    return found;
}

void RestoreDefaultNamespaces(const std::vector<Placement>& placements)
{
    for (const Placement& placement : placements) {
        Settle(placement);
    }
}

void SettleDefaultNamespaces(xmlNodePtr subtree) { RestoreDefaultNamespaces(CaptureDefaultNamespaces(subtree)); }

void DeclareDefaultNamespace(xmlNodePtr element, const xmlChar* uri)
{
    xmlNsPtr own = OwnDefaultDeclaration(element);
    if (own == nullptr) {
        own = DeclareOurs(element, uri);
    }
    SetHref(own, uri);
    own->_private = nullptr;
}

bool DeclarePrefix(xmlNodePtr element, const xmlChar* prefix, const xmlChar* uri)
{
    // Bindings made below `element` are out of the new declaration's reach.
    std::unordered_set<xmlNsPtr> declaredBelow;
    for (xmlNodePtr node = element->children; node != nullptr; node = NextInSubtree(node, element)) {
        for (xmlNsPtr ns = node->type == XML_ELEMENT_NODE ? node->nsDef : nullptr; ns != nullptr; ns = ns->next) {
            declaredBelow.insert(ns);
        }
    }
    auto conflicts = [&](const xmlNs* ns) {
        return ns != nullptr && xmlStrEqual(ns->prefix, prefix) && declaredBelow.count(const_cast<xmlNsPtr>(ns)) == 0 &&
               !xmlStrEqual(ns->href, uri);
    };
    for (xmlNodePtr node = element; node != nullptr; node = NextInSubtree(node, element)) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (conflicts(node->ns)) {
            return false;
        }
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            if (conflicts(attribute->ns)) {
                return false;
            }
        }
    }
    for (xmlNsPtr ns = element->nsDef; ns != nullptr; ns = ns->next) {
        if (xmlStrEqual(ns->prefix, prefix)) {
            SetHref(ns, uri);
            return true;
        }
    }
    NewDeclaration(element, uri, prefix);
    return true;
}

} // namespace platform
} // namespace ZVXML
