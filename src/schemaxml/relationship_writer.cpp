// Writing relationship classes and their two ends.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/verify_hr.h"
#include "schemaxml/tree_building.h"

namespace ZVXML {
namespace {

void WriteKeys(XMLDocument& document, XMLNode classElement, const std::vector<std::wstring>& keyVector)
{
    if (keyVector.empty()) {
        return;
    }
    XMLNode key = AppendChildElement(document, classElement, L"Key", ZVXML_NAMESPACE_URI);
    const WritingScope scope(L"key", nullptr);
    for (std::size_t i = 0; i < keyVector.size(); ++i) {
        XMLNode pPropertyElement = AppendChildElement(document, key, L"Property", ZVXML_NAMESPACE_URI);
        SET_CHECKED_ATTRIBUTE(document, pPropertyElement, L"name", keyVector[i],
                              L"pPropertyElement->setAttribute (L\"name\", _variant_t(keyVector[i].c_str()))");
    }
}

void WriteClassReference(CZVRelationshipClass* owner, XMLDocument& document, XMLNode endElement,
                         const std::wstring& className, const std::vector<std::wstring>& keyVector)
{
    XMLNode pClassElement = AppendChildElement(document, endElement, L"Class", ZVXML_NAMESPACE_URI);
    CZVSchema* schema = owner->GetZVSchema();
    const std::wstring fullname = schema != nullptr ? schema->GetRelativeClassName(className.c_str()) : className;
    SET_CHECKED_ATTRIBUTE(document, pClassElement, L"class", fullname.c_str(),
                          L"pClassElement->setAttribute (L\"class\", _variant_t(fullname.c_str()))");
    WriteKeys(document, pClassElement, keyVector);
}

} // namespace

int CZVRelationshipClass::WriteXML(XMLDocument& document, XMLNode parent)
{
    const WritingScope scope(L"ZVRelationshipClass", GetTypeName());
    XMLNode pElement = AppendChildElement(document, parent, L"ZVRelationshipClass", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, pElement, L"typeName", GetTypeName(),
                          L"pElement->setAttribute (L\"typeName\", _variant_t(GetTypeName()))");
    if (!DescriptionText().empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"description", DescriptionText(),
                              L"pElement->setAttribute (L\"description\", _variant_t(GetDescription()))");
    }
    if (*GetDisplayLabel() != L'\0') {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"displayLabel", GetDisplayLabel(),
                              L"pElement->setAttribute (L\"displayLabel\", _variant_t(GetDisplayLabel()))");
    }
    if (*GetBaseClass() != L'\0') {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"baseClass", GetBaseClass(),
                              L"pElement->setAttribute (L\"baseClass\", _variant_t(GetBaseClass()))");
    }
    if (IsCustomAttributeClass()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"isCustomAttributeClass", ZVXML_TRUE,
                              L"pElement->setAttribute (L\"isCustomAttributeClass\", _variant_t(ZVXML_TRUE))");
    }
    SET_CHECKED_ATTRIBUTE(
        document, pElement, L"isDomainClass", IsDomainClass() ? ZVXML_TRUE : ZVXML_FALSE,
        L"pElement->setAttribute (L\"isDomainClass\", _variant_t(IsDomainClass() ? ZVXML_TRUE : ZVXML_FALSE))");
    if (!m_strength.empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"strength", GetStrength(),
                              L"pElement->setAttribute (L\"strength\", _variant_t(GetStrength()))");
    }
    if (!m_strengthDirection.empty()) {
        SET_CHECKED_ATTRIBUTE(document, pElement, L"strengthDirection", GetStrengthDirection(),
                              L"pElement->setAttribute (L\"strengthDirection\", _variant_t(GetStrengthDirection()))");
    }
    if (int result = WriteCustomAttributesToXML(document, pElement)) {
        return result;
    }
    for (std::size_t i = 0; i < GetZVPropertyCount(); ++i) {
        if (int result = GetZVProperty(i)->WriteXML(document, pElement)) {
            return result;
        }
    }
    if (int result = m_source.WriteXML(this, document, pElement)) {
        return result;
    }
    return m_targets.WriteXML(this, document, pElement);
}

int CZVSource::WriteXML(CZVRelationshipClass* owner, XMLDocument& document, XMLNode relationshipElement)
{
    const WritingScope scope(L"Source", nullptr);
    XMLNode pSourceElement = AppendChildElement(document, relationshipElement, L"Source", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, pSourceElement, L"cardinality", m_cardinality,
                          L"pSourceElement->setAttribute (L\"cardinality\", _variant_t(m_cardinality.c_str()))");
    SET_CHECKED_ATTRIBUTE(document, pSourceElement, L"roleLabel", m_roleLabel,
                          L"pSourceElement->setAttribute (L\"roleLabel\", _variant_t(m_roleLabel.c_str()))");
    SET_CHECKED_ATTRIBUTE(
        document, pSourceElement, L"polymorphic", m_isPolymorphic ? ZVXML_TRUE : ZVXML_FALSE,
        L"pSourceElement->setAttribute (L\"polymorphic\", _variant_t(m_isPolymorphic ? ZVXML_TRUE : ZVXML_FALSE))");
    if (int result = WriteCustomAttributesToXML(document, pSourceElement)) {
        return result;
    }
    // "ZVObject" stands for any class: there is no class to name.
    if (m_className.empty() || m_className == L"ZVObject") {
        return 0;
    }
    WriteClassReference(owner, document, pSourceElement, m_className, m_keyVector);
    return 0;
}

int CZVTargets::WriteXML(CZVRelationshipClass* owner, XMLDocument& document, XMLNode relationshipElement)
{
    if (m_classNames.empty()) {
        return 0;
    }
    const WritingScope scope(L"Target", nullptr);
    XMLNode pTargetElement = AppendChildElement(document, relationshipElement, L"Target", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, pTargetElement, L"cardinality", m_cardinality,
                          L"pTargetElement->setAttribute (L\"cardinality\", _variant_t(m_cardinality.c_str()))");
    SET_CHECKED_ATTRIBUTE(document, pTargetElement, L"roleLabel", m_roleLabel,
                          L"pTargetElement->setAttribute (L\"roleLabel\", _variant_t(m_roleLabel.c_str()))");
    SET_CHECKED_ATTRIBUTE(
        document, pTargetElement, L"polymorphic", m_isPolymorphic ? ZVXML_TRUE : ZVXML_FALSE,
        L"pTargetElement->setAttribute (L\"polymorphic\", _variant_t(m_isPolymorphic ? ZVXML_TRUE : ZVXML_FALSE))");
    if (m_classNames.size() != m_keyVectors.size()) {
        throw ZVXMLLogicError(std::wstring(L"Target of ZVRelationshipClass '") + owner->GetTypeName() +
                                  L"' contains mismatched number of Class references and Key Vectors",
                              L"");
    }
    if (int result = WriteCustomAttributesToXML(document, pTargetElement)) {
        return result;
    }
    for (std::size_t i = 0; i < m_classNames.size(); ++i) {
        if (!m_classNames[i].empty()) {
            WriteClassReference(owner, document, pTargetElement, m_classNames[i], m_keyVectors[i]);
        }
    }
    return 0;
}

} // namespace ZVXML
