// zvxml import FILE --schema FILE [-o OUT]: JSON lines to an instance document.
#include "error_report.h"
#include "json_line_reader.h"
#include "output.h"
#include "program.h"
#include "schema_loading.h"
#include "stdout_stream.h"

#include <zvxml/zvxml.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace zvcli {
namespace {

struct ImportOptions {
    std::string input; // "-": standard input
    std::string schema;
    std::vector<std::string> folders;
    std::string output; // empty: standard output
};

void Copy(std::istream& in, ZVXML::CZVSchema& schema, ZVXML::ZVInstanceXMLWriter& writer, const std::wstring& name)
{
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue; // blank lines separate nothing
        }
        try {
            writer.Write(InstanceFromJsonLine(line, schema).get());
        } catch (const JsonLineError& error) {
            throw ProgramError{error.message, name + L":" + std::to_wstring(number)};
        } catch (const ZVXML::ZVXMLFormatError& error) {
            // What the writer refuses (a text XML cannot carry) comes from this line too.
            throw ProgramError{error.Message(), name + L":" + std::to_wstring(number)};
        }
    }
    if (in.bad()) {
        throw ProgramError{L"cannot read: " + ZVXML::ToWString(std::strerror(errno)), name};
    }
}

int Import(const ImportOptions& options)
{
    if (options.input == "-" && options.schema == "-") {
        throw UsageError{"the input and the schema cannot both be standard input"};
    }
    LoadedSchema loaded = LoadSchemaFile(options.schema, options.folders);
    RequireCompleteLoad(loaded, options.schema);
    std::ifstream file;
    std::istream* in = &std::cin;
    const std::wstring name = options.input == "-" ? kStandardInputName : ZVXML::ToWString(options.input);
    if (options.input != "-") {
        file.open(options.input, std::ios::binary);
        if (!file) {
            throw ProgramError{L"cannot open: " + ZVXML::ToWString(std::strerror(errno)), name};
        }
        in = &file;
    }
    if (options.output.empty()) {
        StdoutStream out;
        ZVXML::ZVInstanceXMLWriter writer(out);
        Copy(*in, *loaded.schema, writer, name);
        writer.Close();
    } else {
        // The output file appears only once the whole input was read.
        ZVXML::ZVInstanceXMLWriter writer(ZVXML::ToWString(options.output).c_str());
        Copy(*in, *loaded.schema, writer, name);
        writer.Close();
    }
    return 0;
}

} // namespace

void AddImportCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = program.AddCommand(
        parent, "import", "Write JSON lines, as `instances --format json` prints them, as an instance document",
        [options] { return Import(*options); });
    command->add_option("FILE", options->input, "The JSON lines; - reads standard input")->required()->type_name("");
    command->add_option("--schema", options->schema, "The schema file the instances' classes come from")
        ->required()
        ->type_name("FILE");
    AddSearchPathOption(*command, options->folders);
    command->add_option("-o,--output", options->output, "Write the document to OUT (replaced only when complete)")
        ->type_name("OUT");
    command->footer("Each line is one instance: {\"class\":...,\"id\":...,[\"source\":...,\"target\":...,]"
                    "\"properties\":{...}}. A line that does not fit the schema stops the import as FILE:LINE: "
                    "message (exit status 1), and OUT is left as it was.");
}

} // namespace zvcli
