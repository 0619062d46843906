// zvxml schema show FILE [--format tree|json] [--path DIR]...
#include "schema_show_command.h"

#include "output.h"
#include "program.h"
#include "schema_json.h"
#include "schema_loading.h"
#include "schema_tree.h"

namespace zvcli {

int ShowSchema(const SchemaShowOptions& options)
{
    LoadedSchema loaded = LoadSchemaFile(options.file, options.folders);
    RequireCompleteLoad(loaded, options.file);
    if (options.format == "json") {
        std::string document;
        AppendSchemaJson(*loaded.schema, document);
        document.push_back('\n');
        WriteOut(document);
    } else {
        PrintSchemaTree(*loaded.schema);
    }
    return 0;
}

void AddSchemaShowCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<SchemaShowOptions>();
    CLI::App* command = program.AddCommand(parent, "show", "Print a schema file and the schemas it references",
                                           [options] { return ShowSchema(*options); });
    command->add_option("FILE", options->file, "The schema file; - reads standard input")->required()->type_name("");
    AddSearchPathOption(*command, options->folders);
    command
        ->add_option("--format", options->format,
                     "What to print: tree, readable, with @ before custom attributes (the default); json, one "
                     "JSON document")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"tree", "json"}));
    command->footer("Referenced schema files are found in the current directory, the folders of ZVSCHEMA_PATH "
                    "(separated by ':' or ';'), the file's own folder and each --path DIR.");
}

} // namespace zvcli
