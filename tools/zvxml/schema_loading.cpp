#include "schema_loading.h"

#include "error_report.h"
#include "output.h"

#include <zvxml/text.h>

#include <CLI/CLI.hpp>

#include <filesystem>

namespace zvcli {

void AddSearchPathOption(CLI::App& command, std::vector<std::string>& folders)
{
    command.add_option("--path", folders, "A folder to search for referenced schema files")->type_name("DIR");
}

void AddInstanceDocumentOptions(CLI::App& command, std::string& document, std::string& schema)
{
    command.add_option("DOC", document, "The instance document; - reads standard input")->required()->type_name("");
    command.add_option("--schema", schema, "The schema file the document's classes come from")
        ->required()
        ->type_name("FILE");
}

std::string InputPath(const std::string& argument) { return argument == "-" ? kStandardInput : argument; }

LoadedSchema LoadSchemaFile(const std::string& argument, const std::vector<std::string>& folders)
{
    const std::string path = InputPath(argument);
    std::wstring searchPath;
    if (argument != "-") {
        std::error_code ignored;
        searchPath = ZVXML::ToWString(std::filesystem::absolute(path, ignored).parent_path().string());
    }
    for (const std::string& folder : folders) {
        searchPath += (searchPath.empty() ? L"" : L";") + ZVXML::ToWString(folder);
    }
    // The names are placeholders that the file replaces; a file without
    // them is refused.
    LoadedSchema loaded{std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", nullptr), 0};
    loaded.schema->SetReferenceSearchPath(searchPath.c_str());
    const std::wstring widePath = ZVXML::ToWString(path);
    const QuietStdout resultsOnly;
    loaded.result = loaded.schema->ReadXML(widePath.c_str());
    return loaded;
}

void RequireCompleteLoad(const LoadedSchema& loaded, const std::string& argument)
{
    if (loaded.result != 0) {
        throw ProgramError{L"not a ZVXML 2.0 schema file (result " + std::to_wstring(loaded.result) + L")",
                           ZVXML::ToWString(InputPath(argument))};
    }
}

} // namespace zvcli
