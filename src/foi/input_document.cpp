// The frame of an input file read into the model document: the header and run identification
// (metadata), the model kind, the soil collection, and the CPTs with the profiles that match them.
#include "foi/input_document.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "foi/foi_layout.hpp"
#include "foi/input_document_parts.hpp"
#include "ostrand/errors.hpp"
#include "text/line_density.hpp"

namespace ostrand::foi {

namespace input {

void refuse(std::size_t line, const std::string& problem)
{
    throw errors::ParsingError("Input file line " + std::to_string(line) + ": " + problem);
}

double number_text(std::string_view text, std::size_t line)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        refuse(line, "'" + std::string(text) + "' is not a number.");
    return value;
}

double number(const FoiItem& item) { return number_text(item.value, item.line); }

std::string text_of(std::string_view text, std::size_t line, std::string_view what)
{
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F) {
            constexpr char digits[] = "0123456789ABCDEF";
            const std::string hex = {'U', '+', '0', '0', digits[code >> 4], digits[code & 15]};
            refuse(line, "the " + std::string(what) + " holds the control character " + hex +
                             ", which no line of an input file may hold.");
        }
    }
    return std::string(text);
}

std::int64_t integer_text(std::string_view text, std::size_t line)
{
    const double value = number_text(text, line);
    if (value != std::floor(value) || std::fabs(value) > 9.0e15)
        refuse(line, "'" + std::string(text) + "' is not a whole number.");
    return static_cast<std::int64_t>(value);
}

std::int64_t integer(const FoiItem& item) { return integer_text(item.value, item.line); }

const FoiItem* Settings::find(std::string_view caption) const
{
    for (const FoiItem& item : items_)
        if ((item.kind == ItemKind::setting || item.kind == ItemKind::count) && item.caption.starts_with(caption))
            return &item;
    return nullptr;
}

const FoiItem& Settings::at(std::string_view caption) const
{
    const FoiItem* item = find(caption);
    if (item != nullptr) return *item;
    // A setting whose value is no number ("nan : Top level [m]") reads as a plain line: name that value
    // at its own line rather than the setting as missing.
    for (const FoiItem& line : items_) {
        if (line.kind != ItemKind::plain) continue;
        const std::size_t colon = line.text.find(" : ");
        if (colon == std::string::npos || !std::string_view(line.text).substr(colon + 3).starts_with(caption))
            continue;
        std::string_view value = std::string_view(line.text).substr(0, colon);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        refuse(line.line, "'" + std::string(value) + "' is not a number.");
    }
    refuse(line_, "the setting '" + std::string(caption) + "' is missing.");
}

const FoiItem& Settings::after(const FoiItem& item) const
{
    const auto next = items_.begin() + (&item - items_.data()) + 1;
    if (next == items_.end() || next->kind != ItemKind::setting)
        refuse(item.line + 1, "a value was expected after '" + std::string(item.text) + "'.");
    return *next;
}

Json Settings::overruled(std::string_view switch_caption) const
{
    const FoiItem& on = at(switch_caption);
    if (input::integer(on) == 0) return nullptr;
    return input::number(after(on));
}

void check_count(const FoiItem& item, std::size_t found, std::string_view what)
{
    const std::int64_t count = integer(item);
    if (count < 0 || static_cast<std::size_t>(count) != found)
        refuse(item.line, "the file says " + std::to_string(count) + " " + std::string(what) + ", but " +
                              std::to_string(found) + " follow.");
}

void check_count(std::span<const FoiItem> items, std::string_view caption, std::size_t found, std::string_view what)
{
    for (const FoiItem& item : items)
        if ((item.kind == ItemKind::count || item.kind == ItemKind::setting) && item.caption.starts_with(caption))
            return check_count(item, found, what);
}

void check_table_count(const FoiTable& table, std::size_t line)
{
    if (!table.data_count) return;
    const std::int64_t count = integer_text(*table.data_count, line);
    if (count < 0 || static_cast<std::size_t>(count) != table.rows.size())
        refuse(line, "the table says DataCount=" + std::to_string(count) + ", but " +
                         std::to_string(table.rows.size()) + " rows follow.");
}

const FoiItem& section(const FoiItem& parent, std::string_view name)
{
    const FoiItem* found = parent.section(name);
    if (found == nullptr) refuse(parent.line, "[" + std::string(parent.name) + "] has no [" + std::string(name) + "].");
    return *found;
}

std::string single_value(const FoiItem& section)
{
    for (const FoiItem& item : section.items) {
        if (item.kind == ItemKind::blank) continue;
        std::string_view text = item.text;
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        return std::string(text);
    }
    return {};
}

}  // namespace input

namespace {

using input::Context;
using input::refuse;
using input::Settings;
using input::text_of;

// The library's placeholder for a coordinate that was not given, and D-Foundations' void value.
constexpr double LIBRARY_VOID = 987000000.0;
constexpr double DFOUNDATIONS_VOID = 987654321.0;

std::string header_text(const FoiFile& file, std::string_view key) { return file.header_value(key).value_or(""); }

// The whole numbers of `text` between `separator`s, each of at most four digits; empty when it holds
// anything else.
std::vector<int> numbers_between(std::string_view text, char separator)
{
    std::vector<int> numbers;
    while (true) {
        const std::size_t end = std::min(text.find(separator), text.size());
        const std::string_view part = text.substr(0, end);
        if (part.empty() || part.size() > 4 || part.find_first_not_of("0123456789") != std::string_view::npos)
            return {};
        numbers.push_back(std::stoi(std::string(part)));
        if (end == text.size()) return numbers;
        text.remove_prefix(end + 1);
    }
}

std::string two_digits(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

// The document writes dd/mm/yyyy. D-Foundations 19 writes 11/03/2020, 25 writes 21-08-2025 and 23,
// with the time in the US form, 4/7/2023 (month first). A date of another form is kept by the header
// of the file (its extras) and the document says "01/01/1900", a date that was never stamped.
std::string document_date(const std::string& date, bool us_form)
{
    std::string text = date;
    std::replace(text.begin(), text.end(), '-', '/');
    std::vector<int> parts = numbers_between(text, '/');
    if (parts.size() != 3 || parts[2] < 1000) return "01/01/1900";
    if (us_form) std::swap(parts[0], parts[1]);
    if (parts[0] < 1 || parts[0] > 31 || parts[1] < 1 || parts[1] > 12) return "01/01/1900";
    return two_digits(parts[0]) + "/" + two_digits(parts[1]) + "/" + std::to_string(parts[2]);
}

// The document writes HH:MM:SS; D-Foundations 23 writes 2:01:58 PM. Another form: "00:00:00".
std::string document_time(std::string_view time)
{
    int shift = -1;  // -1: a 24-hour clock
    if (time.ends_with(" AM") || time.ends_with(" PM")) {
        shift = time.ends_with(" PM") ? 12 : 0;
        time.remove_suffix(3);
    }
    const std::vector<int> parts = numbers_between(time, ':');
    if (parts.size() != 3 || parts[1] > 59 || parts[2] > 59) return "00:00:00";
    int hour = parts[0];
    if (shift >= 0) {
        if (hour < 1 || hour > 12) return "00:00:00";
        hour = hour % 12 + shift;
    }
    if (hour > 23) return "00:00:00";
    return two_digits(hour) + ":" + two_digits(parts[1]) + ":" + two_digits(parts[2]);
}

Json read_metadata(const InputDocument& input, const FoiItem& data)
{
    const FoiItem& identification = input::section(data, "RUN IDENTIFICATION");
    std::vector<std::string> lines;
    for (const FoiItem& item : identification.items) lines.push_back(text_of(item.text, item.line, "line"));
    if (lines.size() < 7)
        refuse(identification.line, "[RUN IDENTIFICATION] has " + std::to_string(lines.size()) + " lines, not 7.");
    std::string company = header_text(input.file, "COMPANY");
    while (!company.empty() && company.front() == ' ') company.erase(0, 1);
    Json metadata = input::object_with_room(11);
    const std::string time = header_text(input.file, "TIME");
    const bool us_form = time.ends_with(" AM") || time.ends_with(" PM");
    metadata["date"] = document_date(header_text(input.file, "DATE"), us_form);
    metadata["time"] = document_time(time);
    metadata["file_name"] = header_text(input.file, "FILENAME");
    metadata["company"] = company;
    metadata["title_1"] = lines[3];
    metadata["title_2"] = lines[4];
    // A new model writes a dash for the project number it does not have.
    metadata["project_id"] = lines[5] == "-" ? "" : lines[5];
    metadata["geotechnical_consultant"] = lines[0];
    metadata["design_engineer"] = lines[1];
    metadata["principal"] = lines[2];
    metadata["location"] = lines[6];
    return metadata;
}

int model_type(const FoiItem& data)
{
    const FoiItem& model = input::section(data, "MODEL");
    for (const FoiItem& item : model.items) {
        if (item.kind != ItemKind::setting || !item.caption.starts_with("Model")) continue;
        const std::int64_t code = input::integer(item);
        if (code != 0 && code != 1)
            throw errors::ParsingError("Input file line " + std::to_string(item.line) +
                                       ": the file holds a model of another kind (" + std::string(item.caption) +
                                       "); only Bearing Piles and Tension Piles (EC7-NL) can be read.");
        return static_cast<int>(code);
    }
    refuse(model.line, "[MODEL] does not say which model the file holds.");
}

// ---------------------------------------------------------------------------------------------
// Soils.

Json read_soil(Context& context, const FoiItem& soil, const std::string& path)
{
    const auto value = [&](std::string_view key) -> const FoiItem& {
        const FoiItem* item = soil.key_value(key);
        if (item == nullptr) refuse(soil.line, "the material has no " + std::string(key) + ".");
        return *item;
    };
    const auto number = [&](std::string_view key) { return input::number(value(key)); };
    const auto optional = [&](std::string_view key, double otherwise) {
        const FoiItem* item = soil.key_value(key);
        return item == nullptr ? otherwise : input::number(*item);
    };
    // D-Foundations 25 writes no initial void ratio and the compression ratio Cc / (1 + e0) in place
    // of Cc; the document keeps Cc with a void ratio of 0, which writes the same ratio.
    const double e0 = optional("SoilInitialVoidRatio", 0.0);
    const FoiItem* cc_index = soil.key_value("SoilCcIndex");
    const double cc = cc_index ? input::number(*cc_index) : number("SoilCRatio") * (1.0 + e0);
    Json result = input::object_with_room(16);
    result["color"] = input::integer(value("SoilColor"));
    result["soil_type"] = input::integer(value("SoilSoilType"));
    result["gam_dry"] = number("SoilGamDry");
    result["gam_wet"] = number("SoilGamWet");
    result["e0"] = e0;
    result["diameter_d50"] = number("SoilDiameterD50");
    result["min_void_ratio"] = number("SoilMinVoidRatio");
    result["max_void_ratio"] = number("SoilMaxVoidRatio");
    result["cohesion"] = number("SoilCohesion");
    result["phi"] = number("SoilPhi");
    result["cu"] = number("SoilCu");
    result["max_cone_resist_type"] = input::integer(value("SoilMaxConeResistType"));
    result["max_cone_resist"] = number("SoilMaxConeResist");
    result["use_tension"] = input::integer(value("SoilUseTension")) != 0;
    result["ca"] = number("SoilCa");
    result["cc"] = cc;
    context.mark(path, soil.line);
    for (const FoiItem& item : soil.items)
        if (item.kind == ItemKind::key_value) context.mark(path + "." + std::string(item.name), item.line);
    return result;
}

void read_soils(Context& context, const FoiItem& data, Json& document)
{
    const FoiItem& collection = input::section(data, "SOIL COLLECTION");
    const std::vector<const FoiItem*> blocks = collection.sections("SOIL");
    input::check_count(collection.items, "number of items", blocks.size(), "materials");
    Json soils = Json::object();
    for (const FoiItem* soil : blocks) {
        // The name is the block's first line, whatever it holds: "Sand, sil/cla, qc=12" reads like a
        // key and its value.
        const auto name = std::find_if(soil->items.begin(), soil->items.end(),
                                       [](const FoiItem& item) { return item.kind != ItemKind::blank; });
        if (name == soil->items.end()) refuse(soil->line, "the material has no name.");
        const std::string soil_name = text_of(name->text, name->line, "material name");
        if (soils.contains(soil_name)) refuse(name->line, "the material '" + soil_name + "' is listed twice.");
        soils[soil_name] = read_soil(context, *soil, "soils[\"" + soil_name + "\"]");
        context.soil_order.push_back(soil_name);
    }
    std::vector<std::string> names = context.soil_order;
    std::sort(names.begin(), names.end());
    document["soil_names"] = names;
    document["soils"] = std::move(soils);
}

// ---------------------------------------------------------------------------------------------
// CPTs.

// A CPT block: its tags ("FILEDATE") to their single values, and its measured data.
struct CptBlock {
    std::span<const FoiItem> items;
    std::size_t line = 0;

    const FoiItem* tag(std::string_view name) const
    {
        for (const FoiItem& item : items)
            if (item.kind == ItemKind::section && item.name == name) return &item;
        return nullptr;
    }
    std::string text(std::string_view name) const
    {
        const FoiItem* found = tag(name);
        return found ? input::single_value(*found) : std::string();
    }
    const FoiItem& required(std::string_view name) const
    {
        const FoiItem* found = tag(name);
        if (found == nullptr) refuse(line, "the CPT has no [" + std::string(name) + "].");
        return *found;
    }
    double number(std::string_view name) const
    {
        const FoiItem& found = required(name);
        return input::number_text(input::single_value(found), found.line + 1);
    }
    std::int64_t integer(std::string_view name) const
    {
        const FoiItem& found = required(name);
        return input::integer_text(input::single_value(found), found.line + 1);
    }
};

std::vector<CptBlock> cpt_blocks(const FoiItem& data)
{
    std::vector<CptBlock> blocks;
    const FoiItem* list = data.section("CPT LIST");
    const FoiItem* cpts = list ? list->section("NUMBER OF CPTS") : nullptr;
    if (cpts == nullptr) return blocks;
    for (const std::span<const FoiItem> block : cpts->blocks())
        if (!block.empty()) blocks.push_back({block, block.front().line});
    // The number of CPTs is the list's first line.
    for (const FoiItem& item : cpts->items) {
        if (item.kind == ItemKind::blank) continue;
        const std::int64_t count = input::integer_text(item.text, item.line);
        if (count < 0 || static_cast<std::size_t>(count) != blocks.size())
            refuse(item.line, "the file says " + std::to_string(count) + " CPTs, but " +
                                  std::to_string(blocks.size()) + " follow.");
        break;
    }
    return blocks;
}

Json read_measurements(const CptBlock& cpt)
{
    const FoiItem* measured = cpt.tag("MEASURED DATA");
    if (measured == nullptr) refuse(cpt.line, "the CPT has no [MEASURED DATA].");
    const FoiItem& table_section = input::section(*measured, "TABLE");
    const FoiTable table = table_section.table();
    input::check_table_count(table, table_section.line);
    Json rows = Json::array();
    rows.get_ref<Json::array_t&>().reserve(table.rows.size());
    const std::size_t width = std::max<std::size_t>(table.columns.size(), 2);
    for (const FoiItem* row : table.rows) {
        Json values = Json::array();
        values.get_ref<Json::array_t&>().reserve(width);
        std::string_view text = row->text;
        while (!text.empty()) {
            const std::size_t start = text.find_first_not_of(' ');
            if (start == std::string_view::npos) break;
            const std::size_t end = std::min(text.find(' ', start), text.size());
            values.push_back(input::number_text(text.substr(start, end - start), row->line));
            text.remove_prefix(end);
        }
        if (!table.columns.empty() && values.size() != table.columns.size())
            refuse(row->line, "the row has " + std::to_string(values.size()) + " values for " +
                                  std::to_string(table.columns.size()) + " columns.");
        rows.push_back(std::move(values));
    }
    return rows;
}

double world_coordinate(double value) { return value == DFOUNDATIONS_VOID ? LIBRARY_VOID : value; }

Json read_cpt(const CptBlock& cpt)
{
    const double pre_excavation = cpt.number("PRE EXCAVATION");
    Json result = input::object_with_room(13);
    result["measurements"] = read_measurements(cpt);
    result["ground_level"] = cpt.number("GROUNDLEVEL");
    result["rule"] = cpt.integer("INTERPRETATION MODEL");
    result["min_layer_thickness"] = cpt.number("DEPTHRANGE");
    // D-Foundations codes a measured ground level, which an imported CPT has, as 0 : True.
    result["imported"] = cpt.text("GROUNDLEVEL WAS MEASURED").starts_with("0");
    result["project_name"] = cpt.text("PROJECT NAME");
    result["project_id"] = cpt.text("PROJECTID");
    result["client_name"] = cpt.text("CLIENT NAME");
    result["file_date"] = cpt.text("FILEDATE");
    result["gef_version"] = cpt.text("GEF VERSION");
    result["x"] = world_coordinate(cpt.number("XWORLD"));
    result["y"] = world_coordinate(cpt.number("YWORLD"));
    result["excavation_depth"] = pre_excavation == DFOUNDATIONS_VOID ? 0.0 : pre_excavation;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Profiles: a name line, its settings, then "Layer (n)" lines each with the settings of a layer.

struct ProfileBlock {
    const FoiItem* name = nullptr;
    std::span<const FoiItem> settings;
    std::vector<input::Headed> layers;
};

bool is_layer_heading(const FoiItem& item) { return item.kind == ItemKind::plain && item.text.starts_with("Layer ("); }

std::vector<ProfileBlock> profile_blocks(const FoiItem& profiles)
{
    // A profile's name is the line before its "Matching CPT"; any other line stays within the part
    // before it, where a setting that reads as no number is named as such.
    const std::vector<FoiItem>& items = profiles.items;
    const auto is_name = [&items](const FoiItem& item) {
        if (item.kind != ItemKind::plain) return false;
        for (auto next = items.begin() + (&item - items.data()) + 1; next != items.end(); ++next) {
            if (next->kind == ItemKind::blank) continue;
            return next->kind == ItemKind::setting && next->caption.starts_with("Matching CPT");
        }
        return false;
    };
    std::vector<ProfileBlock> blocks;
    for (const input::Headed& part : input::headed_parts(profiles.items, is_name)) {
        std::vector<input::Headed> layers = input::headed_parts(part.items, is_layer_heading);
        const auto settings_end =
            layers.empty() ? part.items.size() : static_cast<std::size_t>(layers.front().heading - part.items.data());
        blocks.push_back({part.heading, part.items.first(settings_end), std::move(layers)});
    }
    return blocks;
}

Json read_layer(Context& context, const input::Headed& part, std::size_t number, const std::string& path)
{
    const std::size_t line = part.heading->line;
    if (part.heading->text != "Layer (" + std::to_string(number) + ")")
        refuse(line, "'" + std::string(part.heading->text) + "' stands where 'Layer (" + std::to_string(number) + ")' belongs.");
    const Settings layer(part.items, line);
    const FoiItem& material = layer.at("Material");
    const std::int64_t index = input::integer(material);
    if (index < 0 || static_cast<std::size_t>(index) >= context.soil_order.size())
        refuse(material.line, "the layer names material " + std::to_string(index) + " of " +
                                  std::to_string(context.soil_order.size()) + ".");
    context.mark(path, line);
    context.mark(path + ".material", material.line);
    Json result = input::object_with_room(5);
    result["top_level"] = layer.number("Top level");
    result["material"] = context.soil_order[static_cast<std::size_t>(index)];
    result["ad_pore_pressure_at_top"] = layer.number("Excess pore pressure at top");
    result["ad_pore_pressure_at_bottom"] = layer.number("Excess pore pressure at bottom");
    result["ocr"] = layer.number("OCR value");
    return result;
}

struct ProfileKeys {
    const char* member;
    const char* caption;
};

constexpr ProfileKeys profile_keys[] = {
    {"x", "X coordinate"},
    {"y", "Y coordinate"},
    {"phreatic_level", "Phreatic level"},
    {"pile_tip_level", "Pile tip level"},
    {"overconsolidation_ratio", "Overconsolidation ratio"},
    {"top_positive_skin_friction", "Top of positive skin friction"},
    {"bottom_negative_skin_friction", "Bottom of negative skin friction"},
    {"expected_ground_level_settlement", "Expected ground level settlement"},
    {"top_tension_zone", "Top of tension zone"},
};

Json read_profile(Context& context, const ProfileBlock& block, const std::vector<CptBlock>& cpts,
                  const std::string& path)
{
    const Settings settings(block.settings, block.name->line);
    const FoiItem& matching = settings.at("Matching CPT");
    const std::int64_t index = input::integer(matching);
    if (index < 0 || static_cast<std::size_t>(index) >= cpts.size())
        refuse(matching.line,
               "the profile matches CPT " + std::to_string(index) + " of " + std::to_string(cpts.size()) + ".");
    context.mark(path, block.name->line);
    context.mark(path + ".cpt", cpts[static_cast<std::size_t>(index)].line);
    Json result = input::object_with_room(12);
    result["name"] = text_of(block.name->text, block.name->line, "profile name");
    result["cpt"] = read_cpt(cpts[static_cast<std::size_t>(index)]);
    input::check_count(block.settings, "Number of layers", block.layers.size(), "layers");
    Json layers = Json::array();
    for (std::size_t i = 0; i < block.layers.size(); ++i)
        layers.push_back(read_layer(context, block.layers[i], i + 1, path + ".layers[" + std::to_string(i) + "]"));
    result["layers"] = std::move(layers);
    for (const ProfileKeys& key : profile_keys) {
        const FoiItem& item = settings.at(key.caption);
        result[key.member] = input::number(item);
        context.mark(path + "." + key.member, item.line);
    }
    return result;
}

// The excavation and the reduction of cone resistance are the model's, repeated in every profile;
// the first profile says them.
void read_excavation(Context& context, const std::vector<ProfileBlock>& blocks, Json& document)
{
    document["excavation_level"] = 0.0;
    document["cone_resistance_reduction_type"] = 0;
    document["reduction_cone_resistance"] = 0;
    if (blocks.empty()) return;
    const Settings settings(blocks.front().settings, blocks.front().name->line);
    const std::int64_t type = settings.integer("Reduction type of cone resistance");
    document["excavation_level"] = settings.number("Excavation level");
    document["cone_resistance_reduction_type"] = type;
    // A manual reduction keeps its percentages in the layers; the document marks it by name.
    if (type == 1) document["reduction_cone_resistance"] = settings.number("Distance edge pile");
    context.mark("excavation_level", settings.at("Excavation level").line);
    context.mark("cone_resistance_reduction_type", settings.at("Reduction type of cone resistance").line);
    context.mark("reduction_cone_resistance", settings.at("Reduction type of cone resistance").line);
    if (type == 2) document["reduction_cone_resistance"] = "manual";
}

std::int64_t construction_sequence(const std::vector<CptBlock>& cpts)
{
    if (cpts.empty()) return 1;
    const std::string order = cpts.front().text("TIMEORDER TYPE");
    return input::integer_text(order.substr(0, order.find(':')), cpts.front().line);
}

void read_profiles(Context& context, const FoiItem& data, Json& document)
{
    const std::vector<CptBlock> cpts = cpt_blocks(data);
    const FoiItem& section = input::section(data, "PROFILES");
    const std::vector<ProfileBlock> blocks = profile_blocks(section);
    input::check_count(section.items, "number of items", blocks.size(), "profiles");
    Json profiles = Json::array();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        profiles.push_back(read_profile(context, blocks[i], cpts, "profiles[" + std::to_string(i) + "]"));
    document["construction_sequence"] = construction_sequence(cpts);
    read_excavation(context, blocks, document);
    document["profiles"] = std::move(profiles);
}

const FoiItem& input_data(const FoiFile& file)
{
    for (const FoiItem& item : file.items)
        if (item.kind == ItemKind::section && item.name == "INPUT DATA") return item;
    refuse(file.header.empty() ? 1 : file.header.back().line,
           "the file has no [INPUT DATA]: it is no D-Foundations input file.");
}

// Whether `text` holds `word` in any letter case: a cheap look before the lines become items.
bool mentions(std::string_view text, std::string_view word)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [&](char a, char b) { return upper(a) == b; }) != text.end();
}

}  // namespace

// A file padded with millions of blank lines, say, is refused before its lines are read.
void refuse_dense_lines(std::string_view bytes)
{
    const auto lines = static_cast<std::size_t>(
        std::max(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r')));
    if (!text::too_dense_to_read(bytes.size(), lines)) return;
    refuse(1, "the file holds " + std::to_string(lines) + " lines of " + std::to_string(bytes.size() / lines) +
                  " bytes on average: no D-Foundations input file is that dense, and it is not read, so that its "
                  "memory stays bounded.");
}

InputDocument read_input_document(std::string_view bytes)
{
    // A text that cannot hold an [INPUT DATA] section (a log, 40 MB of blank lines) is refused before
    // its lines become items, which take many times the memory of the text.
    if (!mentions(bytes, "INPUT DATA") && !mentions(bytes, "BEGINNING OF DATA"))
        refuse(1, "the file has no [INPUT DATA]: it is no D-Foundations input file.");
    refuse_dense_lines(bytes);
    InputDocument input;
    input.file = read_foi(bytes);
    const FoiItem& data = input_data(input.file);
    const std::optional<int> version = input.file.version_number("D-Foundations");
    input.layout = version ? layout_of_file_version(*version) : 19;

    Context context{input, model_type(data), {}};
    // The members in the order a model writes them, filled in the order the file is read: the soils
    // before the profiles whose layers name them.
    Json document = input::object_with_room(12);
    for (const char* key : {"model_type", "construction_sequence", "calculation_options", "excavation_level",
                            "cone_resistance_reduction_type", "reduction_cone_resistance", "soil_names", "soils",
                            "profiles", "pile_types", "piles", "metadata"})
        document[key] = nullptr;
    document["model_type"] = context.model_type;
    document["calculation_options"] = input::read_calculation_options(context, data);
    read_soils(context, data, document);
    read_profiles(context, data, document);
    document["pile_types"] = input::read_pile_types(context, data);
    document["piles"] = input::read_piles(context, data);
    document["metadata"] = read_metadata(input, data);
    input.document = std::move(document);
    return input;
}

std::size_t member_line(const InputDocument& input, std::string path)
{
    while (!path.empty()) {
        const auto found = input.member_lines.find(path);
        if (found != input.member_lines.end()) return found->second;
        const std::size_t cut = path.find_last_of(".[");
        if (cut == std::string::npos || cut == 0) break;
        path.erase(cut);
    }
    return 0;
}

}  // namespace ostrand::foi
