// Reading the program's input files and writing its output files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dfoundations_cli {

// No real D-Foundations, GEF or model file comes near this; anything larger is refused before it
// fills the memory (a device such as /dev/zero never ends).
inline constexpr std::uintmax_t MAX_INPUT_BYTES = std::uintmax_t{1} << 30;  // 1 GiB

// A file argument that could not be read or written; what() says which file and why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole content of `path`, or of standard input for "-". Pipes and devices are read as they
// come, up to MAX_INPUT_BYTES.
std::string read_input(const std::string& path);

// Writes `bytes` to `path`, or to standard output for "-" or an empty path. A regular file (or a
// new one) is replaced atomically and keeps its mode (a new one gets what the umask allows); a
// symbolic link writes its target; a FIFO or a device is written through, never replaced. A path
// that names `input_path` (the file the command read) is refused.
void write_output(const std::string& path, std::string_view bytes, const std::string& input_path = "");

// Writes `text` to standard output and flushes it; a failed write (a full disk, a closed stream)
// raises FileError.
void write_standard_output(std::string_view text);

}  // namespace dfoundations_cli
