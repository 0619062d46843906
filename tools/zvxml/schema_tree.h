// A schema printed as a readable tree.
#ifndef ZVCLI_SCHEMA_TREE_H
#define ZVCLI_SCHEMA_TREE_H

#include <zvxml/schema.h>

#include <vector>

namespace zvcli {

// `schema` and then each schema it references, directly or not, each once.
std::vector<ZVXML::CZVSchema*> SchemasOf(ZVXML::CZVSchema& schema);

// Prints each schema of SchemasOf(schema) to standard output.
void PrintSchemaTree(ZVXML::CZVSchema& schema);

} // namespace zvcli

#endif
