// Name indexes over a schema's class lists.
//
// A schema's lookups are defined by linear rules (the first class of a name
// in list order; the first class whose base class has a given name). With
// thousands of classes those rules would make loading quadratic, so each list
// has an index that answers the same questions in constant time. Every class
// knows the indexes of the lists that hold it and tells them of its changes:
// a new base class name updates the counts in place; a new type name (rare
// once a class is in a schema) makes the index rebuild from its list before
// its next answer.
#ifndef ZVXML_SCHEMA_CLASS_NAME_INDEX_H
#define ZVXML_SCHEMA_CLASS_NAME_INDEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace ZVXML {

class CZVClass;

namespace detail {

class ClassNameIndex {
public:
    // Brings the index up to date with `list` (the list it indexes).
    template <class T>
    void Sync(const std::vector<T*>& list)
    {
        if (!IsCurrent(list.size())) {
            BeginRebuild(list.size());
            for (T* zvClass : list) {
                Enter(zvClass);
            }
        }
    }

    // The first class of the list with that type name, or NULL.
    CZVClass* FindFirst(const std::wstring& typeName) const;
    bool Contains(const std::wstring& typeName) const { return FindFirst(typeName) != nullptr; }
    // Whether some class of the list names `typeName` as its base class.
    bool IsSomeonesBase(const std::wstring& typeName) const;
    // Records a class just inserted into a synced list under a unique name.
    void Added(CZVClass* zvClass, std::size_t newListSize);
    // A class of the list changed its base class name.
    void BaseRenamed(const std::wstring& previous, const std::wstring& current);
    void Invalidate() { m_valid = false; }

private:
    bool IsCurrent(std::size_t listSize) const;
    void BeginRebuild(std::size_t count);
    void Enter(CZVClass* zvClass);

    std::unordered_map<std::wstring, CZVClass*> m_firstByName;
    std::unordered_map<std::wstring, std::size_t> m_baseNameUses;
    std::size_t m_size = 0;
    bool m_valid = false;
};

} // namespace detail
} // namespace ZVXML

#endif
