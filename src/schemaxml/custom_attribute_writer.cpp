// Writing custom attributes: instances and their values in the namespace of
// their class's schema.
#include <zvxml/errors.h>
#include <zvxml/instance.h>
#include <zvxml/schema.h>

#include "foundation/verify_hr.h"
#include "foundation/writing_scope.h"
#include "instance/value_nesting.h"
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

// Entered once per level of values: an instance's values, an array's members.
void EnterLevel(const ValueNestingLevel& level)
{
    if (level.TooDeep()) {
        // Values written on their own belong to no custom attribute.
        const std::wstring item = WritingScope::DescribeFrom(L"ZVCustomAttribute");
        throw ZVXMLFormatError(L"Cannot write " + (item.empty() ? L"values: they" : item + L": its values") +
                                   L" nest deeper than " + std::to_wstring(kMaxValueNesting) +
                                   L" levels, more than a reader of the document accepts.",
                               L"");
    }
}

int WriteValues(const CZVInstance& instance, XMLDocument& document, XMLNode element, std::wstring& namespaceURI)
{
    const ValueNestingLevel level;
    EnterLevel(level);
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
    XMLNode pElement = AppendChildElement(document, parent, m_typeName.c_str(), namespaceURI.c_str());
    if (!m_instanceID.empty()) {
        RequireWritableText(m_instanceID, L"id");
        const wchar_t* instanceId = m_instanceID.c_str();
        SET_CHECKED_ATTRIBUTE(document, pElement, L"id", instanceId, L"pElement->setAttribute (L\"id\", instanceId)");
    }
    return WriteValues(*this, document, pElement, namespaceURI);
}

int CZVValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    // An array member is named by its array's scope.
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    XMLNode element =
        AppendChildElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    if (!m_value.empty()) {
        RequireWritableText(m_value, L"text");
        AppendTextNode(document, element, m_value.c_str());
    }
    return 0;
}

int ZVStructValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    XMLNode element =
        AppendChildElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    return m_pInstance != nullptr ? WriteValues(*m_pInstance, document, element, namespaceURI) : 0;
}

int ZVArrayValue::WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember)
{
    const WritingScope scope(isArrayMember ? L"member" : L"property", isArrayMember ? nullptr : GetPropertyName());
    const ValueNestingLevel level;
    EnterLevel(level);
    XMLNode element =
        AppendChildElement(document, parent, ValueElementName(*this, isArrayMember), namespaceURI.c_str());
    for (ZVValueBase* member : m_members) {
        if (member != nullptr) {
            member->WriteXML(document, element, namespaceURI, 1);
        }
    }
    return 0;
}

} // namespace ZVXML
