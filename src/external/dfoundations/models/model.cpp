#include <algorithm>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations::detail {

namespace {

// A line break of any kind, or another control character: LF, CR, VT, FF, NEL, LINE SEPARATOR,
// PARAGRAPH SEPARATOR and the rest of C0 and DEL.
bool holds_control_character(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x20 || byte == 0x7f) return true;
        if (byte == 0xc2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) == 0x85) return true;
        if (byte == 0xe2 && i + 2 < name.size() && name[i + 1] == '\x80' &&
            (name[i + 2] == '\xa8' || name[i + 2] == '\xa9'))
            return true;
    }
    return false;
}

// "1 : Material = Steel", "   3 = number of items": a number and then ':' or '=' is a value line.
bool looks_like_value_line(std::string_view name)
{
    std::size_t at = name.find_first_not_of(' ');
    if (at == std::string_view::npos) return false;
    if (name[at] == '-' || name[at] == '+') ++at;
    const std::size_t digits = at;
    while (at < name.size() && ((name[at] >= '0' && name[at] <= '9') || name[at] == '.')) ++at;
    if (at == digits) return false;
    while (at < name.size() && name[at] == ' ') ++at;
    return at < name.size() && (name[at] == ':' || name[at] == '=');
}

// An input file keeps each name on a line of its own: a name that is no such line, or that reads as
// a section header or a value line, would come back as another file.
void check_name_line(const char* member, const std::string& name)
{
    const std::string what = std::string("Name of ") + member;
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) throw errors::ModelError(what + " cannot be empty or blank");
    if (holds_control_character(name))
        throw errors::ModelError(what + " cannot hold a line break or another control character");
    if (name[first] == '[')
        throw errors::ModelError(what + " cannot start with '[', which begins a section of the input file ('" + name +
                                 "')");
    if (looks_like_value_line(name))
        throw errors::ModelError(what +
                                 " cannot start with a number followed by ':' or '=', which makes a value line of "
                                 "the input file ('" +
                                 name + "')");
}

}  // namespace

Model::Model(ConstructionSequence construction_sequence, const CalculationOptions& calculation_options,
             double excavation_level, std::optional<IntegerOrReal> reduction_cone_resistance)
    : construction_sequence_(construction_sequence),
      calculation_options_(calculation_options),
      excavation_level_(excavation_level),
      reduction_cone_resistance_(reduction_cone_resistance)
{
}

ReductionConeResistance Model::_cone_resistance_reduction_type() const
{
    // Every value a caller can give is a number: Begemann's reduction. The manual reduction is
    // reserved for values of other kinds, which this interface does not take.
    return reduction_cone_resistance_ ? ReductionConeResistance::BEGEMANN : ReductionConeResistance::SAFE;
}

void Model::_create_material(const std::string& name, Material material)
{
    check_name_line("material", name);
    if (materials_.contains(name)) throw errors::ModelError("Material with name '" + name + "' already exists");
    if (text::code_point_count(name) > MAX_MATERIAL_NAME) {
        throw errors::ModelError("Name of material can be max. 25 characters long");
    }
    materials_.insert_or_assign(name, std::move(material));
}

void Model::_create_profile(const std::string& name, Profile profile)
{
    check_name_line("profile", name);
    if (profiles_.size() >= MAX_PROFILES) {
        throw errors::ModelError("Maximum number of profiles is 350 (currently: " +
                                 format_number(static_cast<std::int64_t>(profiles_.size())) + ")");
    }
    if (profiles_.contains(name)) throw errors::ModelError("Profile with name '" + name + "' already exists");
    const std::vector<ProfileLayer>& layers = profile.layers();
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (!materials_.contains(layers[i].material())) {
            throw errors::ModelError("Material with name '" + layers[i].material() + "' does not exist (layer " +
                                     format_number(static_cast<std::int64_t>(i + 1)) + ").");
        }
    }
    profiles_.insert_or_assign(name, std::move(profile));
}

void Model::_create_pile_type(const std::string& name, PileType pile_type)
{
    check_name_line("pile type", name);
    if (pile_types_.contains(name)) throw errors::ModelError("Pile type with name '" + name + "' already exists");
    pile_types_.insert_or_assign(name, std::move(pile_type));
}

void Model::_create_pile(const std::string& name, Pile pile)
{
    check_name_line("pile", name);
    if (piles_.contains(name)) throw errors::ModelError("Pile with name '" + name + "' already exists");
    if (text::code_point_count(name) > MAX_PILE_NAME)
        throw errors::ModelError("Name of pile can be max. 10 characters long");
    if (piles_.size() >= MAX_PILES) throw errors::ModelError("Maximum number of piles reached (200)");
    piles_.insert_or_assign(name, std::move(pile));
}

void Model::_create_default_materials()
{
    // All rows or none: a refused row puts back the materials as they were.
    auto before = materials_;
    try {
        for (const MaterialRow& row : _default_materials()) _create_material(row.name, row.material());
    } catch (...) {
        materials_ = std::move(before);
        throw;
    }
}

double Model::_ground_level_of(const std::string& profile, const Measurements& measurements)
{
    if (measurements.empty())
        throw std::out_of_range("Profile '" + profile +
                                "' has no measurement rows: a CPT needs at least 1 row, starting with its level");
    if (measurements.front().empty())
        throw std::out_of_range("The first measurement row of profile '" + profile +
                                "' is empty: every row starts with its level");
    return measurements.front().front();
}

void Model::_validate() const
{
    if (profiles_.empty()) throw errors::ModelError("Invalid model: create or import at least 1 profile.");
    if (pile_types_.empty()) throw errors::ModelError("Invalid model: create at least 1 pile type.");
    if (piles_.empty()) throw errors::ModelError("Invalid model: create at least 1 pile.");
}

nlohmann::ordered_json Model::with_head(nlohmann::ordered_json shared) const
{
    nlohmann::ordered_json document = document_head();
    // Room for the members after these too (the metadata, an input file's layout and extras): the
    // members of an ordered object are copied, not moved, when their vector grows, and the
    // measurements of every CPT with them.
    document.get_ref<nlohmann::ordered_json::object_t&>().reserve(document.size() + shared.size() + 4);
    for (auto& [key, value] : shared.items()) document[key] = std::move(value);
    return document;
}

nlohmann::ordered_json Model::materials() const { return _serialize_materials(); }
nlohmann::ordered_json Model::profiles() const { return _serialize_profiles(); }
nlohmann::ordered_json Model::pile_types() const { return _serialize_pile_types(); }
nlohmann::ordered_json Model::piles() const { return _serialize_piles(); }

nlohmann::ordered_json Model::_serialize_materials() const
{
    nlohmann::ordered_json soils = nlohmann::ordered_json::object();
    for (const auto& [name, material] : materials_) soils[name] = material.serialize();
    return soils;
}

nlohmann::ordered_json Model::_serialize_profiles() const
{
    nlohmann::ordered_json profiles = nlohmann::ordered_json::array();
    for (const auto& [name, profile] : profiles_) profiles.push_back(profile.serialize(name));
    return profiles;
}

nlohmann::ordered_json Model::_serialize_pile_types() const
{
    nlohmann::ordered_json pile_types = nlohmann::ordered_json::array();
    for (const auto& [name, pile_type] : pile_types_) pile_types.push_back(pile_type.serialize(name));
    return pile_types;
}

nlohmann::ordered_json Model::_serialize_piles() const
{
    nlohmann::ordered_json piles = nlohmann::ordered_json::array();
    for (const auto& [name, pile] : piles_) piles.push_back(pile.serialize(name));
    return piles;
}

nlohmann::ordered_json Model::serialize_shared(bool profiles) const
{
    std::vector<std::string> soil_names;
    soil_names.reserve(materials_.size());
    for (const auto& entry : materials_) soil_names.push_back(entry.first);
    std::sort(soil_names.begin(), soil_names.end());  // by byte, which for UTF-8 is by code point

    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    document.get_ref<nlohmann::ordered_json::object_t&>().reserve(16);  // as in with_head
    document["construction_sequence"] = to_value(construction_sequence_);
    document["calculation_options"] = calculation_options_._serialize();
    document["excavation_level"] = excavation_level_;
    document["cone_resistance_reduction_type"] = to_value(_cone_resistance_reduction_type());
    if (reduction_cone_resistance_) {
        std::visit([&](auto value) { document["reduction_cone_resistance"] = value; }, *reduction_cone_resistance_);
    } else {
        document["reduction_cone_resistance"] = 0;
    }
    document["soil_names"] = std::move(soil_names);
    document["soils"] = _serialize_materials();
    document["profiles"] = profiles ? _serialize_profiles() : nlohmann::ordered_json::array();
    document["pile_types"] = _serialize_pile_types();
    document["piles"] = _serialize_piles();
    return document;
}

nlohmann::ordered_json Model::_serialize() const { return serialize_shared(true); }

nlohmann::ordered_json Model::_generate_input(const std::optional<Metadata>& metadata) const
{
    nlohmann::ordered_json document = _serialize();
    document["metadata"] = metadata ? metadata->_serialize() : Metadata()._serialize();
    return document;
}

nlohmann::ordered_json Model::_generate_input(const Metadata& metadata, std::chrono::system_clock::time_point now) const
{
    nlohmann::ordered_json document = _serialize();
    document["metadata"] = metadata._serialize(now);
    return document;
}

}  // namespace ostrand::external::dfoundations::detail
