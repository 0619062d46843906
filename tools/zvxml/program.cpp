#include "program.h"

#include <utility>

namespace zvcli {

CLI::App* Program::AddCommand(CLI::App& parent, const std::string& name, const std::string& description, Run run)
{
    CLI::App* command = parent.add_subcommand(name, description);
    m_runs[command] = std::move(run);
    return command;
}

CLI::App* Program::AddGroup(CLI::App& parent, const std::string& name, const std::string& description)
{
    CLI::App* group = parent.add_subcommand(name, description);
    group->require_subcommand(1);
    return group;
}

const Program::Run* Program::Chosen(const CLI::App& root) const
{
    const CLI::App* app = &root;
    while (!app->get_subcommands().empty()) {
        app = app->get_subcommands().front();
    }
    auto found = m_runs.find(app);
    return found == m_runs.end() ? nullptr : &found->second;
}

} // namespace zvcli
