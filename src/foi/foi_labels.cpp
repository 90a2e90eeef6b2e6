#include "foi/foi_labels.hpp"

#include <array>
#include <string>

namespace ostrand::foi {

namespace {

template <std::size_t N>
std::optional<std::string_view> label(const std::array<std::string_view, N>& labels, std::int64_t code,
                                      std::int64_t first = 0)
{
    if (code < first || code - first >= static_cast<std::int64_t>(N)) return std::nullopt;
    return labels[static_cast<std::size_t>(code - first)];
}

// As D-Foundations 19 writes them; note "shelling tech. , permanent casing" for code 13.
constexpr std::array<std::string_view, 28> pile_types = {
    "Prefabricated concrete pile",
    "Closed-ended steel pipe pile",
    "Driven cast-in-place pile, tube back by driving",
    "Driven cast-in-place pile, tube back by vibration",
    "Tapered timber pile",
    "Straight timber pile",
    "Screw pile, cast in place, lost tip",
    "Screw pile, cast in place, with grout",
    "Prefabricated screw pile with grout*",
    "Prefabricated screw pile without grout",
    "Steel section",
    "Continuous flight auger pile",
    "Bored pile (drilling mud, uncased borehole)",
    "Bored pile (shelling tech. , permanent casing)",
    "Open-ended steel pipe pile",
    "MV pile",
    "Micro pile, double pipe, extorted",
    "Micro pile, double pipe, not extorted",
    "Micro pile, single pipe, extorted",
    "Micro pile, single pipe, not extorted",
    "Micro pile, anchor, bored",
    "Micro pile, anchor, screwed",
    "Micro pile, vibrated",
    "Grouted steel profile (with footplate)",
    "Grouted steel pipe pile (screwed)",
    "User defined (vibrating)",
    "User defined (low vibrating)",
    "User defined",
};

// The pile class of each pile type in the 2025 rules, as 25.1 writes it in front of the label. The
// types that no 25.1 file has been seen with have none here and keep their 19.x label.
constexpr std::array<std::string_view, 28> pile_classes_25 = {
    "B1", "S1", "B2",  "B3",  "H2",  "H1",  "B4", "B4", "Old", "S5", "S2", "B7", "B8", "S7",
    "S3", "",   "MA2", "MA1", "MB2", "MB1", "MC", "MD", "ME",  "",   "",   "",   "",   "",
};

// The installation method 25.1 gives each pile type; automatic (0) where it has shown none other.
constexpr std::array<std::int64_t, 28> installation_methods = {
    1, 1, 0, 0, 2, 2, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
constexpr std::array<std::string_view, 3> installation_method_labels = {"Automatic", "Driving", "Vibrating"};

constexpr std::array<std::string_view, 5> slip_layers = {"None", "Synthetic", "Bentonite", "Bitumen", "User defined"};
constexpr std::array<std::string_view, 4> materials = {"Concrete", "Steel", "Timber", "User defined material type"};
constexpr std::array<std::string_view, 2> bearing_clay_loam_peat = {
    "alpha_s clay/loam/peat according to table 7.f, art. 7.6.2.3 NEN 9997-1:2016 (i)", "User defined"};
constexpr std::array<std::string_view, 2> tension_clay_loam_peat = {"According to standard", "User defined"};
constexpr std::array<std::string_view, 3> load_settlement_curves = {"1", "2", "3"};
constexpr std::array<std::string_view, 7> construction_sequences = {
    "CPT - Excavation - Install",       "Install - CPT - Excavation", "Excavation - CPT - Install",
    "Excavation - Install - CPT",       "Install - Excavation - CPT", "CPT - Install - Excavation",
    "Excavation - CPT - Install - CPT",
};
constexpr std::array<std::string_view, 3> cone_resistance_reductions = {"Safe", "Begemann", "Manual"};

}  // namespace

std::optional<std::string_view> pile_type_label(std::int64_t code) { return label(pile_types, code); }

std::optional<std::string_view> pile_type_label_25(std::int64_t code)
{
    static const std::array<std::string, pile_types.size()> labels_25 = [] {
        std::array<std::string, pile_types.size()> labels;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i] = pile_types[i];
            if (!pile_classes_25[i].empty()) labels[i].insert(0, std::string(pile_classes_25[i]) + "-");
        }
        return labels;
    }();
    if (!label(pile_types, code)) return std::nullopt;
    return labels_25[static_cast<std::size_t>(code)];
}

std::int64_t file_pile_type_code(std::int64_t code, Layout layout)
{
    return layout.v25 && code >= USER_DEFINED_VIBRATING ? code + PILE_TYPES_ADDED_IN_25 : code;
}

std::optional<std::int64_t> document_pile_type_code(std::int64_t code, Layout layout)
{
    if (!layout.v25 || code < USER_DEFINED_VIBRATING) return code;
    if (code < USER_DEFINED_VIBRATING + PILE_TYPES_ADDED_IN_25) return std::nullopt;
    return code - PILE_TYPES_ADDED_IN_25;
}

std::int64_t installation_method(std::int64_t pile_type_code)
{
    if (pile_type_code < 0 || pile_type_code >= static_cast<std::int64_t>(installation_methods.size())) return 0;
    return installation_methods[static_cast<std::size_t>(pile_type_code)];
}

std::string_view installation_method_label(std::int64_t method)
{
    return label(installation_method_labels, method).value_or("Automatic");
}

std::optional<std::string_view> slip_layer_label(std::int64_t code) { return label(slip_layers, code); }
std::optional<std::string_view> pile_material_label(std::int64_t code) { return label(materials, code); }

std::optional<std::string_view> bearing_clay_loam_peat_label(std::int64_t code)
{
    return label(bearing_clay_loam_peat, code);
}

std::optional<std::string_view> tension_clay_loam_peat_label(std::int64_t code)
{
    return label(tension_clay_loam_peat, code);
}

std::optional<std::string_view> load_settlement_curve_label(std::int64_t code)
{
    return label(load_settlement_curves, code);
}

std::optional<std::string_view> construction_sequence_label(std::int64_t code)
{
    return label(construction_sequences, code, 1);
}

std::optional<std::string_view> cone_resistance_reduction_label(std::int64_t code)
{
    return label(cone_resistance_reductions, code);
}

std::optional<ShapeLayout> shape_layout(std::int64_t code, Layout layout)
{
    const bool v25 = layout.v25;
    const ShapeDimension rect[] = {{"Width [m)", 3}, {"Length [m)", 3}};
    const ShapeDimension enlarged_base[] = {{"Base diameter [m)", 3}, {"Pile diameter [m)", 3}, {"Base height [m)", 3}};
    const ShapeDimension hollow[] = {{"External diameter [m)", 3}, {"Internal diameter [m)", 4}};
    switch (code) {
    case 0: return ShapeLayout{"Round pile", {{"Diameter [m)", 3}}};
    case 1: return ShapeLayout{"Rectangular pile", {std::begin(rect), std::end(rect)}};
    case 2: return ShapeLayout{"Round pile with enlarged base", {std::begin(enlarged_base), std::end(enlarged_base)}};
    case 3:
        return ShapeLayout{"Rectangular pile with enlarged base",
                           {{"Base width [m)", 3},
                            {"Base length [m)", 3},
                            {"Base height [m)", 3},
                            {"Shaft width [m)", 3},
                            {"Shaft length [m)", 3}}};
    case 4:
        return ShapeLayout{"Round tapered pile",
                           {{"Diameter [m)", 3}, {v25 ? "Increase in radius [m/m)" : "Increase in diameter [m/m)", 3}}};
    case 5: return ShapeLayout{"Round hollow pile with closed base", {std::begin(hollow), std::end(hollow)}};
    case 6:
        return ShapeLayout{v25 ? "Round with enlarged lost tip" : "Round pile with lost tip",
                           {{"Base diameter [m)", 3}, {"Pile diameter [m)", 3}}};
    case 7:
        return ShapeLayout{v25 ? "Round with driven enlarged base" : "Round pile with in situ formed base",
                           {std::begin(enlarged_base), std::end(enlarged_base)}};
    case 8: return ShapeLayout{"Section", {std::begin(rect), std::end(rect)}};
    case 9: return ShapeLayout{"Round open-ended hollow pile", {std::begin(hollow), std::end(hollow)}};
    case 10:
        return ShapeLayout{"H-shaped profile",
                           {{"Height H-shape [m)", 3},
                            {"Width H-shape [m)", 3},
                            {"Thickness web [m)", 4},
                            {"Thickness flange [m)", 4}}};
    case 11: return ShapeLayout{"User defined", {{"Circumference of pile [m)", 3}, {"Pile area [m)", 4}}};
    default: return std::nullopt;
    }
}

}  // namespace ostrand::foi
