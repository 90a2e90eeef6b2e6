// Decoding the bytes of a text file for the program.
#pragma once

#include <string>
#include <string_view>

namespace dfoundations_cli {

bool is_valid_utf8(std::string_view bytes);
// The bytes unchanged when they are valid UTF-8, otherwise read as Latin-1 (one character per
// byte) and converted to UTF-8.
std::string utf8_text(std::string bytes);

}  // namespace dfoundations_cli
