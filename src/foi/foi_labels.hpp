// The labels that D-Foundations writes beside its codes, and the layout of each pile shape's dimensions.
// The input file takes the program's own labels, looked up by code: the code is what D-Foundations
// reads, and a label that differs from the program's (a caller's naming table) would only mislead.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "foi/foi_layout.hpp"

namespace ostrand::foi {

std::optional<std::string_view> pile_type_label(std::int64_t code);
// The label as 25.1 writes it, with the pile class of the 2025 rules in front ("B1-Prefabricated
// concrete pile").
std::optional<std::string_view> pile_type_label_25(std::int64_t code);
std::optional<std::string_view> slip_layer_label(std::int64_t code);
std::optional<std::string_view> pile_material_label(std::int64_t code);
std::optional<std::string_view> bearing_clay_loam_peat_label(std::int64_t code);
std::optional<std::string_view> tension_clay_loam_peat_label(std::int64_t code);
std::optional<std::string_view> load_settlement_curve_label(std::int64_t code);
std::optional<std::string_view> construction_sequence_label(std::int64_t code);
std::optional<std::string_view> cone_resistance_reduction_label(std::int64_t code);

// 25.1 numbers three pile types of the 2025 rules 25 to 27 and the user-defined types after them, 28
// to 30; the document keeps the numbers of 19.x. The code a file of `layout` writes for a document's
// code, and the document's code of a file's (nullopt for a pile type that the document has no member
// for).
constexpr std::int64_t PILE_TYPES_ADDED_IN_25 = 3;
std::int64_t file_pile_type_code(std::int64_t code, Layout layout);
std::optional<std::int64_t> document_pile_type_code(std::int64_t code, Layout layout);

// The installation method that 25.1 gives a pile type of `pile_type_code` (0 automatic, 1 driving,
// 2 vibrating) and its label.
std::int64_t installation_method(std::int64_t pile_type_code);
std::string_view installation_method_label(std::int64_t method);

// One dimension of a pile shape: its caption and the decimals D-Foundations writes it with.
struct ShapeDimension {
    std::string_view caption;
    int decimals;
};

struct ShapeLayout {
    std::string_view name;
    std::vector<ShapeDimension> dimensions;
};

// The shape's name and dimensions; 25.1 renames two shapes and one dimension. The captions keep the
// 19.x unit closing, which `Layout::unit` turns into the layout's.
std::optional<ShapeLayout> shape_layout(std::int64_t code, Layout layout = {});

// The pile type codes that stand for a user-defined pile type (vibrating, low vibrating, plain).
constexpr std::int64_t USER_DEFINED_VIBRATING = 25;
constexpr std::int64_t USER_DEFINED_LOW_VIBRATING = 26;
constexpr std::int64_t USER_DEFINED_PILE_TYPE = 27;
constexpr std::int64_t USER_DEFINED_SLIP_LAYER = 4;
constexpr std::int64_t USER_DEFINED_MATERIAL = 3;
constexpr std::int64_t USER_DEFINED_CLAY_LOAM_PEAT = 1;

}  // namespace ostrand::foi
