// Reads the property elements of one instance, one after another: a
// primitive property's text is set at its end; an array property gets an
// array value and an array handler for its members; a struct property gets
// a struct value and a struct handler for its content. At the end of the
// element that holds the properties it pops and hands that end on.
#ifndef ZVXML_INSTANCEXML_PROPERTIES_HANDLER_H
#define ZVXML_INSTANCEXML_PROPERTIES_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>
#include <zvxml/schema.h>

namespace ZVXML {

class PropertiesHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for a NULL instance, ZVXMLRuntimeError for an
    // instance without a class.
    static constexpr HandlerKind kKind = HandlerKind::Properties;

    PropertiesHandler(StateHandler* parent, CZVInstance* instance);
    void Attach(StateHandler* parent, CZVInstance* instance);
    HandlerKind Kind() const override { return kKind; }

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;
    void Characters(const wchar_t* text, std::size_t length) override;
    // Only inside a property element: text between them is cleared at the
    // next property's start or dropped with the handler.
    bool WantsText() const override { return GetDepth() > 0; }
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, HandlerPtr& next) override;

private:
    void Setup(CZVInstance* instance);
    START_ACTION UnknownProperty(const std::wstring& localName, HandlerPtr& next);
    void SetPrimitiveValue(const std::wstring& name);

    CZVInstance* m_pInstance = nullptr; // not owned
    CZVProperty* m_pProperty = nullptr; // the one being read; NULL between properties
};

} // namespace ZVXML

#endif
