// One schema load: the file a host asked for and every file its references
// reach.
//
// Files are kept on an explicit chain instead of the call stack: the file
// the host asked for, the file one of its references led to, and so on down
// to the file being read now. A chain of any length costs no stack, and a
// reference to a file already on the chain (which would load forever) is
// found and reported.
#ifndef ZVXML_SCHEMAXML_SCHEMA_LOAD_CONTEXT_H
#define ZVXML_SCHEMAXML_SCHEMA_LOAD_CONTEXT_H

#include <zvxml/dom.h>
#include <zvxml/schema.h>

#include "schemaxml/deferred_custom_attributes.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ZVXML {

// A class element paired with the class object that reads it. The reader
// owns the object until the schema does.
struct ClassElement {
    std::unique_ptr<CZVClass> pending;
    CZVClass* zvClass;
    bool isRelationshipClass;
    XMLNode element;
};

// One file on the chain and what its passes collect. Members are destroyed
// in reverse order: the collected classes and nodes go before the tree they
// point into, and all of them before a schema that nobody took.
struct SchemaFileLoad {
    // The schema a reference led to, owned here until the referencing schema
    // takes it; NULL for the schema the host asked to load.
    std::unique_ptr<CZVSchema> created;
    CZVSchema* schema = nullptr;
    // The reference that led here; handed to the referencing schema once
    // this file is read.
    CZVSchemaReference reference;
    std::string identity; // the canonical path
    std::wstring fileName;
    std::wstring path;

    std::unique_ptr<XMLDocument> document;
    // Non-zero when the root is missing or in a foreign namespace: the file
    // adds nothing then.
    int openResult = 0;
    // The root's next child the first pass reads; null once it is done.
    XMLNode nextChild;
    std::vector<ClassElement> classes;
    std::vector<XMLNode> customAttributes;
    DeferredCustomAttributes deferred;
    // The schema's own handler: referenced schemas do not inherit the hooks.
    ZVRelationshipUpgradeHandler upgradeHandler = nullptr;
};

class SchemaLoadContext {
public:
    // `searchPath` serves every file of the load: a referenced schema gets
    // the search path of the load it is part of.
    explicit SchemaLoadContext(std::wstring searchPath);
    SchemaLoadContext(const SchemaLoadContext&) = delete;
    SchemaLoadContext& operator=(const SchemaLoadContext&) = delete;

    const std::wstring& SearchPath() const { return m_searchPath; }

    // What makes two paths one file: the canonical path ("./a", "../x/a" and
    // a symbolic link to it are one file).
    static std::string Identity(const std::wstring& path);

    // Puts the file at `path` (whose identity is `identity`), to be read into
    // `schema`, at the end of the chain. Throws ZVXMLRuntimeError "Circular
    // ZVSchemaReference: " + the file names of the chain joined by " -> "
    // (ending with `path`'s), at "CZVSchemaReference::ReadXML", when that
    // file is already on it.
    SchemaFileLoad& Enter(CZVSchema& schema, const std::wstring& path, std::string identity);

    // The schema read earlier in this load from the file of that identity,
    // or NULL: each file of a load is read once, and every reference that
    // reaches it shares its schema.
    CZVSchema* FindRead(const std::string& identity) const;

    bool Empty() const { return m_chain.empty(); }
    // The file being read now; the chain must not be empty.
    SchemaFileLoad& Innermost() { return *m_chain.back(); }
    // Takes the innermost file, read, off the chain.
    std::unique_ptr<SchemaFileLoad> Leave();

private:
    std::wstring m_searchPath;
    std::vector<std::unique_ptr<SchemaFileLoad>> m_chain;
    std::unordered_set<std::string> m_onChain; // the identities of m_chain's files
    // Files read completely, by identity. The schemas stay alive for the
    // whole load: each is owned by a schema of the load by then.
    std::unordered_map<std::string, CZVSchema*> m_read;
};

} // namespace ZVXML

#endif
