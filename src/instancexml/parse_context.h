// What the state handlers of one instance parse share: what the caller gave
// (the schema, the callbacks, the host's context pointer, the instance
// factory and the parse options), the count of instances delivered, and the
// handlers kept for reuse.
#ifndef ZVXML_INSTANCEXML_PARSE_CONTEXT_H
#define ZVXML_INSTANCEXML_PARSE_CONTEXT_H

#include "instancexml/handler_recycler.h"

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

// Holds what it is given as it is: the content handler checks it.
class ParseContext {
public:
    ParseContext(CZVSchema* schema, void* hostContext, const ParseCallbacks& callbacks, unsigned long flags,
                 IZVInstanceFactory* factory)
        : m_flags(flags), m_pZVInstanceFactory(factory), m_pZVSchema(schema), m_callbacks(callbacks),
          m_pHostContext(hostContext)
    {
    }
    ParseContext(const ParseContext&) = delete;
    ParseContext& operator=(const ParseContext&) = delete;

    CZVSchema* GetSchema() const { return m_pZVSchema; }
    // The pointer the caller passes to every callback.
    void* GetHostContext() const { return m_pHostContext; }
    const ParseCallbacks& GetCallbacks() const { return m_callbacks; }
    unsigned long GetFlags() const { return m_flags; }
    IZVInstanceFactory* GetInstanceFactory() const { return m_pZVInstanceFactory; }
    std::int32_t GetInstanceCount() const { return m_instanceCount; }
    void CountInstance() { ++m_instanceCount; }
    HandlerRecycler& Recycler() { return m_recycler; }

private:
    std::int32_t m_instanceCount = 0;
    HandlerRecycler m_recycler;
    unsigned long m_flags;
    IZVInstanceFactory* m_pZVInstanceFactory;
    CZVSchema* m_pZVSchema;
    ParseCallbacks m_callbacks;
    void* m_pHostContext;
};

} // namespace ZVXML

#endif
