#include "schema/base_links.h"

#include <zvxml/schema.h>

#include "schema/inherited_names.h"
#include "schema/schema_internals.h"

#include <atomic>
#include <unordered_set>

namespace ZVXML {
namespace detail {
namespace {

std::atomic<std::uint64_t> g_loopLinks{0};
std::atomic<std::uint64_t> g_linkGeneration{1};

// Whether walking up from `from` reaches `target`. A loop above that does
// not pass through `target` ends the walk; so does a base known by name only,
// which is reported as reaching (it cannot be told without a lookup).
bool Reaches(const CZVClass* from, const CZVClass* target)
{
    std::unordered_set<const CZVClass*> seen;
    for (const CZVClass* current = from; current != nullptr; current = CZVClass::Internals::BaseLink(*current)) {
        if (current == target || CZVClass::Internals::BaseByNameOnly(*current)) {
            return true;
        }
        if (!seen.insert(current).second) {
            return false;
        }
    }
    return false;
}

} // namespace

bool BaseLoopsPossible() { return g_loopLinks.load(std::memory_order_relaxed) != 0; }
std::uint64_t LinkGeneration() { return g_linkGeneration.load(std::memory_order_relaxed); }
void MoveLinkGeneration() { g_linkGeneration.fetch_add(1, std::memory_order_relaxed); }

} // namespace detail

bool CZVClass::Internals::WouldCloseLoop(const CZVClass& zvClass, const CZVClass* base)
{
    if (base == zvClass.m_pBaseClass) {
        return zvClass.m_closesLoop; // the link stays as it is
    }
    // Without a derived class, only a class that is its own base is a loop.
    return base != nullptr && (base == &zvClass || zvClass.m_hasDerived.load(std::memory_order_relaxed)) &&
           detail::Reaches(base, &zvClass);
}

void CZVClass::Internals::LinkBase(CZVClass& zvClass, CZVClass* base, bool closesLoop) noexcept
{
    if (base == zvClass.m_pBaseClass) {
        return; // no chain changes
    }
    Unlink(zvClass);
    zvClass.m_pBaseClass = base;
    if (base != nullptr) {
        base->m_hasDerived.store(true, std::memory_order_relaxed);
    }
    if (closesLoop) {
        zvClass.m_closesLoop = true;
        detail::g_loopLinks.fetch_add(1, std::memory_order_relaxed);
    }
}

void CZVClass::Internals::Unlink(CZVClass& zvClass) noexcept
{
    if (zvClass.m_closesLoop) {
        zvClass.m_closesLoop = false;
        detail::g_loopLinks.fetch_sub(1, std::memory_order_relaxed);
    }
    zvClass.m_pBaseClass = nullptr;
    zvClass.m_chainInfo.reset();
    if (zvClass.m_hasDerived.load(std::memory_order_relaxed)) {
        detail::MoveLinkGeneration(); // the chains of the derived classes change too
    }
}

} // namespace ZVXML
