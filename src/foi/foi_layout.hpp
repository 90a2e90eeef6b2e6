// Which D-Foundations an input file is laid out for: 19.x (the default), 23.x or 25.1.
// 23.x dropped the Belgian sections, states the row count of its tables and keeps the allowed rotation
// as its reciprocal; 25.1 on top of that closes units with "]", renames pile types and shapes and adds
// the settings of the 2025 pile rules.
#pragma once

#include <string>
#include <string_view>

namespace ostrand::foi {

struct Layout {
    bool v25 = false;
    bool v23 = false;

    // 19, 23 or 25.
    int version() const { return v25 ? 25 : v23 ? 23 : 19; }
    // The frame that 23.x and 25.1 share: no Belgian parts, tables with their row count.
    bool since_23() const { return v23 || v25; }

    // `caption` with its unit closed the layout's way: "[m)" up to 23.x, "[m]" in 25.1.
    std::string unit(std::string_view caption) const { return closed(caption, v25); }
    // The same for the units of the pile materials and the slip layer ("[kN/m2)"), which 23.x already
    // closes with "]".
    std::string material_unit(std::string_view caption) const { return closed(caption, since_23()); }

private:
    static std::string closed(std::string_view caption, bool bracket)
    {
        std::string text(caption);
        if (bracket && !text.empty() && text.back() == ')') text.back() = ']';
        return text;
    }
};

// The layout of a version number ("D-Foundations=1024" in [VERSION]); 19 up to 1023.
inline int layout_of_file_version(int file_version)
{
    if (file_version >= 1033) return 25;
    return file_version >= 1024 ? 23 : 19;
}

inline Layout layout_of_version(int version) { return {.v25 = version == 25, .v23 = version == 23}; }

}  // namespace ostrand::foi
