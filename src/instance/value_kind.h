// What a value is: a primitive, an array or a struct.
//
// The checks and the writer ask this of every value they pass. Exact type
// comparisons come first: a document read by the library holds only its
// own kinds, and a dynamic_cast per value costs more than the work done
// with it. A host's own subclass still answers through dynamic_cast.
#ifndef ZVXML_INSTANCE_VALUE_KIND_H
#define ZVXML_INSTANCE_VALUE_KIND_H

#include <zvxml/instance.h>

#include <typeinfo>

namespace ZVXML {

// One pointer is set, or none for a value of no known kind.
struct ValueKind {
    CZVValue* primitive = nullptr;
    ZVArrayValue* array = nullptr;
    ZVStructValue* structValue = nullptr;
};

inline ValueKind KindOf(ZVValueBase& value)
{
    const std::type_info& type = typeid(value);
    if (type == typeid(CZVValue)) {
        return ValueKind{static_cast<CZVValue*>(&value), nullptr, nullptr};
    }
    if (type == typeid(ZVArrayValue)) {
        return ValueKind{nullptr, static_cast<ZVArrayValue*>(&value), nullptr};
    }
    if (type == typeid(ZVStructValue)) {
        return ValueKind{nullptr, nullptr, static_cast<ZVStructValue*>(&value)};
    }
    return ValueKind{dynamic_cast<CZVValue*>(&value), dynamic_cast<ZVArrayValue*>(&value),
                     dynamic_cast<ZVStructValue*>(&value)};
}

} // namespace ZVXML

#endif
