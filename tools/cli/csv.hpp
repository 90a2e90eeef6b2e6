// One table as CSV (RFC 4180): a header row of column names, then a row per table row; text quoted
// when it holds a separator, a quote or a line break, missing cells empty.
#pragma once

#include <string_view>

#include "ostrand/external/dfoundations/output.hpp"

namespace dfoundations_cli {

// Writes `table` to standard output with `line_end` after every row.
void write_csv(const ostrand::external::dfoundations::DataTable& table, std::string_view line_end);

}  // namespace dfoundations_cli
