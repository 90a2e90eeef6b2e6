// Small text helpers of the GEF reader: decoding, trimming, splitting and reading numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ostrand/geo.hpp"

namespace ostrand::geo::detail {

// The text as UTF-8: unchanged when it is valid UTF-8, otherwise read as Latin-1.
std::string to_utf8(std::string_view text);

// Without leading and trailing blanks (spaces, tabs, CR and other ASCII white space).
std::string_view trim(std::string_view text);

// The lines of a text; a line ends at LF, and a CR before the LF is dropped.
std::vector<std::string_view> split_lines(std::string_view text);

// Trimmed pieces between the separators ("a, b" gives "a" and "b").
std::vector<std::string_view> split(std::string_view text, std::string_view separator);

// Pieces between runs of blanks; no empty pieces.
std::vector<std::string_view> split_blanks(std::string_view text);

// A finite decimal number ("2.0", "-1.75", "9.8700e+008", "+3"), blanks around it ignored.
std::optional<double> parse_number(std::string_view text);

// A whole decimal number, blanks around it ignored.
std::optional<long> parse_integer(std::string_view text);
// "2016-08-08" for a real date of the Gregorian calendar, else nothing: CPT files of either kind
// leave a date out rather than keep an impossible one.
std::optional<std::string> iso_date(std::optional<long> year, std::optional<long> month, std::optional<long> day);

// The text in double quotes for a message, as UTF-8 and cut short when it is long.
std::string quoted(std::string_view text);

// The value rounded to `decimals` places, which removes the binary noise of a unit conversion
// (24.56 m times 1000 is 24560.0 mm, not 24560.000000000004); unchanged where rounding could
// lose digits.
double round_decimals(double value, int decimals);

// Upper-case ASCII copy.
std::string upper(std::string_view text);

// Adds a warning to `data` when a level lies above the one before it: a test goes down, so such a
// file most likely gives its depths with the wrong sign or its rows out of order.
void warn_unless_going_down(GEFData& data);

}  // namespace ostrand::geo::detail
