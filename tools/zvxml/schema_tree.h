// A schema printed as a readable tree.
#ifndef ZVCLI_SCHEMA_TREE_H
#define ZVCLI_SCHEMA_TREE_H

#include <zvxml/schema.h>

#include <cstdio>

namespace zvcli {

// Prints `schema` and then each schema it references (each once).
void PrintSchemaTree(std::FILE* out, ZVXML::CZVSchema& schema);

} // namespace zvcli

#endif
