#include <iostream>

#include "commands.hpp"

int main(int argc, char** argv)
{
    CLI::App app{"dfoundations: build D-Foundations models, run analyses and read output files"};
    app.require_subcommand(1);
    int status = 0;
    dfoundations_cli::add_read_command(app, status);
    dfoundations_cli::add_parse_command(app, status);
    dfoundations_cli::add_input_command(app, status);
    dfoundations_cli::add_run_command(app, status);
    dfoundations_cli::add_gef_command(app, status);
    CLI11_PARSE(app, argc, argv);
    return status;
}
