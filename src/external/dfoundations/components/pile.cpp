#include "ostrand/external/dfoundations/components.hpp"

#include <nlohmann/json.hpp>

namespace ostrand::external::dfoundations::detail {

PileType::PileType(const PileShape& shape, const PileTypeConfig& config)
{
    config.validate(shape.shape_class());
    shape_ = shape.clone();
    config_ = config.clone();
}

PileType::PileType(const PileType& other) : shape_(other.shape_->clone()), config_(other.config_->clone()) {}

PileType& PileType::operator=(const PileType& other)
{
    if (this != &other) {
        auto shape = other.shape_->clone();
        auto config = other.config_->clone();
        shape_ = std::move(shape);
        config_ = std::move(config);
    }
    return *this;
}

nlohmann::ordered_json PileType::serialize(const std::string& name) const
{
    nlohmann::ordered_json object;
    object["name"] = name;
    object["shape"] = shape_->_serialize();
    object["config"] = config_->serialize();
    return object;
}

Pile::Pile(double x, double y, PileOptions options) : x_(x), y_(y), options_(options) {}

nlohmann::ordered_json Pile::serialize(const std::string& name) const
{
    nlohmann::ordered_json object;
    object["name"] = name;
    object["x"] = x_;
    object["y"] = y_;
    object["pile_head_level"] = options_.pile_head_level;
    object["surcharge"] = options_.surcharge;
    object["limit_state_str_geo"] = options_.limit_state_str_geo;
    object["serviceability_limit_state"] = options_.serviceability_limit_state;
    object["load_max_min"] =
        options_.load_max_min
            ? nlohmann::ordered_json::array({options_.load_max_min->first, options_.load_max_min->second})
            : nlohmann::ordered_json(nullptr);
    return object;
}

}  // namespace ostrand::external::dfoundations::detail
