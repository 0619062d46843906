// The options and operands of one subcommand.
#ifndef ZVCLI_COMMAND_LINE_H
#define ZVCLI_COMMAND_LINE_H

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace zvcli {

// A mistake on the command line; the program prints it with the usage and
// exits with status 2.
struct UsageError {
    std::string message;
};

struct OptionSpec {
    const char* name; // without the leading "--"
    bool takesValue;
};

class CommandLine {
public:
    // Reads "--name", "--name VALUE", "--name=VALUE" and operands; "--"
    // ends the options. Throws UsageError for an unknown option or a missing
    // value. "--help" and "--log-level LEVEL" are always known.
    CommandLine(const std::vector<std::string>& arguments, std::initializer_list<OptionSpec> options);

    bool Has(const std::string& name) const;
    // The last value given, or `fallback`.
    std::string Value(const std::string& name, const std::string& fallback) const;
    // Every value given, in order.
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Operands() const { return m_operands; }
    // Throws UsageError unless there are exactly `count` operands.
    void RequireOperands(std::size_t count, const char* what) const;

private:
    std::map<std::string, std::vector<std::string>> m_options;
    std::vector<std::string> m_operands;
};

} // namespace zvcli

#endif
