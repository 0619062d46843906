#include "schema/property_name_index.h"

#include <zvxml/schema.h>

#include "schema/schema_internals.h"

#include <algorithm>

namespace ZVXML {
namespace detail {
namespace {

// How often `owner` holds `property` (a property renamed after it was added
// can be added again).
std::size_t Places(CZVProperty& property, const CZVClass* owner)
{
    const std::vector<CZVClass*>& holders = PropertyAccess::Holders(property);
    return static_cast<std::size_t>(std::count(holders.begin(), holders.end(), owner));
}

} // namespace

std::wstring_view PropertyNameTraits::Name(const CZVProperty* property) { return PropertyAccess::Name(*property); }

void PropertyNameIndex::Rebuild(const std::vector<CZVProperty*>& list, const CZVClass* owner)
{
    m_stale.store(true, std::memory_order_relaxed);
    m_names.Clear();
    m_names.Reserve(list.size());
    for (CZVProperty* property : list) {
        // A list that holds one property twice, or a NULL, is left to walks.
        if (property == nullptr || Places(*property, owner) != 1) {
            return;
        }
        m_names.Append(property);
    }
    m_stale.store(false, std::memory_order_relaxed);
}

void PropertyNameIndex::Appended(CZVProperty* property)
{
    if (!Current()) {
        return;
    }
    try {
        m_names.Append(property);
    } catch (...) {
        MarkStale();
    }
}

void PropertyNameIndex::Removed(const CZVProperty* property, std::wstring_view name,
                                const std::vector<CZVProperty*>& list)
{
    if (Current()) {
        m_names.Remove(property, name, list); // frees, never allocates
    }
}

void PropertyNameIndex::Renamed(CZVProperty* property, const std::wstring& previous,
                                const std::vector<CZVProperty*>& list)
{
    if (!Current()) {
        return;
    }
    try {
        m_names.Remove(property, previous, list);
        m_names.Add(property, list);
    } catch (...) {
        MarkStale();
    }
}

} // namespace detail
} // namespace ZVXML
