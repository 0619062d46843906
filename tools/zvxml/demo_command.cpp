// zvxml demo: the example plant, shown and streamed.
#include "embedded_files.h"
#include "error_report.h"
#include "instances_command.h"
#include "output.h"
#include "program.h"
#include "schema_show_command.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zvcli {
namespace {

// The example files, written into a private folder for the commands to read.
class ExampleFolder {
public:
    ExampleFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-demo-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw ProgramError{L"cannot create a folder for the example files", L""};
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
    ExampleFolder(const ExampleFolder&) = delete;
    ExampleFolder& operator=(const ExampleFolder&) = delete;
    std::string File(const char* name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

int Demo()
{
    const ExampleFolder examples;
    SchemaShowOptions show;
    show.file = examples.File("Plant.01.02.zvschema.xml");
    InstancesOptions instances;
    instances.document = examples.File("plant-north.zvinstance.xml");
    instances.schema = show.file;
    instances.format = "json";
    PrintOut(L"$ zvxml schema show Plant.01.02.zvschema.xml\n");
    int status = ShowSchema(show);
    PrintOut(L"\n$ zvxml instances plant-north.zvinstance.xml --schema Plant.01.02.zvschema.xml --format json\n");
    status |= StreamInstances(instances);
    return status;
}

} // namespace

void AddDemoCommand(CLI::App& parent, Program& program)
{
    program.AddCommand(parent, "demo",
                       "Show the built-in example: the plant schema (with the units schema it references) as a "
                       "tree, then its instance document as JSON lines",
                       &Demo);
}

} // namespace zvcli
