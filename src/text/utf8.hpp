// UTF-8 text as the project counts, checks and decodes it; the one decoder of the project.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrand::text {

// Decodes the code point at `text[at]`: its length in bytes, or 0 for a byte that does not start a
// well-formed UTF-8 sequence (overlong forms, surrogates and values past U+10FFFF included).
std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code_point);

// Characters as a person counts them: code points, a malformed byte counting as one.
std::size_t code_point_count(std::string_view text);

bool is_valid_utf8(std::string_view text);

// The bytes unchanged when they are valid UTF-8; otherwise read as Latin-1 (one character per byte)
// and converted to UTF-8. Files from Windows tools come in either.
std::string utf8_or_latin1(std::string bytes);

// The text for a message: every malformed byte shown as U+FFFD.
std::string displayable(std::string_view text);

}  // namespace ostrand::text
