// Reading one [TABLE] block of an output file.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "ostrand/external/dfoundations/output_file.hpp"

#include "external/dfoundations/output_file/line_shapes.hpp"

namespace ostrand::external::dfoundations::detail {

// The table whose "[TABLE]" is lines[first] and whose "[END OF TABLE]" is lines[last]: an optional
// "DataCount=N", "[COLUMN INDICATION]", one line per column, "[END OF COLUMN INDICATION]",
// "[DATA]", one line per row, "[END OF DATA]" (or, after "DataCount=0", nothing at all). Nothing
// when the lines do not have that layout; a table with `error` when its rows cannot be read.
std::optional<OutputTable> read_table_block(const FileLines& lines, std::size_t first, std::size_t last);

}  // namespace ostrand::external::dfoundations::detail
