// The library's own access to the private state of instances and array
// values, for the code that reuses them (spare_objects.h) instead of asking
// the heap for new ones.
#ifndef ZVXML_INSTANCE_INSTANCE_ACCESS_H
#define ZVXML_INSTANCE_INSTANCE_ACCESS_H

#include <zvxml/instance.h>

#include <string_view>
#include <vector>

namespace ZVXML {
namespace detail {

struct InstanceAccess {
    // Makes an emptied instance what `new CZVInstance(zvClass)` would make:
    // empty id, the class's name as type name, no values.
    static void Readopt(CZVInstance& instance, CZVClass* zvClass);
    // Gives up the instance's values exactly as its destructor would, but
    // keeps the memory of its list. False when something added a value
    // meanwhile (the instance is then not empty).
    static bool Empty(CZVInstance& instance);
    // Before an instance something still holds is destroyed: a struct value
    // among its values that holds the instance itself, and outlives it
    // because a copy of the instance shares the value, must not keep
    // pointing at it. (A spare is emptied only once nothing holds it.)
    static void ForgetDyingHolder(const std::vector<ZVValueBase*>& values, const CZVInstance& instance);
    // The same for an array's members, as its destructor would.
    static bool Empty(ZVArrayValue& array);

    // FindValue(name, false) for a name whose length is known. An instance
    // with many values answers through its name index, made or brought up
    // to date if need be: only for an instance no other thread can see, such
    // as one a reader is filling.
    static ZVValueBase* FindValue(CZVInstance& instance, std::wstring_view name);
    // The emptied embedded instance a spare struct value kept, detached
    // with the value's claim given up; NULL when it kept none.
    static CZVInstance* DetachKept(ZVStructValue& value);
    // SetValue(instance) for a value that holds no instance, and an instance
    // made just now of the class its property's type name names: the type
    // names agree without comparing them.
    static void AttachMadeInstance(ZVStructValue& value, CZVInstance* instance);
    // SetValue(text), taking the characters instead of copying them: `text`
    // gets the value's former memory (and content).
    static void TakeText(CZVValue& value, std::wstring& text);
};

// What a struct value's constructor does after linking the property: a new
// empty embedded instance of the property's struct class (for a spare, the
// one it kept, made new again). Throws ZVXMLRuntimeError "Could not find
// class for struct property" without one.
void AttachNewEmbeddedInstance(ZVStructValue& value);

// How an array gives up its members (its destructor, an assignment): each
// member whose last owner it was is destroyed, in order.
void ReleaseArrayMembers(std::vector<ZVValueBase*>& members);

} // namespace detail
} // namespace ZVXML

#endif
