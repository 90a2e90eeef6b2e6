// The D-Foundations input file as the road hands it on: a model writes one, an analysis runs one.
//
//   InputFile input = model.generate_input_file(Metadata());
//   DFoundationsAnalysis analysis(input);
#pragma once

#include <string>
#include <variant>

#include "ostrand/core.hpp"

namespace ostrand::external::dfoundations {

// The input file as an in-memory byte stream positioned at its start, or as the platform's File.
using InputFile = std::variant<core::BytesIO, core::File>;

struct GenerateInputFileOptions {
    bool as_file = false;  // return the platform File instead of a byte stream
};

// Has the platform's template service fill an input file from a model document (its JSON text) and
// returns that file. A failure of the service is a std::runtime_error "Input file could not be
// generated, please check your model" with the service's errors::InternalError nested in it.
// Models call this after checking themselves; prefer BearingPilesModel / TensionPilesModel.
InputFile input_file_from_document(std::string document_text, GenerateInputFileOptions options = {});

}  // namespace ostrand::external::dfoundations
