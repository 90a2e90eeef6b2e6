// What a single line of an output file is: a section marker, a value line or plain text.
#pragma once

#include <string_view>
#include <variant>
#include <vector>

#include <ostrand/external/dfoundations/output_file.hpp>

namespace ostrand::external::dfoundations::detail {

// The lines of `text` without their line ends (CR LF, LF or CR, mixed as they come).
std::vector<std::string_view> file_lines(std::string_view text);

bool is_blank_line(std::string_view line);

// "[NAME]" opens a section and "[END OF NAME]" closes one; blanks around NAME do not count.
struct Marker {
    enum class Kind { NONE, OPEN, CLOSE } kind = Kind::NONE;
    std::string_view name;
};
Marker marker_of(std::string_view line);

// A value line when the line has one of the value shapes, otherwise the line as text.
std::variant<ValueLine, TextLine> classify_line(std::string_view line, std::size_t number);

// The numbers among the blank-separated words of `text`.
std::vector<double> numbers_in(std::string_view text);

}  // namespace ostrand::external::dfoundations::detail
