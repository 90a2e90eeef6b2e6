#include <iostream>
#include <memory>

#include "commands.hpp"
#include "host/temporary_store.hpp"
#include "ostrand/api_v1.hpp"
#include "ostrand/core.hpp"

namespace dfoundations_cli {

namespace {
struct InputOptions {
    std::string document;
    std::string output;
};

// The road a model takes: upload the document, let the template service fill the input file into
// a fresh slot, then read it from the download location.
std::string generate(const std::string& document)
{
    ostrand::api_v1::API api;
    ostrand::core::BytesIO stream(document);
    const std::string input_url = api._upload_temporary_file(stream);
    const auto urls = api._generate_temporary_file_urls();
    if (urls.size() != 3) throw std::runtime_error("The platform handed out no usable temporary location.");
    ostrand::core::_post_on_addon_endpoint("filldfoundationstemplate/v2/jobs/",
                                           {{"input_url", input_url}, {"upload_url", urls[0]}, {"upload_data", urls[1]}},
                                           std::chrono::seconds(60));
    return ostrand::core::File::from_url(urls[2]).getvalue_binary();
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
            const std::string input_file = generate(ostrand::host::read_file(options->document));
            if (options->output.empty()) {
                std::cout.write(input_file.data(), static_cast<std::streamsize>(input_file.size()));
                std::cout.flush();
                if (!std::cout) throw std::runtime_error("Cannot write to standard output.");
            } else {
                ostrand::host::write_file_atomically(options->output, input_file);
            }
        } catch (const std::exception& error) {
            std::cerr << "dfoundations input: " << error.what() << '\n';
            status = 1;
        }
    });
}

}  // namespace dfoundations_cli
