#include "instancexml/state_handler.h"

#include "instancexml/handler_recycler.h"
#include "instancexml/parse_context.h"

#include <zvxml/errors.h>

#include <vector>

namespace ZVXML {
namespace {

// Element names then need no allocation of their own.
constexpr std::size_t kReservedCharacters = 128;

} // namespace

void HandlerRetirement::operator()(StateHandler* handler) const noexcept
{
    handler->Retire();
    if (HandlerRecycler* recycler = handler->Recycler()) {
        recycler->Keep(handler);
    } else {
        delete handler;
    }
}

StateHandler::StateHandler(StateHandler* parent, const wchar_t* elementName) { Reattach(parent, elementName); }

StateHandler::~StateHandler() = default;

void StateHandler::Reattach(StateHandler* parent, const wchar_t* elementName)
{
    Reset();
    m_pParent = parent;
    m_pParseContext = parent != nullptr ? parent->m_pParseContext : nullptr;
    if (elementName != nullptr && *elementName != L'\0') { // most handlers learn it at their start
        m_elementName.append(elementName);
    }
}

HandlerRecycler* StateHandler::Recycler() const
{
    return m_pParseContext != nullptr ? &m_pParseContext->Recycler() : nullptr;
}

std::wstring StateHandler::PathSegment() const { return L"." + m_elementName; }

START_ACTION StateHandler::StartElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                                        XMLAttributes*, HandlerPtr&)
{
    ++m_depth;
    if (m_elementName.empty()) {
        m_elementName = localName;
    } else if (m_depth == 1 && m_elementName != localName) {
        throw ZVXMLFormatError(BuildErrorMessage(L"Unexpected element."), L"");
    }
    return STATUSQUO;
}

void StateHandler::Characters(const wchar_t*, std::size_t) {}

END_ACTION StateHandler::EndElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                                    HandlerPtr&)
{
    --m_depth;
    if (m_depth < 0) {
        return POP_UNHANDLED;
    }
    if (m_depth > 0) {
        return NOCHANGE;
    }
    if (m_elementName != localName) {
        throw ZVXMLRuntimeError(L"EndElement called on unexpected element", L"");
    }
    return POP;
}

void StateHandler::Reset()
{
    // Called for every property element: the strings keep their memory.
    // The text is not given any: its memory is traded with each value's.
    m_text.clear();
    m_elementName.clear();
    if (m_elementName.capacity() < kReservedCharacters) {
        m_elementName.reserve(kReservedCharacters);
    }
    m_depth = 0;
}

ParseContext* StateHandler::GetParseContext() const
{
    if (m_pParseContext == nullptr) {
        throw ZVXMLRuntimeError(L"Asking for m_pSaxHandler when it is NULL", L"");
    }
    return m_pParseContext;
}

std::wstring StateHandler::BuildErrorMessage(const std::wstring& text) const
{
    std::vector<const StateHandler*> chain;
    for (const StateHandler* handler = this; handler != nullptr; handler = handler->m_pParent) {
        chain.push_back(handler);
    }
    std::wstring message = L"Error at (";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        message += (*it)->PathSegment();
    }
    return message + L"): " + text;
}

} // namespace ZVXML
