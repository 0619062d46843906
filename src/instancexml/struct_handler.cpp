#include "instancexml/struct_handler.h"

#include "instancexml/new_handler.h"
#include "instancexml/properties_handler.h"

#include <zvxml/errors.h>

namespace ZVXML {

StructHandler::StructHandler(StateHandler* parent, ZVStructValue* structValue) : StateHandler(parent, L"")
{
    Setup(structValue);
}

void StructHandler::Attach(StateHandler* parent, ZVStructValue* structValue)
{
    Reattach(parent, L"");
    Setup(structValue);
}

void StructHandler::Setup(ZVStructValue* structValue)
{
    if (structValue == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pStructValue to StructHandler constructor", L"");
    }
    m_pInstance = structValue->GetValue();
}

START_ACTION StructHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                         const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next)
{
    StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
    next = NewHandler<PropertiesHandler>(this, m_pInstance);
    return PUSH;
}

} // namespace ZVXML
