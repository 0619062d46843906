// zvxml instances DOC --schema FILE [--format xml|json|count]
#include "command_line.h"
#include "commands.h"
#include "json_instance.h"
#include "log_output.h"
#include "progress_meter.h"
#include "schema_loading.h"
#include "text_output.h"

#include <zvxml/zvxml.h>

#include <cstdio>
#include <map>

namespace zvcli {

const char* const kInstancesHelp = "usage: zvxml instances DOC --schema FILE [--path DIR]... [--skip-unknown-classes]\n"
                                   "                       [--skip-unknown-properties] [--format xml|json|count]\n"
                                   "                       [--log-level LEVEL]\n"
                                   "\n"
                                   "Streams an instance document and prints each instance as it arrives:\n"
                                   "  xml    one line per instance in the library's text form (default)\n"
                                   "  json   one JSON object per line: class, id, source and target of\n"
                                   "         relationships, properties (arrays as arrays, structs as objects)\n"
                                   "  count  the number of instances of each class, then the total\n"
                                   "\n"
                                   "Without the --skip options, an element of a class or property the schema\n"
                                   "does not know stops the parse. On an XML error the instances read so far\n"
                                   "are printed, then the error (with line and column), and the exit status\n"
                                   "is 1. A progress line appears on a terminal for large documents.\n";

namespace {

enum class Format { Xml, Json, Count };

struct Output {
    Format format;
    std::string line; // reused for every instance
    std::map<std::wstring, long long> counts;
    long long total = 0;
    ProgressMeter* progress;
    std::wstring xmlError;
};

Format ParseFormat(const std::string& name)
{
    if (name == "xml")
        return Format::Xml;
    if (name == "json")
        return Format::Json;
    if (name == "count")
        return Format::Count;
    throw UsageError{"unknown format '" + name + "' (xml, json or count)"};
}

void Emit(Output& output, ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship)
{
    output.progress->Instance();
    ++output.total;
    switch (output.format) {
    case Format::Count:
        ++output.counts[instance.TypeName()];
        return;
    case Format::Json:
        output.line.clear();
        AppendInstanceJson(instance, relationship, output.line);
        break;
    case Format::Xml: {
        std::wstring text;
        std::wstring ends;
        if (relationship != nullptr) {
            ends = std::wstring(L" sourceInstanceID='") + relationship->GetSourceID() + L"' targetInstanceID='" +
                   relationship->GetTargetID() + L"'";
        }
        instance.AppendAsXml(text, ends);
        output.line = ZVXML::ToUtf8(text);
        break;
    }
    }
    output.line.push_back('\n');
    std::fwrite(output.line.data(), 1, output.line.size(), stdout);
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

void OnXmlError(const wchar_t* message, void* context) { static_cast<Output*>(context)->xmlError = message; }

void PrintCounts(const Output& output)
{
    for (const auto& entry : output.counts) {
        std::printf("%s\t%lld\n", ZVXML::ToUtf8(entry.first).c_str(), entry.second);
    }
    std::printf("total\t%lld\n", output.total);
}

} // namespace

int Instances(const Arguments& arguments)
{
    CommandLine line(arguments, {{"schema", true},
                                 {"path", true},
                                 {"format", true},
                                 {"skip-unknown-classes", false},
                                 {"skip-unknown-properties", false}});
    if (line.Has("help")) {
        std::fputs(kInstancesHelp, stdout);
        return 0;
    }
    line.RequireOperands(1, "instance document DOC");
    if (!line.Has("schema")) {
        throw UsageError{"missing --schema FILE"};
    }
    const Format format = ParseFormat(line.Value("format", "xml"));
    StartLogging(ParseLogLevel(line.Value("log-level", "")), ZVXML::LOG_SEV_ERROR);
    LoadedSchema loaded = LoadSchemaFile(line.Value("schema", ""), line.Values("path"));
    if (loaded.result != 0) {
        throw ProgramError{L"'" + ZVXML::ToWString(line.Value("schema", "")) + L"' is not a ZVXML 2.0 schema file"};
    }
    const std::string& document = line.Operands()[0];
    RequireReadableFile(document);
    unsigned long options = 0;
    if (line.Has("skip-unknown-classes"))
        options |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES;
    if (line.Has("skip-unknown-properties"))
        options |= ZVXML::ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES;

    ProgressMeter progress(document);
    Output output{format, {}, {}, 0, &progress, {}};
    ZVXML::CZVSchemaInstanceFactory factory(loaded.schema.get());
    const std::wstring location = ZVXML::ToWString(document);
    try {
        ZVXML::ParseZVInstanceXML(1, location.c_str(), loaded.schema.get(), &output, nullptr, &OnInstance,
                                  &OnRelationship, nullptr, nullptr, &OnXmlError, &factory, options);
    } catch (const ZVXML::ZVXMLException&) {
        std::fflush(stdout); // what was delivered stays printed
        if (!output.xmlError.empty()) {
            PrintLine(stderr, L"zvxml: " + output.xmlError);
        }
        throw;
    }
    if (format == Format::Count) {
        PrintCounts(output);
    }
    return 0;
}

} // namespace zvcli
