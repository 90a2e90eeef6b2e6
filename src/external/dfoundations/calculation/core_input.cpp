// The inputs of the indication calculation read from the layout tree of an input file. Labels are
// matched on their text before the unit, which 19.x closes with ")" and 25.1 with "]".
#include "external/dfoundations/calculation/core_input.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <system_error>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"

namespace ostrand::external::dfoundations::calculation {

namespace {

using foi::FoiItem;
using foi::ItemKind;
using Items = std::span<const FoiItem>;

[[noreturn]] void fail(std::size_t line, const std::string& message)
{
    throw errors::ParsingError("Input file line " + std::to_string(line) + ": " + message);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

bool starts_with_nocase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// A number as the file writes it ("12.50", "-6.5", "5.000E+0010"), or nullopt.
std::optional<double> parsed(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

double number(std::string_view text, std::size_t line)
{
    const std::string_view value = trimmed(text);
    const std::optional<double> result = parsed(value);
    if (!result) fail(line, "\"" + std::string(value) + "\" is not a number.");
    return *result;
}

double number(const FoiItem& item) { return number(item.value, item.line); }

// The text after " = " of a caption such as "Pile type = B1-Prefabricated concrete pile".
std::string_view choice(const FoiItem& item)
{
    const std::size_t at = item.caption.find(" = ");
    return at == std::string::npos ? std::string_view() : std::string_view(item.caption).substr(at + 3);
}

bool is_setting(const FoiItem& item, std::string_view caption)
{
    return item.kind == ItemKind::setting && starts_with_nocase(item.caption, caption);
}

// The first setting of `items` at or after `from` with that caption, or nullptr.
const FoiItem* find_setting(Items items, std::string_view caption, std::size_t from = 0)
{
    for (std::size_t i = from; i < items.size(); ++i)
        if (is_setting(items[i], caption)) return &items[i];
    return nullptr;
}

const FoiItem& require_setting(Items items, std::string_view caption, std::size_t section_line)
{
    const FoiItem* item = find_setting(items, caption);
    if (item == nullptr) fail(section_line, "the line \"" + std::string(caption) + "\" is missing.");
    return *item;
}

// The value that follows a switch "1 : <flag> = TRUE", when the switch is on.
std::optional<double> overruled(Items items, std::string_view flag, std::string_view value_caption)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!is_setting(items[i], flag)) continue;
        if (number(items[i]) == 0) return std::nullopt;
        const FoiItem* value = find_setting(items, value_caption, i + 1);
        if (value == nullptr) return std::nullopt;
        return number(*value);
    }
    return std::nullopt;
}

const FoiItem& require_section(const foi::FoiFile& file, std::string_view name)
{
    const FoiItem* section = file.find_section(name);
    if (section == nullptr) fail(0, "the section [" + std::string(name) + "] is missing.");
    return *section;
}

const FoiItem* first_content(Items items)
{
    for (const FoiItem& item : items)
        if (item.kind != ItemKind::blank) return &item;
    return nullptr;
}

void check_calculation(const foi::FoiFile& file)
{
    const FoiItem* model = file.find_section("MODEL");
    const FoiItem* type = file.find_section("CALCULATIONTYPE");
    const FoiItem* model_line = model != nullptr ? find_setting(model->items, "Model") : nullptr;
    if (model_line == nullptr || number(*model_line) != 0)
        throw UnsupportedCalculation(std::string("The open calculation core does not compute this model; it covers ") +
                                     CORE_COVERS + ".");
    const FoiItem* main = type != nullptr ? find_setting(type->items, "Main calculationtype") : nullptr;
    const FoiItem* sub = type != nullptr ? find_setting(type->items, "Sub calculationtype") : nullptr;
    if (main == nullptr || sub == nullptr || number(*main) != 0 || number(*sub) != 2)
        throw UnsupportedCalculation(std::string("The open calculation core does not compute this calculation type; it covers ") +
                                     CORE_COVERS + ".");
}

std::vector<Soil> read_soils(const foi::FoiFile& file)
{
    std::vector<Soil> soils;
    for (const FoiItem* block : require_section(file, "SOIL COLLECTION").sections("SOIL")) {
        Soil soil;
        if (const FoiItem* name = first_content(block->items)) soil.name = trimmed(name->text);
        auto value = [&](std::string_view key, double fallback) {
            const FoiItem* item = block->key_value(key);
            return item != nullptr ? number(item->value, item->line) : fallback;
        };
        soil.kind = static_cast<SoilKind>(std::clamp(static_cast<int>(value("SoilSoilType", 1)), 0, 4));
        soil.gamma_dry = value("SoilGamDry", 0);
        soil.gamma_wet = value("SoilGamWet", 0);
        soil.d50 = value("SoilDiameterD50", 0.2);
        soil.phi = value("SoilPhi", 0);
        soil.max_cone_resistance_type = static_cast<int>(value("SoilMaxConeResistType", 0));
        soil.max_cone_resistance = value("SoilMaxConeResist", 0);
        soils.push_back(std::move(soil));
    }
    return soils;
}

struct Cpt {
    std::string name;
    std::vector<double> z, qc;
};

std::vector<double> row_numbers(const FoiItem& row)
{
    std::vector<double> values;
    std::string_view text = row.text;
    while (true) {
        text = trimmed(text);
        if (text.empty()) break;
        std::size_t end = 0;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
        values.push_back(number(text.substr(0, end), row.line));
        text.remove_prefix(end);
    }
    return values;
}

// The numbers at the start of a row, up to its first text (a quoted name).
std::vector<double> row_numbers_prefix(const FoiItem& row)
{
    std::vector<double> values;
    std::string_view text = row.text;
    while (true) {
        text = trimmed(text);
        std::size_t end = 0;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
        const std::optional<double> value = end > 0 ? parsed(text.substr(0, end)) : std::nullopt;
        if (!value) break;
        values.push_back(*value);
        text.remove_prefix(end);
    }
    return values;
}

const FoiItem* section_in(Items items, std::string_view name)
{
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::section && item.name == name) return &item;
    return nullptr;
}

Cpt read_cpt(Items block)
{
    Cpt cpt;
    if (const FoiItem* name = section_in(block, "CPTNAME"))
        if (const FoiItem* text = first_content(name->items)) cpt.name = trimmed(text->text);
    const FoiItem* measured = section_in(block, "MEASURED DATA");
    const FoiItem* table = measured != nullptr ? measured->section("TABLE") : nullptr;
    if (table == nullptr) return cpt;
    const foi::FoiTable data = table->table();
    auto column = [&](std::string_view wanted, std::size_t fallback) {
        for (std::size_t i = 0; i < data.columns.size(); ++i)
            if (data.columns[i] == wanted) return i;
        return fallback;
    };
    const std::size_t z = column("z", 0);
    const std::size_t qc = column("qc", 1);
    for (const FoiItem* row : data.rows) {
        const std::vector<double> values = row_numbers(*row);
        if (values.size() <= std::max(z, qc)) fail(row->line, "a row of the measured data lacks its level or qc.");
        cpt.z.push_back(values[z]);
        cpt.qc.push_back(values[qc]);
    }
    return cpt;
}

std::vector<Cpt> read_cpts(const foi::FoiFile& file)
{
    std::vector<Cpt> cpts;
    const FoiItem* list = file.find_section("NUMBER OF CPTS");
    if (list == nullptr) return cpts;
    for (Items block : list->blocks())
        if (section_in(block, "CPTNAME") != nullptr) cpts.push_back(read_cpt(block));
    return cpts;
}

int soil_index(const std::vector<Soil>& soils, const FoiItem& material)
{
    const std::string_view name = choice(material);
    for (std::size_t i = 0; i < soils.size(); ++i)
        if (soils[i].name == name) return static_cast<int>(i);
    const double index = number(material);
    if (index < 0 || index >= static_cast<double>(soils.size())) fail(material.line, "the material is not in the soil collection.");
    return static_cast<int>(index);
}

// The blocks of a section that start with a name line followed by a setting `caption`.
std::vector<std::pair<std::string, Items>> named_blocks(const FoiItem& section, std::string_view caption)
{
    std::vector<std::pair<std::string, Items>> blocks;
    const std::vector<FoiItem>& items = section.items;
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        if (items[i].kind != ItemKind::blank && is_setting(items[i + 1], caption)) starts.push_back(i);
    for (std::size_t b = 0; b < starts.size(); ++b) {
        const std::size_t end = b + 1 < starts.size() ? starts[b + 1] : items.size();
        blocks.emplace_back(std::string(trimmed(items[starts[b]].text)),
                            Items(items).subspan(starts[b] + 1, end - starts[b] - 1));
    }
    return blocks;
}

Profile read_profile(const std::string& name, Items items, const std::vector<Soil>& soils, const std::vector<Cpt>& cpts,
                     std::size_t line)
{
    Profile profile;
    profile.name = name;
    const std::string_view matching = choice(require_setting(items, "Matching CPT", line));
    const auto cpt = std::find_if(cpts.begin(), cpts.end(), [&](const Cpt& c) { return c.name == matching; });
    if (cpt == cpts.end()) fail(line, "the profile's CPT \"" + std::string(matching) + "\" is not in the CPT list.");
    profile.z = cpt->z;
    profile.qc = cpt->qc;
    profile.phreatic_level = number(require_setting(items, "Phreatic level", line));
    profile.ocr_bearing_layer = number(require_setting(items, "Overconsolidation ratio of bearing layer", line));
    profile.top_positive_skin_friction = number(require_setting(items, "Top of positive skin friction zone", line));
    profile.bottom_negative_skin_friction = number(require_setting(items, "Bottom of negative skin friction zone", line));
    if (const FoiItem* type = find_setting(items, "Reduction type of cone resistance")) profile.reduction_type = static_cast<int>(number(*type));
    if (const FoiItem* level = find_setting(items, "Excavation level")) profile.excavation_level = number(*level);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!is_setting(items[i], "Material")) continue;
        Layer layer;
        layer.soil = soil_index(soils, items[i]);
        const FoiItem* top = find_setting(items, "Top level", i + 1);
        if (top == nullptr) fail(items[i].line, "the layer has no top level.");
        layer.top = number(*top);
        const FoiItem* next = find_setting(items, "Material", i + 1);
        const FoiItem* reduction = find_setting(items, "Reduction of cone resistance", i + 1);
        if (reduction != nullptr && (next == nullptr || reduction < next)) layer.reduction_percent = number(*reduction);
        profile.layers.push_back(layer);
    }
    if (profile.layers.empty()) fail(line, "the profile \"" + name + "\" has no layers.");
    if (profile.z.size() < 2) fail(line, "the CPT of profile \"" + name + "\" has fewer than two measurements.");
    return profile;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The value line that follows a choice of "User defined" (its factor), from position `at` on.
std::optional<double> user_value(Items items, std::size_t at, std::string_view caption)
{
    const FoiItem* value = find_setting(items, caption, at + 1);
    return value != nullptr ? std::optional<double>(number(*value)) : std::nullopt;
}

PileType read_pile_type(const std::string& name, Items items)
{
    PileType pile;
    pile.name = name;
    bool in_shape = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const FoiItem& item = items[i];
        if (item.kind != ItemKind::setting) continue;
        const std::string_view caption = item.caption;
        if (starts_with_nocase(caption, "Pile type for execution factor sand")) {
            if (contains(choice(item), "User defined")) pile.user_alpha_s_sg = user_value(items, i, "Execution factor sand");
            else pile.alpha_s_sg_code = static_cast<int>(number(item));
        } else if (starts_with_nocase(caption, "Pile type for execution factor clay")) {
            if (number(item) != 0) pile.user_alpha_s_clp = user_value(items, i, "Execution factor clay");
        } else if (starts_with_nocase(caption, "Pile type for pile class factor")) {
            if (contains(choice(item), "User defined")) pile.user_alpha_p = user_value(items, i, "Pile class factor");
            else pile.alpha_p_code = static_cast<int>(number(item));
        } else if (starts_with_nocase(caption, "Pile type =")) {
            pile.user_defined = contains(caption, "User defined");
            pile.user_vibrating = pile.user_defined && !contains(caption, "low vibrating");
            pile.code = pile.user_defined ? -1 : static_cast<int>(number(item));
            pile.type_name = choice(item);
        } else if (starts_with_nocase(caption, "Slip Layer")) {
            pile.slip_layer = static_cast<SlipLayer>(std::clamp(static_cast<int>(number(item)), 0, 4));
            if (pile.slip_layer == SlipLayer::user_defined)
                pile.adhesion = user_value(items, i, "Characteristic adhesion").value_or(0.0);
        } else if (starts_with_nocase(caption, "Shape")) {
            pile.shape = static_cast<Shape>(std::clamp(static_cast<int>(number(item)), 0, 10));
            in_shape = true;
            continue;
        } else if (starts_with_nocase(caption, "Factor beta overruled")) {
            if (number(item) != 0) pile.beta_user = user_value(items, i, "Factor beta user defined");
        } else if (starts_with_nocase(caption, "Factor s overruled")) {
            if (number(item) != 0) pile.s_user = user_value(items, i, "Factor s user defined");
        } else if (starts_with_nocase(caption, "Use Pre 2016 Alpha P Factor")) {
            pile.use_pre_2016_alpha_p = number(item) != 0;
        } else if (starts_with_nocase(caption, "Use pre 2025 alpha factors")) {
            pile.use_pre_2025_alpha = number(item) != 0;
        } else if (starts_with_nocase(caption, "Use manual reduction for qc;III")) {
            pile.manual_qc3_reduction = number(item) != 0;
        } else if (starts_with_nocase(caption, "Reduction percentage qc;III")) {
            pile.qc3_reduction_percent = number(item);
        } else if (in_shape && contains(caption, "[m")) {
            pile.dimensions.emplace_back(std::string(trimmed(caption.substr(0, caption.find('[')))), number(item));
            continue;
        }
        in_shape = false;
    }
    return pile;
}

Factors read_factors(const foi::FoiFile& file)
{
    Factors factors;
    const FoiItem* options = file.find_section("CALCULATION OPTIONS");
    if (options == nullptr) return factors;
    const Items items = options->items;
    factors.xi3 = overruled(items, "Factor xi3 NEN overruled", "Factor xi3 user defined");
    factors.xi4 = overruled(items, "Factor xi4 NEN overruled", "Factor xi4 user defined");
    factors.gamma_b = overruled(items, "Gamma b NEN overruled", "Factor gamma b");
    factors.gamma_s = overruled(items, "Gamma s for NEN overruled", "Factor Gamma s for NEN");
    factors.gamma_fnk = overruled(items, "Gamma fnk NEN overruled", "Factor gamma fnk");
    factors.qb_max = overruled(items, "Qb;max overruled", "Qb;max user defined");
    factors.qcza_low = overruled(items, "Qc;z;a Low overruled", "Qc;z;a Low user defined");
    factors.qcza_high = overruled(items, "Qc;z;a High overruled", "Qc;z;a High user defined");
    if (const FoiItem* water = find_setting(items, "Unit weight water")) factors.unit_weight_water = number(*water);
    return factors;
}

double first_surcharge(const foi::FoiFile& file)
{
    const FoiItem* positions = file.find_section("POSITIONS - BEARING PILES");
    const FoiItem* table = positions != nullptr ? positions->section("TABLE") : nullptr;
    if (table == nullptr) return 0.0;
    const foi::FoiTable data = table->table();
    const auto column = std::find(data.columns.begin(), data.columns.end(), "Surcharge");
    if (column == data.columns.end() || data.rows.empty()) return 0.0;
    const std::vector<double> values = row_numbers_prefix(*data.rows.front());
    const auto at = static_cast<std::size_t>(column - data.columns.begin());
    return at < values.size() ? values[at] : 0.0;
}

}  // namespace

double PileType::dimension(std::string_view label) const
{
    for (const auto& [name, value] : dimensions)
        if (name == label) return value;
    return 0.0;
}

CoreInput read_core_input(const foi::FoiFile& file)
{
    check_calculation(file);
    CoreInput input;
    input.layout = file.version_number("D-Foundations").value_or(1015);
    input.soils = read_soils(file);
    const std::vector<Cpt> cpts = read_cpts(file);
    const FoiItem& design = require_section(file, "PRELIMINARY DESIGN");
    const Items items = design.items;
    const double begin = number(require_setting(items, "Trajectory begin", design.line));
    const double end = number(require_setting(items, "Trajectory end", design.line));
    const double step = number(require_setting(items, "Trajectory interval", design.line));
    if (!(step > 0) || end > begin + 1e-9 || (begin - end) / step > 10000)
        fail(design.line, "the trajectory is no range of pile-tip levels from its begin down to its end.");
    for (int k = 0; begin - k * step >= end - 1e-6; ++k)
        input.tip_levels.push_back(std::round((begin - k * step) * 1e6) / 1e6);

    const FoiItem& profiles_section = require_section(file, "PROFILES");
    const auto profiles = named_blocks(profiles_section, "Matching CPT");
    const FoiItem& types_section = require_section(file, "TYPES - BEARING PILES");
    const auto pile_types = named_blocks(types_section, "Pile type =");
    // The selections: "<count> : Number of ... selected", then "<index> : <name>" per line.
    enum { none, profile_list, pile_list } reading = none;
    for (const FoiItem& item : items) {
        if (item.kind != ItemKind::setting) continue;
        if (starts_with_nocase(item.caption, "Number of Profiles selected")) { reading = profile_list; continue; }
        if (starts_with_nocase(item.caption, "Number of PileTypes selected")) { reading = pile_list; continue; }
        if (reading == none) continue;
        const auto& blocks = reading == profile_list ? profiles : pile_types;
        auto found = std::find_if(blocks.begin(), blocks.end(), [&](const auto& b) { return b.first == item.caption; });
        if (found == blocks.end()) {
            const double index = number(item);
            if (index < 0 || index >= static_cast<double>(blocks.size())) fail(item.line, "the selected \"" + std::string(item.caption) + "\" is not in the file.");
            found = blocks.begin() + static_cast<std::ptrdiff_t>(index);
        }
        if (reading == profile_list)
            input.profiles.push_back(read_profile(found->first, found->second, input.soils, cpts, item.line));
        else
            input.pile_types.push_back(read_pile_type(found->first, found->second));
    }
    if (input.profiles.empty()) fail(design.line, "no profile is selected for the calculation.");
    if (input.pile_types.empty()) fail(design.line, "no pile type is selected for the calculation.");
    input.factors = read_factors(file);
    input.surcharge = first_surcharge(file);
    return input;
}

}  // namespace ostrand::external::dfoundations::calculation
