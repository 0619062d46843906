// The names of a large instance's values, for adding and finding values
// quickly.
//
// AddZVValue keeps the names of an instance's values unique: a newcomer
// whose name is taken becomes P2, P3, ... (the first of these not taken).
// Walking every value for every candidate name costs time proportional to
// the cube of the number of values of one property, which a document that
// repeats a property element makes huge; and finding a value by name for
// each of a document's property elements, time proportional to the square
// of an instance's values. Instances with many values keep this index
// instead; small ones walk, which is faster for them.
//
// A held value can be renamed from outside (SetPropertyName, the
// PropertyName() reference, Reinitialize, assignment). Each such change of a
// value that has owners moves a process-wide epoch, and an index built under
// an older epoch is rebuilt from the values before it answers; so every
// answer is that of the walk.
#ifndef ZVXML_INSTANCE_VALUE_NAME_INDEX_H
#define ZVXML_INSTANCE_VALUE_NAME_INDEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ZVXML {

class ZVValueBase;

namespace detail {

// Called when the name of `value` may change.
void NoteValueRenamed(const ZVValueBase& value);

// Below this many values an instance walks them instead.
constexpr std::size_t kValueIndexFrom = 64;

class ValueNameIndex {
public:
    // Brings the index up to date with the instance's `values`.
    void Sync(const std::vector<ZVValueBase*>& values);
    bool Holds(const ZVValueBase* value) const { return m_held.count(value) != 0; }
    bool Taken(const std::wstring& name) const { return m_first.count(name) != 0; }
    // The first value in the list named `name`, or null.
    ZVValueBase* First(const std::wstring& name) const
    {
        const auto found = m_first.find(name);
        return found != m_first.end() ? found->second : nullptr;
    }
    // The first of name2, name3, ... not taken; names skipped by an earlier
    // answer for the same name are still taken (nothing leaves the list).
    std::wstring FreeName(const std::wstring& name);
    // Records a value appended to the synced list.
    void Added(ZVValueBase* value, std::size_t newCount);

private:
    std::unordered_map<std::wstring, ZVValueBase*> m_first; // each name held, and its first value
    std::unordered_set<const ZVValueBase*> m_held;
    std::unordered_map<std::wstring, unsigned long> m_nextSuffix;
    std::uint64_t m_epoch = 0;
    std::size_t m_count = 0;
    bool m_valid = false;
};

} // namespace detail
} // namespace ZVXML

#endif
