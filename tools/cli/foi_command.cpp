// dfoundations foi FILE.foi [-o DOCUMENT.json]: reads a D-Foundations input file and prints its model
// document with the file's extra values as the member "input_file_extras", which `dfoundations input`
// turns into the same input file again.
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"
#include "report.hpp"

namespace dfoundations_cli {

namespace {

struct FoiOptions {
    std::string input_file;
    std::string output;
};

int read_input_file(const FoiOptions& options)
{
    namespace dfo = ostrand::external::dfoundations;
    const dfo::InputFileReading reading = dfo::read_input_file(read_input(options.input_file));
    write_output(options.output, reading.document_with_extras().dump(2) + "\n", options.input_file);
    for (const dfo::InputFileWarning& warning : reading.warnings)
        std::cerr << "note: line " << warning.line << ": " << warning.message << "\n";
    if (!reading.model_error.empty())
        std::cerr << "note: the model operations refuse this model, so `dfoundations input` will too: "
                  << reading.model_error << "\n";
    return DONE;
}

}  // namespace

void add_foi_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<FoiOptions>();
    auto* command = app.add_subcommand(
        "foi", "Read a D-Foundations input file (.foi) into a model document (JSON) that `input` takes back "
                "(read_input_file)");
    command->add_option("FILE", options->input_file, "Input file (.foi; - for standard input)")->required();
    command->add_option("-o,--output", options->output, "Document to write (default: standard output)");
    command->footer(EXIT_STATUS_TABLE);
    command->callback([options, &status] { status = run_reported("foi", [&] { return read_input_file(*options); }); });
}

}  // namespace dfoundations_cli
