#include "host/geo/gef_columns.hpp"

#include <cmath>

#include "host/geo/gef_text.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::geo::detail {

namespace {

// GEF-CPT quantity numbers of the columns the reader uses.
constexpr long PENETRATION_LENGTH = 1;
constexpr long CONE_RESISTANCE = 2;
constexpr long SLEEVE_FRICTION = 3;
constexpr long FRICTION_RATIO = 4;
constexpr long CORRECTED_DEPTH = 11;

// 0-based position of a 1-based column number given on a header line.
std::size_t column_position(std::string_view text, std::optional<long> column_count, std::size_t line)
{
    const auto number = parse_integer(text);
    if (!number) throw errors::ParsingError(at_line(line) + quoted(text) + " is not a column number");
    if (*number < 1 || (column_count && *number > *column_count))
        throw errors::ParsingError(at_line(line) + "column " + std::to_string(*number) + " does not exist");
    return static_cast<std::size_t>(*number - 1);
}

std::optional<long> column_count(const GefHeader& header)
{
    const auto* entry = header.find("COLUMN");
    if (!entry) return std::nullopt;
    const auto count = parse_integer(split(entry->value, ",").front());
    if (!count || *count < 1)
        throw errors::ParsingError(at_line(entry->line) + quoted(entry->value) + " is not a column count");
    return count;
}

// Stresses in a GEF-CPT file are in MPa; a column that states kPa is converted.
double stress_factor(std::string_view unit) { return upper(unit).rfind("KPA", 0) == 0 ? 0.001 : 1.0; }

void read_column_info(const GefHeaderLine& entry, std::optional<long> count, GefLayout& layout)
{
    const auto fields = split(entry.value, ",");
    if (fields.size() < 4)
        throw errors::ParsingError(at_line(entry.line) + "#COLUMNINFO= needs a column, a unit, a name and a quantity");
    const std::size_t index = column_position(fields[0], count, entry.line);
    const auto quantity = parse_integer(fields.back());
    if (!quantity)
        throw errors::ParsingError(at_line(entry.line) + quoted(fields.back()) + " is not a quantity number");
    const auto take = [&](std::optional<GefColumn>& column, double factor) {
        if (!column) column = GefColumn{index, factor};  // the first column of a quantity counts
    };
    switch (*quantity) {
    case PENETRATION_LENGTH: take(layout.penetration_length, 1.0); break;
    case CORRECTED_DEPTH: take(layout.corrected_depth, 1.0); break;
    case CONE_RESISTANCE: take(layout.cone_resistance, stress_factor(fields[1])); break;
    case SLEEVE_FRICTION: take(layout.sleeve_friction, stress_factor(fields[1])); break;
    case FRICTION_RATIO: take(layout.friction_ratio, 0.01); break;  // percent in the file
    default: break;
    }
}

void read_column_void(const GefHeaderLine& entry, std::optional<long> count, GefLayout& layout)
{
    const auto fields = split(entry.value, ",");
    if (fields.size() < 2) throw errors::ParsingError(at_line(entry.line) + "#COLUMNVOID= needs a column and a value");
    const std::size_t index = column_position(fields[0], count, entry.line);
    const auto value = parse_number(fields[1]);
    if (!value) throw errors::ParsingError(at_line(entry.line) + quoted(fields[1]) + " is not a number");
    layout.voids.emplace(index, *value);
}

// Depth 0 is where every test starts, never a missing depth: a writer that gives a depth column
// the void value 0 means that the column has none, and its first row is a real measurement.
void ignore_zero_depth_void(const std::optional<GefColumn>& depth, GefLayout& layout)
{
    if (!depth) return;
    const auto void_value = layout.voids.find(depth->index);
    if (void_value != layout.voids.end() && void_value->second == 0.0) layout.voids.erase(void_value);
}

}  // namespace

GefLayout read_layout(const GefHeader& header)
{
    GefLayout layout;
    if (const auto* entry = header.find("COLUMNSEPARATOR")) layout.column_separator = entry->value;
    if (const auto* entry = header.find("RECORDSEPARATOR")) layout.record_separator = entry->value;
    const auto count = column_count(header);
    for (const auto* entry : header.find_all("COLUMNINFO")) read_column_info(*entry, count, layout);
    for (const auto* entry : header.find_all("COLUMNVOID")) read_column_void(*entry, count, layout);
    ignore_zero_depth_void(layout.penetration_length, layout);
    ignore_zero_depth_void(layout.corrected_depth, layout);
    if (!layout.penetration_length && !layout.corrected_depth)
        throw errors::ParsingError("GEF file has no depth column: no #COLUMNINFO with quantity 1 (penetration length) "
                                   "or 11 (corrected depth)");
    if (!layout.cone_resistance)
        throw errors::ParsingError("GEF file has no cone resistance column: no #COLUMNINFO with quantity 2");
    return layout;
}

std::vector<std::string_view> split_cells(std::string_view record, const GefLayout& layout)
{
    auto cells = layout.column_separator.empty() ? split_blanks(record) : split(record, layout.column_separator);
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    return cells;
}

std::optional<double> read_cell(const std::vector<std::string_view>& cells, const GefColumn& column,
                                const GefLayout& layout, std::size_t line)
{
    if (column.index >= cells.size())
        throw errors::ParsingError(at_line(line) + "column " + std::to_string(column.index + 1) +
                                   " is missing (the row has " + std::to_string(cells.size()) + " values)");
    const auto value = parse_number(cells[column.index]);
    if (!value) throw errors::ParsingError(at_line(line) + quoted(cells[column.index]) + " is not a number");
    const auto void_value = layout.voids.find(column.index);
    if (void_value != layout.voids.end() && void_value->second == *value) return std::nullopt;
    constexpr int converted_decimals = 12;
    return column.factor == 1.0 ? *value : round_decimals(*value * column.factor, converted_decimals);
}

}  // namespace ostrand::geo::detail
