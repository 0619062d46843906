#include "instance/value_disposal.h"

#include <zvxml/instance.h>

#include "foundation/owned_list.h"

#include <typeinfo>

namespace ZVXML {

void DisposeUnownedValue(ZVValueBase* value)
{
    if (value == nullptr) {
        return;
    }
    // Only the library's own primitive kind is recycled; a host's subclass
    // of it is destroyed like any other value.
    if (typeid(*value) == typeid(CZVValue)) {
        CZVSchema::RecycleZVValue(static_cast<CZVValue*>(value));
    } else {
        delete value;
    }
}

void ReleaseInstanceValue(ZVValueBase* value)
{
    if (value != nullptr && detail::OwnershipAccess::Drop(value)) {
        DisposeUnownedValue(value);
    }
}

} // namespace ZVXML
