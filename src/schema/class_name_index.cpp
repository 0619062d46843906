#include "schema/class_name_index.h"

#include <zvxml/schema.h>

#include "schema/schema_internals.h"

#include <algorithm>

namespace ZVXML {
namespace detail {
namespace {

// Upkeep that runs out of memory leaves the index stale, to be rebuilt by
// the next change, instead of failing a change that is already made.
template <class Update>
void Upkeep(std::atomic<bool>& stale, Update update)
{
    if (stale.load(std::memory_order_relaxed)) {
        return; // rebuilt from the list before it is used again
    }
    try {
        update();
    } catch (...) {
        stale.store(true, std::memory_order_relaxed);
    }
}

} // namespace

std::wstring_view ClassNameTraits::Name(const CZVClass* zvClass) { return CZVClass::Internals::TypeName(*zvClass); }

ClassNameIndex::ClassNameIndex(CZVSchema& schema, bool relationshipClasses)
    : m_schema(schema), m_relationshipClasses(relationshipClasses)
{
}

template <class Visit>
void ClassNameIndex::WithList(Visit visit) const
{
    if (m_relationshipClasses) {
        visit(CZVSchema::Internals::RelationshipClasses(m_schema));
    } else {
        visit(CZVSchema::Internals::Classes(m_schema));
    }
}

CZVClass* ClassNameIndex::FindFirst(std::wstring_view typeName) const
{
    if (!m_namesStale.load(std::memory_order_relaxed)) {
        return m_names.Find(typeName);
    }
    CZVClass* found = nullptr;
    WithList([&](const auto& list) {
        for (CZVClass* zvClass : list) {
            if (ClassNameTraits::Name(zvClass) == typeName) {
                found = zvClass;
                return;
            }
        }
    });
    return found;
}

void ClassNameIndex::MakeCurrent()
{
    if (m_namesStale.load(std::memory_order_relaxed)) {
        Rebuild();
    }
}

void ClassNameIndex::Rebuild()
{
    m_names.Clear();
    m_baseNameUses.clear();
    NamesFreed();
    WithList([this](const auto& list) {
        m_names.Reserve(list.size());
        for (CZVClass* zvClass : list) {
            m_names.Append(zvClass);
            EnterBase(zvClass);
        }
    });
    m_namesStale.store(false, std::memory_order_relaxed);
}

void ClassNameIndex::EnterBase(CZVClass* zvClass)
{
    const wchar_t* base = zvClass->GetBaseClass();
    if (*base != L'\0') {
        ++m_baseNameUses[base];
    }
}

bool ClassNameIndex::IsSomeonesBase(const std::wstring& typeName) const
{
    return m_baseNameUses.find(typeName) != m_baseNameUses.end();
}

unsigned long ClassNameIndex::FirstSuffixToTry(const std::wstring& name) const
{
    auto found = m_nextSuffix.find(name);
    if (found == m_nextSuffix.end() || found->second.generation != m_generation) {
        return 2;
    }
    return found->second.next;
}

void ClassNameIndex::SuffixesTaken(const std::wstring& name, unsigned long next)
{
    try {
        m_nextSuffix[name] = Suffix{next, m_generation};
    } catch (...) {
        // Only a shortcut is lost.
    }
}

void ClassNameIndex::Added(CZVClass* zvClass)
{
    Upkeep(m_namesStale, [&] {
        WithList([&](const auto& list) { m_names.Add(zvClass, list); });
        EnterBase(zvClass);
    });
    Upkeep(m_ownersStale, [&] { EnterOwner(zvClass); });
}

void ClassNameIndex::Cleared()
{
    m_names.Clear();
    m_baseNameUses.clear();
    m_nextSuffix.clear();
    m_owners.clear();
    NamesFreed();
    m_namesStale.store(false, std::memory_order_relaxed);
    m_ownersStale.store(false, std::memory_order_relaxed);
}

void ClassNameIndex::Refilled()
{
    m_namesStale.store(true, std::memory_order_relaxed);
    m_ownersStale.store(true, std::memory_order_relaxed);
    try {
        Rebuild();
        RebuildOwners();
    } catch (...) {
        // Stale: readers walk the list and the next change rebuilds.
    }
}

void ClassNameIndex::ClassRenamed(CZVClass* zvClass, const std::wstring& previous)
{
    NamesFreed();
    Upkeep(m_namesStale, [&] {
        WithList([&](const auto& list) {
            m_names.Remove(zvClass, previous, list);
            m_names.Add(zvClass, list);
        });
    });
}

void ClassNameIndex::BaseRenamed(const std::wstring& previous, const std::wstring& current)
{
    Upkeep(m_namesStale, [&] {
        if (!previous.empty()) {
            auto found = m_baseNameUses.find(previous);
            if (found != m_baseNameUses.end() && --found->second == 0) {
                m_baseNameUses.erase(found);
            }
        }
        if (!current.empty()) {
            ++m_baseNameUses[current];
        }
    });
}

void ClassNameIndex::EnterOwner(CZVClass* zvClass)
{
    for (CZVProperty* property : CZVClass::Internals::Properties(*zvClass)) {
        if (property != nullptr) {
            m_owners[HashName(PropertyAccess::Name(*property))].push_back(zvClass);
        }
    }
}

void ClassNameIndex::PropertyAdded(CZVClass* owner, std::wstring_view propertyName)
{
    Upkeep(m_ownersStale, [&] { m_owners[HashName(propertyName)].push_back(owner); });
}

void ClassNameIndex::PropertyRemoved(CZVClass* owner, std::wstring_view propertyName)
{
    Upkeep(m_ownersStale, [&] {
        auto found = m_owners.find(HashName(propertyName));
        if (found == m_owners.end()) {
            return;
        }
        std::vector<CZVClass*>& owners = found->second;
        auto it = std::find(owners.begin(), owners.end(), owner);
        if (it != owners.end()) {
            owners.erase(it);
        }
        if (owners.empty()) {
            m_owners.erase(found);
        }
    });
}

void ClassNameIndex::MakeOwnersCurrent()
{
    if (m_ownersStale.load(std::memory_order_relaxed)) {
        RebuildOwners();
    }
}

void ClassNameIndex::RebuildOwners()
{
    m_owners.clear();
    WithList([this](const auto& list) {
        for (CZVClass* zvClass : list) {
            EnterOwner(zvClass);
        }
    });
    m_ownersStale.store(false, std::memory_order_relaxed);
}

const std::vector<CZVClass*>* ClassNameIndex::Owners(std::wstring_view propertyName) const
{
    auto found = m_owners.find(HashName(propertyName));
    return found == m_owners.end() ? nullptr : &found->second;
}

} // namespace detail
} // namespace ZVXML
