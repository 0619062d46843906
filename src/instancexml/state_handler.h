// The base of the state handlers that read an instance document, and the
// actions by which a handler tells the content handler what to do with the
// stack of handlers.
//
// The handler on top of the stack receives every event. It answers each
// start and end of an element with an action: keep the stack, push a new
// handler (which receives the following events, or this same event again),
// or pop itself (and hand the event on to the handler below). The base class
// counts how deep the handler is inside its own element and knows that
// element's name, so that handlers can tell their own end from others'.
#ifndef ZVXML_INSTANCEXML_STATE_HANDLER_H
#define ZVXML_INSTANCEXML_STATE_HANDLER_H

#include <zvxml/instancexml.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ZVXML {

class HandlerRecycler;
class ParseContext;
class StateHandler;

enum START_ACTION : std::int32_t {
    STATUSQUO = 0, // dealt with; the stack stays; no next handler
    PUSH = 4, // dealt with; the next handler is pushed for the following events
    PUSH_UNHANDLED = 5, // the next handler is pushed and receives this start again
};

enum END_ACTION : std::int32_t {
    NOCHANGE = 0, // dealt with; the handler stays on top; no next handler
    POP = 1, // dealt with; the handler is popped and destroyed
    POP_UNHANDLED = 2, // popped and destroyed; the handler below receives this end again
    POP_AND_PUSH = 3, // dealt with; popped, destroyed, and the next handler takes its place
};

// The kinds of handler a parse keeps for reuse; Count: not kept.
enum class HandlerKind { Root, Instance, Relationship, Properties, Struct, Array, Ignoring, Count };

// Ends a handler's part in the parse: what it owns is released and the
// handler goes back to its parse's recycler (or is destroyed without one).
struct HandlerRetirement {
    void operator()(StateHandler* handler) const noexcept;
};
using HandlerPtr = std::unique_ptr<StateHandler, HandlerRetirement>;

class StateHandler {
public:
    // Resets the handler, links it to `parent` (whose parse context it
    // shares; NULL for the root) and starts its element name with
    // `elementName` (empty when the element is not known in advance).
    StateHandler(StateHandler* parent, const wchar_t* elementName);
    virtual ~StateHandler();
    StateHandler(const StateHandler&) = delete;
    StateHandler& operator=(const StateHandler&) = delete;

    // "." and the element name: one step of the path in error messages.
    virtual std::wstring PathSegment() const;

    // The bookkeeping that handlers also run for elements they track: one
    // level deeper; the first start names the element; a start at depth 1
    // under another name is a ZVXMLFormatError. Returns STATUSQUO.
    virtual START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                      const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next);
    // The next part of the current run of text, its ends already trimmed
    // (see the content handler); not NUL-terminated. Ignored here.
    virtual void Characters(const wchar_t* text, std::size_t length);
    // Whether Characters would keep text now. Most of a document's text is
    // the indentation between elements, which no handler keeps: it is then
    // not even converted. A handler that overrides Characters overrides
    // this too.
    virtual bool WantsText() const { return false; }
    // One level up: below 0 the end belongs to an element outside this
    // handler (POP_UNHANDLED); above 0 NOCHANGE; at 0 POP for the handler's
    // own element, a ZVXMLRuntimeError for any other.
    virtual END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                  const std::wstring& qualifiedName, HandlerPtr& next);

    // Empties the text and the element name and sets the depth to 0, so the
    // handler can read the next element under the same parent.
    void Reset();
    // What the parse's caller gave, and what the parse shares.
    // ZVXMLRuntimeError when there is none.
    ParseContext* GetParseContext() const;
    // "Error at (.Root.Child): " followed by `text`.
    std::wstring BuildErrorMessage(const std::wstring& text) const;

    // Which kept handlers this one may stand in for; Count: none.
    virtual HandlerKind Kind() const { return HandlerKind::Count; }
    // Releases what the handler owns, when it leaves the stack.
    virtual void Retire() noexcept {}
    // Where this parse keeps retired handlers; NULL without a parse context.
    HandlerRecycler* Recycler() const;

    StateHandler* GetParent() const { return m_pParent; }
    const std::wstring& GetElementName() const { return m_elementName; }
    std::int32_t GetDepth() const { return m_depth; }

protected:
    // Makes the handler as the constructor does, for reuse.
    void Reattach(StateHandler* parent, const wchar_t* elementName);
    void SetParseContext(ParseContext* context) { m_pParseContext = context; }
    std::wstring& TextBuffer() { return m_text; }

private:
    StateHandler* m_pParent = nullptr;
    ParseContext* m_pParseContext = nullptr;
    std::wstring m_text;
    std::wstring m_elementName;
    std::int32_t m_depth = 0;
};

} // namespace ZVXML

#endif
