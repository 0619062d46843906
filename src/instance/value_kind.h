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

// The property a reader finds for `value`, written under `name`, in the
// class of the instance holding it (NULL: none): the value's own when the
// class has it, else the class's property of that name.
inline CZVProperty* PropertyAReaderFinds(CZVClass& holderClass, ZVValueBase& value, const wchar_t* name)
{
    CZVProperty* own = value.GetProperty();
    return own != nullptr && own->GetZVClass() == &holderClass ? own : holderClass.FindProperty(name);
}

// Why a value of `kind` cannot stand for `property`, or for one member of it
// when `isMember`; NULL when it can.
inline const wchar_t* KindMismatch(const ValueKind& kind, const CZVProperty& property, bool isMember)
{
    const bool wantsArray = property.IsArray() != 0 && !isMember;
    if (kind.array != nullptr) {
        if (wantsArray) {
            return nullptr;
        }
        return isMember ? L"it holds an array where the property's members are single values"
                        : L"it holds an array where the property takes a single value";
    }
    if (wantsArray) {
        return L"it holds a single value where the property is an array";
    }
    if (kind.primitive != nullptr && property.IsStruct() != 0) {
        return L"it holds a primitive value where the property is of a struct class";
    }
    if (kind.structValue != nullptr && property.IsStruct() == 0) {
        return L"it holds a struct where the property is of a primitive type";
    }
    return nullptr;
}

} // namespace ZVXML

#endif
