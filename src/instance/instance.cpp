// An instance: identity, class link, and its list of owned values.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "foundation/number_text.h"
#include "foundation/owned_list.h"
#include "instance/instance_access.h"
#include "instance/value_disposal.h"
#include "instance/value_name_index.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <string_view>

namespace ZVXML {
namespace {

[[noreturn]] void ThrowNullText(const wchar_t* operation)
{
    throw ZVXMLInvalidArgument(std::wstring(L"Passed NULL text to ") + operation, L"");
}

[[noreturn]] void ThrowAlreadyHeld(const ZVValueBase& value, const std::wstring& typeName)
{
    throw ZVXMLLogicError(std::wstring(L"The ZVValue '") + value.GetPropertyName() +
                              L"' is already in this CZVInstance of ZVClass '" + typeName + L"'.",
                          L"");
}

} // namespace

CZVInstance::CZVInstance(CZVClass* zvClass) : m_pZVClass(zvClass)
{
    if (zvClass == nullptr) {
        throw ZVXMLLogicError(L"You cannot construct a new CZVInstance with a NULL ZVClass!", L"");
    }
    m_typeName = zvClass->GetTypeName();
}

CZVInstance::CZVInstance(const CZVInstance& other)
    : SharedOwnership(other), m_instanceID(other.m_instanceID), m_typeName(other.m_typeName),
      m_pZVClass(other.m_pZVClass), m_values(other.m_values)
{
    detail::AdoptAll(m_values);
}

CZVInstance& CZVInstance::operator=(const CZVInstance& other)
{
    if (this != &other) {
        // Everything is taken from `other` first: it may be held by one of
        // this instance's struct values, and go with them.
        std::vector<ZVValueBase*> shared = other.m_values;
        std::wstring instanceID = other.m_instanceID;
        std::wstring typeName = other.m_typeName;
        CZVClass* const zvClass = other.m_pZVClass;
        detail::AdoptAll(shared);
        DropNameIndex();
        RemoveAllZVValues();
        m_values.swap(shared);
        m_instanceID.swap(instanceID);
        m_typeName.swap(typeName);
        m_pZVClass = zvClass;
    }
    return *this;
}

CZVInstance::~CZVInstance()
{
    // A struct value among its values may hold this instance: releasing it
    // then must not destroy this instance a second time. Only an instance
    // something still holds (deleted out of such a loop) can be held by one
    // of its own values; one whose last owner let go cannot.
    const bool held = detail::OwnershipAccess::Owners(this) != 0;
    detail::OwnershipAccess::MarkDying(this);
    if (held) {
        detail::InstanceAccess::ForgetDyingHolder(m_values, *this);
    }
    RemoveAllZVValues();
    DropNameIndex();
}

void CZVInstance::DropNameIndex()
{
    delete m_pNameIndex;
    m_pNameIndex = nullptr;
}

std::wstring& CZVInstance::InstanceID() { return m_instanceID; }
const wchar_t* CZVInstance::GetInstanceID() const { return m_instanceID.c_str(); }

void CZVInstance::SetInstanceID(const wchar_t* id)
{
    if (id == nullptr) {
        ThrowNullText(L"CZVInstance::SetInstanceID");
    }
    m_instanceID = id;
}

void CZVInstance::SetInstanceID(const std::wstring& id) { m_instanceID = id; }
std::wstring& CZVInstance::TypeName() { return m_typeName; }
const wchar_t* CZVInstance::GetTypeName() const { return m_typeName.c_str(); }

void CZVInstance::SetTypeName(const wchar_t* typeName)
{
    if (typeName == nullptr) {
        ThrowNullText(L"CZVInstance::SetTypeName");
    }
    m_typeName = typeName;
}

void CZVInstance::SetTypeName(const std::wstring& typeName) { m_typeName = typeName; }
CZVClass* CZVInstance::GetZVClass() const { return m_pZVClass; }
std::size_t CZVInstance::GetZVValueCount() const { return m_values.size(); }
ZVValueBase* CZVInstance::GetZVValue(std::size_t index) const { return m_values[index]; }

void CZVInstance::AddZVValue(ZVValueBase* value)
{
    if (value == nullptr) {
        return;
    }
    if (m_values.size() >= detail::kValueIndexFrom) {
        AddIndexed(value);
        return;
    }
    // One pass answers both questions: is the value already here, and is
    // its name taken. Most values come with a name not yet held.
    const std::wstring& name = std::as_const(*value).PropertyName();
    bool nameTaken = false;
    for (ZVValueBase* held : m_values) {
        if (held == value) {
            ThrowAlreadyHeld(*value, m_typeName);
        }
        nameTaken = nameTaken || (held != nullptr && std::as_const(*held).PropertyName() == name);
    }
    if (nameTaken) {
        RenameToFreeName(value);
    }
    AppendValue(value);
}

// The same answers as the walk, through the instance's name index.
void CZVInstance::AddIndexed(ZVValueBase* value)
{
    if (m_pNameIndex == nullptr) {
        m_pNameIndex = new detail::ValueNameIndex();
    }
    m_pNameIndex->Sync(m_values);
    if (m_pNameIndex->Holds(value)) {
        ThrowAlreadyHeld(*value, m_typeName);
    }
    const std::wstring& name = std::as_const(*value).PropertyName();
    if (m_pNameIndex->Taken(name)) {
        value->SetPropertyName(m_pNameIndex->FreeName(name));
    }
    AppendValue(value);
    m_pNameIndex->Added(value, m_values.size());
}

// Several values of one property coexist as P, P2, P3...: the suffix is
// always put on the name the value came with.
void CZVInstance::RenameToFreeName(ZVValueBase* value)
{
    const std::wstring original = std::as_const(*value).PropertyName();
    unsigned long counter = 2;
    for (bool renamed = true; renamed;) {
        renamed = false;
        for (ZVValueBase* held : m_values) {
            if (held != nullptr && std::as_const(*held).PropertyName() == std::as_const(*value).PropertyName()) {
                value->SetPropertyName(original + FormatLong(static_cast<long>(counter)));
                ++counter;
                renamed = true;
                break;
            }
        }
    }
}

void CZVInstance::AppendValue(ZVValueBase* value)
{
    if (m_values.empty() && m_pZVClass != nullptr) {
        // Room for one value per own property: most instances need no more.
        m_values.reserve(m_pZVClass->GetZVPropertyCount());
    }
    m_values.push_back(value);
    detail::Adopt(value);
}

ZVValueBase* CZVInstance::FindValue(const wchar_t* name, bool throwIfMissing)
{
    if (name == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL propertyName to CZVInstance::FindValue", L"");
    }
    // A walk, never the name index: a read must not build shared state, and
    // a loaded schema's custom attributes may be read by several threads.
    const std::wstring_view wanted(name); // measured once, not per value
    for (ZVValueBase* value : m_values) {
        if (value != nullptr && std::as_const(*value).PropertyName() == wanted) {
            return value;
        }
    }
    if (throwIfMissing) {
        throw ZVXMLLogicError(
            std::wstring(L"Failed to find an CZVValue for property ") + name + L" in CZVInstance::FindValue", L"");
    }
    return nullptr;
}

ZVValueBase* CZVInstance::FindOrCreateValue(const wchar_t* name)
{
    if (ZVValueBase* found = FindValue(name, false)) {
        return found;
    }
    if (m_pZVClass == nullptr) {
        throw ZVXMLDomainError(std::wstring(L"Attempted to create a value for property '") + name +
                                   L"' in an instance which does not have a class.",
                               L"");
    }
    CZVProperty* property = m_pZVClass->FindProperty(name);
    if (property == nullptr) {
        throw ZVXMLDomainError(std::wstring(L"Attempted to create value for property '") + name +
                                   L"' which does not exist in class '" + m_pZVClass->GetTypeName() + L"'",
                               L"");
    }
    ZVValueBase* created = ZVValueBase::CreateZVValueForZVProperty(m_pZVClass, property);
    try {
        AddZVValue(created);
    } catch (...) {
        DisposeUnownedValue(created);
        throw;
    }
    return created;
}

void CZVInstance::RemoveAllZVValues()
{
    DropNameIndex();
    std::vector<ZVValueBase*> taken;
    taken.swap(m_values);
    ReleaseInstanceValues(taken);
}

} // namespace ZVXML
