// What happens to a value when its last owner lets go of it.
#ifndef ZVXML_INSTANCE_VALUE_DISPOSAL_H
#define ZVXML_INSTANCE_VALUE_DISPOSAL_H

#include <cstddef>
#include <memory>
#include <vector>

namespace ZVXML {

class ZVValueBase;

// Parks `count` values, each a CZVValue, on the pool under one lock; those
// the pool has no room for are deleted. Values are released in destructors,
// so this never allocates beyond asking for room and never throws.
void ParkZVValues(ZVValueBase* const* values, std::size_t count) noexcept;

// An instance gives up its claim on `value`: when that was the last claim, a
// plain primitive value goes back to the pool and any other value is
// destroyed.
void ReleaseInstanceValue(ZVValueBase* value) noexcept;

// Disposes of a value nobody owns (one made and then not needed).
void DisposeUnownedValue(ZVValueBase* value) noexcept;

struct DisposeValue {
    void operator()(ZVValueBase* value) const noexcept { DisposeUnownedValue(value); }
};

// A value under construction: disposed of (a primitive one parked in the
// pool) if an exception passes before its new owner takes it.
using UnownedValue = std::unique_ptr<ZVValueBase, DisposeValue>;

// ReleaseInstanceValue for each value in order, with the primitive values
// that go back to the pool parked together under one lock (in the same
// order as one by one).
void ReleaseInstanceValues(std::vector<ZVValueBase*>& values) noexcept;

} // namespace ZVXML

#endif
