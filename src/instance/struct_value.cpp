// A struct value: it owns an embedded instance of the struct class.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "foundation/owned_list.h"
#include "instance/instance_access.h"
#include "instance/spare_objects.h"
#include "schema/schema_internals.h"

#include <memory>
#include <utility>

namespace ZVXML {
namespace {

CZVClass* FindStructClass(CZVProperty* property)
{
    CZVClass* owner = property->GetZVClass();
    CZVSchema* schema = owner != nullptr ? owner->GetZVSchema() : nullptr;
    // FindZVClass(type name, ZVCLASSTYPE_ANY), with the name's length known.
    CZVClass* structClass =
        schema != nullptr ? CZVSchema::Internals::FindClassInTree(*schema, detail::PropertyAccess::TypeName(*property))
                          : nullptr;
    if (structClass == nullptr) {
        throw ZVXMLRuntimeError(L"Could not find class for struct property", L"");
    }
    return structClass;
}

void ReleaseEmbedded(CZVInstance* instance)
{
    if (instance != nullptr && detail::OwnershipAccess::Drop(instance)) {
        DestroyInstance(instance);
    }
}

struct EmbeddedRelease {
    void operator()(CZVInstance* instance) const { DestroyInstance(instance); }
};

} // namespace

void detail::AttachNewEmbeddedInstance(ZVStructValue& value)
{
    CZVClass* structClass = FindStructClass(value.GetProperty());
    CZVInstance* embedded = InstanceAccess::DetachKept(value);
    if (embedded != nullptr) {
        InstanceAccess::Readopt(*embedded, structClass);
    } else {
        embedded = MakeInstance(structClass);
    }
    std::unique_ptr<CZVInstance, EmbeddedRelease> held(embedded);
    InstanceAccess::AttachMadeInstance(value, embedded);
    held.release();
}

ZVStructValue::ZVStructValue(CZVProperty* property) : ZVValueBase(property)
{
    detail::AttachNewEmbeddedInstance(*this);
}

ZVStructValue::ZVStructValue(const ZVStructValue& other) : ZVValueBase(other), m_pInstance(other.m_pInstance)
{
    detail::Adopt(m_pInstance);
}

ZVStructValue& ZVStructValue::operator=(const ZVStructValue& other)
{
    if (this != &other) {
        ZVValueBase::operator=(other);
        detail::Adopt(other.m_pInstance);
        ReleaseEmbedded(std::exchange(m_pInstance, other.m_pInstance));
    }
    return *this;
}

ZVStructValue::~ZVStructValue() { ReleaseEmbedded(std::exchange(m_pInstance, nullptr)); }

CZVInstance* ZVStructValue::GetValue() const { return m_pInstance; }

void ZVStructValue::SetValue(CZVInstance* instance)
{
    if (instance == m_pInstance) {
        return;
    }
    if (instance != nullptr) {
        CZVProperty* property = GetProperty();
        if (property == nullptr || instance->TypeName() != property->GetTypeName()) {
            throw ZVXMLLogicError(L"Set wrong type of instance into a ZVStructValue", L"");
        }
    }
    detail::Adopt(instance);
    CZVInstance* previous = std::exchange(m_pInstance, instance);
    if (instance != nullptr) {
        SetNotNull();
    } else {
        SetToNull();
    }
    // Last: when this value belongs to the instance it held, releasing that
    // instance destroys this value too.
    ReleaseEmbedded(previous);
}

} // namespace ZVXML
