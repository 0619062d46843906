#include "instancexml/root_element_handler.h"

#include "instancexml/ignoring_element.h"
#include "instancexml/instance_handler.h"
#include "instancexml/new_handler.h"
#include "instancexml/parse_context.h"

#include <zvxml/errors.h>
#include <zvxml/namespaces.h>

namespace ZVXML {
namespace {

// The begin and the end callback share this text.
[[noreturn]] void ThrowCallbackRefused()
{
    throw ZVXMLRuntimeError(L"Error during zvInstanceXMLParseBegin callback", L"");
}

} // namespace

ZVInstanceXMLHandler::ZVInstanceXMLHandler(ParseContext* context) : StateHandler(nullptr, L"ZVInstanceXML")
{
    if (context == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL CZVXMLSAXContentHandler into ZVInstanceXMLHandler", L"");
    }
    SetParseContext(context);
}

START_ACTION ZVInstanceXMLHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                                const std::wstring& qualifiedName, XMLAttributes* attributes,
                                                HandlerPtr& next)
{
    if (localName != GetElementName()) {
        next = NewHandler<IgnoringElement>(this);
        return PUSH_UNHANDLED;
    }
    StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
    if (namespaceURI != ZVXML_NAMESPACE_URI) {
        throw ZVXMLFormatError(std::wstring(L"Imported ZVInstanceXML is unrecognized version. Expected version '") +
                                   ZVXML_NAMESPACE_URI + L"' but got version '" + namespaceURI + L"'",
                               L"");
    }
    std::wstring scope;
    attributes->GetValue(L"scope", scope);
    const ParseContext* parse = GetParseContext();
    const ParseCallbacks& callbacks = parse->GetCallbacks();
    if (callbacks.begin != nullptr &&
        callbacks.begin(parse->GetSchema(), parse->GetHostContext(), scope.c_str(), attributes) != 0) {
        ThrowCallbackRefused();
    }
    next = NewHandler<InstanceHandler>(this);
    return PUSH;
}

END_ACTION ZVInstanceXMLHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                            const std::wstring& qualifiedName, HandlerPtr& next)
{
    // Only for its checks: the root handler leaves at its root's end.
    StateHandler::EndElement(namespaceURI, localName, qualifiedName, next);
    const ParseContext* parse = GetParseContext();
    const ParseCallbacks& callbacks = parse->GetCallbacks();
    if (callbacks.end != nullptr && callbacks.end(parse->GetSchema(), parse->GetHostContext()) != 0) {
        ThrowCallbackRefused();
    }
    return POP;
}

} // namespace ZVXML
