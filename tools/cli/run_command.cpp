#include <filesystem>
#include <iostream>
#include <memory>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"

namespace dfoundations_cli {

namespace {
struct RunOptions {
    std::string input;
    std::string output;
    int timeout = 600;
};

void run(const RunOptions& options)
{
    using ostrand::external::dfoundations::DFoundationsAnalysis;
    namespace fs = std::filesystem;

    DFoundationsAnalysis analysis(ostrand::core::BytesIO(read_input(options.input)));
    analysis.execute(std::chrono::seconds(options.timeout));
    const auto output = analysis.get_output_file();
    if (!output) throw std::runtime_error("D-Foundations wrote no .fod output file.");

    const fs::path target = options.output.empty() ? fs::path(options.input).replace_extension(".fod") : fs::path(options.output);
    write_output(target.string(), std::get<ostrand::core::BytesIO>(*output).getvalue(), options.input);
}
}  // namespace

void add_run_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<RunOptions>();
    auto* command = app.add_subcommand("run", "Run a D-Foundations analysis of an input file on this machine; "
                                              "DFOUNDATIONS_CONSOLE names the D-Foundations console program");
    command->add_option("FILE", options->input, "D-Foundations input file (.foi)")->required();
    command->add_option("-o,--output", options->output, "Output file (default: FILE with the extension .fod)");
    command->add_option("--timeout", options->timeout, "Seconds to wait for D-Foundations")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    command->callback([options, &status] {
        try {
            run(*options);
        } catch (const std::exception& error) {
            std::cerr << "dfoundations run: " << error.what() << '\n';
            status = 1;
        }
    });
}

}  // namespace dfoundations_cli
