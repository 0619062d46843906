// The content handler of an instance parse: it hands each event of the XML
// reader to the state handler on top of its stack and carries out the
// action that handler answers (see state_handler.h). It also holds what the
// state handlers need from the caller: the schema, the callbacks, the
// context, the factory, the parse options, and the count of instances
// delivered.
#ifndef ZVXML_INSTANCEXML_ZVXML_SAX_CONTENT_HANDLER_H
#define ZVXML_INSTANCEXML_ZVXML_SAX_CONTENT_HANDLER_H

#include "instancexml/default_sax_content_handler.h"
#include "instancexml/handler_recycler.h"
#include "instancexml/state_stack.h"

#include <zvxml/instancexml.h>

#include <cstdint>

namespace ZVXML {

// The caller's callbacks; begin, element and end may be NULL.
struct ParseCallbacks {
    ZVInstanceXMLParseBeginCallback begin = nullptr;
    ParsedZVInstanceCallback instance = nullptr;
    ParsedZVRelationshipCallback relationship = nullptr;
    ZVInstanceXMLElementCallback element = nullptr;
    ZVInstanceXMLParseEndCallback end = nullptr;
};

class CZVXMLSAXContentHandler : public CDefaultSAXContentHandler {
public:
    // ZVXMLInvalidArgument for a NULL instance callback, relationship
    // callback or schema, checked in that order. The stack starts empty.
    CZVXMLSAXContentHandler(CZVSchema* schema, void* context, const ParseCallbacks& callbacks,
                            unsigned long flags);
    ~CZVXMLSAXContentHandler() override;

    void StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                      const std::wstring& qualifiedName, const platform::SaxAttributes& attributes) override;
    void EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                    const std::wstring& qualifiedName) override;
    // Cuts tabs, line feeds and carriage returns off both ends of the piece;
    // what remains (if anything) goes to the top handler.
    void Characters(const wchar_t* text, std::size_t length) override;
    // False when the top handler would drop any text now (with an empty
    // stack Characters reports the error, so text is wanted then).
    bool WantsCharacters() override;

    StateStack& GetStateStack();
    HandlerRecycler& Recycler() { return m_recycler; }

    CZVSchema* GetSchema() const { return m_pZVSchema; }
    void* GetContext() const { return m_pContext; }
    const ParseCallbacks& GetCallbacks() const { return m_callbacks; }
    unsigned long GetFlags() const { return m_flags; }
    IZVInstanceFactory* GetInstanceFactory() const { return m_pZVInstanceFactory; }
    void SetInstanceFactory(IZVInstanceFactory* factory) { m_pZVInstanceFactory = factory; }
    std::int32_t GetInstanceCount() const { return m_instanceCount; }
    void CountInstance() { ++m_instanceCount; }

private:
    StateHandler* TopHandler();

    std::int32_t m_instanceCount = 0;
    HandlerRecycler m_recycler; // outlives the stack, whose handlers it keeps
    std::unique_ptr<StateStack> m_pStateStack;
    unsigned long m_flags;
    IZVInstanceFactory* m_pZVInstanceFactory = nullptr;
    CZVSchema* m_pZVSchema;
    ParseCallbacks m_callbacks;
    void* m_pContext;
};

} // namespace ZVXML

#endif
