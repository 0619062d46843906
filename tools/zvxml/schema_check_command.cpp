// zvxml schema check FILE [--path DIR]...
#include "output.h"
#include "program.h"
#include "schema_loading.h"
#include "schema_tree.h"

#include <zvxml/text.h>

namespace zvcli {
namespace {

struct SchemaCheckOptions {
    std::string file;
    std::vector<std::string> folders;
};

int CheckSchema(const SchemaCheckOptions& options)
{
    LoadedSchema loaded = LoadSchemaFile(options.file, options.folders);
    PrintOut(L"result " + std::to_wstring(loaded.result));
    if (loaded.result != 0) {
        return 1;
    }
    for (ZVXML::CZVSchema* schema : SchemasOf(*loaded.schema)) {
        PrintOut(std::wstring(schema->GetSchemaName()) + L" " + schema->VersionString() + L": " +
                 std::to_wstring(schema->GetZVClassCount()) + L" classes, " +
                 std::to_wstring(schema->GetZVRelationshipClassCount()) + L" relationship classes");
    }
    return 0;
}

} // namespace

void AddSchemaCheckCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<SchemaCheckOptions>();
    CLI::App* command = program.AddCommand(parent, "check", "Load a schema file and report what it holds",
                                           [options] { return CheckSchema(*options); });
    command->add_option("FILE", options->file, "The schema file; - reads standard input")->required()->type_name("");
    AddSearchPathOption(*command, options->folders);
    command->footer("Prints the load's result code and the classes and relationship classes of each loaded "
                    "schema; the library's warnings go to standard error with their places. Exit status 0 "
                    "only when the file loaded completely.");
}

} // namespace zvcli
