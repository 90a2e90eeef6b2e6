// Writing a generated file out of a benchmark program, for measuring the program on it by hand.
#pragma once

#include <cstdio>
#include <string>

namespace bench_files {

// Writes `text` to `path`: 0 when written, 2 when it could not be, as the program's exit status.
inline int write_file(const char* path, const std::string& text)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return 2;
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fclose(out) == 0 ? 0 : 2;
}

}  // namespace bench_files
