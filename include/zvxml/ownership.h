/// @file
/// ZVXML: how shallow copies share objects.
///
/// Copies of schemas, classes, instances and values are shallow: a copy refers
/// to the same classes, properties, custom attributes, values and referenced
/// schemas as the object it was copied from. Each such object counts the lists
/// that own it and is destroyed when the last one lets go, so a copy and its
/// source can be destroyed in either order and every object is released
/// exactly once. The count is not atomic: like the objects themselves, a copy
/// and its source are used by one thread at a time.
#ifndef ZVXML_OWNERSHIP_H
#define ZVXML_OWNERSHIP_H

#include "config.h"

namespace ZVXML {
namespace detail {

struct OwnershipAccess; ///< the library's owning containers

class SharedOwnership {
protected:
    SharedOwnership() = default;
    /// A copy is a new object: it starts without owners.
    ///@{
    SharedOwnership(const SharedOwnership&) noexcept {}
    SharedOwnership& operator=(const SharedOwnership&) noexcept { return *this; }
    ~SharedOwnership() = default;
    ///@}

private:
    friend struct OwnershipAccess;
    unsigned long m_owners = 0;
    SharedOwnership* m_queuedNext = nullptr; ///< while queued for disposal: the next one queued
};

} // namespace detail
} // namespace ZVXML

#endif // ZVXML_OWNERSHIP_H
