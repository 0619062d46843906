// Holding a value that no instance or array owns yet.
#ifndef ZVXML_INSTANCEXML_UNOWNED_VALUE_H
#define ZVXML_INSTANCEXML_UNOWNED_VALUE_H

#include "instance/value_disposal.h"

#include <memory>

namespace ZVXML {

struct DisposeValue {
    void operator()(ZVValueBase* value) const { DisposeUnownedValue(value); }
};

// A value under construction: disposed of (a primitive one parked in the
// pool) if an exception passes before its new owner takes it.
using UnownedValue = std::unique_ptr<ZVValueBase, DisposeValue>;

} // namespace ZVXML

#endif
