// Writing classes and their properties.
#include <zvxml/schema.h>

#include "foundation/verify_hr.h"
#include "schemaxml/tree_building.h"

#include <cwchar>

namespace ZVXML {
namespace {

const wchar_t* PropertyElementName(const CZVProperty& property)
{
    // The occurs texts decide, not the array flag: "1" and "1" is still an
    // array element.
    if (*property.GetMinOccurs() != L'\0' || *property.GetMaxOccurs() != L'\0') {
        return L"ZVArrayProperty";
    }
    return CZVSchema::IsPrimitiveType(property.GetTypeName()) ? L"ZVProperty" : L"ZVStructProperty";
}

} // namespace

int CZVClass::WriteXML(XMLDocument& document, XMLNode parent)
{
    const WritingScope scope(L"ZVClass", GetTypeName());
    XMLNode pElement = AppendChildElement(document, parent, L"ZVClass", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, pElement, L"typeName", GetTypeName(),
                          L"pElement->setAttribute (L\"typeName\", _variant_t(GetTypeName()))");
    if (!DescriptionText().empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"description", DescriptionText(),
                              L"pElement->setAttribute (L\"description\", _variant_t(GetDescription()))");
    }
    if (!m_displayLabel.empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"displayLabel", GetDisplayLabel(),
                              L"pElement->setAttribute (L\"displayLabel\", _variant_t(GetDisplayLabel()))");
    }
    if (IsCustomAttributeClass()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"isCustomAttributeClass", ZVXML_TRUE,
                              L"pElement->setAttribute (L\"isCustomAttributeClass\", _variant_t(ZVXML_TRUE))");
    }
    SET_CHECKED_ATTRIBUTE(
        document, pElement, L"isDomainClass", IsDomainClass() ? ZVXML_TRUE : ZVXML_FALSE,
        L"pElement->setAttribute (L\"isDomainClass\", _variant_t(IsDomainClass() ? ZVXML_TRUE : ZVXML_FALSE))");
    if (IsStruct()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"isStruct", ZVXML_TRUE,
                              L"pElement->setAttribute (L\"isStruct\", _variant_t(ZVXML_TRUE))");
    }
    WriteBaseClassToXML(document, pElement);
    if (int result = WriteCustomAttributesToXML(document, pElement)) {
        return result;
    }
    for (CZVProperty* property : m_properties) {
        if (int result = property->WriteXML(document, pElement)) {
            return result;
        }
    }
    return 0;
}

int CZVClass::WriteBaseClassToXML(XMLDocument& document, XMLNode classElement)
{
    if (!m_baseClassName.empty()) {
        XMLNode baseClass = AppendChildElement(document, classElement, L"BaseClass", ZVXML_NAMESPACE_URI);
        AppendTextNode(document, baseClass, m_baseClassName, L"BaseClass");
    }
    return 0;
}

int CZVProperty::WriteXML(XMLDocument& document, XMLNode classElement)
{
    const WritingScope scope(L"ZVProperty", GetPropertyName());
    const wchar_t* elementName = PropertyElementName(*this);
    XMLNode pElement = AppendChildElement(document, classElement, elementName, ZVXML_NAMESPACE_URI);
    const wchar_t* typeName = GetTypeName();
    const std::wstring& description = DescriptionText();
    const wchar_t* displayLabel = GetDisplayLabel();
    const wchar_t* minOccurs = GetMinOccurs();
    const wchar_t* maxOccurs = GetMaxOccurs();
    SET_CHECKED_ATTRIBUTE(document, pElement, L"propertyName", GetPropertyName(),
                          L"pElement->setAttribute (L\"propertyName\", _variant_t(GetPropertyName()))");
    SET_CHECKED_ATTRIBUTE(document, pElement, L"typeName", typeName,
                          L"pElement->setAttribute (L\"typeName\", _variant_t(typeName))");
    if (!description.empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"description", description,
                              L"pElement->setAttribute (L\"description\", _variant_t(description))");
    }
    if (*displayLabel != L'\0') {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"displayLabel", displayLabel,
                              L"pElement->setAttribute (L\"displayLabel\", _variant_t(displayLabel))");
    }
    // An array whose texts are both "1" reads back as one only with the
    // maximum first: it gives the minimum "0" (an array), which the
    // minimum's own text then replaces.
    const bool maximumFirst = IsArray() != 0 && std::wcscmp(minOccurs, L"1") == 0 && std::wcscmp(maxOccurs, L"1") == 0;
    const auto writeMaximum = [&] {
        if (*maxOccurs != L'\0') {
            SET_CHECKED_ATTRIBUTE(document, pElement, L"maxOccurs", maxOccurs,
                                  L"pElement->setAttribute (L\"maxOccurs\", _variant_t(maxOccurs))");
        }
    };
    if (maximumFirst) {
        writeMaximum();
    }
    if (*minOccurs != L'\0') {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"minOccurs", minOccurs,
                              L"pElement->setAttribute (L\"minOccurs\", _variant_t(minOccurs))");
    }
    if (!maximumFirst) {
        writeMaximum();
    }
    if (std::wstring(elementName) == L"ZVArrayProperty" && !CZVSchema::IsPrimitiveType(typeName)) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"isStruct", ZVXML_TRUE,
                              L"pElement->setAttribute (L\"isStruct\", _variant_t(ZVXML_TRUE))");
    }
    if (ReadOnly()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"readOnly", ZVXML_TRUE,
                              L"pElement->setAttribute (L\"readOnly\", _variant_t(ZVXML_TRUE))");
    }
    return WriteCustomAttributesToXML(document, pElement);
}

} // namespace ZVXML
