// The program's subcommands. Each takes the arguments after its name and
// returns the exit status; usage mistakes throw UsageError, failures throw
// ProgramError or the library's exceptions.
#ifndef ZVCLI_COMMANDS_H
#define ZVCLI_COMMANDS_H

#include <string>
#include <vector>

namespace zvcli {

using Arguments = std::vector<std::string>;

int SchemaShow(const Arguments& arguments);
int SchemaCheck(const Arguments& arguments);
int SchemaWrite(const Arguments& arguments);
int Instances(const Arguments& arguments);
int Demo(const Arguments& arguments);

// Help texts, printed by --help and with usage errors.
extern const char* const kSchemaShowHelp;
extern const char* const kSchemaCheckHelp;
extern const char* const kSchemaWriteHelp;
extern const char* const kInstancesHelp;
extern const char* const kDemoHelp;

} // namespace zvcli

#endif
