// zvxml demo: the example plant, shown and streamed.
#include "command_line.h"
#include "commands.h"
#include "embedded_files.h"
#include "schema_loading.h"
#include "text_output.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zvcli {

const char* const kDemoHelp = "usage: zvxml demo\n"
                              "\n"
                              "Shows the built-in example: the plant schema (with the units schema it\n"
                              "references) as a tree, then its instance document as JSON lines.\n";

namespace {

// The example files, written into a private folder for the commands to read.
class ExampleFolder {
public:
    ExampleFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-demo-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw ProgramError{L"cannot create a folder for the example files"};
        }
        m_path = pattern;
        for (std::size_t i = 0; i < kEmbeddedFileCount; ++i) {
            std::ofstream(m_path / kEmbeddedFiles[i].name, std::ios::binary) << kEmbeddedFiles[i].content;
        }
    }
    ~ExampleFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const char* name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace

int Demo(const Arguments& arguments)
{
    if (!arguments.empty()) {
        if (arguments[0] == "--help") {
            std::fputs(kDemoHelp, stdout);
            return 0;
        }
        throw UsageError{"demo takes no arguments"};
    }
    ExampleFolder examples;
    const std::string schema = examples.File("Plant.01.02.zvschema.xml");
    const std::string document = examples.File("plant-north.zvinstance.xml");
    std::printf("$ zvxml schema show Plant.01.02.zvschema.xml\n\n");
    std::fflush(stdout);
    int status = SchemaShow({schema});
    std::printf("\n$ zvxml instances plant-north.zvinstance.xml --schema Plant.01.02.zvschema.xml --format json\n\n");
    std::fflush(stdout);
    status |= Instances({document, "--schema", schema, "--format", "json"});
    return status;
}

} // namespace zvcli
