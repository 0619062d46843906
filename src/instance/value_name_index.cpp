#include "instance/value_name_index.h"

#include <zvxml/instance.h>

#include "foundation/number_text.h"
#include "foundation/owned_list.h"

#include <atomic>
#include <utility>

namespace ZVXML {
namespace detail {
namespace {
std::atomic<std::uint64_t> g_renameEpoch{1};
} // namespace

void NoteValueRenamed(const ZVValueBase& value)
{
    // A value nobody holds is in no index.
    if (OwnershipAccess::Owners(&value) > 0) {
        g_renameEpoch.fetch_add(1, std::memory_order_acq_rel);
    }
}

void ValueNameIndex::Sync(const std::vector<ZVValueBase*>& values)
{
    const std::uint64_t epoch = g_renameEpoch.load(std::memory_order_acquire);
    if (m_valid && m_epoch == epoch && m_count == values.size()) {
        return;
    }
    m_first.clear();
    m_held.clear();
    m_nextSuffix.clear();
    for (ZVValueBase* value : values) {
        if (value != nullptr) {
            m_first.emplace(std::as_const(*value).PropertyName(), value); // keeps an earlier value
            m_held.insert(value);
        }
    }
    m_epoch = epoch;
    m_count = values.size();
    m_valid = true;
}

std::wstring ValueNameIndex::FreeName(const std::wstring& name)
{
    auto hint = m_nextSuffix.find(name);
    unsigned long counter = hint != m_nextSuffix.end() ? hint->second : 2;
    std::wstring candidate;
    for (;; ++counter) {
        candidate = name;
        AppendLong(static_cast<long>(counter), candidate);
        if (!Taken(candidate)) {
            break;
        }
    }
    m_nextSuffix[name] = counter + 1;
    return candidate;
}

void ValueNameIndex::Added(ZVValueBase* value, std::size_t newCount)
{
    const std::uint64_t epoch = g_renameEpoch.load(std::memory_order_acquire);
    if (!m_valid || epoch != m_epoch || newCount != m_count + 1) {
        m_valid = false; // rebuilt before its next answer
        return;
    }
    m_first.emplace(std::as_const(*value).PropertyName(), value);
    m_held.insert(value);
    m_count = newCount;
}

} // namespace detail
} // namespace ZVXML
