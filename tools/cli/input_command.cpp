#include <iostream>

#include "commands.hpp"

namespace dfoundations_cli {

void add_input_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand("input", "not available yet");
    command->callback([&status] {
        std::cerr << "dfoundations input: not available yet\n";
        status = 2;
    });
}

}  // namespace dfoundations_cli
