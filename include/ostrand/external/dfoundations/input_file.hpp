// The D-Foundations input file as the road hands it on: a model writes one, an analysis runs one.
//
//   InputFile input = model.generate_input_file(Metadata());
//   DFoundationsAnalysis analysis(input);
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "ostrand/core.hpp"

namespace ostrand::external::dfoundations {

// The input file as an in-memory byte stream positioned at its start, or as the platform's File.
using InputFile = std::variant<core::BytesIO, core::File>;

// The named options of generate_input_file.
struct GenerateInputFileOptions {
    bool as_file = false;  // return the platform File instead of a byte stream (Python: instead of bytes)
    // The layout of the input file: 19 for D-Foundations 19.x, 23 for 23.x, 25 for 25.1. Any other
    // value is a std::invalid_argument. Absent: the layout of the input file a model was read from,
    // else 19.
    std::optional<int> layout{};
};

// `options.layout` when it is 19, 23 or 25 (absent: 19); otherwise throws std::invalid_argument naming it.
// @throws std::invalid_argument "The input file layout must be 19 (D-Foundations 19.x), 23 (D-Foundations
//         23.x) or 25 (D-Foundations 25.1), not 21"
int checked_layout(const GenerateInputFileOptions& options);

// Has the platform's template service fill an input file from a model document (its JSON text) and
// returns that file. A failure of the service is a std::runtime_error "Input file could not be
// generated, please check your model" with the service's errors::InternalError nested in it.
// The layout is the one the document names in "layout" (absent: 19); `options.layout`
// is checked here, and the models write it into the document.
// Models call this after checking themselves; prefer BearingPilesModel / TensionPilesModel.
// @param document_text  the model document's JSON text
// @returns the input file as a byte stream, or the platform's File with as_file
// @throws std::runtime_error "Input file could not be generated, please check your model"
// @python Returns bytes, or a File with as_file=True.
InputFile input_file_from_document(std::string document_text, GenerateInputFileOptions options = {});

}  // namespace ostrand::external::dfoundations
