// Reads the identifiers of a relationship instance in element form: a
// "ZVSource" child, then a "ZVTarget" child, each with an "href" attribute.
// At the end of ZVTarget a properties handler takes its place for the
// property elements that follow.
#ifndef ZVXML_INSTANCEXML_RELATIONSHIP_HANDLER_H
#define ZVXML_INSTANCEXML_RELATIONSHIP_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>

#include <cstdint>
#include <string>

namespace ZVXML {

class RelationshipHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for a NULL relationship.
    static constexpr HandlerKind kKind = HandlerKind::Relationship;

    RelationshipHandler(StateHandler* parent, ZVRelationshipInstance* relationship);
    void Attach(StateHandler* parent, ZVRelationshipInstance* relationship);
    HandlerKind Kind() const override { return kKind; }

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, HandlerPtr& next) override;

private:
    enum State : std::int32_t { kExpectingSource = 1, kExpectingTarget = 2, kDone = 3 };

    void Setup(ZVRelationshipInstance* relationship);
    const wchar_t* ExpectedName() const;

    State m_state = kExpectingSource;
    // Whether the expected child has started: only its end may follow.
    bool m_childOpen = false;
    ZVRelationshipInstance* m_pRelationship = nullptr; // not owned
    std::wstring m_href; // reused from element to element
};

} // namespace ZVXML

#endif
