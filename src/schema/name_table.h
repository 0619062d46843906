// The first item of each name in an ordered list, found in constant time.
//
// Lookups in a schema follow linear rules: the first class of a name in list
// order, the first property of a name. A NameTable answers the same question
// from a hash of the name. It keeps no copy of the names: each slot points at
// the first item of its name and counts the items that carry it, and a slot's
// name is that item's current name. So the table stays exact as long as it
// hears of every change of a name (Remove under the old name, Add under the
// new one), and finding costs no allocation.
//
// `Traits` gives `static std::wstring_view Name(const T*)`.
#ifndef ZVXML_SCHEMA_NAME_TABLE_H
#define ZVXML_SCHEMA_NAME_TABLE_H

#include <cstddef>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ZVXML {
namespace detail {

inline std::size_t HashName(std::wstring_view name) { return std::hash<std::wstring_view>()(name); }

template <class T, class Traits>
class NameTable {
public:
    T* Find(std::wstring_view name) const
    {
        const Slot* slot = FindSlot(name);
        return slot != nullptr ? slot->first : nullptr;
    }
    bool Contains(std::wstring_view name) const { return FindSlot(name) != nullptr; }

    void Clear() { m_slots.clear(); }
    void Reserve(std::size_t count) { m_slots.reserve(count); }

    // Counts `item`, a member of `list`, under its current name. When the
    // name is taken, the slot keeps whichever of the two comes first in the
    // list.
    template <class List>
    void Add(T* item, const List& list)
    {
        const std::wstring_view name = Traits::Name(item);
        Slot* slot = FindSlot(name);
        if (slot == nullptr) {
            m_slots.emplace(HashName(name), Slot{item, 1});
            return;
        }
        ++slot->count;
        if (slot->first != item && ComesFirst(item, slot->first, list)) {
            slot->first = item;
        }
    }

    // Counts `item` under its current name, knowing that it comes after
    // every other item of that name (entering a list in order, appending).
    void Append(T* item)
    {
        const std::wstring_view name = Traits::Name(item);
        if (Slot* slot = FindSlot(name)) {
            ++slot->count;
        } else {
            m_slots.emplace(HashName(name), Slot{item, 1});
        }
    }

    // Counts one item less under `name`: `item` no longer carries it (it has
    // been renamed, or has left `list`). A slot that loses its first item
    // finds the next one of that name in `list`.
    template <class List>
    void Remove(const T* item, std::wstring_view name, const List& list)
    {
        const std::size_t hash = HashName(name);
        auto range = m_slots.equal_range(hash);
        for (auto it = range.first; it != range.second; ++it) {
            Slot& slot = it->second;
            if (slot.first != item && Traits::Name(slot.first) != name) {
                continue;
            }
            if (--slot.count == 0) {
                m_slots.erase(it);
                return;
            }
            if (slot.first == item) {
                slot.first = FirstNamed(name, list);
                if (slot.first == nullptr) {
                    m_slots.erase(it); // nothing of that name is left after all
                }
            }
            return;
        }
    }

private:
    struct Slot {
        T* first;
        std::size_t count;
    };

    const Slot* FindSlot(std::wstring_view name) const { return const_cast<NameTable*>(this)->FindSlot(name); }
    Slot* FindSlot(std::wstring_view name)
    {
        auto range = m_slots.equal_range(HashName(name));
        for (auto it = range.first; it != range.second; ++it) {
            if (Traits::Name(it->second.first) == name) {
                return &it->second;
            }
        }
        return nullptr;
    }

    template <class List>
    static T* FirstNamed(std::wstring_view name, const List& list)
    {
        for (auto* candidate : list) {
            if (candidate != nullptr && Traits::Name(candidate) == name) {
                return candidate;
            }
        }
        return nullptr;
    }

    template <class List>
    static bool ComesFirst(const T* item, const T* other, const List& list)
    {
        for (auto* candidate : list) {
            if (candidate == item) {
                return true;
            }
            if (candidate == other) {
                return false;
            }
        }
        return false;
    }

    // Keyed by the hash of the name; names of equal hash share a key.
    std::unordered_multimap<std::size_t, Slot> m_slots;
};

} // namespace detail
} // namespace ZVXML

#endif
