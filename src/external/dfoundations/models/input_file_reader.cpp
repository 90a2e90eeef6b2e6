// An input file read back into a model document, with what the document cannot hold kept beside it.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include <exception>

#include "external/dfoundations/models/model_document_parts.hpp"
#include "foi/file_extras.hpp"
#include "foi/input_document.hpp"
#include "foi/input_file_writer.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::external::dfoundations {

namespace {

std::string placed(std::size_t line, const std::string& member)
{
    std::string text = line == 0 ? std::string("Input file") : "Input file line " + std::to_string(line);
    if (!member.empty()) text += " (" + member + ")";
    return text;
}

// The member a refusal of the document reader names ("Model document: piles[3].x must ..."), or
// empty.
std::string refused_member(const std::string& message)
{
    const std::string prefix = "Model document: ";
    if (!message.starts_with(prefix)) return {};
    return message.substr(prefix.size(), message.find(' ', prefix.size()) - prefix.size());
}

// The line of a member; the file reader names materials as soils["name"] whatever the name.
std::size_t line_of(const foi::InputDocument& input, std::string member)
{
    for (const auto& [name, soil] : input.document["soils"].items()) {
        const std::string path = detail::member_path("soils", name);
        if (member.starts_with(path)) {
            member = "soils[\"" + name + "\"]" + member.substr(path.size());
            break;
        }
    }
    return foi::member_line(input, member);
}

// The model of the file's document; an operation's error becomes an InputFileError at the line of
// the member being built, with the error nested.
ModelDocument build(const foi::InputDocument& input)
{
    std::string building;
    try {
        return document_reader::build_model_document(input.document, &building);
    } catch (const std::exception& error) {
        const std::string named = refused_member(error.what());
        const std::string member = !named.empty() && line_of(input, named) != 0 ? named : building;
        std::throw_with_nested(InputFileError(line_of(input, member), member, error.what()));
    }
}

}  // namespace

InputFileError::InputFileError(std::size_t line, std::string member, const std::string& message)
    : errors::ModelError(placed(line, member) + ": " + message),
      line_(line),
      member_(std::move(member))
{
}

namespace detail {

ModelDocument model_of_input_file(std::string_view bytes) { return build(foi::read_input_document(bytes)); }

}  // namespace detail

InputFileReading read_input_file(std::string_view bytes)
{
    const foi::InputDocument input = foi::read_input_document(bytes);
    InputFileReading reading;
    reading.layout_version = input.layout_version;
    try {
        reading.document = build(input)._generate_input();
        // The file's own header date and time, which a new stamp would replace.
        reading.document["metadata"] = input.document["metadata"];
    } catch (const InputFileError& error) {
        reading.model_error = error.what();
        reading.document = input.document;
    }
    // A file of D-Foundations 25 is written again in its own layout.
    if (input.layout_version == 25) reading.document["input_file_version"] = 25;
    std::string written;
    try {
        written = foi::fill_dfoundations_template(reading.document);
    } catch (const errors::InternalError& error) {
        // A text of the file that no input file may hold (a control character in a name, say): the
        // file is damaged, and its document could not be written again.
        throw errors::ParsingError(std::string("Input file: ") + error.what());
    }
    const int model_type = reading.document["model_type"].get<int>();
    foi::Extras extras = foi::extras_between(input.file, foi::read_foi(written), model_type);
    reading.extras = std::move(extras.values);
    for (const foi::FoiWarning& warning : input.file.warnings)
        reading.warnings.push_back({warning.line, warning.message});
    for (const foi::FoiWarning& warning : extras.unkept) reading.warnings.push_back({warning.line, warning.message});
    return reading;
}

nlohmann::ordered_json InputFileReading::document_with_extras() const
{
    nlohmann::ordered_json result = document;
    result["input_file_extras"] = extras;
    return result;
}

std::string InputFileReading::_generate_input_text() const
{
    return document_reader::with_input_file_extras(document.dump(), extras);
}

InputFile InputFileReading::generate_input_file(GenerateInputFileOptions options) const
{
    return input_file_from_document(_generate_input_text(), options);
}

BearingPilesModel BearingPilesModel::from_input_file(std::string_view input_file)
{
    ModelDocument document = detail::model_of_input_file(input_file);
    if (auto* model = std::get_if<BearingPilesModel>(&document.model)) return std::move(*model);
    throw std::invalid_argument("The input file holds a Tension Piles model, not a Bearing Piles model.");
}

TensionPilesModel TensionPilesModel::from_input_file(std::string_view input_file)
{
    ModelDocument document = detail::model_of_input_file(input_file);
    if (auto* model = std::get_if<TensionPilesModel>(&document.model)) return std::move(*model);
    throw std::invalid_argument("The input file holds a Bearing Piles model, not a Tension Piles model.");
}

}  // namespace ostrand::external::dfoundations
