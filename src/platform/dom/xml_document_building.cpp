// Building a document: creating nodes, appending them, setting attributes.
#include "platform/dom/xml_document_impl.h"

#include "platform/dom/checked_tree.h"
#include "platform/dom/element_attributes.h"
#include "platform/dom/namespace_fixup.h"
#include "platform/libxml_error_capture.h"

#include "foundation/xml_characters.h"
#include "foundation/xml_names.h"

#include <cwchar>

#include <new>

namespace ZVXML {
namespace {

using platform::AsXmlChars;

xmlNodePtr AsNode(void* node) { return static_cast<xmlNodePtr>(node); }

bool CanHaveChildren(const xmlNode& node) { return node.type == XML_ELEMENT_NODE || node.type == XML_DOCUMENT_NODE; }

bool CanBeChild(const xmlNode& node)
{
    switch (node.type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return true;
    default:
        return false;
    }
}

bool IsSelfOrAncestor(const xmlNode* node, const xmlNode* of)
{
    for (; of != nullptr; of = of->parent) {
        if (of == node) {
            return true;
        }
    }
    return false;
}

// Why `child` cannot be appended to `parent`; empty when it can.
const wchar_t* RefusalToAppend(const xmlNode& parent, const xmlNode& child)
{
    if (!CanHaveChildren(parent)) {
        return L"AppendChild: only an element or the document can have children";
    }
    if (!CanBeChild(child)) {
        return L"AppendChild: this kind of node cannot be appended";
    }
    if (IsSelfOrAncestor(&child, &parent)) {
        return L"AppendChild: a node cannot be appended to itself or to a node inside it";
    }
    if (parent.type == XML_DOCUMENT_NODE) {
        if (child.type == XML_TEXT_NODE || child.type == XML_CDATA_SECTION_NODE) {
            return L"AppendChild: text cannot stand outside the root element";
        }
        const xmlNode* root = xmlDocGetRootElement(reinterpret_cast<const xmlDoc*>(&parent));
        if (child.type == XML_ELEMENT_NODE && root != nullptr && root != &child) {
            return L"AppendChild: the document already has a root element";
        }
    }
    return L"";
}

// Links without xmlAddChild, which merges adjacent text nodes and frees the
// one appended: the caller's handle would dangle.
void LinkAsLastChild(xmlNodePtr parent, xmlNodePtr child)
{
    child->parent = parent;
    child->prev = parent->last;
    child->next = nullptr;
    if (parent->last != nullptr) {
        parent->last->next = child;
    } else {
        parent->children = child;
    }
    parent->last = child;
}

// Why `text` cannot go into a document; empty when it can.
std::wstring RefusalOfText(const wchar_t* operation, const wchar_t* text)
{
    char32_t found = 0;
    if (text == nullptr || !FindNonXmlCharacter(text, std::wcslen(text), found)) {
        return std::wstring();
    }
    return operation + (L": the text holds " + CharacterCodeText(found)) + L", a character XML 1.0 cannot carry";
}

} // namespace

XMLNode XMLDocument::CreateElement(const wchar_t* name, const wchar_t* namespaceURI)
{
    Impl& self = Self();
    try {
        platform::LibxmlErrorCapture quiet; // failures show as NULL results; no report reaches stderr
        if (name == nullptr || !IsXmlLocalName(std::wstring_view(name))) {
            self.Fail(XML_STATUS_INVALID_ARGUMENT, L"CreateElement: '" + std::wstring(name != nullptr ? name : L"") +
                                                       L"' is not a valid element name (no prefix)");
            return XMLNode();
        }
        const std::string localName = WideToUtf8(name);
        xmlNodePtr element = self.Adopt(platform::NewElement(self.doc.get(), AsXmlChars(localName)));
        if (namespaceURI != nullptr && *namespaceURI != L'\0') {
            platform::SetCreatedNamespace(element, AsXmlChars(WideToUtf8(namespaceURI)));
        }
        self.Succeed();
        return XMLNode(element);
    } catch (const std::bad_alloc&) {
        self.Fail(XML_STATUS_OUT_OF_MEMORY, L"CreateElement: out of memory");
        return XMLNode();
    }
}

XMLNode XMLDocument::CreateTextNode(const wchar_t* text)
{
    Impl& self = Self();
    try {
        platform::LibxmlErrorCapture quiet; // failures show as NULL results; no report reaches stderr
        if (const std::wstring refusal = RefusalOfText(L"CreateTextNode", text); !refusal.empty()) {
            self.Fail(XML_STATUS_INVALID_ARGUMENT, refusal);
            return XMLNode();
        }
        const std::string content = WideToUtf8(text != nullptr ? text : L"");
        xmlNodePtr node = self.Adopt(platform::NewText(self.doc.get(), AsXmlChars(content)));
        self.Succeed();
        return XMLNode(node);
    } catch (const std::bad_alloc&) {
        self.Fail(XML_STATUS_OUT_OF_MEMORY, L"CreateTextNode: out of memory");
        return XMLNode();
    }
}

long XMLDocument::AppendChild(XMLNode parent, XMLNode child, XMLNode* appended)
{
    Impl& self = Self();
    if (appended != nullptr) {
        *appended = XMLNode();
    }
    xmlNodePtr container = parent ? AsNode(parent.m_node) : self.DocumentNode();
    xmlNodePtr node = AsNode(child.m_node);
    if (node == nullptr) {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"AppendChild: no node to append");
    }
    if (!self.Owns(container) || !self.Owns(node)) {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"AppendChild: the node belongs to another document");
    }
    if (const wchar_t* refusal = RefusalToAppend(*container, *node); *refusal != L'\0') {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, refusal);
    }
    try {
        platform::LibxmlErrorCapture quiet; // failures show as NULL results; no report reaches stderr
        if (node->parent != nullptr) {
            platform::KeepPrefixesInScope(node); // a move: it leaves the declarations above it
            xmlUnlinkNode(node);
        }
        LinkAsLastChild(container, node);
        self.Attached(node);
        if (node->type == XML_ELEMENT_NODE) {
            platform::SettleDefaultNamespaces(node);
        }
    } catch (const std::bad_alloc&) {
        return self.Fail(XML_STATUS_OUT_OF_MEMORY, L"AppendChild: out of memory");
    }
    if (appended != nullptr) {
        *appended = child;
    }
    return self.Succeed();
}

long XMLDocument::SetAttribute(XMLNode element, const wchar_t* name, const wchar_t* value)
{
    Impl& self = Self();
    xmlNodePtr node = AsNode(element.m_node);
    if (!self.Owns(node) || node->type != XML_ELEMENT_NODE) {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"SetAttribute: not an element of this document");
    }
    if (name == nullptr) {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"SetAttribute: no name given");
    }
    try {
        platform::LibxmlErrorCapture quiet; // failures show as NULL results; no report reaches stderr
        if (const std::wstring refusal = RefusalOfText(L"SetAttribute", value); !refusal.empty()) {
            return self.Fail(XML_STATUS_INVALID_ARGUMENT, refusal);
        }
        std::string refusal =
            platform::SetElementAttribute(node, WideToUtf8(name), WideToUtf8(value != nullptr ? value : L""));
        if (!refusal.empty()) {
            return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"SetAttribute: " + Utf8ToWide(refusal));
        }
    } catch (const std::bad_alloc&) {
        return self.Fail(XML_STATUS_OUT_OF_MEMORY, L"SetAttribute: out of memory");
    }
    return self.Succeed();
}

} // namespace ZVXML
