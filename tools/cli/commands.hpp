// The subcommands of the dfoundations program. Each registers itself on the application and
// sets the exit status through `status` when it runs.
#pragma once

#include <CLI/CLI.hpp>

namespace dfoundations_cli {

void add_parse_command(CLI::App& app, int& status);
void add_read_command(CLI::App& app, int& status);
void add_input_command(CLI::App& app, int& status);
void add_run_command(CLI::App& app, int& status);
void add_gef_command(CLI::App& app, int& status);
void add_foi_command(CLI::App& app, int& status);

}  // namespace dfoundations_cli
