#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/naming_rule.h"

namespace ZVXML {

CZVProperty::CZVProperty(CZVClass* zvClass) : m_pZVClass(zvClass) {}

CZVProperty::CZVProperty(const CZVProperty& other) = default;
CZVProperty& CZVProperty::operator=(const CZVProperty& other) = default;
CZVProperty::~CZVProperty() = default;

const wchar_t* CZVProperty::GetPropertyName() const { return m_propertyName.c_str(); }
std::wstring& CZVProperty::PropertyName() { return m_propertyName; }

void CZVProperty::SetPropertyName(const wchar_t* name)
{
    CheckName(name, 1, kClassOrPropertyNameKind);
    m_propertyName = name;
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
