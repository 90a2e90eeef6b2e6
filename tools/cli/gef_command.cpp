#include <iostream>

#include "commands.hpp"

namespace dfoundations_cli {

void add_gef_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand("gef", "not available yet");
    command->callback([&status] {
        std::cerr << "dfoundations gef: not available yet\n";
        status = 2;
    });
}

}  // namespace dfoundations_cli
