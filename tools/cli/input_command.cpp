#include <iostream>
#include <exception>
#include <memory>
#include <variant>

#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"

namespace dfoundations_cli {

namespace {
struct InputOptions {
    std::string document;
    std::string output;
};

// The innermost cause says what is wrong with the document; the general error around it does not.
std::string innermost_message(const std::exception& error)
{
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return innermost_message(cause);
    }
    return error.what();
}
}  // namespace

void add_input_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<InputOptions>();
    auto* command = app.add_subcommand("input", "Turn a model document (JSON) into a D-Foundations input file");
    command->add_option("DOCUMENT", options->document, "Model document (.json)")->required();
    command->add_option("-o,--output", options->output, "Input file to write (default: standard output)");
    command->callback([options, &status] {
        try {
            namespace dfo = ostrand::external::dfoundations;
            const dfo::InputFile input_file = dfo::input_file_from_document(read_input(options->document));
            write_output(options->output, std::get<ostrand::core::BytesIO>(input_file).getvalue(), options->document);
        } catch (const std::exception& error) {
            std::cerr << "dfoundations input: " << innermost_message(error) << '\n';
            status = 1;
        }
    });
}

}  // namespace dfoundations_cli
