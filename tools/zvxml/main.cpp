// zvxml: look into schema files and stream instance documents.
#include "command_line.h"
#include "commands.h"
#include "log_output.h"
#include "schema_loading.h"
#include "text_output.h"

#include <zvxml/zvxml.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kHelp = "usage: zvxml COMMAND [ARGS]\n"
                          "\n"
                          "Commands:\n"
                          "  schema show FILE        print a schema file as a tree\n"
                          "  schema check FILE       load a schema file and report what it holds\n"
                          "  schema write FILE OUT   load a schema file and write it back\n"
                          "  instances DOC --schema FILE\n"
                          "                          stream an instance document (xml, json, count)\n"
                          "  demo                    show the built-in example\n"
                          "\n"
                          "Every command takes --help, and --log-level error|warning|info|trace to\n"
                          "show the library's log lines on standard error.\n"
                          "Exit status: 0 success, 1 failure, 2 usage error.\n";

using Command = int (*)(const zvcli::Arguments&);

struct CommandEntry {
    const char* group; // "schema" or nullptr
    const char* name;
    Command run;
    const char* help;
};

const CommandEntry kCommands[] = {
    {"schema", "show", &zvcli::SchemaShow, zvcli::kSchemaShowHelp},
    {"schema", "check", &zvcli::SchemaCheck, zvcli::kSchemaCheckHelp},
    {"schema", "write", &zvcli::SchemaWrite, zvcli::kSchemaWriteHelp},
    {nullptr, "instances", &zvcli::Instances, zvcli::kInstancesHelp},
    {nullptr, "demo", &zvcli::Demo, zvcli::kDemoHelp},
};

const CommandEntry* FindCommand(zvcli::Arguments& arguments)
{
    if (arguments.empty()) {
        return nullptr;
    }
    for (const CommandEntry& entry : kCommands) {
        if (entry.group == nullptr && arguments[0] == entry.name) {
            arguments.erase(arguments.begin());
            return &entry;
        }
        if (entry.group != nullptr && arguments[0] == entry.group && arguments.size() > 1 &&
            arguments[1] == entry.name) {
            arguments.erase(arguments.begin(), arguments.begin() + 2);
            return &entry;
        }
    }
    return nullptr;
}

// Library lines at error level explain a failure better than its exception
// alone (the reason a file could not be parsed or saved).
void PrintCollectedErrors()
{
    for (const zvcli::CollectedLine& logged : zvcli::Collected()) {
        if (logged.severity == ZVXML::LOG_SEV_ERROR) {
            zvcli::PrintLine(stderr, L"zvxml: " + logged.text);
        }
    }
}

int Run(zvcli::Arguments arguments)
{
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "help") {
        std::fputs(kHelp, arguments.empty() ? stderr : stdout);
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] == "--version") {
        std::printf("zvxml %d.%d.%d\n", ZVXML_VERSION_MAJOR, ZVXML_VERSION_MINOR, ZVXML_VERSION_PATCH);
        return 0;
    }
    const std::string attempted = arguments[0];
    const CommandEntry* command = FindCommand(arguments);
    if (command == nullptr) {
        std::fprintf(stderr, "zvxml: unknown command '%s'\n\n%s", attempted.c_str(), kHelp);
        return 2;
    }
    try {
        return command->run(arguments);
    } catch (const zvcli::UsageError& error) {
        std::fprintf(stderr, "zvxml: %s\n\n%s", error.message.c_str(), command->help);
        return 2;
    } catch (const zvcli::ProgramError& error) {
        PrintCollectedErrors();
        zvcli::PrintLine(stderr, L"zvxml: " + error.message);
        return 1;
    } catch (const ZVXML::ZVXMLException& error) {
        PrintCollectedErrors();
        std::wstring message = error.Message();
        if (*error.Location() != L'\0') {
            message += std::wstring(L" (") + error.Location() + L")";
        }
        zvcli::PrintLine(stderr, L"zvxml: " + message);
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    int status = Run(zvcli::Arguments(argv + 1, argv + argc));
    ZVXML::SetLoggingCallback(nullptr);
    ZVXML::CZVSchema::FreeRecycledValues();
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "zvxml: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return status;
}
