#include "schema_loading.h"

#include "error_report.h"
#include "output.h"

#include <zvxml/text.h>

#include <filesystem>

namespace zvcli {

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
