// The root handler: recognises the "ZVInstanceXML" root in the ZVXML 2.0
// namespace, calls the begin and end callbacks, and hands the root's
// children to an instance handler. A root of any other name is skipped.
#ifndef ZVXML_INSTANCEXML_ROOT_ELEMENT_HANDLER_H
#define ZVXML_INSTANCEXML_ROOT_ELEMENT_HANDLER_H

#include "instancexml/state_handler.h"

namespace ZVXML {

class ZVInstanceXMLHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for NULL.
    explicit ZVInstanceXMLHandler(ParseContext* context);

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, HandlerPtr& next) override;
};

} // namespace ZVXML

#endif
