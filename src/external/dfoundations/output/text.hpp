// Text helpers of the output parsers: numbers, separators, whitespace and row tokenizing.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ostrand::external::dfoundations::detail {

// A real number with surrounding blanks ignored; std::invalid_argument when `text` is not one.
double parse_real(std::string_view text);
// The same for a text already known to read as a number (number_shape), without checking it again.
double read_number(std::string_view number);
// A decimal integer with surrounding blanks ignored; std::invalid_argument when `text` is not one,
// std::out_of_range when it does not fit in 64 bits.
std::int64_t parse_integer(std::string_view text);
// The parts of `text` between non-overlapping occurrences of `separator`, from the left.
std::vector<std::string_view> split_at(std::string_view text, std::string_view separator);
// Fields separated by runs of whitespace (ASCII, the information separators and the Unicode spaces).
std::vector<std::string_view> split_whitespace(std::string_view text);

// Calls `field` for every field of a table row: runs of space, tab, CR and LF separate fields; a
// field that starts with a quote runs to the same quote and keeps both. std::invalid_argument for a
// quote without its closing quote.
template <class Field>
void tokenize_row(std::string_view line, Field field);

// Whether `text` reads as a decimal number, and whether it is an integer literal.
struct NumberShape {
    bool number = false;
    bool integer = false;
};
NumberShape number_shape(std::string_view text);
std::string_view trim_blanks(std::string_view text);

// `text` split into lines at LF, CR, CR LF, VT, FF, FS, GS, RS, NEL, LINE SEPARATOR and
// PARAGRAPH SEPARATOR (the last three in UTF-8); a final line break adds no empty line.
std::vector<std::string_view> split_lines(std::string_view text);

template <class Field>
void tokenize_row(std::string_view line, Field field)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t at = 0;
    while (at < line.size()) {
        if (blank(line[at])) {
            ++at;
            continue;
        }
        const char first = line[at];
        std::size_t end;
        if (first == '"' || first == '\'') {
            const std::size_t close = line.find(first, at + 1);
            if (close == std::string_view::npos) throw std::invalid_argument("No closing quotation");
            end = close + 1;
        } else {
            end = at;
            while (end < line.size() && !blank(line[end])) ++end;
        }
        field(line.substr(at, end - at));
        at = end;
    }
}

}  // namespace ostrand::external::dfoundations::detail
