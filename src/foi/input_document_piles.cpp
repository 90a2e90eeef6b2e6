// The pile types, the pile positions and the calculation of an input file read into the model
// document. Codes are read from the numbers before the colons; the labels after them differ between
// versions of D-Foundations and are not needed.
#include <cmath>

#include "foi/foi_labels.hpp"
#include "foi/input_document_parts.hpp"

namespace ostrand::foi::input {

namespace {

Json pair(std::int64_t code, std::optional<std::string_view> (*lookup)(std::int64_t))
{
    return Json::array({code, std::string(lookup(code).value_or(""))});
}

Json optional_number(const Settings& settings, std::string_view caption)
{
    const FoiItem* item = settings.find(caption);
    return item ? Json(number(*item)) : Json(nullptr);
}

Json read_shape(const Settings& settings)
{
    const FoiItem& shape = settings.at("Shape");
    const std::int64_t code = integer(shape);
    const auto layout = shape_layout(code);
    if (!layout) refuse(shape.line, "the pile shape " + std::to_string(code) + " is unknown.");
    Json data = Json::array();
    const FoiItem* item = &shape;
    for (const ShapeDimension& dimension : layout->dimensions) {
        item = &settings.after(*item);
        data.push_back(Json::array({number(*item), std::string(dimension.caption)}));
    }
    return Json{{"num", code}, {"name", std::string(layout->name)}, {"data", std::move(data)}};
}

// The pile type code of the setting that starts with `caption`, numbered as the document numbers it.
std::int64_t pile_type_code(const Settings& settings, std::string_view caption, Layout layout)
{
    const FoiItem& item = settings.at(caption);
    const std::optional<std::int64_t> code = document_pile_type_code(integer(item), layout);
    if (!code)
        refuse(item.line, "the pile type " + std::string(item.value) + " of D-Foundations 25.1 (" + std::string(item.caption) +
                              ") is none that the model holds.");
    return *code;
}

bool user_defined(std::int64_t code) { return code == USER_DEFINED_VIBRATING || code == USER_DEFINED_LOW_VIBRATING; }

Json bearing_config(const Settings& settings, Layout layout)
{
    const std::int64_t type = pile_type_code(settings, "Pile type = ", layout);
    const std::int64_t slip_layer = settings.integer("Slip Layer");
    Json config = object_with_room(17);
    config["pile_type"] = pair(type, pile_type_label);
    config["slip_layer"] = pair(slip_layer, slip_layer_label);
    config["slip_layer_adhesion"] =
        slip_layer == USER_DEFINED_SLIP_LAYER ? optional_number(settings, "Characteristic adhesion") : Json(nullptr);
    config["type_p"] = nullptr;
    config["factor_pile_class"] = nullptr;
    config["load_settlement_curve"] = nullptr;
    config["type_sand_gravel"] = nullptr;
    config["factor_sand_gravel"] = nullptr;
    config["type_clay_loam_peat"] = nullptr;
    config["factor_clay_loam_peat"] = nullptr;
    config["material"] = nullptr;
    config["material_property"] = nullptr;
    if (user_defined(type)) {
        config["type_sand_gravel"] =
            pair(pile_type_code(settings, "Pile type for execution factor sand", layout), pile_type_label);
        config["factor_sand_gravel"] = optional_number(settings, "Execution factor sand");
        config["type_clay_loam_peat"] =
            pair(settings.integer("Pile type for execution factor clay"), bearing_clay_loam_peat_label);
        config["factor_clay_loam_peat"] = optional_number(settings, "Execution factor clay");
        config["type_p"] = pair(pile_type_code(settings, "Pile type for pile class factor", layout), pile_type_label);
        config["factor_pile_class"] = optional_number(settings, "Pile class factor");
        // "Pile type for load-settlement curve = 1" as D-Foundations writes it; "Load settlement curve"
        // as files of this library once did.
        const FoiItem* curve = settings.find("Pile type for load-settlement curve");
        config["load_settlement_curve"] = integer(curve ? *curve : settings.at("Load settlement curve"));
        config["material"] = pair(settings.integer("Material"), pile_material_label);
        config["material_property"] = optional_number(settings, "Elasticity modulus");
    }
    // D-Foundations 25 has no pre-2016 switch (its "Use pre 2025 alpha factors" is another one).
    const FoiItem* pre_2016 = settings.find("Use Pre 2016");
    config["use_pre_2016"] = pre_2016 != nullptr && integer(*pre_2016) != 0;
    // The file says whether a user-defined type counts as "other" (overig), the document whether it
    // counts as prefabricated.
    config["as_prefab"] = !settings.on("User Defined piletype as Overig");
    config["qciii_reduction"] = settings.overruled("Use manual reduction for qc;III");
    config["overrule_tip_section_factor"] = settings.overruled("Factor beta overruled");
    config["overrule_tip_shape_factor"] = settings.overruled("Factor s overruled");
    Json ordered = object_with_room(17);
    for (const char* key :
         {"pile_type", "slip_layer", "slip_layer_adhesion", "type_p", "factor_pile_class", "load_settlement_curve",
          "use_pre_2016", "as_prefab", "qciii_reduction", "overrule_tip_section_factor", "overrule_tip_shape_factor",
          "type_sand_gravel", "factor_sand_gravel", "type_clay_loam_peat", "factor_clay_loam_peat", "material",
          "material_property"})
        ordered[key] = std::move(config[key]);
    return ordered;
}

Json tension_config(const Settings& settings, Layout layout)
{
    const std::int64_t material = settings.integer("Material");
    Json config = object_with_room(6);
    config["type_sand_gravel"] =
        pair(pile_type_code(settings, "Pile type for execution factor sand", layout), pile_type_label);
    config["factor_sand_gravel"] = optional_number(settings, "Execution factor sand");
    config["type_clay_loam_peat"] =
        pair(settings.integer("Pile type for execution factor clay"), tension_clay_loam_peat_label);
    config["factor_clay_loam_peat"] = optional_number(settings, "Execution factor clay");
    config["material"] = pair(material, pile_material_label);
    config["material_property"] =
        material == USER_DEFINED_MATERIAL ? optional_number(settings, "Unit weig") : Json(nullptr);
    return config;
}

std::vector<std::string> split_row(const FoiItem& row)
{
    std::vector<std::string> fields;
    const std::string text(row.text);
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
        } else if (text[at] == '\'') {
            const std::size_t end = text.find('\'', at + 1);
            if (end == std::string::npos) refuse(row.line, "the pile name is not closed by an apostrophe.");
            fields.push_back(text.substr(at + 1, end - at - 1));
            at = end + 1;
        } else {
            const std::size_t end = std::min(text.find(' ', at), text.size());
            fields.push_back(text.substr(at, end - at));
            at = end;
        }
    }
    return fields;
}

}  // namespace

Json read_pile_types(Context& context, const FoiItem& data)
{
    const bool bearing = context.model_type == 0;
    const FoiItem* types = data.section(bearing ? "TYPES - BEARING PILES" : "TYPES - TENSION PILES (CUR)");
    Json result = Json::array();
    if (types == nullptr) return result;
    // A count, then per type its name, its settings and the line that says whether the name is the
    // user's.
    const auto is_name = [](const FoiItem& item) { return item.kind == ItemKind::plain; };
    const std::vector<Headed> parts = headed_parts(types->items, is_name);
    check_count(types->items, "number of items", parts.size(), "pile types");
    for (const auto& [name, items] : parts) {
        const Settings settings(items, name->line);
        context.mark("pile_types[" + std::to_string(result.size()) + "]", name->line);
        Json shape = read_shape(settings);
        const Layout layout = layout_of_version(context.input.layout);
        Json config = bearing ? bearing_config(settings, layout) : tension_config(settings, layout);
        result.push_back(Json{{"name", text_of(name->text, name->line, "pile type name")},
                              {"shape", std::move(shape)},
                              {"config", std::move(config)}});
    }
    return result;
}

Json read_piles(Context& context, const FoiItem& data)
{
    const bool bearing = context.model_type == 0;
    const FoiItem* positions = data.section(bearing ? "POSITIONS - BEARING PILES" : "POSITIONS - TENSION PILES (CUR)");
    Json result = Json::array();
    if (positions == nullptr) return result;
    const FoiItem& table_section = section(*positions, "TABLE");
    const FoiTable table = table_section.table();
    check_table_count(table, table_section.line);
    for (const FoiItem* row : table.rows) {
        const std::vector<std::string> fields = split_row(*row);
        const auto field = [&](std::string_view column) -> const std::string& {
            for (std::size_t i = 0; i < table.columns.size(); ++i)
                if (table.columns[i] == column) {
                    if (i >= fields.size()) refuse(row->line, "the row has no " + std::string(column) + ".");
                    return fields[i];
                }
            refuse(row->line, "the table has no column " + std::string(column) + ".");
        };
        const auto value = [&](std::string_view column) { return number_text(field(column), row->line); };
        context.mark("piles[" + std::to_string(result.size()) + "]", row->line);
        Json pile = object_with_room(8);
        pile["name"] = text_of(field("PileName"), row->line, "pile name");
        pile["x"] = value("X");
        pile["y"] = value("Y");
        pile["pile_head_level"] = value("PileHeadLevel");
        pile["surcharge"] = bearing ? value("Surcharge") : 0.0;
        pile["limit_state_str_geo"] = value("LimitStateStrGeo");
        pile["serviceability_limit_state"] = value("LimitStateService");
        pile["load_max_min"] = nullptr;
        if (!bearing && value("UseAlternatingLoads") != 0.0)
            pile["load_max_min"] = Json::array({value("MaxForce"), value("MinForce")});
        result.push_back(std::move(pile));
    }
    return result;
}

namespace {

// Rotations are 1/N in the document; 19 writes the fraction, 25 the N ("Reciprocal max. ...").
std::int64_t reciprocal_rotation(const Settings& settings, std::string_view state)
{
    if (const FoiItem* reciprocal = settings.find("Reciprocal max. allowed rel. rotation [m/m]; " + std::string(state)))
        return integer(*reciprocal);
    const FoiItem& fraction = settings.at("Max. allowed rel. rotation [m/m]; " + std::string(state));
    const double value = number(fraction);
    if (value <= 0.0) refuse(fraction.line, "the allowed rotation must be above 0.");
    return static_cast<std::int64_t>(std::llround(1.0 / value));
}

// Without a trajectory a file keeps a new model's: from 0 to 0 in steps of 1 m.
Json trajectory(const Settings& design)
{
    const double begin = design.number("Trajectory begin");
    const double end = design.number("Trajectory end");
    const double interval = design.number("Trajectory interval");
    if (begin == 0.0 && end == 0.0 && interval == 1.0) return nullptr;
    return Json::array({begin, end, interval});
}

// The factors a user may overrule: the member and the caption of the switch before its value.
constexpr std::pair<const char*, const char*> overrulings[] = {
    {"xi3", "Factor xi3 NEN overruled"},
    {"xi4", "Factor xi4 NEN overruled"},
    {"gamma_b", "Gamma b NEN overruled"},
    {"gamma_s", "Gamma s for NEN overruled"},
    {"gamma_fnk", "Gamma fnk NEN overruled"},
    {"gamma_m_var_qc", "Gamma var overruled"},
    {"gamma_st", "Gamma st overruled"},
    {"gamma_gamma", "Gamma gamma overruled"},
    {"area", "Area overruled"},
    {"e_ea_gem", "Eea;gem overruled"},
};

constexpr std::pair<const char*, const char*> switches[] = {
    {"write_intermediate_results", "Write intermediate results"},
    {"use_pile_group", "Use pile group"},
    {"overrule_excavation", "Overrule excavation"},
    {"use_almere_rules", "Use Almere rules"},
    {"use_extra_almere_rules", "Use Extra Almere rules"},
    {"use_compaction", "Use compaction"},
    {"overrule_excess_pore_pressure", "Use Piezometric levels"},
};

}  // namespace

Json read_calculation_options(Context& context, const FoiItem& data)
{
    const FoiItem& section_item = section(data, "CALCULATION OPTIONS");
    const Settings options(section_item.items, section_item.line);
    const FoiItem& type_section = section(data, "CALCULATIONTYPE");
    const Settings types(type_section.items, type_section.line);
    const FoiItem& design_section = section(data, "PRELIMINARY DESIGN");
    const Settings design(design_section.items, design_section.line);
    context.mark("calculation_options", section_item.line);

    const std::int64_t main_type = types.integer("Main calculationtype");
    Json result = object_with_room(30);
    result["main_calculation_type"] = main_type;
    result["calculation_type"] = types.integer("Sub calculationtype");
    result["rigid"] = options.integer("Superstructure rigidity") != 0;
    result["unit_weight_water"] = options.number("Unit weight water");
    result["surcharge"] = options.number("Surcharge");
    result["max_allowed_settlement_str_geo"] =
        std::llround(options.number("Max. allowed settlement [m]; lim. state STR/GEO") * 1000.0);
    result["max_allowed_relative_rotation_str_geo"] = reciprocal_rotation(options, "lim. state STR/GEO");
    result["max_allowed_settlement_sls"] =
        std::llround(options.number("Max. allowed settlement [m]; serv. lim. state") * 1000.0);
    result["max_allowed_relative_rotation_sls"] = reciprocal_rotation(options, "serv. lim. state");
    for (const auto& [member, caption] : overrulings) result[member] = options.overruled(caption);
    for (const auto& [member, caption] : switches) result[member] = options.on(caption);
    // D-Foundations 25 cannot suppress the qc;III reduction and writes no such switch.
    const FoiItem* suppress = options.find("Suppress qcIII reduction");
    result["suppress_qciii_reduction"] = suppress != nullptr && integer(*suppress) != 0;
    result["trajectory_begin_end_interval"] = trajectory(design);
    const FoiItem* net = design.find("Net bearing capacity");
    result["net_bearing_capacity"] = net ? integer(*net) : 0;
    const FoiItem* test_level = main_type == 1 ? design.find("CPT Test Level") : nullptr;
    result["cpt_test_level"] = test_level ? Json(number(*test_level)) : Json(nullptr);
    return result;
}

}  // namespace ostrand::foi::input
