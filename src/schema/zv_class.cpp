// A class of a schema: name, base class, class-type flags, properties.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/owned_list.h"
#include "foundation/wide_format.h"
#include "schema/base_chain.h"
#include "schema/class_name_index.h"
#include "schema/naming_rule.h"
#include "schema/schema_internals.h"

#include <memory>
#include <string_view>

namespace ZVXML {
namespace {

[[noreturn]] void ThrowNullProperty(const CZVClass* zvClass)
{
    throw ZVXMLRuntimeError(std::wstring(L"Unexpected NULL property found in class ") + zvClass->GetTypeName() +
                                L"'s property vector",
                            L"");
}

// Property names are short and mostly differ in length or in their first
// character: compared here without calling out.
bool SameName(const std::wstring& candidate, std::wstring_view name)
{
    if (candidate.size() != name.size()) {
        return false;
    }
    const wchar_t* text = candidate.data();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (text[i] != name[i]) {
            return false;
        }
    }
    return true;
}

CZVProperty* FindOwnProperty(const CZVClass* zvClass, const std::vector<CZVProperty*>& properties,
                             std::wstring_view name)
{
    for (CZVProperty* property : properties) {
        if (property == nullptr) {
            ThrowNullProperty(zvClass);
        }
        if (SameName(property->PropertyName(), name)) {
            return property;
        }
    }
    return nullptr;
}

} // namespace

CZVClass::CZVClass(const wchar_t* name, CZVSchema* schema, CIDGenerationStrategy* strategy)
    : m_pIDGenerationStrategy(strategy), m_pZVSchema(schema)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema into CZVClass constructor", L"");
    }
    if (name == nullptr || *name == L'\0') {
        throw ZVXMLInvalidArgument(L"Passed NULL or blank classname into CZVClass constructor", L"");
    }
    CheckName(name, 1, kClassOrPropertyNameKind);
    m_typeName = name;
}

CZVClass::CZVClass(const CZVClass& other)
    : CZVCommon(other), m_typeName(other.m_typeName), m_baseClassName(other.m_baseClassName),
      m_displayLabel(other.m_displayLabel), m_pBaseClass(other.m_pBaseClass), m_isStruct(other.m_isStruct),
      m_isCustomAttributeClass(other.m_isCustomAttributeClass), m_isDomainClass(other.m_isDomainClass),
      m_properties(other.m_properties), m_pIDGenerationStrategy(other.m_pIDGenerationStrategy),
      m_pZVSchema(other.m_pZVSchema)
{
    detail::AdoptAll(m_properties);
}

CZVClass& CZVClass::operator=(const CZVClass& other)
{
    if (this != &other) {
        CZVCommon::operator=(other);
        std::vector<CZVProperty*> shared = other.m_properties;
        detail::AdoptAll(shared);
        detail::ReleaseAll(m_properties);
        m_properties.swap(shared);
        m_typeName = other.m_typeName;
        const std::wstring previousBase = m_baseClassName;
        m_baseClassName = other.m_baseClassName;
        NoteBaseRenamed(previousBase);
        m_displayLabel = other.m_displayLabel;
        m_pBaseClass = other.m_pBaseClass;
        m_isStruct = other.m_isStruct;
        m_isCustomAttributeClass = other.m_isCustomAttributeClass;
        m_isDomainClass = other.m_isDomainClass;
        m_pIDGenerationStrategy = other.m_pIDGenerationStrategy;
        m_pZVSchema = other.m_pZVSchema;
        NoteRenamed();
    }
    return *this;
}

CZVClass::~CZVClass() { detail::ReleaseAll(m_properties); }

void CZVClass::NoteRenamed()
{
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->Invalidate();
    }
}

void CZVClass::NoteBaseRenamed(const std::wstring& previous)
{
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->BaseRenamed(previous, m_baseClassName);
    }
}

const wchar_t* CZVClass::GetTypeName() const { return m_typeName.c_str(); }

std::wstring& CZVClass::TypeName()
{
    NoteRenamed(); // the caller may rename through the reference
    return m_typeName;
}

void CZVClass::SetTypeNameChecked(const wchar_t* name)
{
    CheckName(name, 1, kClassOrPropertyNameKind);
    m_typeName = name;
    NoteRenamed();
}

void CZVClass::SetTypeName(const wchar_t* name)
{
    if (name == nullptr) {
        throw ZVXMLInvalidArgument(L"NULL passed to CZVClass::SetTypeName", L"");
    }
    SetTypeNameChecked(name);
}

void CZVClass::SetTypeName(const std::wstring& name) { SetTypeNameChecked(name.c_str()); }

std::wstring CZVClass::FullName() const
{
    if (m_pZVSchema == nullptr) {
        return m_typeName;
    }
    return std::wstring(m_pZVSchema->GetSchemaPrefix()) + L":" + m_typeName;
}

const wchar_t* CZVClass::GetDisplayLabel() const { return m_displayLabel.c_str(); }

void CZVClass::SetDisplayLabel(const wchar_t* label)
{
    if (label == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL label to CZVClass::SetDisplayLabel", L"");
    }
    m_displayLabel = label;
}

CZVSchema* CZVClass::GetZVSchema() const { return m_pZVSchema; }
void CZVClass::SetZVSchema(CZVSchema* schema) { m_pZVSchema = schema; }
CIDGenerationStrategy* CZVClass::GetIDGenerationStrategy() const { return m_pIDGenerationStrategy; }

const wchar_t* CZVClass::GetBaseClass() const { return m_baseClassName.c_str(); }

void CZVClass::SetBaseClass(const wchar_t* name)
{
    if (name == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL name to CZVClass::SetBaseClass", L"");
    }
    std::wstring prefix;
    std::wstring className;
    CZVSchema::ParseZVClassName(name, prefix, className);
    CheckName(className.c_str(), 1, kClassOrPropertyNameKind);
    CZVClass* found = nullptr;
    if (m_pZVSchema != nullptr) {
        if (dynamic_cast<CZVRelationshipClass*>(this) != nullptr) {
            found = m_pZVSchema->FindZVRelationshipClassUsingFullName(name, ZVCLASSTYPE_ANY);
        }
        if (found == nullptr) {
            found = m_pZVSchema->FindZVClassUsingFullName(name, ZVCLASSTYPE_ANY);
        }
    }
    if (found == nullptr) {
        throw ZVXMLLogicError(L"Attempted to set BaseClass of ZVClass '" + m_typeName + L"' to '" + name +
                                  L"' but no such class can be found in this ZVSchema or referenenced ZVSchemas.",
                              L"");
    }
    const std::wstring previous = m_baseClassName;
    m_baseClassName = m_pZVSchema->GetRelativeClassName(found);
    m_pBaseClass = found;
    NoteBaseRenamed(previous);
}

void CZVClass::SetBaseClass(const std::wstring& name) { SetBaseClass(name.c_str()); }

CZVClass* CZVClass::GetBaseZVClass()
{
    if (m_pBaseClass != nullptr) {
        return m_pBaseClass;
    }
    if (m_baseClassName.empty()) {
        return nullptr;
    }
    if (m_pZVSchema == nullptr) {
        throw ZVXMLLogicError(L"Attempting to GetBaseZVClass of an ZVClass that has no m_pZVSchema", L"");
    }
    CZVClass* base = dynamic_cast<CZVRelationshipClass*>(this) != nullptr
                         ? m_pZVSchema->FindZVRelationshipClass(m_baseClassName.c_str(), ZVCLASSTYPE_ANY)
                         : m_pZVSchema->FindZVClass(m_baseClassName.c_str(), ZVCLASSTYPE_ANY);
    if (base == nullptr) {
        throw ZVXMLLogicError(L"GetBaseZVClass is unable to find baseclass '" + m_baseClassName + L"' of class '" +
                                  m_typeName + L"'.",
                              L"");
    }
    return base;
}

int CZVClass::IsStruct() const { return m_isStruct; }
void CZVClass::SetIsStruct(int isStruct) { m_isStruct = isStruct; }
int CZVClass::IsCustomAttributeClass() const { return m_isCustomAttributeClass; }
void CZVClass::SetIsCustomAttributeClass(int isCustomAttributeClass)
{
    m_isCustomAttributeClass = isCustomAttributeClass;
}
int CZVClass::IsDomainClass() const { return m_isDomainClass; }
void CZVClass::SetIsDomainClass(int isDomainClass) { m_isDomainClass = isDomainClass; }

unsigned long CZVClass::GetClassType() const
{
    return (m_isDomainClass ? ZVCLASSTYPE_DOMAIN : 0ul) | (m_isStruct ? ZVCLASSTYPE_STRUCT : 0ul) |
           (m_isCustomAttributeClass ? ZVCLASSTYPE_CUSTOM_ATTRIBUTE : 0ul);
}

void CZVClass::SetClassType(unsigned long classType)
{
    // A struct alone (2) is not a class type; every other combination of the
    // three bits is.
    if (classType == 0 || classType == ZVCLASSTYPE_STRUCT || classType > 7) {
        throw ZVXMLInvalidArgument(FormatWide(L"Called SetClassType with invalid classType=0x%lx", classType), L"");
    }
    m_isStruct = static_cast<int>(classType & ZVCLASSTYPE_STRUCT);
    m_isCustomAttributeClass = static_cast<int>(classType & ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    m_isDomainClass = static_cast<int>(classType & ZVCLASSTYPE_DOMAIN);
}

bool CZVClass::MatchesClassType(unsigned long classTypeMask) const
{
    return classTypeMask == ZVCLASSTYPE_ANY || (GetClassType() & classTypeMask) != 0;
}

CZVProperty* CZVClass::GetZVProperty(std::size_t index) const { return m_properties[index]; }
std::size_t CZVClass::GetZVPropertyCount() const { return m_properties.size(); }

CZVProperty* CZVClass::FindProperty(const wchar_t* name)
{
    if (name == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL propertyName to CZVClass::FindProperty", L"");
    }
    return Internals::FindProperty(*this, name); // measured once, not per property
}

CZVProperty* CZVClass::Internals::FindProperty(CZVClass& zvClass, std::wstring_view name)
{
    if (CZVProperty* own = FindOwnProperty(&zvClass, zvClass.m_properties, name)) {
        return own;
    }
    if (zvClass.m_baseClassName.empty() && zvClass.m_pBaseClass == nullptr) {
        return nullptr; // most classes have no base: no walk to set up
    }
    BaseChain chain(&zvClass);
    for (CZVClass* base = chain.Next(&zvClass); base != nullptr; base = chain.Next(base)) {
        if (CZVProperty* inherited = FindOwnProperty(base, base->m_properties, name)) {
            return inherited;
        }
    }
    return nullptr;
}

bool CZVClass::HasProperty(const wchar_t* name) { return FindProperty(name) != nullptr; }

void CZVClass::AddZVProperty(CZVProperty* property)
{
    if (property == nullptr) {
        return;
    }
    if (FindProperty(property->GetPropertyName()) != nullptr) {
        throw ZVXMLDomainError(std::wstring(L"Attempted to add duplicately named property ") +
                                   property->GetPropertyName() + L" to class " + m_typeName,
                               L"");
    }
    if (property->IsStruct() &&
        (m_pZVSchema == nullptr || m_pZVSchema->FindZVClass(property->GetTypeName(), ZVCLASSTYPE_ANY) == nullptr)) {
        throw ZVXMLLogicError(std::wstring(L"ZVProperty ") + property->GetPropertyName() + L" has TypeName=" +
                                  property->GetTypeName() + L" but no ZVClass with that name exists in the ZVSchema.",
                              L"");
    }
    m_properties.push_back(property);
    detail::Adopt(property);
}

CZVProperty* CZVClass::AddZVProperty(std::wstring name, std::wstring typeName, std::wstring description)
{
    std::unique_ptr<CZVProperty> property(new CZVProperty(this));
    property->SetPropertyName(name);
    property->SetTypeName(typeName);
    property->SetDescription(description);
    AddZVProperty(property.get());
    return property.release();
}

void CZVClass::RemoveZVProperty(const wchar_t* name)
{
    if (name == nullptr) {
        return;
    }
    for (auto it = m_properties.begin(); it != m_properties.end(); ++it) {
        if (*it == nullptr) {
            ThrowNullProperty(this);
        }
        if ((*it)->PropertyName() == name) {
            CZVProperty* removed = *it;
            m_properties.erase(it);
            detail::Release(removed);
            return;
        }
    }
}

void CZVClass::RemoveAllZVProperties() { detail::ReleaseAll(m_properties); }

int CZVClass::ZVNameIsValid(const wchar_t* name, int throwOnError)
{
    return CheckName(name, throwOnError, kClassOrPropertyNameKind);
}

} // namespace ZVXML
