// Walking a class's base-class chain without looping forever.
#ifndef ZVXML_SCHEMA_BASE_CHAIN_H
#define ZVXML_SCHEMA_BASE_CHAIN_H

#include <unordered_set>
#include <vector>

namespace ZVXML {

class CZVClass;

// Steps from a class to its base, its base's base and so on, by
// GetBaseZVClass. Linked bases form no loop (SetBaseClass refuses the link
// that would close one), but a base known by name only is looked up again
// at each step: a chain that comes back to a class already visited ends with
// ZVXMLLogicError instead of an endless walk.
class BaseChain {
public:
    explicit BaseChain(CZVClass* start);
    // The base class of `current` (a class of this chain), or NULL at the end.
    CZVClass* Next(CZVClass* current);

private:
    bool Seen(CZVClass* zvClass) const;
    void Remember(CZVClass* zvClass);

    CZVClass* m_start;
    // Chains are short; a set takes over only for long ones.
    std::vector<CZVClass*> m_recent;
    std::unordered_set<CZVClass*> m_many;
};

} // namespace ZVXML

#endif
