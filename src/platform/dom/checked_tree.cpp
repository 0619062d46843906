#include "platform/dom/checked_tree.h"

#include <memory>
#include <new>

namespace ZVXML {
namespace platform {
namespace {

struct XmlNodeFree {
    void operator()(xmlNodePtr node) const { xmlFreeNode(node); }
};
using XmlNodeOwner = std::unique_ptr<xmlNode, XmlNodeFree>;

xmlNodePtr Whole(xmlNodePtr node, bool whole)
{
    XmlNodeOwner owner(node);
    if (!owner || !whole) {
        throw std::bad_alloc();
    }
    return owner.release();
}

void Unlink(xmlNodePtr element, xmlNsPtr declaration)
{
    for (xmlNsPtr* link = &element->nsDef; *link != nullptr; link = &(*link)->next) {
        if (*link == declaration) {
            *link = declaration->next;
            declaration->next = nullptr;
            return;
        }
    }
}

} // namespace

xmlNodePtr NewElement(xmlDocPtr doc, const xmlChar* name)
{
    xmlNodePtr element = xmlNewDocNode(doc, nullptr, name, nullptr);
    return Whole(element, element != nullptr && element->name != nullptr);
}

xmlNodePtr NewText(xmlDocPtr doc, const xmlChar* content)
{
    xmlNodePtr text = xmlNewDocText(doc, content);
    return Whole(text, text != nullptr && text->content != nullptr);
}

xmlNsPtr NewDeclaration(xmlNodePtr element, const xmlChar* uri, const xmlChar* prefix)
{
    xmlNsPtr declaration = xmlNewNs(element, uri, prefix);
    if (declaration == nullptr) {
        throw std::bad_alloc();
    }
    if (declaration->href == nullptr || (prefix != nullptr && declaration->prefix == nullptr)) {
        Unlink(element, declaration);
        xmlFreeNs(declaration);
        throw std::bad_alloc();
    }
    return declaration;
}

void SetAttributeValue(xmlNodePtr element, xmlAttrPtr attribute, const xmlChar* name, const xmlChar* value)
{
    XmlNodeOwner text(NewText(element->doc, value));
    if (attribute == nullptr) {
        attribute = xmlNewProp(element, name, nullptr);
        if (attribute == nullptr) {
            throw std::bad_alloc();
        }
        if (attribute->name == nullptr) {
            xmlRemoveProp(attribute);
            throw std::bad_alloc();
        }
    } else {
        xmlFreeNodeList(attribute->children);
    }
    xmlNodePtr child = text.release();
    child->parent = reinterpret_cast<xmlNodePtr>(attribute);
    attribute->children = child;
    attribute->last = child;
}

} // namespace platform
} // namespace ZVXML
