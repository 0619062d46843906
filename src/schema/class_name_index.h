// Name indexes over a schema's class lists.
//
// A schema's rules are linear (the first class of a name in list order; the
// first class whose base class has a given name; renaming a newcomer N2, N3,
// ... until its name is free). With thousands of classes those rules would
// make loading quadratic, so each list has an index that answers the same
// questions in constant time. It also counts which classes of the list own a
// property of each name, so that adding a property need not walk a long
// base-class chain (see inherited_names.h).
//
// Every class knows the indexes of the lists that hold it and tells them of
// each change of its names and properties as it happens, so an index is
// always current and reading one never changes it: many threads may read a
// schema at once. The one exception is a name handed out for change through
// a reference (CZVClass::TypeName(), CZVProperty::PropertyName()): the
// change comes later, unseen. Handing out marks the index stale (an atomic
// flag); a stale index is not consulted by readers, who walk the list
// instead, and the next change of the schema rebuilds it.
//
// An index whose upkeep runs out of memory marks itself stale rather than
// fail the change it follows.
#ifndef ZVXML_SCHEMA_CLASS_NAME_INDEX_H
#define ZVXML_SCHEMA_CLASS_NAME_INDEX_H

#include "schema/name_table.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ZVXML {

class CZVClass;
class CZVSchema;

namespace detail {

struct ClassNameTraits {
    static std::wstring_view Name(const CZVClass* zvClass);
};

class ClassNameIndex {
public:
    // The index of `schema`'s classes, or of its relationship classes.
    ClassNameIndex(CZVSchema& schema, bool relationshipClasses);
    ClassNameIndex(const ClassNameIndex&) = delete;
    ClassNameIndex& operator=(const ClassNameIndex&) = delete;

    CZVSchema& Schema() const { return m_schema; }

    // --- Reading (many threads at once) ----------------------------------
    // The first class of the list with that type name, or NULL.
    CZVClass* FindFirst(std::wstring_view typeName) const;

    // --- Changing the list (one thread, nobody reading) ------------------
    // Rebuilds a stale index; the answers below need a current one.
    void MakeCurrent();
    bool Contains(std::wstring_view typeName) const { return m_names.Contains(typeName); }
    // Whether some class of the list names `typeName` as its base class.
    bool IsSomeonesBase(const std::wstring& typeName) const;
    // Renaming a newcomer `name` to name2, name3, ...: the first number worth
    // trying. Numbers below it give names still taken, so the first free name
    // from there is the first free name from 2.
    unsigned long FirstSuffixToTry(const std::wstring& name) const;
    // The newcomer took name followed by `next` - 1: every number below
    // `next` now gives a taken name.
    void SuffixesTaken(const std::wstring& name, unsigned long next);
    // A class just inserted into the list under a name not taken before.
    void Added(CZVClass* zvClass);
    // The list was emptied, or was filled at once (a copy of a schema).
    void Cleared();
    void Refilled();

    // --- Changes of a listed class -----------------------------------------
    void ClassRenamed(CZVClass* zvClass, const std::wstring& previous);
    void BaseRenamed(const std::wstring& previous, const std::wstring& current);
    void NamesHandedOut() { m_namesStale.store(true, std::memory_order_relaxed); }
    void PropertyAdded(CZVClass* owner, std::wstring_view propertyName);
    void PropertyRemoved(CZVClass* owner, std::wstring_view propertyName);
    void PropertyNamesHandedOut() { m_ownersStale.store(true, std::memory_order_relaxed); }

    // --- Owners of property names ------------------------------------------
    // Rebuilds stale owner counts.
    void MakeOwnersCurrent();
    bool OwnersCurrent() const { return !m_ownersStale.load(std::memory_order_relaxed); }
    // The classes of the list owning a property whose name hashes as
    // `propertyName` does (a class once per such property); NULL for none.
    // Names of equal hash share an entry: check the owner's properties.
    const std::vector<CZVClass*>* Owners(std::wstring_view propertyName) const;

private:
    template <class Visit>
    void WithList(Visit visit) const;
    void Rebuild();
    void RebuildOwners();
    void EnterBase(CZVClass* zvClass);
    void EnterOwner(CZVClass* zvClass);
    // A name of the list may have become free: remembered suffixes go.
    void NamesFreed() { ++m_generation; }

    CZVSchema& m_schema;
    const bool m_relationshipClasses;
    NameTable<CZVClass, ClassNameTraits> m_names;
    std::unordered_map<std::wstring, std::size_t> m_baseNameUses;
    struct Suffix {
        unsigned long next;
        std::uint64_t generation;
    };
    std::unordered_map<std::wstring, Suffix> m_nextSuffix;
    std::uint64_t m_generation = 0;
    std::unordered_map<std::size_t, std::vector<CZVClass*>> m_owners;
    std::atomic<bool> m_namesStale{false};
    std::atomic<bool> m_ownersStale{false};
};

} // namespace detail
} // namespace ZVXML

#endif
