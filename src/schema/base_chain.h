// Walking a class's base-class chain without looping forever.
#ifndef ZVXML_SCHEMA_BASE_CHAIN_H
#define ZVXML_SCHEMA_BASE_CHAIN_H

#include <unordered_set>
#include <vector>

namespace ZVXML {

class CZVClass;

// Steps from a class to its base, its base's base and so on. A chain that
// comes back to a class already visited (possible by setting base classes in
// a circle) ends with ZVXMLLogicError instead of an endless walk.
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
