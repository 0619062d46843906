// The nearest base two classes share, for the generalisation of a legacy
// relationship's source end over a run of constraint pairs.
#ifndef ZVXML_SCHEMAXML_COMMON_CLASS_SEARCH_H
#define ZVXML_SCHEMAXML_COMMON_CLASS_SEARCH_H

#include <cstddef>
#include <unordered_map>

namespace ZVXML {

class CZVClass;

// Finds the nearest of a first class and its bases that is also a base of a
// second class (never the second class itself). Searches made with one
// object form a run: the classes and their bases must not change during it,
// and the run is fast when each first class is the previous answer or one
// of its bases, as the source end's class is while it is generalised. The
// run then keeps the first class's chain and, for every class a walk went
// past, where that walk stopped: no class in between is a candidate, and
// the candidates only ever shrink to a tail of the chain, so a later walk
// jumps there. n searches over chains d deep take about n + d steps instead
// of n times d. Any other first class starts the run afresh.
class CommonClassSearch {
public:
    // NULL when the classes share no base. ZVXMLLogicError, as BaseChain and
    // GetBaseZVClass raise it, for a chain that loops or names a base that
    // cannot be found.
    CZVClass* Find(CZVClass* first, CZVClass* second);

private:
    void Restart(CZVClass* first);
    bool IsCandidate(const CZVClass* zvClass) const;

    // The first class of the run and its bases, from it outwards; the
    // candidates are those from m_from on.
    std::unordered_map<const CZVClass*, std::size_t> m_positions;
    std::size_t m_from = 0;
    // Where a walk past a class stopped: a candidate of its time, or NULL
    // for the end of the chain.
    std::unordered_map<const CZVClass*, CZVClass*> m_stops;
};

} // namespace ZVXML

#endif
