#include "command_line.h"

#include <algorithm>

namespace zvcli {
namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name)
{
    auto found = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& spec) { return name == spec.name; });
    return found == specs.end() ? nullptr : &*found;
}

} // namespace

CommandLine::CommandLine(const std::vector<std::string>& arguments, std::initializer_list<OptionSpec> options)
{
    std::vector<OptionSpec> specs(options);
    specs.push_back({"help", false});
    specs.push_back({"log-level", true});
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            m_operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument.substr(2);
        std::string value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSpec* spec = FindSpec(specs, name);
        if (spec == nullptr) {
            throw UsageError{"unknown option '--" + name + "'"};
        }
        if (spec->takesValue && !inlineValue) {
            if (i + 1 >= arguments.size()) {
                throw UsageError{"option '--" + name + "' needs a value"};
            }
            value = arguments[++i];
        } else if (!spec->takesValue && inlineValue) {
            throw UsageError{"option '--" + name + "' takes no value"};
        }
        m_options[name].push_back(value);
    }
}

bool CommandLine::Has(const std::string& name) const { return m_options.count(name) != 0; }

std::string CommandLine::Value(const std::string& name, const std::string& fallback) const
{
    auto found = m_options.find(name);
    return found == m_options.end() ? fallback : found->second.back();
}

std::vector<std::string> CommandLine::Values(const std::string& name) const
{
    auto found = m_options.find(name);
    return found == m_options.end() ? std::vector<std::string>() : found->second;
}

void CommandLine::RequireOperands(std::size_t count, const char* what) const
{
    if (m_operands.size() < count) {
        throw UsageError{std::string("missing ") + what};
    }
    if (m_operands.size() > count) {
        throw UsageError{"unexpected operand '" + m_operands[count] + "'"};
    }
}

} // namespace zvcli
