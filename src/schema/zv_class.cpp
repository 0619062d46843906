// A class of a schema: name, base class, class-type flags, properties.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/owned_list.h"
#include "foundation/wide_format.h"
#include "schema/base_chain.h"
#include "schema/base_links.h"
#include "schema/borrowed_classes.h"
#include "schema/class_name_index.h"
#include "schema/inherited_names.h"
#include "schema/naming_rule.h"
#include "schema/property_name_index.h"
#include "schema/schema_internals.h"

#include <algorithm>
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

[[noreturn]] void ThrowBaseLoop(const std::wstring& typeName, const std::wstring& baseName)
{
    throw ZVXMLLogicError(L"Attempted to set BaseClass of ZVClass '" + typeName + L"' to '" + baseName +
                              L"', which would make the base classes of '" + typeName + L"' form a loop.",
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

CZVProperty* WalkOwnProperties(const CZVClass* zvClass, const std::vector<CZVProperty*>& properties,
                               std::wstring_view name)
{
    for (CZVProperty* property : properties) {
        if (property == nullptr) {
            ThrowNullProperty(zvClass);
        }
        if (SameName(detail::PropertyAccess::Name(*property), name)) {
            return property;
        }
    }
    return nullptr;
}

void DetachHolder(CZVProperty* property, const CZVClass* holder)
{
    if (property == nullptr) {
        return;
    }
    std::vector<CZVClass*>& holders = detail::PropertyAccess::Holders(*property);
    auto found = std::find(holders.begin(), holders.end(), holder);
    if (found != holders.end()) {
        holders.erase(found);
    }
    // A property shared by copies of its class passes to a class still
    // holding it, as a class passes to a schema still holding it: its class
    // must not be one that may be gone.
    if (property->GetZVClass() == holder && !holders.empty()) {
        detail::PropertyAccess::SetClass(*property, holders.front());
    }
}

void DetachHolder(const std::vector<CZVProperty*>& properties, const CZVClass* holder)
{
    for (CZVProperty* property : properties) {
        DetachHolder(property, holder);
    }
}

// Each property learns that `holder` holds it; all or none do.
void AttachHolder(const std::vector<CZVProperty*>& properties, CZVClass* holder)
{
    std::size_t attached = 0;
    try {
        for (CZVProperty* property : properties) {
            if (property != nullptr) {
                detail::PropertyAccess::Holders(*property).push_back(holder);
            }
            ++attached;
        }
    } catch (...) {
        for (std::size_t i = 0; i < attached; ++i) {
            DetachHolder(properties[i], holder);
        }
        throw;
    }
}

// An index for a list long enough to want one, or none.
std::unique_ptr<detail::PropertyNameIndex> IndexFor(const std::vector<CZVProperty*>& properties, const CZVClass* owner)
{
    if (properties.size() < detail::kPropertyIndexFrom) {
        return nullptr;
    }
    auto index = std::make_unique<detail::PropertyNameIndex>();
    index->Rebuild(properties, owner);
    return index;
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
      m_displayLabel(other.m_displayLabel), m_isStruct(other.m_isStruct),
      m_isCustomAttributeClass(other.m_isCustomAttributeClass), m_isDomainClass(other.m_isDomainClass),
      m_properties(other.m_properties), m_pIDGenerationStrategy(other.m_pIDGenerationStrategy),
      m_pZVSchema(other.m_pZVSchema)
{
    AttachHolder(m_properties, this);
    try {
        m_propertyIndex = IndexFor(m_properties, this);
    } catch (...) {
        DetachHolder(m_properties, this);
        throw;
    }
    detail::AdoptAll(m_properties);
    // Nothing derives from a new class, so its link closes no loop.
    Internals::LinkBase(*this, other.m_pBaseClass);
}

CZVClass& CZVClass::operator=(const CZVClass& other)
{
    if (this == &other) {
        return *this;
    }
    if (Internals::ClosesLoop(*this, other.m_pBaseClass)) {
        ThrowBaseLoop(m_typeName, other.m_baseClassName);
    }
    CZVCommon::operator=(other);
    // Everything that may throw comes first.
    std::vector<CZVProperty*> shared = other.m_properties;
    std::wstring typeName = other.m_typeName;
    std::wstring baseClassName = other.m_baseClassName;
    std::wstring displayLabel = other.m_displayLabel;
    AttachHolder(shared, this);
    detail::AdoptAll(shared);

    m_propertyIndex.reset();
    for (CZVProperty* property : m_properties) {
        NotePropertyRemoved(property);
    }
    detail::ReleaseAll(m_properties);
    m_properties.swap(shared);
    for (detail::ClassNameIndex* index : m_listIndexes) {
        for (CZVProperty* property : m_properties) {
            index->PropertyAdded(this, detail::PropertyAccess::Name(*property));
        }
    }
    try {
        m_propertyIndex = IndexFor(m_properties, this);
    } catch (...) {
        // The properties are walked instead.
    }
    m_typeName.swap(typeName);
    NoteRenamed(typeName);
    m_baseClassName.swap(baseClassName);
    Internals::LinkBase(*this, other.m_pBaseClass);
    NoteBaseRenamed(baseClassName);
    m_displayLabel.swap(displayLabel);
    m_isStruct = other.m_isStruct;
    m_isCustomAttributeClass = other.m_isCustomAttributeClass;
    m_isDomainClass = other.m_isDomainClass;
    m_pIDGenerationStrategy = other.m_pIDGenerationStrategy;
    // A class in a schema's list belongs to a schema holding it (that one
    // may outlive the other class's schema); a loose class takes the other's.
    if (m_holders.empty()) {
        m_pZVSchema = other.m_pZVSchema;
    }
    return *this;
}

CZVClass::~CZVClass()
{
    detail::ForgetBorrowed(*this);
    Internals::Unlink(*this);
    Internals::ReleaseDerived(*this);
    DetachHolder(m_properties, this);
    detail::ReleaseAll(m_properties);
}

void CZVClass::NoteRenamed(const std::wstring& previous)
{
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->ClassRenamed(this, previous);
    }
}

void CZVClass::NoteBaseRenamed(const std::wstring& previous)
{
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->BaseRenamed(previous, m_baseClassName);
    }
}

// A property that has just left the list (or is about to leave it whole).
void CZVClass::NotePropertyRemoved(CZVProperty* property)
{
    if (property == nullptr) {
        return;
    }
    DetachHolder(property, this);
    const std::wstring& name = detail::PropertyAccess::Name(*property);
    if (m_propertyIndex) {
        m_propertyIndex->Removed(property, name, m_properties);
    }
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->PropertyRemoved(this, name);
    }
}

// A property that has just been appended to the list, whose holders have
// room for this class.
void CZVClass::NotePropertyAdded(CZVProperty* property)
{
    std::vector<CZVClass*>& holders = detail::PropertyAccess::Holders(*property);
    if (m_propertyIndex) {
        if (std::find(holders.begin(), holders.end(), this) != holders.end()) {
            m_propertyIndex->MarkStale(); // held twice: left to walks
        } else {
            m_propertyIndex->Appended(property);
        }
    }
    holders.push_back(this);
    const std::wstring& name = detail::PropertyAccess::Name(*property);
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->PropertyAdded(this, name);
    }
}

void CZVClass::Internals::PropertyRenamed(CZVClass& holder, CZVProperty* property, const std::wstring& previous)
{
    if (holder.m_propertyIndex) {
        holder.m_propertyIndex->Renamed(property, previous, holder.m_properties);
    }
    const std::wstring& name = detail::PropertyAccess::Name(*property);
    for (detail::ClassNameIndex* index : holder.m_listIndexes) {
        index->PropertyRemoved(&holder, previous);
        index->PropertyAdded(&holder, name);
    }
}

void CZVClass::Internals::PropertyNameHandedOut(CZVClass& holder)
{
    if (holder.m_propertyIndex) {
        holder.m_propertyIndex->MarkStale();
    }
    for (detail::ClassNameIndex* index : holder.m_listIndexes) {
        index->PropertyNamesHandedOut();
    }
}

void CZVClass::Internals::SetChain(CZVClass& zvClass, std::unique_ptr<detail::ChainInfo> chain)
{
    zvClass.m_chainInfo = std::move(chain);
}

const wchar_t* CZVClass::GetTypeName() const { return m_typeName.c_str(); }

std::wstring& CZVClass::TypeName()
{
    // The caller may rename through the reference, unseen.
    for (detail::ClassNameIndex* index : m_listIndexes) {
        index->NamesHandedOut();
    }
    return m_typeName;
}

void CZVClass::SetTypeNameChecked(const wchar_t* name)
{
    CheckName(name, 1, kClassOrPropertyNameKind);
    std::wstring renamed(name);
    m_typeName.swap(renamed);
    NoteRenamed(renamed);
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
    if (Internals::ClosesLoop(*this, found)) {
        ThrowBaseLoop(m_typeName, name);
    }
    std::wstring baseClassName = m_pZVSchema->GetRelativeClassName(found);
    m_baseClassName.swap(baseClassName);
    Internals::LinkBase(*this, found);
    NoteBaseRenamed(baseClassName);
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

CZVProperty* CZVClass::Internals::FindOwnProperty(const CZVClass& zvClass, std::wstring_view name)
{
    const detail::PropertyNameIndex* index = zvClass.m_propertyIndex.get();
    if (index != nullptr && index->Current()) {
        return index->Find(name);
    }
    return WalkOwnProperties(&zvClass, zvClass.m_properties, name);
}

CZVProperty* CZVClass::Internals::FindProperty(CZVClass& zvClass, std::wstring_view name)
{
    if (CZVProperty* own = FindOwnProperty(zvClass, name)) {
        return own;
    }
    if (zvClass.m_baseClassName.empty() && zvClass.m_pBaseClass == nullptr) {
        return nullptr; // most classes have no base: no walk to set up
    }
    // No chain of links loops: follow them without remembering the way.
    for (const CZVClass* current = &zvClass;;) {
        const CZVClass* base = current->m_pBaseClass;
        if (base == nullptr) {
            if (current->m_baseClassName.empty()) {
                return nullptr;
            }
            break; // a base known by name only: walked with care below
        }
        if (CZVProperty* inherited = FindOwnProperty(*base, name)) {
            return inherited;
        }
        current = base;
    }
    BaseChain chain(&zvClass);
    for (CZVClass* base = chain.Next(&zvClass); base != nullptr; base = chain.Next(base)) {
        if (CZVProperty* inherited = FindOwnProperty(*base, name)) {
            return inherited;
        }
    }
    return nullptr;
}

bool CZVClass::HasProperty(const wchar_t* name) { return FindProperty(name) != nullptr; }

namespace {

// Whether FindProperty finds `name`, asked before adding a property of that
// name; a long base-class chain is not walked when its summary can answer.
bool NameIsTaken(CZVClass& zvClass, std::wstring_view name)
{
    if (CZVClass::Internals::FindOwnProperty(zvClass, name) != nullptr) {
        return true;
    }
    if (*zvClass.GetBaseClass() == L'\0' && CZVClass::Internals::BaseLink(zvClass) == nullptr) {
        return false;
    }
    switch (detail::FindInheritedName(zvClass, name)) {
    case detail::Inherited::Yes:
        return true;
    case detail::Inherited::No:
        return false;
    case detail::Inherited::Unknown:
        break;
    }
    return CZVClass::Internals::FindProperty(zvClass, name) != nullptr;
}

} // namespace

void CZVClass::AddZVProperty(CZVProperty* property)
{
    if (property == nullptr) {
        return;
    }
    const std::wstring& name = detail::PropertyAccess::Name(*property);
    if (NameIsTaken(*this, name)) {
        throw ZVXMLDomainError(L"Attempted to add duplicately named property " + name + L" to class " + m_typeName,
                               L"");
    }
    if (property->IsStruct() &&
        (m_pZVSchema == nullptr || m_pZVSchema->FindZVClass(property->GetTypeName(), ZVCLASSTYPE_ANY) == nullptr)) {
        throw ZVXMLLogicError(std::wstring(L"ZVProperty ") + property->GetPropertyName() + L" has TypeName=" +
                                  property->GetTypeName() + L" but no ZVClass with that name exists in the ZVSchema.",
                              L"");
    }
    // Room first: once the property is in, nothing throws.
    if (!m_propertyIndex || !m_propertyIndex->Current()) {
        if (m_properties.size() + 1 >= detail::kPropertyIndexFrom) {
            if (!m_propertyIndex) {
                m_propertyIndex = std::make_unique<detail::PropertyNameIndex>();
            }
            m_propertyIndex->Rebuild(m_properties, this);
        }
    }
    detail::MakeRoomForOne(m_properties);
    detail::MakeRoomForOne(detail::PropertyAccess::Holders(*property));
    m_properties.push_back(property);
    detail::Adopt(property);
    NotePropertyAdded(property);
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
        if (detail::PropertyAccess::Name(**it) == name) {
            CZVProperty* removed = *it;
            m_properties.erase(it);
            NotePropertyRemoved(removed);
            detail::Release(removed);
            return;
        }
    }
}

void CZVClass::RemoveAllZVProperties()
{
    m_propertyIndex.reset();
    for (CZVProperty* property : m_properties) {
        NotePropertyRemoved(property);
    }
    detail::ReleaseAll(m_properties);
}

int CZVClass::ZVNameIsValid(const wchar_t* name, int throwOnError)
{
    return CheckName(name, throwOnError, kClassOrPropertyNameKind);
}

} // namespace ZVXML
