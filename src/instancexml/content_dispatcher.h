// The content handler of an instance parse: it hands each event of the XML
// reader to the state handler on top of its stack and carries out the
// action that handler answers (see state_handler.h). It owns the parse's
// context (parse_context.h), which the state handlers reach on their own.
#ifndef ZVXML_INSTANCEXML_CONTENT_DISPATCHER_H
#define ZVXML_INSTANCEXML_CONTENT_DISPATCHER_H

#include "instancexml/default_sax_content_handler.h"
#include "instancexml/parse_context.h"
#include "instancexml/state_stack.h"

#include <zvxml/instancexml.h>

#include <memory>

namespace ZVXML {

class CZVXMLSAXContentHandler : public CDefaultSAXContentHandler {
public:
    // ZVXMLInvalidArgument for a NULL instance callback, relationship
    // callback or schema, checked in that order. The stack starts empty.
    CZVXMLSAXContentHandler(CZVSchema* schema, void* context, const ParseCallbacks& callbacks, unsigned long flags,
                            IZVInstanceFactory* factory);
    ~CZVXMLSAXContentHandler() override;

    void StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                      const std::wstring& qualifiedName, const platform::SaxAttributes& attributes) override;
    void EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                    const std::wstring& qualifiedName) override;
    // The pieces of character data between two tags (or a comment) make
    // one run of text. Tabs, line feeds and carriage returns are cut off the
    // run's two ends; what lies between them goes to the top handler as it
    // arrives, so a value does not depend on where the reader cut the run.
    void Characters(const wchar_t* text, std::size_t length) override;
    void TextBreak() override;
    // False when the top handler would drop any text now (with an empty
    // stack Characters reports the error, so text is wanted then).
    bool WantsCharacters() override;

    StateStack& GetStateStack();
    ParseContext& Context() { return m_context; }

private:
    StateHandler* TopHandler();
    [[noreturn]] void ThrowNoTopHandler();
    void EndRun();

    ParseContext m_context; // outlives the stack: its recycler keeps the stack's handlers
    std::unique_ptr<StateStack> m_pStateStack;
    // Whether the current run has had a character that is not cut, and the
    // cut characters seen since the last such one: they are inside the run
    // if more text follows, at its end (and dropped) if not.
    bool m_inRun = false;
    std::wstring m_heldBack;
};

} // namespace ZVXML

#endif
