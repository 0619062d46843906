// zvxml schema show | check | write
#include "command_line.h"
#include "commands.h"
#include "log_output.h"
#include "schema_loading.h"
#include "schema_tree.h"
#include "text_output.h"

#include <zvxml/zvxml.h>

#include <cstdio>

namespace zvcli {

const char* const kSchemaShowHelp = "usage: zvxml schema show [--path DIR]... [--log-level LEVEL] FILE\n"
                                    "\n"
                                    "Loads a schema file and prints it as a tree: name, prefix, version,\n"
                                    "references, classes with their flags, base class and properties,\n"
                                    "relationship classes with both ends and keys, and custom attributes (@),\n"
                                    "then each schema it references.\n"
                                    "\n"
                                    "Referenced schema files are found in the current directory, the folders\n"
                                    "of ZVSCHEMA_PATH (separated by ':' or ';'), the file's own folder and\n"
                                    "each --path DIR.\n";

const char* const kSchemaCheckHelp = "usage: zvxml schema check [--path DIR]... [--log-level LEVEL] FILE\n"
                                     "\n"
                                     "Loads a schema file and reports the result code, the classes and\n"
                                     "relationship classes of each loaded schema, and the library's warnings\n"
                                     "and errors. Exit status 0 only when the file loaded completely.\n";

const char* const kSchemaWriteHelp = "usage: zvxml schema write [--path DIR]... [--log-level LEVEL] FILE OUT\n"
                                     "\n"
                                     "Loads a schema file and writes it back to OUT in the library's own form\n"
                                     "(normalised versions and attribute order, indented). OUT is replaced\n"
                                     "atomically.\n";

namespace {

const OptionSpec kPath{"path", true};

LoadedSchema LoadOrExplain(const CommandLine& line)
{
    LoadedSchema loaded = LoadSchemaFile(line.Operands()[0], line.Values("path"));
    if (loaded.result != 0) {
        throw ProgramError{L"'" + ZVXML::ToWString(line.Operands()[0]) + L"' is not a ZVXML 2.0 schema file (result " +
                           std::to_wstring(loaded.result) + L")"};
    }
    return loaded;
}

void CountClasses(ZVXML::CZVSchema& schema, std::vector<ZVXML::CZVSchema*>& seen)
{
    for (ZVXML::CZVSchema* known : seen) {
        if (known == &schema) {
            return;
        }
    }
    seen.push_back(&schema);
    std::printf("%s %s: %zu classes, %zu relationship classes\n", ZVXML::ToUtf8(schema.GetSchemaName()).c_str(),
                ZVXML::ToUtf8(schema.VersionString()).c_str(), schema.GetZVClassCount(),
                schema.GetZVRelationshipClassCount());
    for (std::size_t i = 0; i < schema.GetReferenceCount(); ++i) {
        if (ZVXML::CZVSchema* referenced = schema.GetReferencedSchema(static_cast<unsigned long>(i))) {
            CountClasses(*referenced, seen);
        }
    }
}

} // namespace

int SchemaShow(const Arguments& arguments)
{
    CommandLine line(arguments, {kPath});
    if (line.Has("help")) {
        std::fputs(kSchemaShowHelp, stdout);
        return 0;
    }
    line.RequireOperands(1, "schema FILE");
    StartLogging(ParseLogLevel(line.Value("log-level", "")), ZVXML::LOG_SEV_ERROR);
    LoadedSchema loaded = LoadOrExplain(line);
    PrintSchemaTree(stdout, *loaded.schema);
    return 0;
}

int SchemaCheck(const Arguments& arguments)
{
    CommandLine line(arguments, {kPath});
    if (line.Has("help")) {
        std::fputs(kSchemaCheckHelp, stdout);
        return 0;
    }
    line.RequireOperands(1, "schema FILE");
    StartLogging(ParseLogLevel(line.Value("log-level", "")), ZVXML::LOG_SEV_WARNING);
    LoadedSchema loaded;
    std::wstring failure;
    try {
        loaded = LoadSchemaFile(line.Operands()[0], line.Values("path"));
    } catch (const ZVXML::ZVXMLException& e) {
        failure = e.Message();
    }
    for (const CollectedLine& logged : Collected()) {
        PrintLine(stdout, std::wstring(SeverityName(logged.severity)) + L": " + logged.text);
    }
    if (!failure.empty()) {
        PrintLine(stdout, L"failed: " + failure);
        return 1;
    }
    std::printf("result %d\n", loaded.result);
    if (loaded.result == 0) {
        std::vector<ZVXML::CZVSchema*> seen;
        CountClasses(*loaded.schema, seen);
    }
    return loaded.result == 0 ? 0 : 1;
}

int SchemaWrite(const Arguments& arguments)
{
    CommandLine line(arguments, {kPath});
    if (line.Has("help")) {
        std::fputs(kSchemaWriteHelp, stdout);
        return 0;
    }
    line.RequireOperands(2, "schema FILE and OUT");
    StartLogging(ParseLogLevel(line.Value("log-level", "")), ZVXML::LOG_SEV_ERROR);
    LoadedSchema loaded = LoadOrExplain(line);
    const std::wstring out = ZVXML::ToWString(line.Operands()[1]);
    int result = 0;
    {
        StdoutToStderr keepOutputClean;
        result = loaded.schema->WriteXML(out.c_str());
    }
    if (result != 0) {
        throw ProgramError{L"writing stopped with result " + std::to_wstring(result)};
    }
    return 0;
}

} // namespace zvcli
