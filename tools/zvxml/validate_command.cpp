// zvxml validate DOC --schema FILE [--format text|json] [--max-errors N]
#include "count_option.h"
#include "error_report.h"
#include "json_instance.h"
#include "output.h"
#include "program.h"
#include "schema_loading.h"

#include <zvxml/zvxml.h>

#include <memory>
#include <string>
#include <vector>

namespace zvcli {
namespace {

struct ValidateOptions {
    std::string document; // "-": standard input
    std::string schema;
    std::vector<std::string> folders;
    std::string format = "text"; // text or json
    long long maxErrors = 0; // 0: all
    bool skipUnknownClasses = false;
    bool skipUnknownProperties = false;
};

struct Report {
    const ValidateOptions& options;
    std::wstring documentName; // for findings without a file of their own
    long long printed = 0;
    std::string line; // reused
};

void AppendJsonField(const char* name, const std::wstring& value, std::string& out)
{
    out += ",\"";
    out += name;
    out += "\":";
    AppendJsonString(value, out);
}

void PrintJson(const ZVXML::ZVValidationFinding& finding, const std::wstring& file, std::string& line)
{
    line = "{\"file\":";
    AppendJsonString(file, line);
    line += ",\"line\":" + std::to_string(finding.line) + ",\"column\":" + std::to_string(finding.column);
    AppendJsonField("class", finding.className, line);
    AppendJsonField("id", finding.instanceID, line);
    AppendJsonField("property", finding.property, line);
    AppendJsonField("message", finding.message, line);
    line += "}\n";
    WriteOut(line);
}

int OnFinding(void* context, const ZVXML::ZVValidationFinding& finding)
{
    auto& report = *static_cast<Report*>(context);
    const bool ownFile = !finding.file.empty() && finding.file != ZVXML::ToWString(kStandardInput);
    const std::wstring& file = ownFile ? finding.file : report.documentName;
    if (report.options.format == "json") {
        PrintJson(finding, file, report.line);
    } else {
        PrintOut(file + L":" + std::to_wstring(finding.line) + L":" + std::to_wstring(finding.column) + L": " +
                 finding.className + L" " + finding.instanceID + L": " + finding.property + L": " + finding.message);
    }
    ++report.printed;
    return report.printed == report.options.maxErrors ? 1 : 0;
}

int Validate(const ValidateOptions& options)
{
    if (options.document == "-" && options.schema == "-") {
        throw UsageError{"the document and the schema cannot both be standard input"};
    }
    LoadedSchema loaded = LoadSchemaFile(options.schema, options.folders);
    RequireCompleteLoad(loaded, options.schema);
    const std::wstring location = ZVXML::ToWString(InputPath(options.document));
    unsigned long parseOptions = 0;
    if (options.skipUnknownClasses)
        parseOptions |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES;
    if (options.skipUnknownProperties)
        parseOptions |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES;
    Report report{options, options.document == "-" ? std::wstring(kStandardInputName) : location, 0, {}};
    const std::size_t findings =
        ZVXML::ValidateZVInstanceXML(1, location.c_str(), loaded.schema.get(), &OnFinding, &report, parseOptions);
    return findings == 0 ? 0 : 1;
}

} // namespace

void AddValidateCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<ValidateOptions>();
    CLI::App* command = program.AddCommand(parent, "validate", "Check an instance document against its schema",
                                           [options] { return Validate(*options); });
    AddInstanceDocumentOptions(*command, options->document, options->schema);
    AddSearchPathOption(*command, options->folders);
    command
        ->add_option("--format", options->format,
                     "How findings are printed: text, FILE:LINE:COLUMN: class id: property: message (the "
                     "default); json, one JSON object per line")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"text", "json"}));
    command->add_option("--max-errors", options->maxErrors, "Stop after N findings (0: report all)")
        ->type_name("N")
        ->check(CountValidator());
    command->add_flag("--skip-unknown-classes", options->skipUnknownClasses,
                      "Skip elements of classes the schema does not know (else they stop the check)");
    command->add_flag("--skip-unknown-properties", options->skipUnknownProperties,
                      "Skip properties the class does not have (else they stop the check)");
    command->footer("Findings go to standard output; the position is that of the instance's start tag (0 where "
                    "none applies). Exit status: 0 valid, 1 findings (or a document that cannot be read), 2 usage "
                    "error.");
}

} // namespace zvcli
