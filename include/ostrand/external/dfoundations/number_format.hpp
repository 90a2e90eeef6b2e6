// Numbers as the library writes them in messages and documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ostrand::external::dfoundations {

// The shortest text that reads back to the same double, with at least one digit after the point:
// 0.3, 2.0, 9.5, 1e-05, 987000000.0, 1e+16. Scientific notation below 1e-4 and from 1e16 on;
// non-finite values give nan, inf and -inf.
// @param value  the number; an integer is written plainly
// @returns the text, as messages and the model document write the number
std::string format_number(double value);
// Integers plainly.
std::string format_number(std::int64_t value);

// Room that write_number needs at most.
inline constexpr std::size_t MAX_NUMBER_TEXT = 32;
// Writes format_number(value) at `out` (room for MAX_NUMBER_TEXT characters) and returns the end.
char* write_number(char* out, double value);

}  // namespace ostrand::external::dfoundations
