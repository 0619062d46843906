#include "schema/base_links.h"

#include <zvxml/schema.h>

#include "schema/inherited_names.h"
#include "schema/schema_internals.h"

#include <atomic>
#include <mutex>

namespace ZVXML {
namespace detail {
namespace {

std::atomic<std::uint64_t> g_linkGeneration{1};

// Guards every list of derived classes. Schemas and their copies share
// referenced schemas, so classes changed on separate threads may name the
// same base; links change seldom (never while instances are read).
std::mutex g_derivedLists;

// Whether walking up the links from `from` reaches `target`. The links form
// no loop, so the walk ends, after at most the chain's length in steps.
bool Reaches(const CZVClass* from, const CZVClass* target)
{
    for (const CZVClass* current = from; current != nullptr; current = CZVClass::Internals::BaseLink(*current)) {
        if (current == target) {
            return true;
        }
    }
    return false;
}

} // namespace

std::uint64_t LinkGeneration() { return g_linkGeneration.load(std::memory_order_relaxed); }
void MoveLinkGeneration() { g_linkGeneration.fetch_add(1, std::memory_order_relaxed); }

} // namespace detail

bool CZVClass::Internals::ClosesLoop(const CZVClass& zvClass, const CZVClass* base)
{
    if (base == nullptr || base == zvClass.m_pBaseClass) {
        return false; // no link, or the link stays as it is
    }
    // Only a class that some class derives from can be reached from above;
    // without one, only a class that is its own base is a loop.
    return base == &zvClass ||
           (zvClass.m_hasDerived.load(std::memory_order_relaxed) && detail::Reaches(base, &zvClass));
}

void CZVClass::Internals::LinkBase(CZVClass& zvClass, CZVClass* base) noexcept
{
    if (base == zvClass.m_pBaseClass) {
        return; // no chain changes
    }
    Unlink(zvClass);
    if (base == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(detail::g_derivedLists);
    zvClass.m_pBaseClass = base;
    zvClass.m_nextDerived = base->m_firstDerived;
    if (base->m_firstDerived != nullptr) {
        base->m_firstDerived->m_previousDerived = &zvClass;
    }
    base->m_firstDerived = &zvClass;
    base->m_hasDerived.store(true, std::memory_order_relaxed);
}

void CZVClass::Internals::Unlink(CZVClass& zvClass) noexcept
{
    {
        std::lock_guard<std::mutex> lock(detail::g_derivedLists);
        if (zvClass.m_pBaseClass != nullptr) {
            CZVClass*& head = zvClass.m_previousDerived != nullptr ? zvClass.m_previousDerived->m_nextDerived
                                                                   : zvClass.m_pBaseClass->m_firstDerived;
            head = zvClass.m_nextDerived;
            if (zvClass.m_nextDerived != nullptr) {
                zvClass.m_nextDerived->m_previousDerived = zvClass.m_previousDerived;
            }
        }
        zvClass.m_pBaseClass = nullptr;
        zvClass.m_nextDerived = nullptr;
        zvClass.m_previousDerived = nullptr;
    }
    zvClass.m_chainInfo.reset();
    if (zvClass.m_hasDerived.load(std::memory_order_relaxed)) {
        detail::MoveLinkGeneration(); // the chains of the derived classes change too
    }
}

void CZVClass::Internals::ReleaseDerived(CZVClass& zvClass) noexcept
{
    std::lock_guard<std::mutex> lock(detail::g_derivedLists);
    CZVClass* derived = zvClass.m_firstDerived;
    while (derived != nullptr) {
        CZVClass* next = derived->m_nextDerived;
        derived->m_pBaseClass = nullptr;
        derived->m_nextDerived = nullptr;
        derived->m_previousDerived = nullptr;
        derived = next;
    }
    zvClass.m_firstDerived = nullptr;
}

} // namespace ZVXML
