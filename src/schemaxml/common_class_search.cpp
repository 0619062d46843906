#include "schemaxml/common_class_search.h"

#include "schema/base_chain.h"

#include <vector>

namespace ZVXML {

CZVClass* CommonClassSearch::Find(CZVClass* first, CZVClass* second)
{
    const auto at = m_positions.find(first);
    if (at == m_positions.end() || at->second < m_from) {
        Restart(first);
    } else {
        m_from = at->second; // its chain is the tail of the one kept
    }
    BaseChain chain(second);
    std::vector<const CZVClass*> passed{second};
    CZVClass* stop = nullptr;
    for (CZVClass* current = second;;) {
        const auto jump = m_stops.find(current);
        CZVClass* next = jump != m_stops.end() ? jump->second : chain.Next(current);
        if (next == nullptr || IsCandidate(next)) {
            stop = next;
            break;
        }
        passed.push_back(next);
        current = next;
    }
    for (const CZVClass* zvClass : passed) {
        m_stops[zvClass] = stop;
    }
    return stop;
}

// A walk over the whole chain, which fails where a search without a run
// would.
void CommonClassSearch::Restart(CZVClass* first)
{
    std::unordered_map<const CZVClass*, std::size_t> positions{{first, 0}};
    BaseChain chain(first);
    std::size_t position = 0;
    for (CZVClass* base = chain.Next(first); base != nullptr; base = chain.Next(base)) {
        positions.emplace(base, ++position);
    }
    m_positions.swap(positions);
    m_stops.clear();
    m_from = 0;
}

bool CommonClassSearch::IsCandidate(const CZVClass* zvClass) const
{
    const auto at = m_positions.find(zvClass);
    return at != m_positions.end() && at->second >= m_from;
}

} // namespace ZVXML
