// An input file read back into a model document, with what the document cannot hold kept beside it.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include <algorithm>
#include <exception>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
std::size_t line_of(const foi::InputDocument& input, const nlohmann::ordered_json& soils, std::string member)
{
    for (const auto& [name, soil] : soils.items()) {
        const std::string path = detail::member_path("soils", name);
        if (member.starts_with(path)) {
            member = "soils[\"" + name + "\"]" + member.substr(path.size());
            break;
        }
    }
    return foi::member_line(input, member);
}

// ---------------------------------------------------------------------------------------------
// Values that D-Foundations writes and the model operations refuse: the model is built with what
// it holds in their place, and the file's own lines come back as extras.

constexpr std::int64_t LARGEST_COLOUR = 0xFFFFFF;
constexpr double NO_PORE_PRESSURE = 987000000.0;

// A colour beyond the 24 bits of a colour code (536870911 is D-Foundations' "no colour").
void colours_in_range(nlohmann::ordered_json& soils)
{
    for (auto& [name, soil] : soils.items()) {
        nlohmann::ordered_json& color = soil["color"];
        if (color.is_number_integer() && (color.get<std::int64_t>() < 0 || color.get<std::int64_t>() > LARGEST_COLOUR))
            color = LARGEST_COLOUR;
    }
}

// The model holds an imported CPT without pore pressures: it keeps the column only as a placeholder.
void pore_pressures_dropped(nlohmann::ordered_json& profiles)
{
    for (auto& profile : profiles) {
        nlohmann::ordered_json& cpt = profile["cpt"];
        if (!cpt.value("imported", false)) continue;
        for (auto& row : cpt["measurements"])
            if (row.is_array() && row.size() >= 4) row[row.size() - 2] = NO_PORE_PRESSURE;
    }
}

// A manual reduction of the cone resistance (per layer, which the model does not hold) is built as the
// safe reduction.
void reduction_held(nlohmann::ordered_json& document)
{
    if (document["reduction_cone_resistance"].is_number()) return;
    document["cone_resistance_reduction_type"] = 0;
    document["reduction_cone_resistance"] = nullptr;
}

// A verification of tension piles, which the model's options do not take, is built as a calculation
// at fixed pile tip levels, which asks for no further setting.
void tension_calculation_held(nlohmann::ordered_json& document)
{
    if (document["model_type"] != 1) return;
    nlohmann::ordered_json& options = document["calculation_options"];
    const auto type = options.find("calculation_type");
    if (type == options.end() || !type->is_number_integer()) return;
    const auto valid = TensionPilesCalculationOptions::VALID_CALCULATION_TYPES;
    if (std::find(valid.begin(), valid.end(), static_cast<CalculationType>(type->get<int>())) != valid.end()) return;
    *type = static_cast<int>(CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL);
    options["main_calculation_type"] = 0;
}

nlohmann::ordered_json model_ready(nlohmann::ordered_json document)
{
    nlohmann::ordered_json ready = std::move(document);
    colours_in_range(ready["soils"]);
    pore_pressures_dropped(ready["profiles"]);
    reduction_held(ready);
    tension_calculation_held(ready);
    return ready;
}

// At most this many reasons for refusing a file are named at once.
constexpr std::size_t MOST_REASONS = 10;

// The collections whose entries a model can be built without, to find the reasons after the first.
constexpr const char* SEPARATE_ENTRIES[] = {"profiles", "pile_types", "piles"};

struct Reason {
    std::size_t line;
    std::string member;
    std::string message;
};

// "piles[3].x" as the collection "piles" and the entry 3; nullopt for a member of no such collection.
std::optional<std::pair<std::string, std::size_t>> entry_of(const std::string& member)
{
    const std::size_t open = member.find('[');
    const std::size_t close = member.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open + 2) return std::nullopt;
    const std::string collection = member.substr(0, open);
    if (std::find(std::begin(SEPARATE_ENTRIES), std::end(SEPARATE_ENTRIES), collection) == std::end(SEPARATE_ENTRIES))
        return std::nullopt;
    const std::string digits = member.substr(open + 1, close - open - 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::pair{collection, static_cast<std::size_t>(std::stoul(digits))};
}

// The model of the file's document. An operation's error names the line of the member being built;
// the entries of profiles, pile types and piles that the operations refuse are left out one by one,
// so that one refusal names every such reason (up to MOST_REASONS) with its line. The first error
// is nested in the InputFileError.
ModelDocument build(const foi::InputDocument& input, nlohmann::ordered_json document)
{
    nlohmann::ordered_json ready = model_ready(std::move(document));
    std::map<std::string, std::vector<std::size_t>> entries;  // the file's index of each entry left in
    for (const char* collection : SEPARATE_ENTRIES)
        for (std::size_t i = 0; i < ready[collection].size(); ++i) entries[collection].push_back(i);
    std::vector<Reason> reasons;
    std::exception_ptr first;
    while (reasons.size() < MOST_REASONS) {
        std::string building;
        try {
            ModelDocument model = document_reader::build_model_document(ready, &building);
            if (reasons.empty()) return model;
            break;
        } catch (const std::exception& error) {
            if (!first) first = std::current_exception();
            const std::string named = refused_member(error.what());
            std::string member = !named.empty() && line_of(input, ready["soils"], named) != 0 ? named : building;
            const auto entry = entry_of(member);
            if (entry) {  // named by its index in the file
                const std::size_t at = member.find(']');
                member = entry->first + "[" + std::to_string(entries[entry->first][entry->second]) + member.substr(at);
            }
            reasons.push_back({line_of(input, ready["soils"], member), member, error.what()});
            if (!entry) break;
            ready[entry->first].erase(entry->second);
            entries[entry->first].erase(entries[entry->first].begin() + static_cast<std::ptrdiff_t>(entry->second));
        }
    }
    std::string message = reasons.front().message;
    for (std::size_t i = 1; i < reasons.size(); ++i)
        message += "\n" + placed(reasons[i].line, reasons[i].member) + ": " + reasons[i].message;
    try {
        std::rethrow_exception(first);
    } catch (...) {
        std::throw_with_nested(InputFileError(reasons.front().line, reasons.front().member, message));
    }
}

// The reading of a file and, when the model operations build it, its model, which remembers the file.
struct ReadingAndModel {
    InputFileReading reading;
    std::optional<ModelDocument> model;
    std::exception_ptr model_error;
};

// The model is kept only for a caller that asks for it: its rows are many.
ReadingAndModel read_with_model(std::string_view bytes, bool keep_model)
{
    foi::InputDocument input = foi::read_input_document(bytes);
    ReadingAndModel result;
    InputFileReading& reading = result.reading;
    reading.layout = input.layout;
    // The file's own header date and time, which a new stamp would replace.
    nlohmann::ordered_json metadata = input.document["metadata"];
    try {
        // The model is built from the document itself, which a refusal reads again: the rows of a large
        // file are then held once.
        result.model = build(input, std::move(input.document));
        reading.document = result.model->base()._generate_input();
        reading.document["metadata"] = std::move(metadata);
        if (!keep_model) result.model.reset();
    } catch (const InputFileError& error) {
        result.model_error = std::current_exception();
        reading.model_error = error.what();
        reading.document = foi::read_input_document(bytes).document;
    }
    // A file of D-Foundations 23 or 25 is written again in its own layout.
    if (input.layout != 19) reading.document["layout"] = input.layout;
    std::string written;
    try {
        written = foi::fill_dfoundations_template(reading.document);
    } catch (const errors::InternalError& error) {
        // A text of the file that no input file may hold (a control character in a name, say): the
        // file is damaged, and its document could not be written again.
        throw errors::ParsingError(std::string("Input file: ") + error.what());
    }
    const int model_type = reading.document["model_type"].get<int>();
    foi::Extras extras = foi::extras_between(input.file, foi::read_foi(written, &written), model_type);
    reading.extras = std::move(extras.values);
    for (const foi::FoiWarning& warning : input.file.warnings)
        reading.warnings.push_back({warning.line, warning.message});
    for (const foi::FoiWarning& warning : extras.unkept) reading.warnings.push_back({warning.line, warning.message});
    if (result.model) {
        auto origin = std::make_shared<detail::InputFileOrigin>(
            detail::InputFileOrigin{input.layout, reading.document["metadata"], reading.extras});
        std::visit([&origin](auto& model) { model._set_input_file_origin(origin); }, result.model->model);
        result.model->layout = input.layout;
        result.model->input_file_extras = reading.extras;
    }
    return result;
}

}  // namespace

InputFileError::InputFileError(std::size_t line, std::string member, const std::string& message)
    : errors::ModelError(placed(line, member) + ": " + message),
      line_(line),
      member_(std::move(member))
{
}

namespace detail {

ModelDocument model_of_input_file(std::string_view bytes)
{
    ReadingAndModel read = read_with_model(bytes, true);
    if (!read.model) std::rethrow_exception(read.model_error);
    return std::move(*read.model);
}

}  // namespace detail

InputFileReading read_input_file(std::string_view input_file) { return read_with_model(input_file, false).reading; }

nlohmann::ordered_json InputFileReading::document_with_extras() const
{
    // Built with room for the extras: an ordered object that grows copies its members, and the
    // measurements of every CPT with them.
    nlohmann::ordered_json result = document.is_object() ? nlohmann::ordered_json::object() : document;
    if (document.is_object()) {
        result.get_ref<nlohmann::ordered_json::object_t&>().reserve(document.size() + 1);
        for (auto member = document.begin(); member != document.end(); ++member) result[member.key()] = *member;
    }
    result["input_file_extras"] = extras;
    return result;
}

std::string InputFileReading::_generate_input_text(std::optional<int> asked) const
{
    if (!asked) return document_reader::with_input_file_extras(document.dump(), extras);
    const int layout = checked_layout({.layout = asked});
    nlohmann::ordered_json written = document;
    written.erase("input_file_version");  // the member's name in documents of earlier releases
    if (layout == 19)
        written.erase("layout");
    else
        written["layout"] = layout;
    try {
        foi::check_layout_holds(written, layout);
    } catch (const errors::InternalError& error) {
        throw errors::ModelError(error.what());  // a rule of the layout, which the caller chose
    }
    return document_reader::with_input_file_extras(written.dump(), extras);
}

InputFile InputFileReading::generate_input_file(GenerateInputFileOptions options) const
{
    return input_file_from_document(_generate_input_text(options.layout), options);
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
