// Loading a schema file and the files its references reach.
#ifndef ZVXML_SCHEMAXML_SCHEMA_READER_H
#define ZVXML_SCHEMAXML_SCHEMA_READER_H

#include <zvxml/schema.h>

#include <string>

namespace ZVXML {

class SchemaLoadContext;

// Reads the file at `path` into `schema`, and each file its references lead
// to into a new schema that the referencing schema then owns, all as part of
// `load` (which must hold no file yet). Returns what CZVSchema::ReadXML
// returns for `path`; throws what it throws.
int ReadSchemaSet(CZVSchema& schema, const std::wstring& path, SchemaLoadContext& load);

} // namespace ZVXML

#endif
