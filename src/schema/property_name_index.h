// The names of a class's own properties, for classes with many.
//
// FindProperty looks for the first own property of a name in list order.
// Most classes have a handful of properties and walk them faster than they
// could hash a name; a class that reaches kPropertyIndexFrom properties
// keeps this index beside its list, so that adding its Nth property does not
// compare N names. The index follows every change the class and its
// properties report (see class_name_index.h for the rules it shares: always
// current, read without change, stale after a name is handed out by
// reference).
#ifndef ZVXML_SCHEMA_PROPERTY_NAME_INDEX_H
#define ZVXML_SCHEMA_PROPERTY_NAME_INDEX_H

#include "schema/name_table.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ZVXML {

class CZVClass;
class CZVProperty;

namespace detail {

constexpr std::size_t kPropertyIndexFrom = 32;

struct PropertyNameTraits {
    static std::wstring_view Name(const CZVProperty* property);
};

class PropertyNameIndex {
public:
    // Reading (many threads at once). A stale index is not to be asked.
    bool Current() const { return !m_stale.load(std::memory_order_relaxed); }
    CZVProperty* Find(std::wstring_view name) const { return m_names.Find(name); }

    // Changing (one thread). `list` is the class's list as it is after the
    // change; `owner` the class.
    void Rebuild(const std::vector<CZVProperty*>& list, const CZVClass* owner);
    void Appended(CZVProperty* property);
    void Removed(const CZVProperty* property, std::wstring_view name, const std::vector<CZVProperty*>& list);
    void Renamed(CZVProperty* property, const std::wstring& previous, const std::vector<CZVProperty*>& list);
    void MarkStale() { m_stale.store(true, std::memory_order_relaxed); }

private:
    NameTable<CZVProperty, PropertyNameTraits> m_names;
    std::atomic<bool> m_stale{true};
};

} // namespace detail
} // namespace ZVXML

#endif
