// A D-Foundations input file (.foi) read back, so that a project can be opened, changed and run
// again. Files of D-Foundations 19 to 25 are read, Bearing Piles and Tension Piles (EC7-NL).
//
//   const InputFileReading reading = read_input_file(bytes);
//   reading.document      // the model document, as a model writes it (read_model_document takes it)
//   reading.extras        // what the file states beyond the document: written back with it
//   InputFile same = reading.generate_input_file();   // the file again
//
//   BearingPilesModel model = BearingPilesModel::from_input_file(bytes);
//
// Errors: a file that is no input file of these models, or lacks what the document needs, is an
// errors::ParsingError "Input file line N: ...". A file the model operations refuse (a rule of the
// model) is an InputFileError (an errors::ModelError) that names the line and the member, with the
// operation's own error (an errors::ModelError for a rule) nested in it.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"

namespace ostrand::external::dfoundations {

// A line of an input file that cannot be written back, and why.
struct InputFileWarning {
    std::size_t line = 0;  // from 1
    std::string message;   // why it cannot be written back
};

// An input file read back: its model document and what the file states beyond it.
struct InputFileReading {
    // The model document. When the model operations can build the file's model, the document is the
    // one that model writes (so `dfoundations input` takes it); otherwise the document as the file
    // states it, and `model_error` says why the operations refuse it. A value that D-Foundations
    // writes and the operations do not take (its "no colour" 536870911, a manual reduction of the
    // cone resistance, pore pressures of a CPT, a verification of tension piles, a date and time in
    // the US form) is no such reason: the document has what the model holds in its place, and the
    // file's own lines are among the extras.
    nlohmann::ordered_json document;
    // The lines and sections in which the file differs from what `document` writes (Belgian soil
    // types, manual reductions per layer, the sections of other models, the program's own header,
    // values the model operations do not hold, ...). Written back with the document, they give the
    // file again; a value changed in the document is written as changed.
    nlohmann::ordered_json extras;
    // 19 for the layout of D-Foundations 19.x, 23 for that of 23.x, 25 for that of 25.1.
    int layout = 19;
    // Why the model operations refuse the file's model; empty when they build it.
    std::string model_error;
    // Lines of the file that cannot be written back.
    // @python a list of (line, message) tuples
    std::vector<InputFileWarning> warnings;

    // The document with the extras as its member "input_file_extras": what `dfoundations foi`
    // prints and `dfoundations input` (and read_model_document) takes back.
    // @returns the model document with "input_file_extras" (Python: a dict)
    nlohmann::ordered_json document_with_extras() const;
    // The same as the JSON text the template service is sent, in the layout `asked` (absent: the
    // file's own). A layout that has no place for a setting the document turns on is an
    // errors::ModelError with the rule's message.
    std::string _generate_input_text(std::optional<int> asked = std::nullopt) const;
    // The input file again, through the template service: the document with the extras written back,
    // in the layout `options.layout` (absent: the file's own).
    // @returns the input file as a byte stream, or the platform's File with as_file
    // @throws std::runtime_error "Input file could not be generated, please check your model" when the
    //         template service fails
    // @python Returns bytes, or a File with as_file=True.
    InputFile generate_input_file(GenerateInputFileOptions options = {}) const;
};

// Reads a D-Foundations input file of D-Foundations 19 to 25, Bearing Piles or Tension Piles (EC7-NL).
// @param input_file  the file's bytes (Windows-1252; CR LF, LF or CR line ends)
// @returns the model document, the extras, the layout and what could not be kept
// @throws errors::ParsingError "Input file line 1: ..." when the file is no input file of these models
//         or lacks what the document needs
// @python Takes bytes or str (data= is the former name of input_file).
InputFileReading read_input_file(std::string_view input_file);

// A file whose model the model operations refuse. what(): "Input file line N (member): message",
// one such line per reason: a profile, pile type or pile refused is left out to find the reasons
// after it (up to 10). It is a ModelError, so that callers catching the model's rules catch it too;
// the error the operation raised first (the rule's own ModelError, or the document reader's
// std::invalid_argument) is nested (std::rethrow_if_nested); line() and member() are its own.
class InputFileError : public errors::ModelError {
public:
    // @param line     the line of the file [from 1]
    // @param member   the member of the model document
    // @param message  the refusal, e.g. the rule's own message
    InputFileError(std::size_t line, std::string member, const std::string& message);
    // The line of the file [from 1].
    std::size_t line() const { return line_; }
    // The member of the model document, e.g. "calculation_options".
    const std::string& member() const { return member_; }

private:
    std::size_t line_;
    std::string member_;
};

namespace detail {

// What a model read from an input file keeps of that file, to save the model as that file again.
struct InputFileOrigin {
    int layout = 19;
    nlohmann::ordered_json metadata;  // the file's, as the model document writes it
    nlohmann::ordered_json extras;    // InputFileReading::extras
};

// Builds the model of an input file, which remembers the file; shared by the two from_input_file.
ModelDocument model_of_input_file(std::string_view bytes);

}  // namespace detail

}  // namespace ostrand::external::dfoundations
