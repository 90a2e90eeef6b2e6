// The bound both file readers put on very dense text. Each line they read becomes an item of about
// a hundred bytes however short the line is, while D-Foundations' own lines average over 20 bytes:
// a text of many far shorter lines (millions of one-letter or blank lines, say) is no D-Foundations
// file, and reading it would take dozens of times its size.
#pragma once

#include <cstddef>

namespace ostrand::text {

// Whether `lines` lines in `bytes` bytes are too dense to be read: over 100,000 lines at under 8
// bytes each on average.
inline bool too_dense_to_read(std::size_t bytes, std::size_t lines)
{
    constexpr std::size_t FEW_LINES = 100'000;
    constexpr std::size_t MIN_BYTES_PER_LINE = 8;
    return lines > FEW_LINES && bytes < MIN_BYTES_PER_LINE * lines;
}

}  // namespace ostrand::text
