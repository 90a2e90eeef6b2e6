// dfoundations input DOCUMENT.json [-o FILE.foi] [--layout 19|23|25]: reads a model document through
// the model operations and writes the input file of that model, in the layout of D-Foundations 19.x
// or 25.1 (absent: the one the document names, else 19). `--example bearing|tension` prints a small
// complete document to start from.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "commands.hpp"
#include "example_documents.hpp"
#include "files.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"
#include "report.hpp"

namespace dfoundations_cli {

namespace {

struct InputOptions {
    std::string document;
    std::string output;
    std::string example;
    int layout = 0;  // 0: not given
    int old_layout_option = 0;
};

int write_input_file(const InputOptions& options)
{
    namespace dfo = ostrand::external::dfoundations;
    const dfo::ModelDocument document = dfo::read_model_document(read_input(options.document));
    try {
        const std::optional<int> layout = options.layout != 0 ? std::optional<int>(options.layout) : std::nullopt;
        const dfo::InputFile input_file = document.generate_input_file({.layout = layout});
        write_output(options.output, std::get<ostrand::core::BytesIO>(input_file).getvalue(), options.document);
    } catch (const std::runtime_error& error) {
        std::rethrow_if_nested(error);  // the template service's own error says what is wrong
        throw;
    }
    return DONE;
}

int print_example(const std::string& kind)
{
    write_standard_output(example_document(kind) + "\n");
    return DONE;
}

}  // namespace

void add_input_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<InputOptions>();
    auto* command = app.add_subcommand(
        "input", "Turn a model document (JSON) into a D-Foundations input file (read_model_document, then "
                 "ModelDocument::generate_input_file)");
    auto* document = command->add_option("DOCUMENT", options->document, "Model document (.json; - for standard input)");
    auto* output =
        command->add_option("-o,--output", options->output, "Input file to write (default: standard output)");
    auto* layout = command
                       ->add_option("--layout", options->layout,
                                    "Input file layout: 19 (D-Foundations 19.x), 23 (23.x) or 25 (25.1); default: the "
                                    "document's \"layout\", else 19")
                       ->check(CLI::IsMember({19, 23, 25}));
    // The earlier spelling, which also hid the program's own --version, keeps working for a while.
    command->add_option("--version", options->old_layout_option)
        ->check(CLI::IsMember({19, 23, 25}))
        ->excludes(layout)
        ->group("");
    command->add_option("--example", options->example, "Print a small complete model document to start from")
        ->check(CLI::IsMember({"bearing", "tension"}))
        ->excludes(document)
        ->excludes(output);
    command->footer(EXIT_STATUS_TABLE);
    command->callback([options, &status] {
        if (!options->example.empty()) {
            status = run_reported("input", [&] { return print_example(options->example); });
            return;
        }
        if (options->document.empty()) throw CLI::RequiredError("DOCUMENT or --example");
        if (options->old_layout_option != 0) {
            std::fputs("dfoundations input: note: --version is now called --layout; the old spelling will go away\n",
                       stderr);
            options->layout = options->old_layout_option;
        }
        status = run_reported("input", [&] { return write_input_file(*options); });
    });
}

}  // namespace dfoundations_cli
