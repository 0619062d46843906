#include "instancexml/array_handler.h"

#include "instancexml/new_handler.h"
#include "instancexml/struct_handler.h"

#include <zvxml/errors.h>

#include <memory>

namespace ZVXML {

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
                                        const std::wstring& qualifiedName, XMLAttributes* attributes,
                                        HandlerPtr& next)
{
    if (localName != m_memberName) {
        throw ZVXMLFormatError(L"Encountered array element with name not equal to the property's type name", L"");
    }
    m_memberText.clear();
    if (m_isStruct == 0) {
        StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
        return STATUSQUO;
    }
    std::unique_ptr<ZVStructValue> member(new ZVStructValue(m_pProperty));
    m_pArrayValue->PushBack(member.get());
    ZVStructValue* owned = member.release(); // the array's from here on
    next = NewHandler<StructHandler>(this, owned);
    return PUSH_UNHANDLED;
}

void ArrayHandler::Characters(const wchar_t* text, std::size_t length)
{
    m_memberText.append(text, length);
}

END_ACTION ArrayHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                    const std::wstring& qualifiedName, HandlerPtr& next)
{
    if (StateHandler::EndElement(namespaceURI, localName, qualifiedName, next) == POP_UNHANDLED) {
        return POP_UNHANDLED; // the end of the array property's element
    }
    if (m_isStruct != 0) {
        throw ZVXMLLogicError(L"The StructHandler should have gotten the EndElement message, not us", L"");
    }
    std::unique_ptr<CZVValue> member(new CZVValue(m_pProperty, nullptr));
    member->SetValue(m_memberText);
    m_pArrayValue->PushBack(member.get());
    member.release();
    m_memberText.clear();
    return NOCHANGE;
}

} // namespace ZVXML
