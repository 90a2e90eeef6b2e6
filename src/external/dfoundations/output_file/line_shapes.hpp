// What a single line of an output file is: a section marker, a value line or plain text.
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "ostrand/external/dfoundations/output_file.hpp"

namespace ostrand::external::dfoundations::detail {

// The lines of `text` without their line ends (CR LF, LF or CR, mixed as they come), kept as the
// offsets where they start: a tall file has millions of short lines.
class FileLines {
public:
    // errors::ParsingError for a text of 4 GiB or more.
    explicit FileLines(std::string_view text);

    std::size_t size() const { return starts_.size() - 1; }
    std::string_view operator[](std::size_t index) const
    {
        std::size_t end = starts_[index + 1];
        const std::size_t start = starts_[index];
        if (end > start && text_[end - 1] == '\n') --end;
        if (end > start && text_[end - 1] == '\r') --end;
        return text_.substr(start, end - start);
    }

private:
    std::string_view text_;
    std::vector<std::uint32_t> starts_;  // and, last, where the text ends
};

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
