// The chain of schema files being loaded on one thread: the file a host asked
// for, the file one of its references led to, and so on down to the file
// being read now. A reference to a file already on the chain would load
// forever; it is reported instead.
#ifndef ZVXML_SCHEMAXML_SCHEMA_LOAD_CHAIN_H
#define ZVXML_SCHEMAXML_SCHEMA_LOAD_CHAIN_H

#include <string>

namespace ZVXML {

// One file of the chain.
struct SchemaLoadLink {
    const SchemaLoadLink* parent; // the file whose reference led here; NULL for the first
    std::string identity;         // the canonical path
    std::wstring fileName;
};

// Puts the file one CZVSchema::ReadXML call reads on the chain for the
// duration of the call. The load continues the chain of the referencing file
// when a NestedSchemaLoad started it, and starts a new chain otherwise (a
// host may load other schemas from inside a hook).
class SchemaLoadScope {
public:
    explicit SchemaLoadScope(const std::wstring& path);
    ~SchemaLoadScope();
    SchemaLoadScope(const SchemaLoadScope&) = delete;
    SchemaLoadScope& operator=(const SchemaLoadScope&) = delete;

private:
    SchemaLoadLink m_link;
    const SchemaLoadLink* m_previous;
};

// Held by the reference reader while it loads the referenced file at `path`.
// Throws ZVXMLRuntimeError "Circular ZVSchemaReference: " + the chain of file
// names joined by " -> " (ending with `path`'s), location
// "CZVSchemaReference::ReadXML", when the file (compared by canonical path)
// is already on the chain of the load running on this thread; otherwise the
// next SchemaLoadScope on this thread continues that chain.
class NestedSchemaLoad {
public:
    explicit NestedSchemaLoad(const std::wstring& path);
    ~NestedSchemaLoad();
    NestedSchemaLoad(const NestedSchemaLoad&) = delete;
    NestedSchemaLoad& operator=(const NestedSchemaLoad&) = delete;
};

} // namespace ZVXML

#endif
