// Reads a struct-valued element (a struct property, or a member of an array
// of structs): it names the element, pushes a properties handler for the
// struct's embedded instance, and pops at the element's end, which that
// properties handler hands back to it.
#ifndef ZVXML_INSTANCEXML_STRUCT_HANDLER_H
#define ZVXML_INSTANCEXML_STRUCT_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>

namespace ZVXML {

class StructHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for a NULL struct value.
    static constexpr HandlerKind kKind = HandlerKind::Struct;

    StructHandler(StateHandler* parent, ZVStructValue* structValue);
    void Attach(StateHandler* parent, ZVStructValue* structValue);
    HandlerKind Kind() const override { return kKind; }

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;

private:
    void Setup(ZVStructValue* structValue);

    CZVInstance* m_pInstance = nullptr; // the struct's embedded instance; not owned
};

} // namespace ZVXML

#endif
