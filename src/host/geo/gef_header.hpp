// The header of a GEF file: the "#KEY= value" lines up to "#EOH=".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrand::geo::detail {

struct GefHeaderLine {
    std::string key;         // upper case, without '#' and '='
    std::string_view value;  // trimmed text after '='
    std::size_t line;        // 1-based line number in the file
};

struct GefHeader {
    std::vector<GefHeaderLine> lines;
    std::size_t first_data_line = 0;  // 0-based index into the file's lines

    // The first line with this key, or nullptr.
    const GefHeaderLine* find(std::string_view key) const;
    // Every line with this key, in file order.
    std::vector<const GefHeaderLine*> find_all(std::string_view key) const;
};

// Reads the header; a text without "#EOH=" is a ParsingError (the file has no data section).
GefHeader read_header(const std::vector<std::string_view>& lines);

// Message prefix that points at a line of the file: "GEF line 12: ".
std::string at_line(std::size_t line);

}  // namespace ostrand::geo::detail
