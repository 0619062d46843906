// Loading a schema file the way the program's commands do.
#ifndef ZVCLI_SCHEMA_LOADING_H
#define ZVCLI_SCHEMA_LOADING_H

#include <zvxml/schema.h>

#include <memory>
#include <string>
#include <vector>

namespace zvcli {

// A failure of the program itself (not of the library): printed as it is,
// exit status 1.
struct ProgramError {
    std::wstring message;
};

// Keeps standard output for results: while it lives, what the library
// prints there (the checked-call messages of failed platform calls) goes to
// standard error instead.
class StdoutToStderr {
public:
    StdoutToStderr();
    ~StdoutToStderr();
    StdoutToStderr(const StdoutToStderr&) = delete;
    StdoutToStderr& operator=(const StdoutToStderr&) = delete;

private:
    int m_saved;
    int m_exceptions;
};

struct LoadedSchema {
    std::unique_ptr<ZVXML::CZVSchema> schema;
    int result = 0; // CZVSchema::ReadXML's result code
};

// Throws ProgramError when `path` cannot be read.
void RequireReadableFile(const std::string& path);

// Loads `path` into a new schema. Referenced schema files are found in the
// current directory, ZVSCHEMA_PATH, the file's own folder and `folders`, in
// that order. Library failures propagate as their exceptions.
LoadedSchema LoadSchemaFile(const std::string& path, const std::vector<std::string>& folders);

} // namespace zvcli

#endif
