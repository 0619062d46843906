#include "instancexml/array_handler.h"

#include "instancexml/new_handler.h"
#include "instancexml/struct_handler.h"

#include "instance/instance_access.h"
#include "instance/spare_objects.h"
#include "instance/value_disposal.h"

#include <zvxml/errors.h>

#include <memory>

namespace ZVXML {
namespace {

// A member made and then not handed to the array is destroyed as the
// array would destroy it.
struct DestroyArrayMember {
    void operator()(CZVValue* member) const { DestroyValue(member); }
};

} // namespace

ArrayHandler::ArrayHandler(StateHandler* parent, ZVArrayValue* arrayValue) : StateHandler(parent, L"")
{
    Setup(arrayValue);
}

void ArrayHandler::Attach(StateHandler* parent, ZVArrayValue* arrayValue)
{
    Reattach(parent, L"");
    Setup(arrayValue);
}

void ArrayHandler::Setup(ZVArrayValue* arrayValue)
{
    if (arrayValue == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pArrayValue into ArrayHandler constructor", L"");
    }
    m_pArrayValue = arrayValue;
    m_memberText.clear();
    m_pProperty = arrayValue->GetProperty();
    m_memberName = m_pProperty->GetTypeName();
    m_isStruct = m_pProperty->IsStruct();
}

ArrayHandler::~ArrayHandler() = default;

START_ACTION ArrayHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                        const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next)
{
    if (localName != m_memberName) {
        throw ZVXMLFormatError(L"Encountered array element with name not equal to the property's type name", L"");
    }
    if (m_isStruct == 0 && GetDepth() > 0) {
        // A member inside a member: its text would be taken apart and lost.
        throw ZVXMLFormatError(BuildErrorMessage(L"Unexpected element."), L"");
    }
    m_memberText.clear();
    if (m_isStruct == 0) {
        StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
        return STATUSQUO;
    }
    UnownedValue member(MakeStructValue(m_pProperty));
    m_pArrayValue->PushBack(member.get());
    auto* owned = static_cast<ZVStructValue*>(member.release()); // the array's from here on
    next = NewHandler<StructHandler>(this, owned);
    return PUSH_UNHANDLED;
}

void ArrayHandler::Characters(const wchar_t* text, std::size_t length) { m_memberText.append(text, length); }

END_ACTION ArrayHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                    const std::wstring& qualifiedName, HandlerPtr& next)
{
    if (StateHandler::EndElement(namespaceURI, localName, qualifiedName, next) == POP_UNHANDLED) {
        return POP_UNHANDLED; // the end of the array property's element
    }
    if (m_isStruct != 0) {
        throw ZVXMLLogicError(L"The StructHandler should have gotten the EndElement message, not us", L"");
    }
    std::unique_ptr<CZVValue, DestroyArrayMember> member(MakeArrayMember(m_pProperty));
    detail::InstanceAccess::TakeText(*member, m_memberText); // cleared below
    m_pArrayValue->PushBack(member.get());
    member.release();
    m_memberText.clear();
    return NOCHANGE;
}

} // namespace ZVXML
