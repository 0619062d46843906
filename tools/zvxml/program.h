// The program's commands and the options every command takes.
//
// A command lives in a file of its own with one function that adds it,
//   void AddInstancesCommand(CLI::App& parent, Program& program);
// which declares its options on the CLI11 command it gets from
// Program::AddCommand and hands over the function that runs it. main.cpp
// lists those functions; adding a command is one file and one line there.
#ifndef ZVCLI_PROGRAM_H
#define ZVCLI_PROGRAM_H

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <string>

namespace zvcli {

// Accepted before or after the command.
struct GlobalOptions {
    std::string logLevel = "warning"; // error, warning, info or trace
    bool quiet = false; // errors only, no progress line
};

class Program {
public:
    using Run = std::function<int()>; // the exit status

    GlobalOptions options;

    // A command under `parent` (the program or a group), run when chosen.
    CLI::App* AddCommand(CLI::App& parent, const std::string& name, const std::string& description, Run run);
    // A group of commands under `parent`; one of them must be chosen.
    CLI::App* AddGroup(CLI::App& parent, const std::string& name, const std::string& description);

    // What runs the command chosen on the parsed command line; null when none.
    const Run* Chosen(const CLI::App& root) const;

private:
    std::map<const CLI::App*, Run> m_runs;
};

// Each command's adder (see the top of this file).
void AddSchemaShowCommand(CLI::App& parent, Program& program);
void AddSchemaCheckCommand(CLI::App& parent, Program& program);
void AddSchemaWriteCommand(CLI::App& parent, Program& program);
void AddInstancesCommand(CLI::App& parent, Program& program);
void AddImportCommand(CLI::App& parent, Program& program);
void AddValidateCommand(CLI::App& parent, Program& program);
void AddDemoCommand(CLI::App& parent, Program& program);

} // namespace zvcli

#endif
