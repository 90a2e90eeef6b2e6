// Base64 (RFC 4648, standard alphabet, with padding), as jobs carry files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrand::host {

std::string base64_encode(std::string_view bytes);
// The bytes that `text` encodes, or absent when it is not Base64 (blanks and line breaks are skipped).
std::optional<std::string> base64_decode(std::string_view text);

}  // namespace ostrand::host
