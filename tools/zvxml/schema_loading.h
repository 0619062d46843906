// Loading a schema file the way the program's commands do.
#ifndef ZVCLI_SCHEMA_LOADING_H
#define ZVCLI_SCHEMA_LOADING_H

#include <zvxml/schema.h>

#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zvcli {

// The options every command that loads a schema file takes the same way:
// --path, folders to search for referenced schema files (repeatable).
void AddSearchPathOption(CLI::App& command, std::vector<std::string>& folders);

// DOC and --schema of the commands that read an instance document against
// a schema file.
void AddInstanceDocumentOptions(CLI::App& command, std::string& document, std::string& schema);

// The path to give the library for a file named on the command line: "-"
// is standard input.
std::string InputPath(const std::string& argument);

struct LoadedSchema {
    std::unique_ptr<ZVXML::CZVSchema> schema;
    int result = 0; // CZVSchema::ReadXML's result code
};

// Loads the schema file named by `argument` into a new schema. Referenced
// schema files are found in the current directory, ZVSCHEMA_PATH, the
// file's own folder and `folders`, in that order. Library failures
// propagate as their exceptions (with the place they were found).
LoadedSchema LoadSchemaFile(const std::string& argument, const std::vector<std::string>& folders);

// Throws ProgramError unless the file loaded completely (result 0).
void RequireCompleteLoad(const LoadedSchema& loaded, const std::string& argument);

} // namespace zvcli

#endif
