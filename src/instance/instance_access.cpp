#include "instance/instance_access.h"

#include "foundation/owned_list.h"
#include "instance/spare_objects.h"
#include "instance/value_kind.h"
#include "instance/value_disposal.h"
#include "instance/value_name_index.h"
#include "schema/schema_internals.h"

namespace ZVXML {
namespace detail {
namespace {

// A list kept for reuse gives its memory back beyond this many entries.
constexpr std::size_t kMaxKeptEntries = 64;

// Empties `list` through `release` exactly as swapping it out and releasing
// would, then hands the memory back unless the list was filled meanwhile.
template <class Release>
bool EmptyKeepingMemory(std::vector<ZVValueBase*>& list, Release release)
{
    std::vector<ZVValueBase*> taken;
    taken.swap(list); // the list is empty before any value is released
    release(taken);
    if (!list.empty()) {
        return false;
    }
    taken.clear();
    if (taken.capacity() <= kMaxKeptEntries) {
        list.swap(taken);
    }
    return true;
}

// Each member whose last owner the array was is destroyed, in order.
void ReleaseTakenMembers(std::vector<ZVValueBase*>& taken)
{
    for (ZVValueBase* member : taken) {
        if (member != nullptr && OwnershipAccess::Drop(member)) {
            DestroyValue(member);
        }
    }
}

} // namespace

void InstanceAccess::Readopt(CZVInstance& instance, CZVClass* zvClass)
{
    instance.m_pZVClass = zvClass;
    // A kept instance is mostly made again of the class it had.
    const std::wstring& typeName = CZVClass::Internals::TypeName(*zvClass);
    if (instance.m_typeName != typeName) {
        instance.m_typeName = typeName;
    }
    instance.m_instanceID.clear();
}

void InstanceAccess::ForgetDyingHolder(const std::vector<ZVValueBase*>& values, const CZVInstance& instance)
{
    for (ZVValueBase* value : values) {
        ZVStructValue* structValue = value != nullptr ? KindOf(*value).structValue : nullptr;
        if (structValue != nullptr && structValue->m_pInstance == &instance) {
            structValue->m_pInstance = nullptr; // the dying instance's claims need no release
            structValue->SetToNull();
        }
    }
}

bool InstanceAccess::Empty(CZVInstance& instance)
{
    instance.DropNameIndex();
    return EmptyKeepingMemory(instance.m_values, ReleaseInstanceValues);
}

ZVValueBase* InstanceAccess::FindValue(CZVInstance& instance, std::wstring_view name)
{
    if (instance.m_values.size() >= kValueIndexFrom) {
        if (instance.m_pNameIndex == nullptr) {
            instance.m_pNameIndex = new ValueNameIndex();
        }
        instance.m_pNameIndex->Sync(instance.m_values);
        return instance.m_pNameIndex->First(std::wstring(name));
    }
    for (ZVValueBase* value : instance.m_values) {
        if (value != nullptr && std::as_const(*value).PropertyName() == name) {
            return value;
        }
    }
    return nullptr;
}

void InstanceAccess::AttachMadeInstance(ZVStructValue& value, CZVInstance* instance)
{
    if (value.m_pInstance != nullptr || instance == nullptr) {
        value.SetValue(instance);
        return;
    }
    Adopt(instance);
    value.m_pInstance = instance;
    value.SetNotNull();
}

CZVInstance* InstanceAccess::DetachKept(ZVStructValue& value)
{
    CZVInstance* kept = value.m_pInstance;
    if (kept != nullptr) {
        value.m_pInstance = nullptr;
        OwnershipAccess::Drop(kept);
    }
    return kept;
}

void InstanceAccess::TakeText(CZVValue& value, std::wstring& text)
{
    value.m_value.swap(text);
    value.SetNotNull();
}

bool InstanceAccess::Empty(ZVArrayValue& array) { return EmptyKeepingMemory(array.m_members, ReleaseTakenMembers); }

void ReleaseArrayMembers(std::vector<ZVValueBase*>& members)
{
    std::vector<ZVValueBase*> taken;
    taken.swap(members); // the list is empty before any member is destroyed
    ReleaseTakenMembers(taken);
}

} // namespace detail
} // namespace ZVXML
