// JSON values that the components' serializers share.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

namespace ostrand::external::dfoundations::detail {

// The value, or null when it is absent.
template <typename T>
nlohmann::ordered_json value_or_null(const std::optional<T>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

}  // namespace ostrand::external::dfoundations::detail
