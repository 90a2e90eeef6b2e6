// The CPT list and the profiles. Every profile of the document brings its own CPT, which takes the
// profile's name, so profile i matches CPT i.
#include <algorithm>
#include <array>
#include <cmath>

#include <nlohmann/json.hpp>

#include "foi/foi_labels.hpp"
#include "foi/foi_sections.hpp"

namespace ostrand::foi {

namespace {

// The library's placeholder for a coordinate or depth that was not given; D-Foundations marks such a
// value with its own void value.
constexpr double LIBRARY_VOID = 987000000.0;
const std::string DFOUNDATIONS_VOID = "  987654321.000";

// The columns of the measured data, by the number of values in a row, named as D-Foundations names
// them: level and cone resistance, then (from GEF data) the sleeve friction "rw"; a four-value row
// ends with "rw" and "ws", a five-value row with the pore pressure "ws" and the friction ratio
// "GEFFrict".
const std::array<std::vector<std::string_view>, 6> measurement_columns = {{
    {},
    {},
    {"z", "qc"},
    {"z", "qc", "rw"},
    {"z", "qc", "rw", "ws"},
    {"z", "qc", "rw", "ws", "GEFFrict"},
}};

void block(FoiText& out, std::string_view tag, std::string_view value)
{
    out.line({"[", tag, "]"});
    out.line(value);
    out.line({"[END OF ", tag, "]"});
}

std::string world_coordinate(const DocumentNode& node)
{
    const double value = node.number();
    return value == LIBRARY_VOID ? DFOUNDATIONS_VOID : fixed(value, 15, 3);
}

// The number of values in every row: that of the first row (a table without rows keeps level and qc).
std::size_t measurement_width(const DocumentNode& measurements)
{
    if (measurements.size() == 0) return 2;
    const DocumentNode first = measurements.element(0);
    const std::size_t width = first.items().size();
    if (width < 2 || width > 5) first.fail("has " + std::to_string(width) + " values; a measurement row has 2 to 5.");
    return width;
}

// A CPT has up to 5000 rows: they are read straight from the document, and a node with its path is made
// only to report a fault.
void write_measurement_rows(FoiText& out, const DocumentNode& measurements, std::size_t width)
{
    const Json& rows = measurements.json();
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Json& row = rows[r];
        if (!row.is_array() || row.size() != width) {
            const DocumentNode node = measurements.element(r);
            node.fail("has " + std::to_string(node.items().size()) + " values, the rows before it " +
                      std::to_string(width) + ".");
        }
        text.clear();
        for (std::size_t i = 0; i < width; ++i) {
            const Json& value = row[i];
            if (!value.is_number() || !std::isfinite(value.get<double>())) measurements.element(r).element(i).number();
            if (i > 0) text.push_back(' ');
            append_fixed(text, value.get<double>(), i < 2 ? 12 : 15, i < 2 ? 3 : 6);
        }
        out.line(text);
    }
}

void write_measurements(FoiText& out, const DocumentNode& measurements, Layout layout)
{
    const std::size_t width = measurement_width(measurements);
    const std::size_t rows = measurements.size();
    out.line("[MEASURED DATA]");
    open_table(out, measurement_columns[width], rows, layout);
    write_measurement_rows(out, measurements, width);
    close_table(out, rows, layout);
    out.line("[END OF MEASURED DATA]");
}

void write_cpt(FoiText& out, const DocumentNode& profile, std::string_view sequence, Layout layout)
{
    const DocumentNode cpt = profile["cpt"];
    const auto text = [&cpt](std::string_view key) {
        const DocumentNode node = cpt[key];
        return line_text(node.text(), node);
    };
    const DocumentNode name = profile["name"];
    const std::string file_date = text("file_date");
    const double excavation_depth = cpt["excavation_depth"].number();

    block(out, "CPTNAME", line_text(name.text(), name));
    block(out, "PROJECT NAME", text("project_name"));
    block(out, "PROJECTID", text("project_id"));
    block(out, "PROJECT NUMBER", "");
    block(out, "PROJECT SUBNUMBER", "");
    block(out, "LOCATION NAME", "Unknown");
    block(out, "CLIENT NAME", text("client_name"));
    block(out, "COMPANYID", "Unknown");
    block(out, "FILEDATE", file_date);
    block(out, "FILEOWNER", "Unknown");
    block(out, "GEF VERSION", text("gef_version"));
    block(out, "PROCEDURECODE", "Unknown");
    block(out, "ObjectID", "0");
    block(out, "STARTDATE", file_date);
    block(out, "STARTTIME", "");
    block(out, "EXCAVATION TYPE", "1 : Before");
    block(out, "TIMEORDER TYPE", sequence);
    block(out, "CPT TYPE", "1 : Electronic CPT");
    block(out, "USAGE CONE VALUE", "0 : Mechanical qc required");
    block(out, "XY COORDINATE SYSTEM", "Unknown");
    block(out, "XWORLD", world_coordinate(cpt["x"]));
    block(out, "XWORLD ACCURACY", "987654321.00000");
    block(out, "YWORLD", world_coordinate(cpt["y"]));
    block(out, "YWORLD ACCURACY", "987654321.00000");
    block(out, "GROUNDLEVEL", fixed(cpt["ground_level"].number(), 15, 3));
    block(out, "GROUNDLEVEL ACCURACY", "987654321.00000");
    // The ground level of an imported CPT was read from its GEF file; D-Foundations codes true as 0.
    block(out, "GROUNDLEVEL WAS MEASURED", cpt["imported"].boolean() ? "0 : True" : "1 : False");
    block(out, "LEVELTEXT", "");
    // The GEF pre-excavated depth; zero means none was given.
    block(out, "PRE EXCAVATION", excavation_depth == 0.0 ? DFOUNDATIONS_VOID : fixed(excavation_depth, 15, 3));
    block(out, "WATERLEVEL", DFOUNDATIONS_VOID);
    block(out, "XLOCAL", fixed(profile["x"].number(), 15, 3));
    block(out, "YLOCAL", fixed(profile["y"].number(), 15, 3));
    block(out, "LOCAL X CROSSSECTION", "          0.000");
    block(out, "INTERPRETATION MODEL", std::to_string(code_in_range(cpt["rule"], 0, 3, "CPT rule")));
    block(out, "INTERPRETATION MODEL STRESSDEPENDENT", "0 : False");
    block(out, "DEPTHRANGE", fixed(cpt["min_layer_thickness"].number(), 15, 3));
    block(out, "GRAPH MAX PERCENTAGE", "  10");
    block(out, "GRAPH WIDTH", "         10.000");
    block(out, "GRAPH LINEWIDTH", "   1");
    block(out, "GRAPH BORDERWIDTH", "   1");
    block(out, "GRAPH BORDERCOLOR", "              0");
    block(out, "GRAPH FRICTIONCOLOR", "       16711680");
    block(out, "GRAPH QCCOLOR", "            255");
    block(out, "GRAPH PLANE COLOR", "              0");
    block(out, "GRAPH FIT FOR SIZE", "0 : True");
    block(out, "GRAPH FIT SYMBOL FOR SIZE", "0 : True");
    block(out, "GRAPH SYMBOL SIZE", "          1.000");
    block(out, "VOID VALUE DEPTH", DFOUNDATIONS_VOID);
    block(out, "VOID VALUE CONE RESISTANCE", DFOUNDATIONS_VOID);
    block(out, "VOID VALUE PORE WATER PRESSURE", "987654321.000000");
    block(out, "VOID VALUE SLEEVE FRICTION", "987654321.000000");
    block(out, "VOID VALUE FRICTION NUMBER", "987654321.000000");
    block(out, "VOID VALUE EQUIVALENT ELECTRONIC QC", "987000000.000000");
    write_measurements(out, cpt["measurements"], layout);
}

// The Begemann reduction takes the distance from the pile to the excavation edge; a manual reduction
// carries no number, and its layers keep their own (zero) percentages.
double excavation_distance(const DocumentNode& document, std::int64_t reduction_type)
{
    const DocumentNode value = document["reduction_cone_resistance"];
    if (reduction_type == 2 && !value.is_number()) return 0.0;
    return value.number();
}

std::size_t soil_index(const DocumentNode& material, const SoilOrder& soils)
{
    const std::string& name = material.text();
    const auto found = std::find(soils.begin(), soils.end(), name);
    if (found == soils.end()) material.fail("names the material '" + name + "', which 'soils' does not hold.");
    return static_cast<std::size_t>(found - soils.begin());
}

void write_layers(FoiText& out, const DocumentNode& layers, const SoilOrder& soils, Layout layout)
{
    const auto items = layers.items();
    out.setting(padded(static_cast<std::int64_t>(items.size()), 5), "Number of layers");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DocumentNode& layer = items[i];
        const DocumentNode material = layer["material"];
        const std::size_t index = soil_index(material, soils);
        out.line("Layer (" + std::to_string(i + 1) + ")");
        out.setting(padded(static_cast<std::int64_t>(index), 5), "Material = " + line_text(soils[index], material));
        out.setting(fixed(layer["top_level"].number(), 12, 3), "Top level [m]");
        out.setting(fixed(layer["ad_pore_pressure_at_top"].number(), 12, 2), "Excess pore pressure at top [kN/m3]");
        out.setting(fixed(layer["ad_pore_pressure_at_bottom"].number(), 12, 2),
                    "Excess pore pressure at bottom [kN/m3]");
        out.setting(fixed(layer["ocr"].number(), 12, 2), "OCR value [-]");
        out.setting(layout.since_23() ? fixed(0.0, 12, 2) : padded(0, 12), "Reduction of cone resistance [%]");
    }
}

// The model-wide excavation and cone-resistance reduction, which every profile repeats.
struct Excavation {
    std::int64_t reduction_type;
    std::string_view reduction_label;
    double level;
    double distance;
};

Excavation read_excavation(const DocumentNode& document)
{
    const DocumentNode reduction = document["cone_resistance_reduction_type"];
    const std::string_view label =
        code_label(reduction, cone_resistance_reduction_label, "cone resistance reduction type");
    return {reduction.integer(), label, document["excavation_level"].number(),
            excavation_distance(document, reduction.integer())};
}

void write_profile(FoiText& out, const DocumentNode& profile, std::size_t index, const Excavation& excavation,
                   const SoilOrder& soils, Layout layout)
{
    const auto length = [&profile](std::string_view key, int decimals) {
        return fixed(profile[key].number(), 12, decimals);
    };
    const DocumentNode name = profile["name"];
    const std::string profile_name = line_text(name.text(), name);
    out.line(profile_name);
    out.setting(padded(static_cast<std::int64_t>(index), 5), "Matching CPT = " + profile_name);
    out.setting(length("x", 2), "X coordinate [m]");
    out.setting(length("y", 2), "Y coordinate [m]");
    out.setting(length("phreatic_level", 2), "Phreatic level [m]");
    out.setting(length("pile_tip_level", 2), "Pile tip level [m]");
    out.setting(length("overconsolidation_ratio", 2), "Overconsolidation ratio of bearing layer [m]");
    out.setting(length("top_positive_skin_friction", 2), "Top of positive skin friction zone [m]");
    out.setting(length("bottom_negative_skin_friction", 2), "Bottom of negative skin friction zone [m]");
    out.setting(length("expected_ground_level_settlement", 2), "Expected ground level settlement [m]");
    out.setting(fixed(0.0, 12, 2), "Placement depth of foundation element [m]");
    out.setting(padded(3, 12), "Concentration value according to Frohlich [-]");
    out.setting(length("top_tension_zone", 2), "Top of tension zone [m]");
    out.setting(padded(excavation.reduction_type, 12),
                "Reduction type of cone resistance = " + std::string(excavation.reduction_label));
    out.setting(fixed(excavation.level, 12, 2), "Excavation level [m]");
    out.line("1 : Excavation width infinite = TRUE");
    out.line("1 : Excavation length infinite = TRUE");
    out.setting(fixed(excavation.distance, 12, 2), "Distance edge pile to excavation boundary [m]");
    write_layers(out, profile["layers"], soils, layout);
}

}  // namespace

void write_cpt_list(FoiText& out, const DocumentNode& document, Layout layout)
{
    const std::string_view sequence_label =
        code_label(document["construction_sequence"], construction_sequence_label, "construction sequence");
    const std::string sequence =
        std::to_string(document["construction_sequence"].integer()) + " : " + std::string(sequence_label);
    const auto profiles = document["profiles"].items();
    out.line("[CPT LIST]");
    out.line("[NUMBER OF CPTS]");
    out.line(std::to_string(profiles.size()));
    // One dashed line before the first CPT, and a separator section between CPTs, as D-Foundations
    // writes (and reads) the list.
    out.line("--------------------------------------");
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        if (i > 0) out.line("[NEXT OF NUMBER OF CPTS]");
        write_cpt(out, profiles[i], sequence, layout);
    }
    out.line("[END OF NUMBER OF CPTS]");
    out.line("[END OF CPT LIST]");
    out.line();
}

void write_profiles(FoiText& out, const DocumentNode& document, const SoilOrder& soils, Layout layout)
{
    const Excavation excavation = read_excavation(document);
    const auto profiles = document["profiles"].items();
    out.line("[PROFILES]");
    out.line(padded(static_cast<std::int64_t>(profiles.size()), 4) + " = number of items");
    for (std::size_t i = 0; i < profiles.size(); ++i) write_profile(out, profiles[i], i, excavation, soils, layout);
    out.line("[END OF PROFILES]");
    if (layout.since_23()) {
        // The soil classification of the CPTs: the standard method, no user-defined one.
        out.line("[USER CLASSIFICATION METHOD]");
        out.line("0");
        out.line("[END OF USER CLASSIFICATION METHOD]");
    }
    out.line("[SLOPES]");
    out.line("    0 = number of items");
    out.line("[END OF SLOPES]");
}

}  // namespace ostrand::foi
