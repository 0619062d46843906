// What every value has: its property, its own name, the null flag.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/spare_objects.h"
#include "instance/value_name_index.h"
#include "schema/schema_internals.h"

#include <utility>

namespace ZVXML {
namespace {
constexpr unsigned long kNullFlag = 1;
} // namespace

ZVValueBase::ZVValueBase(CZVProperty* property) { Reinitialize(property); }

ZVValueBase::ZVValueBase(const ZVValueBase& other)
    : SharedOwnership(other), m_pZVProperty(other.m_pZVProperty), m_propertyName(other.m_propertyName),
      m_flags(other.m_flags)
{
}

ZVValueBase& ZVValueBase::operator=(const ZVValueBase& other)
{
    detail::NoteValueRenamed(*this);
    m_pZVProperty = other.m_pZVProperty;
    m_propertyName = other.m_propertyName;
    m_flags = other.m_flags;
    return *this;
}

ZVValueBase::~ZVValueBase() = default;

void ZVValueBase::init()
{
    detail::NoteValueRenamed(*this);
    m_propertyName.clear();
    m_flags = kNullFlag;
}

void ZVValueBase::Reinitialize(CZVProperty* property)
{
    init();
    if (property == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVProperty to ZVValueBase::Reinitialize", L"");
    }
    m_pZVProperty = property;
    // Read without CZVProperty::PropertyName(), which hands the name out for
    // change and so makes the classes holding the property (in a schema
    // that parses on other threads may share) walk their lists for it.
    m_propertyName = detail::PropertyAccess::Name(*property);
}

CZVProperty* ZVValueBase::GetProperty() const { return m_pZVProperty; }
std::wstring& ZVValueBase::PropertyName()
{
    detail::NoteValueRenamed(*this); // the caller may rename through the reference
    return m_propertyName;
}

const std::wstring& ZVValueBase::PropertyName() const { return m_propertyName; }
const wchar_t* ZVValueBase::GetPropertyName() const { return m_propertyName.c_str(); }
void ZVValueBase::SetPropertyName(std::wstring name)
{
    detail::NoteValueRenamed(*this);
    m_propertyName = std::move(name);
}
bool ZVValueBase::IsNull() const { return (m_flags & kNullFlag) != 0; }
void ZVValueBase::SetToNull() { m_flags |= kNullFlag; }
void ZVValueBase::SetNotNull() { m_flags &= ~kNullFlag; }

ZVValueBase* ZVValueBase::CreateZVValueForZVProperty(CZVClass* zvClass, CZVProperty* property)
{
    if (zvClass == nullptr || property == nullptr) {
        throw ZVXMLInvalidArgument(L"NULL pZVClass or pZVProperty passed to CreateZVValueForZVProperty", L"");
    }
    if (property->IsArray()) {
        return MakeArrayValue(property);
    }
    if (property->IsStruct()) {
        return MakeStructValue(property);
    }
    return CZVSchema::GetRecycledZVValue(property);
}

} // namespace ZVXML
