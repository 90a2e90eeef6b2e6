// The model document read back into a model: the inverse of `_generate_input`. Every member goes
// through the public model operations (constructors, create_material, create_profile or
// import_profile, create_pile_type, create_pile, Metadata), so every rule and message of the model
// applies, and a document comes back only if those operations write it again.
//
//   const ModelDocument document = read_model_document(json_text);
//   InputFile input = document.generate_input_file();
//   std::visit([](const auto& model) { /* a BearingPilesModel or a TensionPilesModel */ }, document.model);
//
// Errors: the operations' own errors pass through unchanged (errors::ModelError for a rule of the
// model, such as "Maximum number of piles reached (200)"). What the reader itself refuses is a
// std::invalid_argument that names the member, as "Model document: piles[3].x must be a number
// (currently \"3\")": a text that is not JSON or is nested too deeply, a missing or unknown member,
// a value of the wrong kind, and a value that the operations do not write back as it stands (a
// colour of -1, a metadata date that is not a date, a standard material with other values).
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"
#include "ostrand/external/dfoundations/models.hpp"

namespace ostrand::external::dfoundations {

// Arrays and objects within each other that a model document text may hold. A model document needs
// 6 (a measurement value sits in a row, in the rows, in the CPT, in a profile, in the profiles, in
// the document); the limit keeps a hostile text from exhausting the stack while it is read.
inline constexpr std::size_t MAX_MODEL_DOCUMENT_DEPTH = 64;

// A model and the metadata of its document, as read from the document.
struct ModelDocument {
    // The BearingPilesModel or TensionPilesModel of the document.
    // @python A part of the document: changing it changes the document's input file.
    std::variant<BearingPilesModel, TensionPilesModel> model;
    // The project metadata of the document.
    Metadata metadata;
    // The moment the document's date and time were stamped at; used only where the metadata stamps
    // them (a date other than 01/01/1900, a time other than 00:00:00).
    std::chrono::system_clock::time_point stamped_at{};
    // The input file layout the document asks for in its optional "layout" (19, 23 or 25; documents
    // of earlier releases call it "input_file_version"), for a caller to pass on as
    // GenerateInputFileOptions::layout.
    std::optional<int> layout{};
    // What the input file the document was read from states beyond it (the member
    // "input_file_extras"; see input_file_reader.hpp): written back into the input file. Null when
    // the document has none.
    nlohmann::ordered_json input_file_extras;

    // The model, of either kind, as what both kinds share.
    const detail::Model& base() const;

    // The model document again, with the document's own date and time.
    nlohmann::ordered_json _generate_input() const;
    // The same as the JSON text the template service is sent; with `layout`, asking for that layout
    // when it is not the default 19.
    std::string _generate_input_text() const;
    std::string _generate_input_text(int layout) const;
    // Validates the model and has the template service fill an input file from the document, with the
    // extras of the input file it was read from, in the layout `options.layout` (absent:
    // the document's `layout`, else 19).
    // @returns the input file as a byte stream, or the platform's File with as_file
    // @throws errors::ModelError "Invalid model: create at least 1 pile." when the model is incomplete
    // @throws std::runtime_error "Input file could not be generated, please check your model"
    // @python Returns bytes, or a File with as_file=True; layout=None takes the layout the document
    //         asks for.
    InputFile generate_input_file(GenerateInputFileOptions options = {}) const;
};

// Builds the model of a model document through the public model operations and checks that they
// write the document again.
// @param document  the model document, as a model's _generate_input() gives it
// @returns the model and the metadata of the document
// @throws errors::ModelError a rule of the model, e.g. "Maximum number of piles reached (200)"
// @throws std::invalid_argument "Model document: piles[3].x must be a number (currently \"3\")" for
//         what the reader itself refuses
// @python Takes the document's JSON text (str).
ModelDocument read_model_document(const nlohmann::ordered_json& document);

// The same for the document's JSON text. The nesting depth is checked first, without recursion
// (at most MAX_MODEL_DOCUMENT_DEPTH), then that the text is JSON ("The model document is not
// JSON: ...").
ModelDocument read_model_document(std::string_view json_text);
// A text is read as text, never taken for a JSON string value.
inline ModelDocument read_model_document(const std::string& json_text)
{
    return read_model_document(std::string_view(json_text));
}
inline ModelDocument read_model_document(const char* json_text)
{
    return read_model_document(std::string_view(json_text));
}

}  // namespace ostrand::external::dfoundations
