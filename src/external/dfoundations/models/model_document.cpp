// A model document as the models write it again, and the checks its text passes before it is parsed.
#include <stdexcept>

#include "external/dfoundations/models/model_document_parts.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"

namespace ostrand::external::dfoundations {

namespace {

// Counts the arrays and objects open at each point of the text, skipping strings, and refuses the
// text as soon as they are nested deeper than the limit; nothing here recurses.
void require_shallow(std::string_view text)
{
    std::size_t depth = 0;
    bool in_string = false;
    bool escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                in_string = false;
            }
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > MAX_MODEL_DOCUMENT_DEPTH) {
                throw std::invalid_argument("The model document is nested too deeply: arrays and objects within "
                                            "each other are allowed " +
                                            std::to_string(MAX_MODEL_DOCUMENT_DEPTH) + " levels deep");
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}

}  // namespace

std::string document_reader::with_input_file_extras(std::string text, const nlohmann::ordered_json& extras)
{
    if (extras.is_null()) return text;
    text.pop_back();
    text += ", \"input_file_extras\": ";
    text += extras.dump();
    text += "}";
    return text;
}

const detail::Model& ModelDocument::base() const
{
    return std::visit([](const auto& kind) -> const detail::Model& { return kind; }, model);
}

nlohmann::ordered_json ModelDocument::_generate_input() const
{
    nlohmann::ordered_json document = base()._generate_input(metadata, stamped_at);
    if (!input_file_extras.is_null()) document["input_file_extras"] = input_file_extras;
    return document;
}

std::string ModelDocument::_generate_input_text() const { return _generate_input_text(19); }

std::string ModelDocument::_generate_input_text(int layout) const
{
    base()._check_layout_holds(layout);
    return document_reader::with_input_file_extras(base()._generate_input_text(metadata, stamped_at, layout),
                                                   input_file_extras);
}

InputFile ModelDocument::generate_input_file(GenerateInputFileOptions options) const
{
    if (!options.layout) options.layout = layout;
    const int chosen = checked_layout(options);
    base()._validate();
    return input_file_from_document(_generate_input_text(chosen), options);
}

ModelDocument read_model_document(std::string_view json_text)
{
    require_shallow(json_text);
    nlohmann::ordered_json document;
    try {
        document = nlohmann::ordered_json::parse(json_text);
    } catch (const nlohmann::ordered_json::exception& error) {  // also a number too large for a double
        throw std::invalid_argument(std::string("The model document is not JSON: ") + error.what());
    }
    return read_model_document(document);
}

}  // namespace ostrand::external::dfoundations
