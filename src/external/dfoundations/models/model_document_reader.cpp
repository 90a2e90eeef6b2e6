// The model document read back through the public model operations, member by member. Only the
// values the operations take are read here; what they derive (texts, captions, substitutes, the
// sorted soil names) is checked by comparing the document with what the model writes again.
#include <memory>

#include "external/dfoundations/models/model_document_parts.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"

namespace ostrand::external::dfoundations {

namespace {

using detail::DocumentMember;
using detail::refuse_member;
using detail::shown;
using json = nlohmann::ordered_json;
using document_reader::create_pile;
using document_reader::create_pile_type;
using document_reader::made_into;
using document_reader::metadata_of;
using document_reader::stamp_of;

// ---------------------------------------------------------------------------------------------
// Enumerations as the document writes them.

ConstructionSequence construction_sequence_of(const DocumentMember& member)
{
    return member.member_of<ConstructionSequence>("ConstructionSequence", 1, 7);
}
CalculationType calculation_type_of(const DocumentMember& member)
{
    return member.member_of<CalculationType>("CalculationType", 0, 4);
}
SoilType soil_type_of(const DocumentMember& member) { return member.member_of<SoilType>("SoilType", 0, 4); }
CPTRule cpt_rule_of(const DocumentMember& member) { return member.member_of<CPTRule>("CPTRule", 0, 3); }

std::optional<Trajectory> trajectory_of(const DocumentMember& member)
{
    if (member.is_null()) return std::nullopt;
    if (member.size() != 3) refuse_member(member.path(), "must be [begin, end, interval] or null");
    return Trajectory{member[std::size_t{0}].number(), member[1].number(), member[2].number()};
}

// ---------------------------------------------------------------------------------------------
// Calculation options.

BearingPilesCalculationOptions bearing_options_of(const DocumentMember& options)
{
    return BearingPilesCalculationOptions(
        calculation_type_of(options["calculation_type"]), options["rigid"].boolean(),
        {.max_allowed_settlement_str_geo = options["max_allowed_settlement_str_geo"].integer(),
         .max_allowed_settlement_sls = options["max_allowed_settlement_sls"].integer(),
         .max_allowed_relative_rotation_str_geo = options["max_allowed_relative_rotation_str_geo"].integer(),
         .max_allowed_relative_rotation_sls = options["max_allowed_relative_rotation_sls"].integer(),
         .xi3 = options["xi3"].number_or_null(),
         .xi4 = options["xi4"].number_or_null(),
         .gamma_b = options["gamma_b"].number_or_null(),
         .gamma_s = options["gamma_s"].number_or_null(),
         .gamma_fnk = options["gamma_fnk"].number_or_null(),
         .area = options["area"].number_or_null(),
         .e_ea_gem = options["e_ea_gem"].number_or_null(),
         .write_intermediate_results = options["write_intermediate_results"].boolean(),
         .use_pile_group = options["use_pile_group"].boolean(),
         .overrule_excavation = options["overrule_excavation"].boolean(),
         .suppress_qciii_reduction = options["suppress_qciii_reduction"].boolean(),
         .use_almere_rules = options["use_almere_rules"].boolean(),
         .use_extra_almere_rules = options["use_extra_almere_rules"].boolean(),
         .trajectory_begin_end_interval = trajectory_of(options["trajectory_begin_end_interval"]),
         .net_bearing_capacity = options["net_bearing_capacity"].integer(),
         .cpt_test_level = options["cpt_test_level"].number_or_null()});
}

TensionPilesCalculationOptions tension_options_of(const DocumentMember& options)
{
    return TensionPilesCalculationOptions(
        calculation_type_of(options["calculation_type"]), options["rigid"].boolean(),
        {.unit_weight_water = options["unit_weight_water"].number(),
         .surcharge = options["surcharge"].number(),
         .xi3 = options["xi3"].number_or_null(),
         .xi4 = options["xi4"].number_or_null(),
         .gamma_m_var_qc = options["gamma_m_var_qc"].number_or_null(),
         .gamma_st = options["gamma_st"].number_or_null(),
         .gamma_gamma = options["gamma_gamma"].number_or_null(),
         .use_compaction = options["use_compaction"].boolean(),
         .overrule_excavation = options["overrule_excavation"].boolean(),
         .overrule_excess_pore_pressure = options["overrule_excess_pore_pressure"].boolean(),
         .trajectory_begin_end_interval = trajectory_of(options["trajectory_begin_end_interval"]),
         .net_bearing_capacity = options["net_bearing_capacity"].integer()});
}

// Absent when the document selects the safe reduction; otherwise the number as it stands, so that 5
// stays 5 and 5.0 stays 5.0.
ModelOptions model_options_of(const DocumentMember& document, std::size_t standard_materials)
{
    ModelOptions options{.create_default_materials = standard_materials > 0};
    const DocumentMember type = document["cone_resistance_reduction_type"];
    const DocumentMember value = document["reduction_cone_resistance"];
    if (type.value().is_number_integer() && type.value().get<std::int64_t>() == 0) return options;
    if (value.value().is_number_float()) {
        options.reduction_cone_resistance = value.number();
    } else if (value.value().is_number_integer()) {
        options.reduction_cone_resistance = value.integer();
    } else {
        refuse_member(value.path(), "must be a number: the model takes no other reduction value (currently " +
                                        shown(value.value()) + ")");
    }
    return options;
}

// ---------------------------------------------------------------------------------------------
// Materials.

// The standard set is registered by the model itself when the document's soils begin with it.
bool begins_with_standard_set(const DocumentMember& soils, const std::vector<detail::MaterialRow>& rows)
{
    const json& members = soils.object();
    if (members.size() < rows.size()) return false;
    auto member = members.begin();
    for (const detail::MaterialRow& row : rows) {
        if (member.key() != row.name) return false;
        ++member;
    }
    return true;
}

core::Color color_of(const DocumentMember& member)
{
    const std::int64_t code = member.integer();
    if (code < 0 || code > 0xFFFFFF) {
        refuse_member(member.path(),
                      "must be a colour code from 0 to 16777215 (currently " + shown(member.value()) + ")");
    }
    return core::Color::from_deltares(code);
}

void create_material(BearingPilesModel& model, const std::string& name, const DocumentMember& soil)
{
    model.create_material(name, soil_type_of(soil["soil_type"]), soil["gam_dry"].number(), soil["gam_wet"].number(),
                          soil["phi"].number(),
                          {.diameter_d50 = soil["diameter_d50"].number(), .color = color_of(soil["color"])});
}

void create_material(TensionPilesModel& model, const std::string& name, const DocumentMember& soil)
{
    model.create_material(
        name, soil_type_of(soil["soil_type"]), soil["gam_dry"].number(), soil["gam_wet"].number(), soil["phi"].number(),
        {.diameter_d50 = soil["diameter_d50"].number(),
         .max_cone_resist_type = soil["max_cone_resist_type"].member_of<MaxConeResistType>("MaxConeResistType", 0, 1),
         .max_cone_resist = soil["max_cone_resist"].number(),
         .apply_tension = soil["use_tension"].boolean(),
         .min_void_ratio = soil["min_void_ratio"].number(),
         .max_void_ratio = soil["max_void_ratio"].number(),
         .color = color_of(soil["color"])});
}

// ---------------------------------------------------------------------------------------------
// Profiles.

std::vector<ProfileLayer> layers_of(const DocumentMember& layers)
{
    std::vector<ProfileLayer> result;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const DocumentMember layer = layers[i];
        result.emplace_back(layer["top_level"].number(), layer["material"].text(),
                            layer["ad_pore_pressure_at_top"].number(), layer["ad_pore_pressure_at_bottom"].number(),
                            layer["ocr"].number());
    }
    return result;
}

Measurements measurements_of(const DocumentMember& rows)
{
    // A CPT has thousands of rows: a member with its path is made only to refuse one.
    Measurements result;
    result.reserve(rows.size());
    const json& all = rows.value();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const json& row = all[i];
        if (!row.is_array()) rows[i].size();
        std::vector<double>& values = result.emplace_back();
        values.reserve(row.size());
        for (std::size_t j = 0; j < row.size(); ++j) {
            if (!row[j].is_number()) rows[i][j].number();
            values.push_back(row[j].get<double>());
        }
    }
    return result;
}

// The GEF data that import_profile turns into this CPT: levels in mm, friction ratios as fractions.
// The row length says which columns the file had; every row must have the same.
geo::GEFData gef_data_of(const std::string& name, const DocumentMember& cpt)
{
    constexpr double PLACEHOLDER = 987000000.0;
    const DocumentMember rows = cpt["measurements"];
    const Measurements values = measurements_of(rows);
    // A GEF file without rows is refused when it is read, so no import makes an empty CPT.
    if (values.empty()) refuse_member(rows.path(), "must hold at least 1 row");
    const std::size_t length = values.front().size();
    if (length < 2 || length > 5) refuse_member(rows[0].path(), "must hold 2 to 5 values in an imported CPT");
    const bool fs = length == 3 || length == 5;
    const bool rf = length >= 4;

    geo::GEFData gef;
    gef.name = name;
    gef.elevation.reserve(values.size());
    gef.qc.reserve(values.size());
    if (fs) gef.fs.emplace().reserve(values.size());
    if (rf) gef.Rf.emplace().reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::vector<double>& row = values[i];
        if (row.size() != length) refuse_member(rows[i].path(), "must hold as many values as the first row");
        if (rf && row[length - 2] != PLACEHOLDER) refuse_member(rows[i][length - 2].path(), "must be 987000000.0");
        gef.elevation.push_back(made_into(row[0], row[0] * 1000, [](double mm) { return mm / 1000; }));
        gef.qc.emplace_back(row[1]);
        if (fs) gef.fs->emplace_back(row[2]);
        if (rf)
            gef.Rf->emplace_back(made_into(row[length - 1], row[length - 1] / 100, [](double f) { return f * 100; }));
    }
    gef.ground_level_wrt_reference = 0.0;
    gef.project_name = cpt["project_name"].text();
    gef.project_id = cpt["project_id"].text();
    gef.client = cpt["client_name"].text();
    gef.x_y_coordinates = {cpt["x"].number(), cpt["y"].number()};
    gef.excavation_depth = cpt["excavation_depth"].number();
    gef.gef_version_number = cpt["gef_version"].text();
    gef.gef_file_date = cpt["file_date"].text();
    return gef;
}

struct ProfileParts {
    std::string name;
    DocumentMember cpt;
    std::vector<ProfileLayer> layers;
    CreateProfileOptions options;
    bool imported;
};

ProfileParts profile_parts_of(const DocumentMember& profile)
{
    const DocumentMember cpt = profile["cpt"];
    return {profile["name"].text(),
            cpt,
            layers_of(profile["layers"]),
            {.cpt_rule = cpt_rule_of(cpt["rule"]), .min_layer_thickness = cpt["min_layer_thickness"].number()},
            cpt["imported"].boolean()};
}

ImportProfileOptions import_options(const ProfileParts& parts)
{
    const double ground_level = parts.cpt["ground_level"].number();
    return {.name = parts.name,
            .manual_ground_level = ground_level,
            .cpt_rule = parts.options.cpt_rule,
            .min_layer_thickness = parts.options.min_layer_thickness};
}

void create_profile(BearingPilesModel& model, const DocumentMember& profile)
{
    const ProfileParts parts = profile_parts_of(profile);
    const double x = profile["x"].number();
    const double y = profile["y"].number();
    const double phreatic_level = profile["phreatic_level"].number();
    const double pile_tip_level = profile["pile_tip_level"].number();
    const double ocr = profile["overconsolidation_ratio"].number();
    const double top_positive = profile["top_positive_skin_friction"].number();
    const double bottom_negative = profile["bottom_negative_skin_friction"].number();
    const double settlement = profile["expected_ground_level_settlement"].number();
    if (parts.imported) {
        model.import_profile(gef_data_of(parts.name, parts.cpt), parts.layers, x, y, phreatic_level, pile_tip_level,
                             ocr, top_positive, bottom_negative, settlement, import_options(parts));
    } else {
        model.create_profile(parts.name, parts.layers, x, y, measurements_of(parts.cpt["measurements"]), phreatic_level,
                             pile_tip_level, ocr, top_positive, bottom_negative, settlement, parts.options);
    }
}

void create_profile(TensionPilesModel& model, const DocumentMember& profile)
{
    const ProfileParts parts = profile_parts_of(profile);
    const double x = profile["x"].number();
    const double y = profile["y"].number();
    const double phreatic_level = profile["phreatic_level"].number();
    const double pile_tip_level = profile["pile_tip_level"].number();
    const double top_tension_zone = profile["top_tension_zone"].number();
    if (parts.imported) {
        model.import_profile(gef_data_of(parts.name, parts.cpt), parts.layers, x, y, phreatic_level, pile_tip_level,
                             top_tension_zone, import_options(parts));
    } else {
        model.create_profile(parts.name, parts.layers, x, y, measurements_of(parts.cpt["measurements"]), phreatic_level,
                             pile_tip_level, top_tension_zone, parts.options);
    }
}

// ---------------------------------------------------------------------------------------------
// The whole model.

// Says which member is being built, for callers that place an operation's error in their own source.
void building(std::string* at, const std::string& path)
{
    if (at != nullptr) *at = path;
}

template <typename Model>
void fill(Model& model, const DocumentMember& document, std::size_t standard_materials, std::string* at)
{
    const json& soils = document["soils"].object();
    std::size_t index = 0;
    for (auto member = soils.begin(); member != soils.end(); ++member, ++index) {
        if (index < standard_materials) continue;
        const DocumentMember soil = document["soils"][member.key()];
        building(at, soil.path());
        create_material(model, member.key(), soil);
    }
    const DocumentMember profiles = document["profiles"];
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        building(at, profiles[i].path());
        create_profile(model, profiles[i]);
    }
    const DocumentMember pile_types = document["pile_types"];
    for (std::size_t i = 0; i < pile_types.size(); ++i) {
        building(at, pile_types[i].path());
        create_pile_type(model, pile_types[i]);
    }
    const DocumentMember piles = document["piles"];
    for (std::size_t i = 0; i < piles.size(); ++i) {
        building(at, piles[i].path());
        create_pile(model, piles[i]);
    }
}

template <typename Model, typename Options>
Model model_of(const DocumentMember& document, const Options& options, std::vector<detail::MaterialRow> standard,
               std::string* at)
{
    const std::size_t standard_materials = begins_with_standard_set(document["soils"], standard) ? standard.size() : 0;
    Model model(construction_sequence_of(document["construction_sequence"]), options,
                document["excavation_level"].number(), model_options_of(document, standard_materials));
    fill(model, document, standard_materials, at);
    return model;
}

// The layout a document may ask for; it is the input file's, not the model's, so the model does not
// write it again. Documents of earlier releases name it "input_file_version"; a document that names
// both must give one layout.
std::optional<int> layout_of(const nlohmann::ordered_json& document)
{
    std::optional<int> layout;
    for (const char* member : {"layout", "input_file_version"}) {
        const auto found = document.is_object() ? document.find(member) : document.end();
        if (found == document.end()) continue;
        if (!found->is_number_integer() || (*found != 19 && *found != 23 && *found != 25))
            refuse_member(member, "must be 19, 23 or 25 (currently " + shown(*found) + ")");
        if (layout && *layout != *found)
            refuse_member(member, "must be the layout that 'layout' names (currently " + shown(*found) + ")");
        layout = found->get<int>();
    }
    return layout;
}

}  // namespace

ModelDocument document_reader::build_model_document(const nlohmann::ordered_json& document, std::string* at)
{
    const std::optional<int> layout = layout_of(document);
    const DocumentMember root(document, "");
    const std::int64_t model_type = root["model_type"].integer();
    if (model_type != 0 && model_type != 1) {
        refuse_member("model_type", "must be 0 (Bearing Piles) or 1 (Tension Piles) (currently " +
                                        shown(root["model_type"].value()) + ")");
    }
    const DocumentMember options = root["calculation_options"];
    building(at, "calculation_options");
    std::variant<BearingPilesModel, TensionPilesModel> model =
        model_type == 0 ? std::variant<BearingPilesModel, TensionPilesModel>(model_of<BearingPilesModel>(
                              root, bearing_options_of(options), detail::bearing_default_materials(), at))
                        : std::variant<BearingPilesModel, TensionPilesModel>(model_of<TensionPilesModel>(
                              root, tension_options_of(options), detail::tension_default_materials(), at));
    const DocumentMember metadata = root["metadata"];
    building(at, "metadata");
    return ModelDocument{
        std::move(model), metadata_of(metadata), stamp_of(metadata["date"], metadata["time"]), layout, {}};
}

ModelDocument read_model_document(const nlohmann::ordered_json& document)
{
    // The extras of an input file travel with the document untouched; the model does not hold them.
    const auto extras = document.find("input_file_extras");
    const bool has_extras = extras != document.end();
    if (has_extras && !extras->is_object() && !extras->is_null())
        detail::refuse_member("input_file_extras", "must be an object or null");
    ModelDocument result = document_reader::build_model_document(document, nullptr);
    nlohmann::ordered_json written = result._generate_input();
    // The document is written again as it was given, under the name of the layout it used.
    for (const char* member : {"layout", "input_file_version"})
        if (result.layout && document.contains(member)) written[member] = *result.layout;
    if (has_extras) {
        result.input_file_extras = *extras;
        written["input_file_extras"] = *extras;
    }
    detail::require_written_again(document, written);
    return result;
}

}  // namespace ostrand::external::dfoundations