#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"
#include "ostrand/platform.hpp"
#include "report.hpp"

namespace dfoundations_cli {

namespace {

namespace fs = std::filesystem;

struct RunOptions {
    std::string input;
    std::string output;
    int timeout = 600;
    std::string engine;  // "core", "console" or empty: the console when one is configured, else the core
};

// Keeps what the console wrote instead of an output file (its log, its error file) beside the
// output path, named after it, and returns the paths written.
std::vector<std::string> keep_beside(const fs::path& output, const ostrand::ResultContent& files)
{
    std::vector<std::string> kept;
    std::set<std::string> taken;
    for (const auto& [name, bytes] : files) {
        const std::string extension = fs::path(name).extension().string();
        fs::path target = output.parent_path() / (output.stem().string() + extension);
        if (extension.empty() || !taken.insert(extension).second)
            target = output.parent_path() / fs::path(name).filename();
        write_output(target.string(), bytes);
        kept.push_back(target.string());
    }
    return kept;
}

int run(const RunOptions& options)
{
    using ostrand::external::dfoundations::DFoundationsAnalysis;

    if (options.engine == "core") ostrand::set_worker_engine(ostrand::WorkerEngine::in_process);
    if (options.engine == "console") ostrand::set_worker_engine(ostrand::WorkerEngine::console);
    DFoundationsAnalysis analysis(ostrand::core::BytesIO(read_input(options.input)));
    const fs::path target = !options.output.empty() ? fs::path(options.output)
                            : options.input == "-"  ? fs::path("stdin.fod")
                                                    : fs::path(options.input).replace_extension(".fod");
    analysis.execute(std::chrono::seconds(options.timeout));
    const auto output = analysis.get_output_file();
    if (!output) {
        std::string message = "D-Foundations wrote no .fod output file.";
        const auto kept = keep_beside(target, analysis._get_result_content());
        if (!kept.empty()) {
            message += " It wrote, kept for reading:";
            for (const auto& path : kept) message += " " + path;
        }
        throw std::runtime_error(message);
    }
    write_output(target.string(), std::get<ostrand::core::BytesIO>(*output).getvalue(), options.input);
    return DONE;
}
}  // namespace

void add_run_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<RunOptions>();
    auto* command = app.add_subcommand("run", "Run a D-Foundations analysis of an input file on this machine, with the "
                                              "D-Foundations console program (DFOUNDATIONS_CONSOLE names it) or the "
                                              "open calculation core");
    command->add_option("FILE", options->input, "D-Foundations input file (.foi; - for standard input)")->required();
    command->add_option("-o,--output", options->output,
                        "Output file (default: FILE with the extension .fod; - for standard output)");
    command->add_option("--timeout", options->timeout, "Seconds to wait for D-Foundations")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    command->add_option("--engine", options->engine,
                        "console: the D-Foundations console program; core: the open calculation core, which computes "
                        "Bearing Piles, Preliminary Design, Indication bearing capacity (default: the console when "
                        "one is configured, else the core; DFOUNDATIONS_ENGINE sets it too)")
        ->check(CLI::IsMember({"core", "console"}));
    command->footer(EXIT_STATUS_TABLE);
    command->callback([options, &status] { status = run_reported("run", [&] { return run(*options); }); });
}

}  // namespace dfoundations_cli
