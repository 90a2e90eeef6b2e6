// The labels that D-Foundations writes beside its codes, and the layout of each pile shape's dimensions.
// The input file takes the program's own labels, looked up by code: the code is what D-Foundations
// reads, and a label that differs from the program's (a caller's naming table) would only mislead.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ostrand::foi {

std::optional<std::string_view> pile_type_label(std::int64_t code);
std::optional<std::string_view> slip_layer_label(std::int64_t code);
std::optional<std::string_view> pile_material_label(std::int64_t code);
std::optional<std::string_view> bearing_clay_loam_peat_label(std::int64_t code);
std::optional<std::string_view> tension_clay_loam_peat_label(std::int64_t code);
std::optional<std::string_view> load_settlement_curve_label(std::int64_t code);
std::optional<std::string_view> construction_sequence_label(std::int64_t code);
std::optional<std::string_view> cone_resistance_reduction_label(std::int64_t code);

// One dimension of a pile shape: its caption and the decimals D-Foundations writes it with.
struct ShapeDimension {
    std::string_view caption;
    int decimals;
};

struct ShapeLayout {
    std::string_view name;
    std::vector<ShapeDimension> dimensions;
};

std::optional<ShapeLayout> shape_layout(std::int64_t code);

// The pile type codes that stand for a user-defined pile type (vibrating, low vibrating, plain).
constexpr std::int64_t USER_DEFINED_VIBRATING = 25;
constexpr std::int64_t USER_DEFINED_LOW_VIBRATING = 26;
constexpr std::int64_t USER_DEFINED_PILE_TYPE = 27;
constexpr std::int64_t USER_DEFINED_SLIP_LAYER = 4;
constexpr std::int64_t USER_DEFINED_MATERIAL = 3;
constexpr std::int64_t USER_DEFINED_CLAY_LOAM_PEAT = 1;

}  // namespace ostrand::foi
