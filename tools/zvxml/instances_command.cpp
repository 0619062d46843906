// zvxml instances DOC --schema FILE [--format xml|json|count|zvxml] [--class NAME]... [--limit N]
#include "instances_command.h"

#include "count_option.h"
#include "error_report.h"
#include "json_instance.h"
#include "output.h"
#include "program.h"
#include "progress_meter.h"
#include "schema_loading.h"
#include "stdout_stream.h"
#include "xml_instance.h"

#include <zvxml/zvxml.h>

#include <map>
#include <memory>
#include <set>
#include <utility>

namespace zvcli {
namespace {

// Ends the parse once the limit is reached; not a failure.
struct LimitReached {};

struct Output {
    Output(const InstancesOptions& wanted, std::set<std::wstring> only, ProgressMeter& meter)
        : options(wanted), classes(std::move(only)), progress(meter)
    {
    }

    const InstancesOptions& options;
    std::set<std::wstring> classes; // all when empty
    ProgressMeter& progress;
    std::string line; // reused for every instance
    std::map<std::wstring, long long> counts;
    long long total = 0;
    bool rootSeen = false;
    StdoutStream stream;
    std::unique_ptr<ZVXML::ZVInstanceXMLWriter> document; // for --format zvxml, made at the root
};

void Emit(Output& output, ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship)
{
    output.progress.Instance();
    if (!output.classes.empty() && output.classes.count(instance.TypeName()) == 0) {
        return;
    }
    if (output.total == output.options.limit) {
        throw LimitReached{};
    }
    ++output.total;
    if (output.options.format == "count") {
        ++output.counts[instance.TypeName()];
    } else if (output.document != nullptr) {
        output.document->Write(&instance);
    } else {
        output.line.clear();
        if (output.options.format == "json") {
            AppendInstanceJson(instance, relationship, output.line);
        } else {
            AppendInstanceXml(instance, relationship, output.line);
        }
        output.line.push_back('\n');
        WriteOut(output.line);
    }
    if (output.total == output.options.limit) {
        throw LimitReached{}; // the rest of the document is not read
    }
}

int OnBegin(ZVXML::CZVSchema*, void* context, const wchar_t* scope, ZVXML::XMLAttributes*)
{
    auto& output = *static_cast<Output*>(context);
    output.rootSeen = true;
    if (output.options.format == "zvxml") {
        output.document =
            std::make_unique<ZVXML::ZVInstanceXMLWriter>(output.stream, *scope != L'\0' ? scope : nullptr);
    }
    return 0;
}

int OnInstance(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance)
{
    Emit(*static_cast<Output*>(context), *instance, nullptr);
    return 0;
}

int OnRelationship(ZVXML::CZVSchema*, void* context, ZVXML::ZVRelationshipInstance* relationship)
{
    Emit(*static_cast<Output*>(context), *relationship, relationship);
    return 0;
}

void PrintCounts(const Output& output)
{
    for (const auto& entry : output.counts) {
        PrintOut(entry.first + L"\t" + std::to_wstring(entry.second));
    }
    PrintOut(L"total\t" + std::to_wstring(output.total));
}

// The classes asked for, each known to the schema: a misspelt name would
// otherwise select nothing, silently.
std::set<std::wstring> KnownClasses(ZVXML::CZVSchema& schema, const std::vector<std::string>& names)
{
    std::set<std::wstring> classes;
    for (const std::string& name : names) {
        const std::wstring wide = ZVXML::ToWString(name);
        if (schema.FindZVRelationshipClass(wide.c_str(), ZVXML::ZVCLASSTYPE_ANY) == nullptr &&
            schema.FindZVClass(wide.c_str(), ZVXML::ZVCLASSTYPE_ANY) == nullptr) {
            throw ProgramError{L"the schema has no class " + wide + L" (--class)", L""};
        }
        classes.insert(wide);
    }
    return classes;
}

} // namespace

int StreamInstances(const InstancesOptions& options)
{
    if (options.document == "-" && options.schema == "-") {
        throw UsageError{"the document and the schema cannot both be standard input"};
    }
    LoadedSchema loaded = LoadSchemaFile(options.schema, options.folders);
    RequireCompleteLoad(loaded, options.schema);
    const std::string document = InputPath(options.document);
    unsigned long parseOptions = 0;
    if (options.skipUnknownClasses)
        parseOptions |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES;
    if (options.skipUnknownProperties)
        parseOptions |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES;

    ProgressMeter progress(document, options.progress);
    Output output(options, KnownClasses(*loaded.schema, options.classes), progress);
    ZVXML::CZVSchemaInstanceFactory factory(loaded.schema.get());
    const std::wstring location = ZVXML::ToWString(document);
    try {
        ZVXML::ParseZVInstanceXML(1, location.c_str(), loaded.schema.get(), &output, &OnBegin, &OnInstance,
                                  &OnRelationship, nullptr, nullptr, nullptr, &factory, parseOptions);
    } catch (const LimitReached&) {
        // as many as were asked for
    }
    // The reader skips a root of any other name whole; here that is a
    // mistake (a schema file given as the document, say), not an empty
    // result.
    if (!output.rootSeen) {
        throw ProgramError{L"not an instance document: the root element is not ZVInstanceXML", location};
    }
    if (options.format == "count") {
        PrintCounts(output);
    }
    if (output.document != nullptr) {
        output.document->Close();
    }
    return 0;
}

void AddInstancesCommand(CLI::App& parent, Program& program)
{
    auto options = std::make_shared<InstancesOptions>();
    CLI::App* command = program.AddCommand(
        parent, "instances", "Stream an instance document: one line per instance, or counts", [options, &program] {
            options->progress = !program.options.quiet;
            return StreamInstances(*options);
        });
    AddInstanceDocumentOptions(*command, options->document, options->schema);
    AddSearchPathOption(*command, options->folders);
    command
        ->add_option("--format", options->format,
                     "What to print: xml, one XML element per instance and line (the default); json, one JSON "
                     "object per line; count, the number of instances of each class, then the total; zvxml, an "
                     "instance document")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"xml", "json", "count", "zvxml"}));
    command->add_option("--class", options->classes, "Only instances of this class (repeatable)")->type_name("NAME");
    command->add_option("--limit", options->limit, "Stop after N instances")->type_name("N")->check(CountValidator());
    command->add_flag("--skip-unknown-classes", options->skipUnknownClasses,
                      "Skip elements of classes the schema does not know (else they stop the parse)");
    command->add_flag("--skip-unknown-properties", options->skipUnknownProperties,
                      "Skip properties the class does not have (else they stop the parse)");
    command->footer("Instances are printed as they arrive. When the parse stops at an error, the instances "
                    "read so far are printed, then the error as FILE:LINE:COLUMN: message (exit status 1). A "
                    "progress line appears on a terminal for large documents (not with -q).");
}

} // namespace zvcli
