// Reads the identifiers of a relationship instance in element form: a
// "ZVSource" child, then a "ZVTarget" child, each with an "href" attribute.
// At the end of ZVTarget a properties handler takes its place for the
// property elements that follow.
#ifndef ZVXML_INSTANCEXML_RELATIONSHIP_HANDLER_H
#define ZVXML_INSTANCEXML_RELATIONSHIP_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>

#include <cstdint>

namespace ZVXML {

class RelationshipHandler : public StateHandler {
public:
    // ZVXMLInvalidArgument for a NULL relationship.
    RelationshipHandler(StateHandler* parent, ZVRelationshipInstance* relationship);

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes,
                              std::unique_ptr<StateHandler>& next) override;
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, std::unique_ptr<StateHandler>& next) override;

private:
    enum State : std::int32_t { kExpectingSource = 1, kExpectingTarget = 2, kDone = 3 };

    const wchar_t* ExpectedName() const;

    State m_state = kExpectingSource;
    // Whether the expected child has started: only its end may follow.
    bool m_childOpen = false;
    ZVRelationshipInstance* m_pRelationship; // not owned
};

} // namespace ZVXML

#endif
