// zvxml schema write FILE OUT [--path DIR]...
#include "error_report.h"
#include "output.h"
#include "program.h"
#include "schema_loading.h"

#include <zvxml/text.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace zvcli {
namespace {

struct SchemaWriteOptions {
    std::string file;
    std::string out; // "-": standard output
    std::vector<std::string> folders;
};

// A file of our own in the temporary folder, removed with this object.
class TemporaryFile {
public:
    TemporaryFile()
    {
        const std::string suffix = ".zvschema.xml";
        m_path = (std::filesystem::temp_directory_path() / ("zvxml-XXXXXX" + suffix)).string();
        const int fd = mkstemps(m_path.data(), static_cast<int>(suffix.size()));
        if (fd < 0) {
            throw ProgramError{L"cannot create a temporary file: " + ZVXML::ToWString(std::strerror(errno)), L""};
        }
        close(fd);
    }
    ~TemporaryFile() { std::remove(m_path.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

void Write(ZVXML::CZVSchema& schema, const std::string& path)
{
    const std::wstring widePath = ZVXML::ToWString(path);
    int result = 0;
    {
        const QuietStdout resultsOnly;
        result = schema.WriteXML(widePath.c_str());
    }
    if (result != 0) {
        throw ProgramError{L"writing stopped with result " + std::to_wstring(result), widePath};
    }
}

void CopyToStandardOutput(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        throw ProgramError{ZVXML::ToWString(std::strerror(errno)), ZVXML::ToWString(path)};
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
    char buffer[64 * 1024];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        WriteOut(std::string_view(buffer, got));
    }
    if (std::ferror(file)) {
        throw ProgramError{L"cannot read the written schema back", ZVXML::ToWString(path)};
    }
}

int WriteSchema(const SchemaWriteOptions& options)
{
    LoadedSchema loaded = LoadSchemaFile(options.file, options.folders);
    RequireCompleteLoad(loaded, options.file);
    if (options.out != "-") {
        Write(*loaded.schema, options.out);
        return 0;
    }
    const TemporaryFile written;
    Write(*loaded.schema, written.Path());
    CopyToStandardOutput(written.Path());
    return 0;
}

} // namespace

void AddSchemaWriteCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<SchemaWriteOptions>();
    CLI::App* command = program.AddCommand(parent, "write", "Load a schema file and write it back",
                                           [options] { return WriteSchema(*options); });
    command->add_option("FILE", options->file, "The schema file; - reads standard input")->required()->type_name("");
    command->add_option("OUT", options->out, "The file to write; - writes standard output")->required()->type_name("");
    AddSearchPathOption(*command, options->folders);
    command->footer("Writes the library's own form (normalised versions and attribute order, indented). An "
                    "existing OUT is replaced atomically.");
}

} // namespace zvcli
