// zvxml schema show: a schema file as a tree or as JSON.
#ifndef ZVCLI_SCHEMA_SHOW_COMMAND_H
#define ZVCLI_SCHEMA_SHOW_COMMAND_H

#include <string>
#include <vector>

namespace zvcli {

struct SchemaShowOptions {
    std::string file; // "-": standard input
    std::vector<std::string> folders;
    std::string format = "tree"; // tree or json
};

int ShowSchema(const SchemaShowOptions& options);

} // namespace zvcli

#endif
