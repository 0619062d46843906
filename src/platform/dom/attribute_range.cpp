#include "platform/dom/attribute_range.h"

#include "platform/dom/node_position.h"
#include "platform/dom/node_text.h"
#include "platform/libxml_resources.h"

#include <cstring>

namespace ZVXML {
namespace platform {
namespace {

void AssignUtf8(const xmlChar* text, std::wstring& into)
{
    into.clear();
    if (text != nullptr) {
        const char* chars = AsChars(text);
        AppendUtf8AsWide(chars, std::strlen(chars), into);
    }
}

bool IsText(const xmlNode& node) { return node.type == XML_TEXT_NODE || node.type == XML_CDATA_SECTION_NODE; }

void AssignValue(const xmlAttr& attribute, std::wstring& into)
{
    const xmlNode* only = attribute.children;
    if (only != nullptr && only->next == nullptr && IsText(*only)) {
        AssignUtf8(only->content, into); // the usual case: one piece of text
        return;
    }
    const std::string text = AttributeText(attribute);
    into.clear();
    AppendUtf8AsWide(text.data(), text.size(), into);
}

} // namespace

bool IsNamespaceDeclaration(const XMLAttribute& attribute)
{
    return attribute.name == L"xmlns" || attribute.name.compare(0, 6, L"xmlns:") == 0;
}

void ReadAttribute(const xmlAttr& attribute, XMLAttribute& into)
{
    const xmlChar* prefix = attribute.ns != nullptr ? attribute.ns->prefix : nullptr;
    AssignUtf8(prefix, into.name);
    if (prefix != nullptr) {
        into.name.push_back(L':');
        const char* name = AsChars(attribute.name);
        AppendUtf8AsWide(name, std::strlen(name), into.name);
    } else {
        AssignUtf8(attribute.name, into.name);
    }
    AssignValue(attribute, into.value);
}

AttributeRange::AttributeRange(XMLNode element)
{
    const xmlNodePtr node = XMLNode::Access::Node(element);
    if (node != nullptr && node->type == XML_ELEMENT_NODE) {
        m_at = node->properties;
        Settle(false);
    }
}

void AttributeRange::Settle(bool past)
{
    if (past && m_at != nullptr) {
        m_at = m_at->next;
    }
    for (; m_at != nullptr; m_at = m_at->next) {
        ReadAttribute(*m_at, m_current);
        if (!IsNamespaceDeclaration(m_current)) {
            return;
        }
    }
}

} // namespace platform
} // namespace ZVXML
