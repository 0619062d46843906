#include "instance/value_disposal.h"

#include <zvxml/instance.h>

#include "foundation/owned_list.h"
#include "instance/spare_objects.h"

#include <typeinfo>

namespace ZVXML {

void DisposeUnownedValue(ZVValueBase* value) noexcept
{
    if (value == nullptr) {
        return;
    }
    // Only the library's own primitive kind is recycled; a host's subclass
    // of it is destroyed like any other value.
    if (typeid(*value) == typeid(CZVValue)) {
        ParkZVValues(&value, 1);
    } else {
        DestroyValue(value);
    }
}

void ReleaseInstanceValue(ZVValueBase* value) noexcept
{
    if (value != nullptr && detail::OwnershipAccess::Drop(value)) {
        DisposeUnownedValue(value);
    }
}

void ReleaseInstanceValues(std::vector<ZVValueBase*>& values) noexcept
{
    // The parked values are gathered at the front of `values` itself; they
    // are parked before any other value is destroyed, since destroying a
    // struct parks the values of its instance.
    std::size_t gathered = 0;
    const auto park = [&values, &gathered] {
        ParkZVValues(values.data(), gathered);
        gathered = 0;
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        ZVValueBase* value = values[i];
        if (value == nullptr || !detail::OwnershipAccess::Drop(value)) {
            continue;
        }
        if (typeid(*value) == typeid(CZVValue)) {
            values[gathered++] = value;
        } else {
            park();
            DestroyValue(value);
        }
    }
    park();
}

} // namespace ZVXML
