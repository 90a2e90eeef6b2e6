// Where the measured quantities stand in the data rows of a GEF-CPT file, and how to read a row.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/geo/gef_header.hpp"

namespace ostrand::geo::detail {

// A measured column: its 0-based position in a row and the factor that brings it to the unit
// of GEFData (MPa for stresses, fraction for the friction ratio).
struct GefColumn {
    std::size_t index = 0;
    double factor = 1.0;
};

struct GefLayout {
    std::string column_separator;  // empty: runs of blanks
    std::string record_separator;  // empty: each line is a record
    std::optional<GefColumn> penetration_length;
    std::optional<GefColumn> corrected_depth;
    std::optional<GefColumn> cone_resistance;
    std::optional<GefColumn> sleeve_friction;
    std::optional<GefColumn> friction_ratio;
    std::map<std::size_t, double> voids;  // by 0-based column position
};

// Reads separators, #COLUMNINFO and #COLUMNVOID. A file without a depth or a cone-resistance
// column is a ParsingError that says which.
GefLayout read_layout(const GefHeader& header);

// One data record split into its cells, the cells that a trailing separator leaves empty dropped.
std::vector<std::string_view> split_cells(std::string_view record, const GefLayout& layout);

// The cell of `column` in a record as a number in GEFData's unit; absent when it holds the
// column's void value. A short record or a cell that is not a number is a ParsingError naming
// the line.
std::optional<double> read_cell(const std::vector<std::string_view>& cells, const GefColumn& column,
                                const GefLayout& layout, std::size_t line);

}  // namespace ostrand::geo::detail
