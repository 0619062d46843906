#include "instancexml/relationship_handler.h"

#include "instancexml/new_handler.h"
#include "instancexml/properties_handler.h"

#include <zvxml/errors.h>

namespace ZVXML {

RelationshipHandler::RelationshipHandler(StateHandler* parent, ZVRelationshipInstance* relationship)
    : StateHandler(parent, L"")
{
    Setup(relationship);
}

void RelationshipHandler::Attach(StateHandler* parent, ZVRelationshipInstance* relationship)
{
    Reattach(parent, L"");
    Setup(relationship);
}

void RelationshipHandler::Setup(ZVRelationshipInstance* relationship)
{
    if (relationship == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pRelationship into RelationshipHandler constructor", L"");
    }
    m_pRelationship = relationship;
    m_state = kExpectingSource;
    m_childOpen = false;
}

const wchar_t* RelationshipHandler::ExpectedName() const
{
    return m_state == kExpectingSource ? L"ZVSource" : L"ZVTarget";
}

START_ACTION RelationshipHandler::StartElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                                               XMLAttributes* attributes, HandlerPtr&)
{
    if (m_state != kExpectingSource && m_state != kExpectingTarget) {
        throw ZVXMLLogicError(L"RelationshipHandler::StartElement called with an invalid state", L"");
    }
    const wchar_t* expected = ExpectedName();
    if (localName != expected) {
        throw ZVXMLFormatError(L"Found unexpected element '" + localName + L"' while looking for '" + expected + L"'",
                               L"");
    }
    if (attributes->GetValue(L"href", m_href) == 0) {
        throw ZVXMLFormatError(std::wstring(L"href not set on ") + expected + L" element", L"");
    }
    if (m_state == kExpectingSource) {
        m_pRelationship->SetSourceID(m_href.c_str());
    } else {
        m_pRelationship->SetTargetID(m_href.c_str());
    }
    m_childOpen = true;
    return STATUSQUO;
}

END_ACTION RelationshipHandler::EndElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                                           HandlerPtr& next)
{
    if (m_state != kExpectingSource && m_state != kExpectingTarget) {
        throw ZVXMLLogicError(L"RelationshipHandler::EndElement called with an invalid state", L"");
    }
    // Any other end (the relationship's own, when a child is missing) would
    // otherwise be taken for the child's and swallow the rest of the document.
    const wchar_t* expected = ExpectedName();
    if (!m_childOpen || localName != expected) {
        throw ZVXMLFormatError(
            L"Found unexpected end of element '" + localName + L"' while looking for '" + expected + L"'", L"");
    }
    m_childOpen = false;
    if (m_state == kExpectingSource) {
        m_state = kExpectingTarget;
        return NOCHANGE;
    }
    m_state = kDone;
    // It takes this handler's place, so it is given this handler's parent.
    next = NewHandler<PropertiesHandler>(GetParent(), m_pRelationship);
    return POP_AND_PUSH;
}

} // namespace ZVXML
