// Finds the tables of version 19 output: exactly the matches of ParserV19::DATAFRAME_PATTERN
// (successive, non-overlapping, leftmost first) with the same groups, in time linear in the text.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ostrand::external::dfoundations::detail {

struct TableLocation {
    std::size_t start = 0;  // the opening "["
    std::size_t end = 0;    // after the line break that follows the closing name
    std::string_view name;
    std::string_view columns;
    std::string_view data;
};

std::vector<TableLocation> locate_tables(std::string_view text);

}  // namespace ostrand::external::dfoundations::detail
