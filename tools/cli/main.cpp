#include <cstdio>
#include <iostream>

#include "ostrand/external/dfoundations/version.hpp"

#include "commands.hpp"
#include "report.hpp"

int main(int argc, char** argv)
{
    using namespace dfoundations_cli;
    CLI::App app{"dfoundations: build D-Foundations models, run analyses and read output files"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "dfoundations " DFOUNDATIONS_LIBRARY_VERSION);
    app.footer(std::string("\n") + EXIT_STATUS_TABLE + "\nFILE arguments take - for standard input.");
    int status = DONE;
    add_read_command(app, status);
    add_parse_command(app, status);
    add_input_command(app, status);
    add_foi_command(app, status);
    add_run_command(app, status);
    add_gef_command(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int shown = app.exit(error);  // prints help, the version or what was wrong
        return shown == 0 ? DONE : USAGE;
    }
    // A full disk or a closed pipe shows only when the buffered output is flushed.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "dfoundations: cannot write to standard output (a closed stream or a full disk)\n";
        return FILE_FAILED;
    }
    return status;
}
