#include "instancexml/content_dispatcher.h"

#include "instancexml/xml_attributes_access.h"

#include <zvxml/errors.h>

namespace ZVXML {
namespace {

bool IsCutCharacter(wchar_t c) { return c == L'\t' || c == L'\n' || c == L'\r'; }

[[noreturn]] void ThrowStartProtocol(const wchar_t* message) { throw ZVXMLLogicError(message, L""); }

} // namespace

CZVXMLSAXContentHandler::CZVXMLSAXContentHandler(CZVSchema* schema, void* context, const ParseCallbacks& callbacks,
                                                 unsigned long flags, IZVInstanceFactory* factory)
    : m_context(schema, context, callbacks, flags, factory), m_pStateStack(new StateStack())
{
    if (callbacks.instance == nullptr) {
        throw ZVXMLInvalidArgument(L"parsedZVInstanceCallback cannot be NULL", L"");
    }
    if (callbacks.relationship == nullptr) {
        throw ZVXMLInvalidArgument(L"parsedZVRelationshipCallback cannot be NULL", L"");
    }
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema into CZVXMLSAXContentHandler constructor", L"");
    }
}

CZVXMLSAXContentHandler::~CZVXMLSAXContentHandler() = default;

StateStack& CZVXMLSAXContentHandler::GetStateStack()
{
    if (!m_pStateStack) {
        throw ZVXMLLogicError(L"m_pStateStack is NULL", L"");
    }
    return *m_pStateStack;
}

// Called for every event: the errors are raised out of line.
inline StateHandler* CZVXMLSAXContentHandler::TopHandler()
{
    StateHandler* top = m_pStateStack ? m_pStateStack->Top() : nullptr;
    if (top == nullptr) {
        ThrowNoTopHandler();
    }
    return top;
}

void CZVXMLSAXContentHandler::ThrowNoTopHandler()
{
    GetStateStack(); // throws without a stack
    // One text for the three events.
    throw ZVXMLRuntimeError(L"GetStateStack().top() returned NULL in CZVXMLSAXContentHandler::raw_startElement", L"");
}

void CZVXMLSAXContentHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                           const std::wstring& qualifiedName, const platform::SaxAttributes& attributes)
{
    EndRun();
    const detail::XMLAttributeList list(attributes);
    XMLAttributes wrapped = XMLAttributes::Access::Make(&list);
    // PUSH_UNHANDLED delivers the same start again, to the handler just pushed.
    for (;;) {
        HandlerPtr next;
        const START_ACTION action = TopHandler()->StartElement(namespaceURI, localName, qualifiedName, &wrapped, next);
        switch (action) {
        case STATUSQUO:
            if (next) {
                ThrowStartProtocol(L"StartElement should never return a pNextHandler if START_ACTION is STATUSQUO");
            }
            return;
        case PUSH:
        case PUSH_UNHANDLED:
            if (!next) {
                ThrowStartProtocol(
                    L"StartElement must return a pNextHandler if START_ACTION is PUSH_UNHANDLED or PUSH");
            }
            GetStateStack().Push(std::move(next));
            if (action == PUSH) {
                return;
            }
            break;
        default:
            ThrowStartProtocol(L"StartElement returned an unrecognized START_ACTION");
        }
    }
}

void CZVXMLSAXContentHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                         const std::wstring& qualifiedName)
{
    EndRun();
    // POP_UNHANDLED delivers the same end again, to the handler then on top.
    for (;;) {
        HandlerPtr next;
        const END_ACTION action = TopHandler()->EndElement(namespaceURI, localName, qualifiedName, next);
        switch (action) {
        case NOCHANGE:
            if (next) {
                throw ZVXMLLogicError(L"EndElement should never return a pNextHandler if END_ACTION is NOCHANGE", L"");
            }
            return;
        case POP:
        case POP_UNHANDLED:
            if (next) {
                throw ZVXMLLogicError(
                    L"EndElement should never return a pNextHandler if END_ACTION is POP or POP_UNHANDLED", L"");
            }
            GetStateStack().Pop();
            if (action == POP) {
                return;
            }
            break;
        case POP_AND_PUSH:
            GetStateStack().Pop();
            GetStateStack().Push(std::move(next));
            return;
        default:
            throw ZVXMLLogicError(L"EndElement returned an unrecognized END_ACTION", L"");
        }
    }
}

bool CZVXMLSAXContentHandler::WantsCharacters()
{
    const StateHandler* top = m_pStateStack ? m_pStateStack->Top() : nullptr;
    return top == nullptr || top->WantsText();
}

void CZVXMLSAXContentHandler::Characters(const wchar_t* text, std::size_t length)
{
    if (!m_inRun) {
        while (length > 0 && IsCutCharacter(*text)) {
            ++text;
            --length;
        }
    }
    std::size_t kept = length;
    while (kept > 0 && IsCutCharacter(text[kept - 1])) {
        --kept;
    }
    if (kept == 0) {
        m_heldBack.append(text, length); // empty unless the run has begun
        return;
    }
    StateHandler* top = TopHandler();
    if (!m_heldBack.empty()) {
        top->Characters(m_heldBack.data(), m_heldBack.size());
        m_heldBack.clear();
    }
    top->Characters(text, kept);
    m_inRun = true;
    if (kept < length) { // most text ends at its tag: nothing to hold back
        m_heldBack.assign(text + kept, length - kept);
    }
}

void CZVXMLSAXContentHandler::TextBreak() { EndRun(); }

// What was held back ends the run: it is dropped.
void CZVXMLSAXContentHandler::EndRun()
{
    m_inRun = false;
    m_heldBack.clear();
}

} // namespace ZVXML
