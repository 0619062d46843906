// An array value: an ordered list of owned member values.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "foundation/owned_list.h"
#include "instance/instance_access.h"

namespace ZVXML {

ZVArrayValue::ZVArrayValue(CZVProperty* property) : ZVValueBase(property) {}

ZVArrayValue::ZVArrayValue(const ZVArrayValue& other) : ZVValueBase(other), m_members(other.m_members)
{
    detail::AdoptAll(m_members);
}

ZVArrayValue& ZVArrayValue::operator=(const ZVArrayValue& other)
{
    if (this != &other) {
        ZVValueBase::operator=(other);
        std::vector<ZVValueBase*> shared = other.m_members;
        detail::AdoptAll(shared);
        detail::ReleaseArrayMembers(m_members);
        m_members.swap(shared);
    }
    return *this;
}

ZVArrayValue::~ZVArrayValue() { detail::ReleaseArrayMembers(m_members); }

std::size_t ZVArrayValue::GetLength() const { return m_members.size(); }
ZVValueBase* ZVArrayValue::GetValue(std::size_t index) const { return m_members[index]; }

void ZVArrayValue::PushBack(ZVValueBase* member)
{
    m_members.push_back(member);
    detail::Adopt(member);
    SetNotNull();
}

CZVInstance* ZVArrayValue::GetStructInstance(std::size_t index, const wchar_t* expectedClassName) const
{
    const std::wstring opening =
        std::to_wstring(index) + L"-th element of '" + (GetProperty() != nullptr ? GetProperty()->GetTypeName() : L"");
    const ZVStructValue* member = dynamic_cast<const ZVStructValue*>(m_members[index]);
    if (member == nullptr) {
        throw ZVXMLLogicError(opening + L"' does not contain an ZVStructValue.", L"");
    }
    CZVInstance* instance = member->GetValue();
    if (instance == nullptr) {
        throw ZVXMLLogicError(opening + L"' contains a NULL ZVStructValue.", L"");
    }
    if (expectedClassName != nullptr && instance->TypeName() != expectedClassName) {
        throw ZVXMLLogicError(opening + L"' contains an instance of ZVClass '" + instance->TypeName() +
                                  L"' rather than the expected '" + expectedClassName + L"'.",
                              L"");
    }
    return instance;
}

} // namespace ZVXML
