#include "host/template_service.hpp"

#include <nlohmann/json.hpp>

#include "host/file_url.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace {
using errors::InternalError;

std::string member(const nlohmann::ordered_json& request, const char* name)
{
    const auto found = request.is_object() ? request.find(name) : request.end();
    if (found == request.end() || !found->is_string())
        throw InternalError(std::string("The template job request needs the text members \"input_url\", "
                                        "\"upload_url\" and \"upload_data\"; \"") +
                            name + "\" is missing or not text.");
    return found->get<std::string>();
}

nlohmann::ordered_json read_document(const std::string& input_url)
{
    std::string text;
    try {
        text = read_file(path_of_file_url(input_url));
    } catch (const std::exception& error) {
        throw InternalError(std::string("The model document could not be read: ") + error.what());
    }
    nlohmann::ordered_json document;
    try {
        document = nlohmann::ordered_json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        throw InternalError(std::string("The model document is not JSON: ") + error.what());
    }
    if (!document.is_object()) throw InternalError("The model document is not a JSON object.");
    return document;
}
}  // namespace

void serve_template_job(const nlohmann::ordered_json& request, TemporaryStore& store, const TemplateFiller& fill)
{
    const std::string input_url = member(request, "input_url");
    const std::string upload_url = member(request, "upload_url");
    const std::string upload_data = member(request, "upload_data");
    const nlohmann::ordered_json document = read_document(input_url);

    std::string input_file;
    try {
        input_file = fill(document);
    } catch (const InternalError&) {
        throw;
    } catch (const std::exception& error) {
        throw InternalError(std::string("The D-Foundations template could not be filled: ") + error.what());
    }

    try {
        store.fill_slot(upload_url, upload_data, input_file);
    } catch (const InternalError&) {
        throw;
    } catch (const std::exception& error) {
        throw InternalError(std::string("The input file could not be stored: ") + error.what());
    }
}

}  // namespace ostrand::host
