#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/naming_rule.h"
#include "schema/schema_internals.h"

namespace ZVXML {

CZVProperty::CZVProperty(CZVClass* zvClass) : m_pZVClass(zvClass) {}

CZVProperty::CZVProperty(const CZVProperty& other) = default; // a copy is held by no class

CZVProperty& CZVProperty::operator=(const CZVProperty& other)
{
    if (this == &other) {
        return *this;
    }
    CZVCommon::operator=(other);
    std::wstring propertyName = other.m_propertyName;
    m_typeName = other.m_typeName;
    m_minOccurs = other.m_minOccurs;
    m_maxOccurs = other.m_maxOccurs;
    m_displayLabel = other.m_displayLabel;
    m_isStruct = other.m_isStruct;
    m_isArray = other.m_isArray;
    m_readOnly = other.m_readOnly;
    m_pZVClass = other.m_pZVClass;
    m_attrId = other.m_attrId;
    m_classDefaultValue = other.m_classDefaultValue;
    m_defaultValueIsNull = other.m_defaultValueIsNull;
    Rename(propertyName);
    return *this;
}

CZVProperty::~CZVProperty() = default;

// Takes `name` (leaving the previous name in it) and tells the classes that
// hold the property.
void CZVProperty::Rename(std::wstring& name)
{
    m_propertyName.swap(name);
    for (CZVClass* holder : m_holders.value) {
        CZVClass::Internals::PropertyRenamed(*holder, this, name);
    }
}

const wchar_t* CZVProperty::GetPropertyName() const { return m_propertyName.c_str(); }

std::wstring& CZVProperty::PropertyName()
{
    // The caller may rename through the reference, unseen.
    for (CZVClass* holder : m_holders.value) {
        CZVClass::Internals::PropertyNameHandedOut(*holder);
    }
    return m_propertyName;
}

void CZVProperty::SetPropertyName(const wchar_t* name)
{
    CheckName(name, 1, kClassOrPropertyNameKind);
    std::wstring renamed(name);
    Rename(renamed);
}

void CZVProperty::SetPropertyName(const std::wstring& name) { SetPropertyName(name.c_str()); }

const wchar_t* CZVProperty::GetTypeName() const { return m_typeName.c_str(); }
std::wstring& CZVProperty::TypeName() { return m_typeName; }

void CZVProperty::SetTypeName(const wchar_t* typeName)
{
    if (typeName == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL typeName to CZVProperty::SetTypeName", L"");
    }
    m_isStruct = CZVSchema::IsPrimitiveType(typeName) ? 0 : 1;
    m_typeName = typeName;
}

void CZVProperty::SetTypeName(const std::wstring& typeName) { SetTypeName(typeName.c_str()); }

const wchar_t* CZVProperty::GetMinOccurs() const { return m_minOccurs.c_str(); }

void CZVProperty::SetMinOccurs(const wchar_t* minOccurs)
{
    if (minOccurs == nullptr) {
        throw ZVXMLInvalidArgument(L"passed NULL minOccurs into CZVProperty::SetMinOccurs", L"");
    }
    m_minOccurs = minOccurs;
    if (m_minOccurs != L"1") {
        m_isArray = 1;
    }
}

const wchar_t* CZVProperty::GetMaxOccurs() const { return m_maxOccurs.c_str(); }

void CZVProperty::SetMaxOccurs(const wchar_t* maxOccurs)
{
    if (maxOccurs == nullptr) {
        throw ZVXMLInvalidArgument(L"passed NULL maxOccurs into CZVProperty::SetMaxOccurs", L"");
    }
    m_maxOccurs = maxOccurs;
    if (m_maxOccurs != L"1") {
        m_isArray = 1;
    }
}

int CZVProperty::IsStruct() const { return m_isStruct; }
int CZVProperty::IsArray() const { return m_isArray; }
int CZVProperty::ReadOnly() const { return m_readOnly; }
void CZVProperty::SetReadOnly(int readOnly) { m_readOnly = readOnly; }
long CZVProperty::GetAttrId() const { return m_attrId; }
void CZVProperty::SetAttrId(long attrId) { m_attrId = attrId; }
const wchar_t* CZVProperty::GetDisplayLabel() const { return m_displayLabel.c_str(); }

void CZVProperty::SetDisplayLabel(const wchar_t* label)
{
    if (label == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL label to CZVProperty::SetDisplayLabel", L"");
    }
    m_displayLabel = label;
}

CZVClass* CZVProperty::GetZVClass() const { return m_pZVClass; }

void CZVProperty::SetClassDefaultValue(const wchar_t* value)
{
    if (value == nullptr) {
        m_classDefaultValue.clear();
        m_defaultValueIsNull = 1;
    } else {
        m_classDefaultValue = value;
        m_defaultValueIsNull = 0;
    }
}

const wchar_t* CZVProperty::GetClassDefaultValue() const
{
    return m_defaultValueIsNull ? nullptr : m_classDefaultValue.c_str();
}

} // namespace ZVXML
