// Building tables from the text of an output section.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ostrand/external/dfoundations/output.hpp"

namespace ostrand::external::dfoundations::detail {

// What the cells of a column read as so far: numbers, and of those integers.
struct ColumnKind {
    bool number = true;
    bool integer = true;
};
// An empty column of the type `kind` asks for (text, integers or reals), with room for `rows`.
DataTable::Column empty_column(ColumnKind kind, std::size_t rows);

// A table from rows of fields: the longest row must have one field per name, shorter rows get
// missing cells at the end; every column then goes through _to_numeric.
DataTable table_from_rows(const std::vector<std::string>& names,
                          const std::vector<std::vector<std::string_view>>& rows);
// A version 19 table from its column lines and data lines (rows tokenized with quotes kept).
DataTable table_from_text(std::string_view columns, std::string_view data);

}  // namespace ostrand::external::dfoundations::detail
