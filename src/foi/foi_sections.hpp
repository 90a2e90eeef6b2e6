// The sections of a D-Foundations input file, each written from its part of the model document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foi/document_node.hpp"
#include "foi/foi_layout.hpp"
#include "foi/foi_text.hpp"

namespace ostrand::foi {

enum class ModelKind { BEARING = 0, TENSION = 1 };

// The layout the document asks for in its optional "layout" (19, 23 or 25; absent: 19).
Layout layout_of(const DocumentNode& document);

// The names of the soil collection in the order written; a layer refers to a material by its position.
using SoilOrder = std::vector<std::string>;

void write_header(FoiText& out, const DocumentNode& metadata, Layout layout);
void write_model(FoiText& out, ModelKind kind, Layout layout);
SoilOrder write_soil_collection(FoiText& out, const DocumentNode& document, Layout layout);
void write_run_identification(FoiText& out, const DocumentNode& metadata, Layout layout);
void write_cpt_list(FoiText& out, const DocumentNode& document, Layout layout);
void write_profiles(FoiText& out, const DocumentNode& document, const SoilOrder& soils, Layout layout);
void write_pile_types(FoiText& out, const DocumentNode& pile_types, ModelKind kind, Layout layout);
void write_positions(FoiText& out, const DocumentNode& piles, ModelKind kind, Layout layout);
void write_calculation(FoiText& out, const DocumentNode& document, Layout layout);
void write_closing_sections(FoiText& out, Layout layout);

// The label of the code in `node`; an unknown code raises, naming `what` ("pile type").
std::string_view code_label(const DocumentNode& node, std::optional<std::string_view> (*lookup)(std::int64_t),
                            std::string_view what);
// The code in `node`, which must lie in [first, last]; another code raises, naming `what`.
std::int64_t code_in_range(const DocumentNode& node, std::int64_t first, std::int64_t last, std::string_view what);
// "TRUE" or "FALSE", the way the input file spells a switch after its code.
inline std::string_view truth(bool value) { return value ? "TRUE" : "FALSE"; }

// "<0|1> : <caption> = <FALSE|TRUE>".
void write_switch(FoiText& out, bool on, std::string_view caption);
// A switch of 19.x that 25.1 no longer has: written in 19.x (true returned); in 25.1 it must be off,
// else the document is refused, saying what D-Foundations 25.1 `lacks`.
bool write_switch_of_19(FoiText& out, const DocumentNode& node, std::string_view caption, std::string_view lacks,
                        Layout layout);
// A switch that is on when `node` holds a number, followed by that number when it is.
void write_overrule(FoiText& out, const DocumentNode& node, std::string_view caption, std::string_view value_caption);

// "[TABLE]" up to its first row, for `rows` rows under `columns`. 19.x always names the columns; 25.1
// states the row count first ("DataCount=N") and names no columns for a table without rows.
void open_table(FoiText& out, const std::vector<std::string_view>& columns, std::size_t rows, Layout layout);
// The lines after the last row, up to "[END OF TABLE]".
void close_table(FoiText& out, std::size_t rows, Layout layout);

}  // namespace ostrand::foi
