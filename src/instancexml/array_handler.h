// Reads the member elements of an array property, each named by the
// property's type name: a primitive member's text becomes a new value at its
// end; a struct member becomes a struct value read by a struct handler. At
// the end of the array property's element it pops and hands that end on.
#ifndef ZVXML_INSTANCEXML_ARRAY_HANDLER_H
#define ZVXML_INSTANCEXML_ARRAY_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>
#include <zvxml/schema.h>

#include <cstdint>
#include <string>

namespace ZVXML {

class ArrayHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for a NULL array value.
    static constexpr HandlerKind kKind = HandlerKind::Array;

    ArrayHandler(StateHandler* parent, ZVArrayValue* arrayValue);
    ~ArrayHandler() override;
    void Attach(StateHandler* parent, ZVArrayValue* arrayValue);
    HandlerKind Kind() const override { return kKind; }

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;
    void Characters(const wchar_t* text, std::size_t length) override;
    // Only inside a member element: text between members is cleared at the
    // next member's start or dropped with the handler.
    bool WantsText() const override { return GetDepth() > 0; }
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, HandlerPtr& next) override;

private:
    void Setup(ZVArrayValue* arrayValue);

    std::wstring m_memberName; // the property's type name
    CZVProperty* m_pProperty = nullptr;
    std::int32_t m_isStruct = 0;
    ZVArrayValue* m_pArrayValue = nullptr; // not owned
    std::wstring m_memberText;
};

} // namespace ZVXML

#endif
