#include <iostream>

#include "commands.hpp"

namespace dfoundations_cli {

void add_parse_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand("parse", "not available yet");
    command->callback([&status] {
        std::cerr << "dfoundations parse: not available yet\n";
        status = 2;
    });
}

}  // namespace dfoundations_cli
