// Reading a "ZVSchemaReference" element: which schema it names and where its
// file is.
#ifndef ZVXML_SCHEMAXML_SCHEMA_REFERENCE_READER_H
#define ZVXML_SCHEMAXML_SCHEMA_REFERENCE_READER_H

#include <zvxml/dom.h>
#include <zvxml/schema.h>

#include <memory>
#include <string>

namespace ZVXML {

// Reads the element's attributes into `reference` and returns the path of
// the file to load, or "" when `schema` already is or holds that schema.
// Throws ZVXMLFormatError for an unknown attribute, the naming rule's and
// ParseVersionString's errors (before any file is searched), and
// ZVXMLRuntimeError when no folder of the search (the current directory,
// ZVSCHEMA_PATH, then `searchPath`) holds the file.
std::wstring ResolveSchemaReference(CZVSchema& schema, XMLNode element, CZVSchemaReference& reference,
                                    const std::wstring& searchPath);

// The schema a reference's file is read into: the reference's name and
// prefix (the file's root sets its own), `searchPath` for its references,
// and none of the referencing schema's hooks.
std::unique_ptr<CZVSchema> NewReferencedSchema(const CZVSchemaReference& reference, const std::wstring& searchPath);

} // namespace ZVXML

#endif
