// Writing custom attributes: instances and their values in the namespace of
// their class's schema.
#include <zvxml/errors.h>
#include <zvxml/instance.h>
#include <zvxml/schema.h>

#include "foundation/verify_hr.h"
#include "foundation/writing_scope.h"
#include "platform/dom/dom_parser.h"
#include "schemaxml/tree_building.h"

#include <string>

namespace ZVXML {
namespace {

const wchar_t* ValueElementName(ZVValueBase& value, int isArrayMember)
{
    if (isArrayMember && value.GetProperty() != nullptr) {
        return value.GetProperty()->GetTypeName();
    }
    return value.GetPropertyName();
}

// The level of `parent` in its document (the root is level 1; a node
// outside any element is level 0), counted no further than the first level
// a reader refuses.
int LevelOf(XMLNode parent)
{
    int level = 0;
    for (XMLNode node = parent; level <= platform::kDomMaxDepth && node && node.NodeType() == XML_NODE_ELEMENT;
         node = node.Parent()) {
        ++level;
    }
    return level;
}

// Appends the element of an instance or a value. Its level in the document
// is what a reader of the file limits, so that is what is checked, not the
// levels of values: the elements above the custom attribute count too. Every
// walk down the values appends an element per call, so this also ends
// values that hold themselves.
XMLNode AppendValueElement(XMLDocument& document, XMLNode parent, const wchar_t* name, const wchar_t* namespaceURI)
{
    if (LevelOf(parent) + 1 > platform::kDomMaxDepth) {
        // Values written on their own belong to no custom attribute.
        const std::wstring item = WritingScope::DescribeFrom(L"ZVCustomAttribute");
        throw ZVXMLFormatError(L"Cannot write " + (item.empty() ? L"values: they" : item + L": its values") +
                                   L" nest deeper than " + std::to_wstring(platform::kDomMaxDepth) +
                                   L" levels, more than a reader of the document accepts.",
                               L"");
    }
    return AppendChildElement(document, parent, name, namespaceURI);
}

int WriteValues(const CZVInstance& instance, XMLDocument& document, XMLNode element, std::wstring& namespaceURI)
{
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        if (ZVValueBase* value = instance.GetZVValue(i)) {
            if (int result = value->WriteXML(document, element, namespaceURI, 0)) {
                return result;
            }
        }
    }
    return 0;
}

} // namespace

int CZVCommon::WriteCustomAttributesToXML(XMLDocument& document, XMLNode element)
{
    if (m_customAttributes.empty()) {
        return 0;
    }
    XMLNode container = AppendChildElement(document, element, L"ZVCustomAttributes", ZVXML_NAMESPACE_URI);
    for (CZVCustomAttribute* customAttribute : m_customAttributes) {
        if (customAttribute != nullptr) {
            if (int result = customAttribute->WriteXML(document, container)) {
                return result;
            }
        }
    }
    return 0;
}

int CZVInstance::WriteXML(XMLDocument& document, XMLNode parent)
{
    const WritingScope scope(dynamic_cast<const CZVCustomAttribute*>(this) != nullptr ? L"ZVCustomAttribute"
                                                                                      : L"ZVInstance",
                             m_typeName.c_str());
    CZVSchema* schema = m_pZVClass != nullptr ? m_pZVClass->GetZVSchema() : nullptr;
    std::wstring namespaceURI = schema != nullptr ? schema->XmlNamespace() : std::wstring();
    XMLNode pElement = AppendValueElement(document, parent, m_typeName.c_str(), namespaceURI.c_str());
    if (!m_instanceID.empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"id", m_instanceID, // the whole string: it may hold U+0000
                              L"pElement->setAttribute (L\"id\", instanceId)");
    }
    return WriteValues(*this, document, pElement, namespaceURI);
}

int CZVValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    // An array member is named by its array's scope.
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    XMLNode element =
        AppendValueElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    if (!m_value.empty()) {
        AppendTextNode(document, element, m_value);
    }
    return 0;
}

int ZVStructValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    XMLNode element =
        AppendValueElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    return m_pInstance != nullptr ? WriteValues(*m_pInstance, document, element, namespaceURI) : 0;
}

int ZVArrayValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    XMLNode element =
        AppendValueElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    for (ZVValueBase* member : m_members) {
        if (member != nullptr) {
            member->WriteXML(document, element, namespaceURI, 1);
        }
    }
    return 0;
}

} // namespace ZVXML
