// Which D-Foundations an input file is laid out for: 19.x (the default) or 25.1. The 25.1 layout has
// no Belgian sections, states the row count of its tables, closes units with "]" and adds the settings
// of the 2025 pile rules.
#pragma once

#include <string>
#include <string_view>

namespace ostrand::foi {

struct Layout {
    bool v25 = false;

    // `caption` with its unit closed the layout's way: "[m)" in 19.x, "[m]" in 25.1.
    std::string unit(std::string_view caption) const
    {
        std::string text(caption);
        if (v25 && !text.empty() && text.back() == ')') text.back() = ']';
        return text;
    }
};

}  // namespace ostrand::foi
