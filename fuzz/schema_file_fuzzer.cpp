// Schema file loading, with a second file for references. The input is the
// main file, then (after a line "--8<--") the file of a schema "Ref" version
// 1.0 that the main file may reference.
//
// Loading may fail only with the library's exceptions or result codes. A file
// that loads and then writes must read back (the writer's output is always
// readable).
#include <zvxml/zvxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& name, const std::string& content)
{
    std::ofstream(Folder() + "/" + name, std::ios::binary | std::ios::trunc) << content;
}

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

std::unique_ptr<ZVXML::CZVSchema> NewSchema()
{
    auto schema = std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", nullptr);
    schema->SetReferenceSearchPath(Wide(Folder()).c_str());
    return schema;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The checked-call rule prints to standard output; keep the log quiet.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find("\n--8<--\n");
    WriteFile("Main.xml", input.substr(0, cut));
    WriteFile("Ref.01.00.zvschema.xml", cut == std::string::npos ? std::string() : input.substr(cut + 8));

    std::unique_ptr<ZVXML::CZVSchema> schema = NewSchema();
    try {
        if (schema->ReadXML(Wide(Folder() + "/Main.xml").c_str()) != 0) {
            return 0;
        }
    } catch (const ZVXML::ZVXMLException&) {
        return 0;
    }
    try {
        if (schema->WriteXML(Wide(Folder() + "/Written.xml").c_str()) != 0) {
            return 0;
        }
    } catch (const ZVXML::ZVXMLException&) {
        return 0; // some loadable schemas cannot be written (an end naming no class)
    }
    std::unique_ptr<ZVXML::CZVSchema> again = NewSchema();
    try {
        if (again->ReadXML(Wide(Folder() + "/Written.xml").c_str()) != 0) {
            std::abort();
        }
    } catch (const ZVXML::ZVXMLException& error) {
        std::fprintf(stderr, "written schema does not read back: %ls\n", error.Message());
        std::abort();
    }
    return 0;
}
