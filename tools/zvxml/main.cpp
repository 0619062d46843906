// zvxml: look into schema files and stream instance documents.
#include "error_report.h"
#include "log_output.h"
#include "output.h"
#include "program.h"

#include <zvxml/zvxml.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

using zvcli::Program;

std::string VersionText()
{
    return "zvxml " + std::to_string(ZVXML_VERSION_MAJOR) + "." + std::to_string(ZVXML_VERSION_MINOR) + "." +
           std::to_string(ZVXML_VERSION_PATCH);
}

void AddGlobalOptions(CLI::App& app, Program& program)
{
    app.set_version_flag("--version", VersionText(), "Print the version and exit");
    app.add_option("--log-level", program.options.logLevel,
                   "Show the library's log lines of this severity and more severe on standard error (default: "
                   "warning)")
        ->check(CLI::IsMember({"error", "warning", "info", "trace"}))
        ->type_name("LEVEL");
    app.add_flag("-q,--quiet", program.options.quiet, "Show errors only: no warnings, no progress line");
    // Options of the program are accepted after a command's name too.
    app.fallthrough();
}

// Every command of the program. A new command adds one line here.
void AddCommands(CLI::App& app, Program& program)
{
    CLI::App* schema = program.AddGroup(app, "schema", "Look into schema files");
    zvcli::AddSchemaShowCommand(*schema, program);
    zvcli::AddSchemaCheckCommand(*schema, program);
    zvcli::AddSchemaWriteCommand(*schema, program);
    zvcli::AddInstancesCommand(app, program);
    zvcli::AddImportCommand(app, program);
    zvcli::AddValidateCommand(app, program);
    zvcli::AddDemoCommand(app, program);
}

// "zvxml schema show": the commands chosen so far.
std::string CommandPath(const CLI::App& app)
{
    std::string path = app.get_name();
    for (const CLI::App* command = &app; !command->get_subcommands().empty();) {
        command = command->get_subcommands().front();
        path += " " + command->get_name();
    }
    return path;
}

// CLI11's text, except for a group without a command it knows: "unknown
// command 'frob' (one of: show, check, write)".
std::string UsageMessage(const CLI::App& app, const CLI::ParseError& error)
{
    const CLI::App* chosen = &app;
    while (!chosen->get_subcommands().empty()) {
        chosen = chosen->get_subcommands().front();
    }
    const std::vector<const CLI::App*> commands = chosen->get_subcommands([](const CLI::App*) { return true; });
    if (commands.empty() || dynamic_cast<const CLI::RequiredError*>(&error) == nullptr) {
        return error.what();
    }
    std::string known;
    for (const CLI::App* command : commands) {
        known += (known.empty() ? "" : ", ") + command->get_name();
    }
    const std::vector<std::string> unparsed = app.remaining(true);
    if (unparsed.empty()) {
        return "a command is needed (one of: " + known + ")";
    }
    return "unknown command '" + unparsed.front() + "' (one of: " + known + ")";
}

// Paths and texts reach the library as wide text: bytes that are not UTF-8
// would become U+FFFD there, and a file name would name another file.
int FirstArgumentNotUtf8(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument(argv[i]);
        if (ZVXML::ToUtf8(ZVXML::ToWString(argument)) != argument) {
            return i;
        }
    }
    return 0;
}

// Runs the chosen command and reports what stops it; the exit status.
int RunReporting(const Program::Run& run, const std::string& commandPath)
{
    try {
        return run();
    } catch (const zvcli::UsageError& error) {
        zvcli::ReportUsageError(error.message, commandPath);
        return 2;
    } catch (const zvcli::ProgramError& error) {
        zvcli::ReportProgramError(error);
    } catch (const ZVXML::ZVXMLException& error) {
        zvcli::ReportLibraryError(error);
    } catch (const zvcli::OutputFailure& failure) {
        if (failure.error == EPIPE) {
            return 0; // the reader has all it wanted
        }
        zvcli::PrintErr(L"zvxml: cannot write the output: " + ZVXML::ToWString(std::strerror(failure.error)));
    } catch (const std::bad_alloc&) {
        zvcli::PrintErr(L"zvxml: out of memory");
    } catch (const std::exception& error) {
        zvcli::PrintErr(L"zvxml: " + ZVXML::ToWString(error.what()));
    }
    return 1;
}

// A reader that went away (EPIPE) wanted no more; any other error is a failure.
int OutputFailed(int error, int status)
{
    if (error == EPIPE) {
        return status;
    }
    zvcli::PrintErr(L"zvxml: cannot write the output: " + ZVXML::ToWString(std::strerror(error)));
    return 1;
}

// What is still buffered for standard output must reach it too, unless
// writing it failed before (and was reported then).
int Finish(int status)
{
    if (std::ferror(stdout)) {
        return status;
    }
    try {
        zvcli::FlushOut();
    } catch (const zvcli::OutputFailure& failure) {
        return OutputFailed(failure.error, status);
    }
    return status;
}

// --help and --version print through std::cout, and the version's line is
// flushed at once: a write error may already have happened, unreported.
int FinishPrinted(const CLI::App& app, const CLI::Error& printed)
{
    errno = 0;
    const int status = app.exit(printed);
    if (std::ferror(stdout)) {
        return OutputFailed(errno != 0 ? errno : EIO, status);
    }
    return Finish(status);
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that goes away is a write error (EPIPE) the program handles,
    // not a signal that kills it.
    std::signal(SIGPIPE, SIG_IGN);
    Program program;
    CLI::App app("Look into ZV schema files and stream ZV instance documents.", "zvxml");
    AddGlobalOptions(app, program);
    AddCommands(app, program);
    app.require_subcommand(1);
    app.footer("Results go to standard output, errors to standard error (FILE:LINE:COLUMN: message). Exit "
               "status: 0 success, 1 failure, 2 usage error.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return FinishPrinted(app, error);
        }
        zvcli::ReportUsageError(UsageMessage(app, error), CommandPath(app));
        return 2;
    }
    if (const int index = FirstArgumentNotUtf8(argc, argv)) {
        zvcli::ReportUsageError("argument " + std::to_string(index) + " is not UTF-8; file names and texts must be",
                                CommandPath(app));
        return 2;
    }
    const Program::Run* run = program.Chosen(app);
    if (run == nullptr) {
        zvcli::ReportUsageError("no command given", CommandPath(app));
        return 2;
    }
    zvcli::StartLogging(program.options.quiet ? ZVXML::LOG_SEV_ERROR : zvcli::LogLevelNamed(program.options.logLevel));
    const int status = RunReporting(*run, CommandPath(app));
    zvcli::StopLogging();
    ZVXML::CZVSchema::FreeRecycledValues();
    return Finish(status);
}
