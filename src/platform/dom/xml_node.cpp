// The node handle: read access to a libxml2 node in the terms of our
// document model.
#include <zvxml/dom.h>

#include "platform/dom/attribute_range.h"
#include "platform/dom/node_text.h"
#include "platform/libxml_resources.h"

namespace ZVXML {
namespace {

using platform::ToWide;

xmlNodePtr AsNode(void* node) { return static_cast<xmlNodePtr>(node); }

std::wstring QualifiedName(const xmlChar* prefix, const xmlChar* name)
{
    std::wstring qualified;
    if (prefix != nullptr) {
        qualified = ToWide(prefix);
        qualified.push_back(L':');
    }
    qualified.append(ToWide(name));
    return qualified;
}

XMLAttribute Declaration(const xmlNs& ns)
{
    return {ns.prefix != nullptr ? QualifiedName(BAD_CAST "xmlns", ns.prefix) : std::wstring(L"xmlns"),
            ToWide(ns.href)};
}

} // namespace

XMLNode XMLNode::FirstChild() const { return XMLNode(m_node != nullptr ? AsNode(m_node)->children : nullptr); }

XMLNode XMLNode::NextSibling() const { return XMLNode(m_node != nullptr ? AsNode(m_node)->next : nullptr); }

XMLNode XMLNode::Parent() const { return XMLNode(m_node != nullptr ? AsNode(m_node)->parent : nullptr); }

int XMLNode::NodeType() const
{
    if (m_node == nullptr) {
        return XML_NODE_OTHER;
    }
    switch (AsNode(m_node)->type) {
    case XML_ELEMENT_NODE:
        return XML_NODE_ELEMENT;
    case XML_TEXT_NODE:
        return XML_NODE_TEXT;
    case XML_CDATA_SECTION_NODE:
        return XML_NODE_CDATA_SECTION;
    case XML_PI_NODE:
        return XML_NODE_PROCESSING_INSTRUCTION;
    case XML_COMMENT_NODE:
        return XML_NODE_COMMENT;
    case XML_DOCUMENT_NODE:
        return XML_NODE_DOCUMENT;
    default:
        return XML_NODE_OTHER;
    }
}

std::wstring XMLNode::NodeName() const
{
    switch (NodeType()) {
    case XML_NODE_ELEMENT: {
        xmlNodePtr node = AsNode(m_node);
        return QualifiedName(node->ns != nullptr ? node->ns->prefix : nullptr, node->name);
    }
    case XML_NODE_TEXT:
        return L"#text";
    case XML_NODE_CDATA_SECTION:
        return L"#cdata-section";
    case XML_NODE_COMMENT:
        return L"#comment";
    case XML_NODE_DOCUMENT:
        return L"#document";
    default:
        return m_node != nullptr ? ToWide(AsNode(m_node)->name) : std::wstring();
    }
}

std::wstring XMLNode::LocalName() const
{
    return NodeType() == XML_NODE_ELEMENT ? ToWide(AsNode(m_node)->name) : NodeName();
}

std::wstring XMLNode::NamespaceURI() const
{
    if (NodeType() != XML_NODE_ELEMENT || AsNode(m_node)->ns == nullptr) {
        return std::wstring();
    }
    return ToWide(AsNode(m_node)->ns->href);
}

std::wstring XMLNode::Text() const
{
    return m_node != nullptr ? Utf8ToWide(platform::NodeText(*AsNode(m_node))) : std::wstring();
}

std::vector<XMLAttribute> XMLNode::Attributes() const
{
    std::vector<XMLAttribute> attributes;
    if (NodeType() != XML_NODE_ELEMENT) {
        return attributes;
    }
    xmlNodePtr node = AsNode(m_node);
    for (xmlNsPtr ns = node->nsDef; ns != nullptr; ns = ns->next) {
        attributes.push_back(Declaration(*ns));
    }
    for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        platform::ReadAttribute(*attribute, attributes.emplace_back());
    }
    return attributes;
}

} // namespace ZVXML
