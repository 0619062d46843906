#include "schema/borrowed_classes.h"

#include <zvxml/schema.h>

#include "schema/schema_internals.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace ZVXML {
namespace detail {
namespace {

// Few entries, if any: only classes added to a schema other than their own.
// Every class's destruction asks, so an empty list is seen without the lock.
std::mutex g_borrowedLock;
std::vector<std::pair<const CZVClass*, const CZVSchema*>> g_borrowed;
std::atomic<std::size_t> g_borrowedCount{0};

void Publish() { g_borrowedCount.store(g_borrowed.size(), std::memory_order_release); }

} // namespace

void NoteBorrowed(CZVClass& zvClass, const CZVSchema& holder)
{
    const CZVSchema* named = zvClass.GetZVSchema();
    if (named == nullptr || named == &holder || CZVClass::Internals::IsHeldBy(zvClass, named)) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_borrowedLock);
    const std::pair<const CZVClass*, const CZVSchema*> entry(&zvClass, named);
    if (std::find(g_borrowed.begin(), g_borrowed.end(), entry) == g_borrowed.end()) {
        g_borrowed.push_back(entry);
        Publish();
    }
}

void ForgetBorrowed(const CZVClass& zvClass) noexcept
{
    if (g_borrowedCount.load(std::memory_order_acquire) == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_borrowedLock);
    g_borrowed.erase(std::remove_if(g_borrowed.begin(), g_borrowed.end(),
                                    [&zvClass](const auto& entry) { return entry.first == &zvClass; }),
                     g_borrowed.end());
    Publish();
}

void ReleaseBorrowed(const CZVSchema& dying) noexcept
{
    if (g_borrowedCount.load(std::memory_order_acquire) == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_borrowedLock);
    const auto released = std::remove_if(g_borrowed.begin(), g_borrowed.end(), [&dying](const auto& entry) {
        if (entry.second != &dying) {
            return false;
        }
        CZVClass::Internals::PassFromDyingSchema(*const_cast<CZVClass*>(entry.first), &dying);
        return true;
    });
    g_borrowed.erase(released, g_borrowed.end());
    Publish();
}

} // namespace detail
} // namespace ZVXML
