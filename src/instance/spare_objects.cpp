#include "instance/spare_objects.h"

#include "foundation/owned_list.h"
#include "foundation/per_thread.h"
#include "instance/disposal_queue.h"
#include "instance/instance_access.h"

#include <cstddef>
#include <memory>
#include <string>
#include <typeinfo>

namespace ZVXML {
namespace {

// Enough for the objects of a few instances of any ordinary document; a
// huge array's members beyond it are simply deleted.
constexpr std::size_t kMaxSpares = 128;
// Longer strings give their memory back before being kept, so a document
// with huge texts or names leaves nothing large behind.
constexpr std::size_t kMaxKeptCharacters = 256;

void TrimKept(std::wstring& text)
{
    if (text.capacity() > kMaxKeptCharacters) {
        std::wstring().swap(text);
    }
}

template <class T>
class SpareStack {
public:
    SpareStack() = default;
    ~SpareStack()
    {
        for (std::size_t i = 0; i < m_count; ++i) {
            delete m_kept[i];
        }
    }
    SpareStack(const SpareStack&) = delete;
    SpareStack& operator=(const SpareStack&) = delete;

    T* Take() { return m_count == 0 ? nullptr : m_kept[--m_count]; }
    bool Full() const { return m_count == kMaxSpares; }
    bool Keep(T* object)
    {
        if (Full()) {
            return false;
        }
        m_kept[m_count++] = object;
        return true;
    }

private:
    T* m_kept[kMaxSpares];
    std::size_t m_count = 0;
};

struct Spares {
    SpareStack<CZVInstance> instances;
    SpareStack<ZVRelationshipInstance> relationships;
    SpareStack<ZVStructValue> structs;
    SpareStack<ZVArrayValue> arrays;
    SpareStack<CZVValue> members;
};

// After the thread's own objects are destroyed (its exit, or a host's
// static destruction) there are none, and objects are deleted.
Spares* ThreadSpares() { return detail::PerThread<Spares>::Get(); }

template <class T>
T* TakeSpare(SpareStack<T> Spares::*stack)
{
    Spares* spares = ThreadSpares();
    return spares != nullptr ? (spares->*stack).Take() : nullptr;
}

// Holds a spare while it is made ready: one that fails goes back.
struct SpareValueRelease {
    void operator()(ZVValueBase* value) const { DestroyValue(value); }
};
struct SpareInstanceRelease {
    void operator()(CZVInstance* instance) const { DestroyInstance(instance); }
};

bool Unowned(const detail::SharedOwnership* object) { return detail::OwnershipAccess::Owners(object) == 0; }

bool KeepInstance(Spares& spares, CZVInstance* instance)
{
    const std::type_info& type = typeid(*instance);
    const bool plain = type == typeid(CZVInstance);
    if (!plain && type != typeid(ZVRelationshipInstance)) {
        return false;
    }
    if (!Unowned(instance) || (plain ? spares.instances.Full() : spares.relationships.Full())) {
        return false;
    }
    // A struct value among its values may hold this instance: releasing it
    // while the instance is emptied must not dispose of the instance again.
    detail::OwnershipAccess::MarkDying(instance);
    if (!detail::InstanceAccess::Empty(*instance)) {
        return false;
    }
    detail::OwnershipAccess::MarkUnowned(instance);
    TrimKept(instance->InstanceID());
    TrimKept(instance->TypeName());
    return plain ? spares.instances.Keep(instance)
                 : spares.relationships.Keep(static_cast<ZVRelationshipInstance*>(instance));
}

// An embedded instance that only this value owns is emptied where it is, as
// releasing it would empty it, and stays with the value for its next use.
bool KeepEmbedded(CZVInstance* embedded)
{
    if (embedded == nullptr || typeid(*embedded) != typeid(CZVInstance) ||
        detail::OwnershipAccess::Owners(embedded) != 1 || !detail::InstanceAccess::Empty(*embedded)) {
        return false;
    }
    TrimKept(embedded->InstanceID());
    TrimKept(embedded->TypeName());
    return true;
}

bool KeepStruct(Spares& spares, ZVStructValue* value)
{
    if (spares.structs.Full()) {
        return false;
    }
    if (!KeepEmbedded(value->GetValue())) {
        value->SetValue(nullptr); // releases the embedded instance, as the destructor would
    }
    TrimKept(value->PropertyName());
    return spares.structs.Keep(value);
}

bool KeepArray(Spares& spares, ZVArrayValue* value)
{
    if (spares.arrays.Full() || !detail::InstanceAccess::Empty(*value)) {
        return false;
    }
    TrimKept(value->PropertyName());
    return spares.arrays.Keep(value);
}

bool KeepMember(Spares& spares, CZVValue* value)
{
    TrimKept(value->PropertyName());
    TrimKept(value->Value());
    return spares.members.Keep(value);
}

bool KeepValue(Spares& spares, ZVValueBase* value)
{
    if (!Unowned(value)) {
        return false;
    }
    const std::type_info& type = typeid(*value);
    if (type == typeid(ZVStructValue)) {
        return KeepStruct(spares, static_cast<ZVStructValue*>(value));
    }
    if (type == typeid(ZVArrayValue)) {
        return KeepArray(spares, static_cast<ZVArrayValue*>(value));
    }
    if (type == typeid(CZVValue)) {
        return KeepMember(spares, static_cast<CZVValue*>(value));
    }
    return false;
}

} // namespace

CZVInstance* MakeInstance(CZVClass* zvClass)
{
    CZVInstance* spare = zvClass != nullptr ? TakeSpare(&Spares::instances) : nullptr;
    if (spare == nullptr) {
        return new CZVInstance(zvClass);
    }
    std::unique_ptr<CZVInstance, SpareInstanceRelease> held(spare);
    detail::InstanceAccess::Readopt(*spare, zvClass);
    return held.release();
}

ZVRelationshipInstance* MakeRelationshipInstance(CZVRelationshipClass* relationshipClass)
{
    ZVRelationshipInstance* spare = relationshipClass != nullptr ? TakeSpare(&Spares::relationships) : nullptr;
    if (spare == nullptr) {
        return new ZVRelationshipInstance(relationshipClass);
    }
    std::unique_ptr<CZVInstance, SpareInstanceRelease> held(spare);
    detail::InstanceAccess::Readopt(*spare, relationshipClass);
    spare->SetSourceID(L"");
    spare->SetTargetID(L"");
    held.release();
    return spare;
}

ZVStructValue* MakeStructValue(CZVProperty* property)
{
    ZVStructValue* spare = TakeSpare(&Spares::structs);
    if (spare == nullptr) {
        return new ZVStructValue(property);
    }
    std::unique_ptr<ZVValueBase, SpareValueRelease> held(spare);
    spare->Reinitialize(property);
    detail::AttachNewEmbeddedInstance(*spare);
    held.release();
    return spare;
}

ZVArrayValue* MakeArrayValue(CZVProperty* property)
{
    ZVArrayValue* spare = TakeSpare(&Spares::arrays);
    if (spare == nullptr) {
        return new ZVArrayValue(property);
    }
    std::unique_ptr<ZVValueBase, SpareValueRelease> held(spare);
    spare->Reinitialize(property);
    held.release();
    return spare;
}

CZVValue* MakeArrayMember(CZVProperty* property)
{
    CZVValue* spare = TakeSpare(&Spares::members);
    if (spare == nullptr) {
        return new CZVValue(property, nullptr);
    }
    std::unique_ptr<ZVValueBase, SpareValueRelease> held(spare);
    spare->Reinitialize(property);
    spare->InitializeValue();
    held.release();
    return spare;
}

void DestroyInstance(CZVInstance* instance) noexcept
{
    if (instance == nullptr || QueueIfNestedTooDeep(instance)) {
        return;
    }
    const DisposalLevel level;
    Spares* spares = ThreadSpares();
    if (spares == nullptr || !KeepInstance(*spares, instance)) {
        delete instance;
    }
}

void DestroyValue(ZVValueBase* value) noexcept
{
    if (value == nullptr || QueueIfNestedTooDeep(value)) {
        return;
    }
    const DisposalLevel level;
    Spares* spares = ThreadSpares();
    if (spares == nullptr || !KeepValue(*spares, value)) {
        delete value;
    }
}

} // namespace ZVXML
