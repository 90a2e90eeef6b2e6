#include "host/template_service.hpp"

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/file_url.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace {
using errors::InternalError;
using Json = nlohmann::ordered_json;

// Builds the document as nlohmann's parser does, but gives each object its members at once. An
// ordered object keeps its members in a vector whose elements are copied, not moved, when it grows:
// grown member by member, a CPT would copy its thousands of measurement rows each time.
class DocumentBuilder {
public:
    explicit DocumentBuilder(Json& root) : root_(root) {}

    bool null() { return add(Json(nullptr)); }
    bool boolean(bool value) { return add(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return add(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return add(Json(value)); }
    bool number_float(Json::number_float_t value, const std::string&) { return add(Json(value)); }
    bool string(std::string& value) { return add(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return add(Json::binary(std::move(value))); }
    bool start_object(std::size_t)
    {
        open_.push_back({true, Json::array(), {}, {}});
        return true;
    }
    bool key(std::string& key)
    {
        open_.back().key = std::move(key);
        return true;
    }
    bool end_object()
    {
        Open object = std::move(open_.back());
        open_.pop_back();
        Json result = Json::object();
        auto& members = result.get_ref<Json::object_t&>();
        members.reserve(object.members.size());
        for (auto& [key, value] : object.members) {
            // A name given twice keeps its first place and its last value, as the parser's own.
            const auto present = members.find(key);
            if (present != members.end()) {
                present->second = std::move(value);
            } else {
                members.emplace_back(std::move(key), std::move(value));
            }
        }
        return add(std::move(result));
    }
    bool start_array(std::size_t)
    {
        open_.push_back({false, Json::array(), {}, {}});
        return true;
    }
    bool end_array()
    {
        Json array = std::move(open_.back().array);
        open_.pop_back();
        return add(std::move(array));
    }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    struct Open {
        bool object;
        Json array;
        std::vector<std::pair<std::string, Json>> members;
        std::string key;
    };

    bool add(Json value)
    {
        if (open_.empty()) {
            root_ = std::move(value);
        } else if (open_.back().object) {
            open_.back().members.emplace_back(std::move(open_.back().key), std::move(value));
        } else {
            open_.back().array.push_back(std::move(value));
        }
        return true;
    }

    Json& root_;
    std::vector<Open> open_;
};

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
        DocumentBuilder builder(document);
        Json::sax_parse(text, &builder);
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
