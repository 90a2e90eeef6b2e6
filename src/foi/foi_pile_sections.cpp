// Pile types and pile positions. A model's pile types and piles go into the sections of its own kind;
// the sections of the other kinds stay empty.
#include "foi/foi_labels.hpp"
#include "foi/foi_sections.hpp"

namespace ostrand::foi {

namespace {

using Lookup = std::optional<std::string_view> (*)(std::int64_t);

// A [code, text] pair of the document; the text is the library's, the label written is the program's.
DocumentNode pair_code(const DocumentNode& pair)
{
    const auto items = pair.items();
    if (items.size() != 2)
        pair.fail("must be a pair [code, text] (found " + std::to_string(items.size()) + " values).");
    items[1].text();
    return items[0];
}

// "<code> : <caption> = <label>", the code right-aligned in two characters.
std::int64_t write_choice(FoiText& out, const DocumentNode& code, Lookup lookup, std::string_view what,
                          std::string_view caption)
{
    const std::string_view label = code_label(code, lookup, what);
    out.setting(padded(code.integer(), 2), std::string(caption) + " = " + std::string(label));
    return code.integer();
}

// The shape code of a round open-ended hollow pile: 25.1 writes its calculation method after its
// dimensions, as "Open pipe pile" for a file of 19.x.
constexpr std::int64_t OPEN_ENDED_HOLLOW_SHAPE = 9;

void write_shape(FoiText& out, const DocumentNode& shape, Layout layout)
{
    const DocumentNode num = shape["num"];
    shape["name"].text();
    const std::int64_t code = num.integer();
    const auto form = shape_layout(code, layout);
    if (!form) num.fail("has the unknown pile shape code " + std::to_string(code) + ".");
    const DocumentNode data = shape["data"];
    const auto dimensions = data.items();
    if (dimensions.size() != form->dimensions.size())
        data.fail("has " + std::to_string(dimensions.size()) + " dimensions; a '" + std::string(form->name) + "' has " +
                  std::to_string(form->dimensions.size()) + ".");
    out.setting(padded(code, 2), "Shape = " + std::string(form->name));
    for (std::size_t i = 0; i < dimensions.size(); ++i) {
        const auto value_and_caption = dimensions[i].items();
        if (value_and_caption.size() != 2) dimensions[i].fail("must be a pair [value, caption].");
        value_and_caption[1].text();
        const ShapeDimension& dimension = form->dimensions[i];
        out.setting(fixed(value_and_caption[0].number(), 12, dimension.decimals), layout.unit(dimension.caption));
    }
    if (layout.v25 && code == OPEN_ENDED_HOLLOW_SHAPE)
        out.line(" 0 : Open pipe pile calculation method = Open pipe pile");
}

Lookup pile_type_lookup(Layout layout) { return layout.v25 ? pile_type_label_25 : pile_type_label; }

// A pile type code of the document with its label, under the number the layout gives it.
std::int64_t write_pile_type_choice(FoiText& out, const DocumentNode& pair, Layout layout, std::string_view caption)
{
    const DocumentNode code = pair_code(pair);
    const std::string_view label = code_label(code, pile_type_lookup(layout), "pile type");
    out.setting(padded(file_pile_type_code(code.integer(), layout), 2), std::string(caption) + " = " + std::string(label));
    return code.integer();
}

// The soils of the clay factor: "clay/loam/peat" up to 23.x; 25.1 writes "clay/silt/peat" for a bearing
// pile type and "clay/peat/silt" for a tension pile type.
std::string clay_caption(std::string_view caption, Layout layout, ModelKind kind)
{
    if (!layout.v25) return std::string(caption) + (kind == ModelKind::BEARING ? "clay/loam/peat" : "clay/peat/loam");
    return std::string(caption) + (kind == ModelKind::BEARING ? "clay/silt/peat" : "clay/peat/silt");
}

// 25.1 sets how each pile type is installed, which the 2025 rules take their factors from.
void write_installation_method(FoiText& out, std::int64_t pile_type_code)
{
    const std::int64_t method = installation_method(pile_type_code);
    out.setting(padded(method, 2), "Installation method = " + std::string(installation_method_label(method)));
}

// 25.1 has the alpha factors of the 2025 rules and, as a choice, those before them; the pre-2016
// factors of 19.x are gone, so a pile type that asks for them has no 25.1 input file.
void write_alpha_factor_choice(FoiText& out, const DocumentNode& use_pre_2016, Layout layout)
{
    if (!write_switch_of_19(out, use_pre_2016, "Use Pre 2016 Alpha P Factor", "has no pre-2016 alpha factors", layout))
        write_switch(out, false, "Use pre 2025 alpha factors");
}

// The factors of a user-defined pile type, right after its pile type: its classes for sand and gravel,
// for clay, loam and peat and for the pile class factor, its load-settlement curve and material. The
// factors keep the unit closing "[-)" in every layout.
void write_user_defined_bearing_type(FoiText& out, const DocumentNode& config, Layout layout)
{
    const std::int64_t sand_gravel =
        write_pile_type_choice(out, config["type_sand_gravel"], layout, "Pile type for execution factor sand/gravel");
    if (sand_gravel == USER_DEFINED_PILE_TYPE)
        out.setting(fixed(config["factor_sand_gravel"].number(), 12, 4), "Execution factor sand/gravel [-)");
    const std::int64_t clay = write_choice(out, pair_code(config["type_clay_loam_peat"]), bearing_clay_loam_peat_label,
                                           "clay/loam/peat pile type",
                                           clay_caption("Pile type for execution factor ", layout, ModelKind::BEARING));
    if (clay == USER_DEFINED_CLAY_LOAM_PEAT)
        out.setting(fixed(config["factor_clay_loam_peat"].number(), 12, 4),
                    clay_caption("Execution factor ", layout, ModelKind::BEARING) + " [-)");
    const std::int64_t type_p =
        write_pile_type_choice(out, config["type_p"], layout, "Pile type for pile class factor");
    if (type_p == USER_DEFINED_PILE_TYPE)
        out.setting(fixed(config["factor_pile_class"].number(), 12, 4), "Pile class factor [-)");
    write_choice(out, config["load_settlement_curve"], load_settlement_curve_label, "load-settlement curve",
                 "Pile type for load-settlement curve");
    const std::int64_t material =
        write_choice(out, pair_code(config["material"]), pile_material_label, "pile material", "Material");
    if (material == USER_DEFINED_MATERIAL)
        out.setting(scientific(config["material_property"].number(), 12),
                    layout.material_unit("Elasticity modulus [kN/m2)"));
}

void write_bearing_type(FoiText& out, const DocumentNode& pile_type, Layout layout)
{
    const DocumentNode config = pile_type["config"];
    const std::int64_t type = write_pile_type_choice(out, config["pile_type"], layout, "Pile type");
    if (type == USER_DEFINED_VIBRATING || type == USER_DEFINED_LOW_VIBRATING)
        write_user_defined_bearing_type(out, config, layout);
    if (layout.v25) write_installation_method(out, type);
    const std::int64_t slip_layer =
        write_choice(out, pair_code(config["slip_layer"]), slip_layer_label, "slip layer", "Slip Layer");
    if (slip_layer == USER_DEFINED_SLIP_LAYER)
        out.setting(fixed(config["slip_layer_adhesion"].number(), 12, 2),
                    layout.material_unit("Characteristic adhesion [kN/m2)"));
    write_shape(out, pile_type["shape"], layout);
    write_overrule(out, config["overrule_tip_section_factor"], "Factor beta overruled", "Factor beta user defined");
    write_overrule(out, config["overrule_tip_shape_factor"], "Factor s overruled", "Factor s user defined");
    write_alpha_factor_choice(out, config["use_pre_2016"], layout);
    // A user-defined pile type counts as prefabricated or as "other" (overig).
    write_switch(out, !config["as_prefab"].boolean(), "User Defined piletype as Overig");
    const auto qciii = config["qciii_reduction"].optional_number();
    write_switch(out, qciii.has_value(), "Use manual reduction for qc;III");
    out.setting(fixed(qciii.value_or(25.0), 6, 2), "Reduction percentage qc;III");
}

void write_tension_type(FoiText& out, const DocumentNode& pile_type, Layout layout)
{
    const DocumentNode config = pile_type["config"];
    const std::int64_t sand_gravel =
        write_pile_type_choice(out, config["type_sand_gravel"], layout, "Pile type for execution factor sand/gravel");
    if (sand_gravel == USER_DEFINED_VIBRATING || sand_gravel == USER_DEFINED_LOW_VIBRATING ||
        sand_gravel == USER_DEFINED_PILE_TYPE)
        out.setting(fixed(config["factor_sand_gravel"].number(), 12, 4), "Execution factor sand/gravel [-]");
    if (layout.v25) {
        // A tension pile type has no alpha factor choice of its own; 25.1 writes the 2025 rules.
        write_switch(out, false, "Use pre 2025 alpha factors");
        write_installation_method(out, sand_gravel);
    }
    const std::int64_t clay =
        write_choice(out, pair_code(config["type_clay_loam_peat"]), tension_clay_loam_peat_label,
                     "clay/loam/peat pile type",
                     clay_caption("Pile type for execution factor ", layout, ModelKind::TENSION));
    if (clay == USER_DEFINED_CLAY_LOAM_PEAT)
        out.setting(fixed(config["factor_clay_loam_peat"].number(), 12, 4),
                    clay_caption("Execution factor ", layout, ModelKind::TENSION) + " [-]");
    const std::int64_t material =
        write_choice(out, pair_code(config["material"]), pile_material_label, "pile material", "Material");
    if (material == USER_DEFINED_MATERIAL) {
        out.setting(fixed(config["material_property"].number(), 12, 2),
                    layout.since_23() ? "Unit weight pile material [kN/m3]" : "Unit weigth pile material [kN/m3)");
        // The document carries no E-modulus for a tension pile; this is D-Foundations' own value.
        out.setting(scientific(2.0e7, 12), layout.material_unit("Elasticity modulus [kN/m2)"));
    }
    // The filling of a hollow pile, which the document does not describe: none.
    if (layout.since_23()) out.setting(fixed(0.0, 12, 2), "Unit weight filling material [kN/m3]");
    write_shape(out, pile_type["shape"], layout);
}

using TypeWriter = void (*)(FoiText&, const DocumentNode&, Layout);

void write_types_section(FoiText& out, std::string_view title, const std::vector<DocumentNode>& pile_types,
                         TypeWriter write_type, Layout layout)
{
    out.line("[TYPES - " + std::string(title) + "]");
    out.line(pile_types.empty() ? "-1 : pile type shown in main graph" : "0 : pile type shown in main graph");
    out.line(padded(static_cast<std::int64_t>(pile_types.size()), 5) + " = number of items");
    for (const DocumentNode& pile_type : pile_types) {
        const DocumentNode name = pile_type["name"];
        out.line(line_text(name.text(), name));
        write_type(out, pile_type, layout);
        out.line(" 1 : User defined name");
    }
    out.line("[END OF TYPES - " + std::string(title) + "]");
}

void no_type(FoiText&, const DocumentNode&, Layout) {}

const std::vector<std::string_view> bearing_columns = {
    "index", "X", "Y", "PileHeadLevel", "Surcharge", "LimitStateStrGeo", "LimitStateService", "PileName"};

// A [POSITIONS - <title>] section of the `rows` that `row` writes, one for each index below `rows`.
template <typename Row>
void write_positions_section(FoiText& out, std::string_view title, const std::vector<std::string_view>& columns,
                             std::size_t rows, Row&& row, Layout layout)
{
    out.line("[POSITIONS - " + std::string(title) + "]");
    open_table(out, columns, rows, layout);
    for (std::size_t i = 0; i < rows; ++i) out.line(row(i));
    close_table(out, rows, layout);
    out.line("[END OF POSITIONS - " + std::string(title) + "]");
}

// The pile's name between apostrophes; a name that holds one could not be read back.
std::string quoted_pile_name(const DocumentNode& pile)
{
    const DocumentNode name = pile["name"];
    const std::string text = line_text(name.text(), name);
    if (text.find('\'') != std::string::npos)
        name.fail("contains an apostrophe, which ends a pile name in the input file.");
    return "'" + text + "'";
}

std::string bearing_position(const DocumentNode& pile, std::size_t index)
{
    std::string row = padded(static_cast<std::int64_t>(index + 1), 6);
    for (const char* key :
         {"x", "y", "pile_head_level", "surcharge", "limit_state_str_geo", "serviceability_limit_state"})
        row += column(pile[key].number(), 10, 2);
    return row + " " + quoted_pile_name(pile);
}

// Without extreme loads the pile does not use alternating loads and keeps the new-pile forces of 1.
std::string tension_position(const DocumentNode& pile, std::size_t index)
{
    std::string row = padded(static_cast<std::int64_t>(index + 1), 6);
    for (const char* key : {"x", "y", "pile_head_level"}) row += column(pile[key].number(), 10, 2);
    const DocumentNode loads = pile["load_max_min"];
    double max_force = 1.0;
    double min_force = 1.0;
    if (!loads.is_null()) {
        const auto pair = loads.items();
        if (pair.size() != 2) loads.fail("must be a pair [maximum, minimum] or null.");
        max_force = pair[0].number();
        min_force = pair[1].number();
    }
    row += loads.is_null() ? " 0" : " 1";
    row += column(max_force, 10, 2) + column(min_force, 10, 2);
    row += column(pile["limit_state_str_geo"].number(), 10, 2) +
           column(pile["serviceability_limit_state"].number(), 10, 2);
    return row + " " + quoted_pile_name(pile);
}

}  // namespace

void write_pile_types(FoiText& out, const DocumentNode& pile_types, ModelKind kind, Layout layout)
{
    const std::vector<DocumentNode> types = pile_types.items();
    const std::vector<DocumentNode> none;
    const bool bearing = kind == ModelKind::BEARING;
    write_types_section(out, "BEARING PILES", bearing ? types : none, write_bearing_type, layout);
    if (!layout.since_23()) write_types_section(out, "BEARING PILES BELGIAN", none, no_type, layout);
    write_types_section(out, "TENSION PILES (CUR)", bearing ? none : types, write_tension_type, layout);
    out.line("[TYPES - SHALLOW FOUNDATIONS]");
    out.line("    0 = number of items");
    out.line("[END OF TYPES - SHALLOW FOUNDATIONS]");
    out.line("[LOADS]");
    out.line("    0 = number of items");
    out.line("[END OF LOADS]");
}

void write_positions(FoiText& out, const DocumentNode& piles, ModelKind kind, Layout layout)
{
    const std::vector<DocumentNode> items = piles.items();
    const auto of_kind = [&items, kind](ModelKind wanted) { return kind == wanted ? items.size() : 0; };
    const auto bearing_row = [&items](std::size_t i) { return bearing_position(items[i], i); };
    const auto tension_row = [&items](std::size_t i) { return tension_position(items[i], i); };
    const auto no_row = [](std::size_t) { return std::string(); };
    write_positions_section(out, "BEARING PILES", bearing_columns, of_kind(ModelKind::BEARING), bearing_row, layout);
    if (!layout.since_23()) write_positions_section(out, "BEARING PILES BELGIAN", bearing_columns, 0, no_row, layout);
    write_positions_section(out, "TENSION PILES (CUR)",
                            {"index", "X", "Y", "PileHeadLevel", "UseAlternatingLoads", "MaxForce", "MinForce",
                             "LimitStateStrGeo", "LimitStateService", "PileName"},
                            of_kind(ModelKind::TENSION), tension_row, layout);
    write_positions_section(out, "SHALLOW FOUNDATIONS",
                            {"index", "X", "Y", "Angle", "FoundationType", "Load", "Profile", "Slope", "PileName"}, 0,
                            no_row, layout);
}

}  // namespace ostrand::foi
