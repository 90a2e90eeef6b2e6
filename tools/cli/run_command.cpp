#include <iostream>

#include "commands.hpp"

namespace dfoundations_cli {

void add_run_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand("run", "not available yet");
    command->callback([&status] {
        std::cerr << "dfoundations run: not available yet\n";
        status = 2;
    });
}

}  // namespace dfoundations_cli
