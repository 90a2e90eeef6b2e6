#include <cstdio>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations {

namespace {

// "%Y-%m-%d": the date of the moment, its time of day dropped.
std::string iso_date(std::chrono::local_seconds moment)
{
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(moment)};
    char text[32];
    const int size = std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                                   static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return std::string(text, static_cast<std::size_t>(size));
}

constexpr std::chrono::local_seconds FIRST_OF_1900 =
    std::chrono::local_days{std::chrono::year{1900} / std::chrono::January / 1};

}  // namespace

ProfileLayer::ProfileLayer(double top_level, std::string material, ProfileLayerOptions options)
    : top_level_(top_level),
      material_(std::move(material)),
      options_(options)
{
}

ProfileLayer::ProfileLayer(double top_level, std::string material, double ad_pore_pressure_at_top,
                           double ad_pore_pressure_at_bottom, double ocr)
    : ProfileLayer(top_level, std::move(material),
                   ProfileLayerOptions{.ad_pore_pressure_at_top = ad_pore_pressure_at_top,
                                       .ad_pore_pressure_at_bottom = ad_pore_pressure_at_bottom,
                                       .ocr = ocr})
{
}

nlohmann::ordered_json ProfileLayer::_serialize() const
{
    nlohmann::ordered_json object;
    object["top_level"] = top_level_;
    object["material"] = material_;
    object["ad_pore_pressure_at_top"] = options_.ad_pore_pressure_at_top;
    object["ad_pore_pressure_at_bottom"] = options_.ad_pore_pressure_at_bottom;
    object["ocr"] = options_.ocr;
    return object;
}

namespace detail {

CPT::CPT(Measurements measurements, double ground_level, bool imported, CPTOptions options)
    : ground_level_(ground_level),
      imported_(imported)
{
    if (measurements.size() > MAX_ROWS) {
        throw errors::ModelError("Maximum number of rows in measurement data is 5000 (" +
                                 format_number(static_cast<std::int64_t>(measurements.size())) + ")");
    }
    if (!options.file_date) options.file_date = FIRST_OF_1900;
    measurements_ = std::move(measurements);
    options_ = std::move(options);
}

nlohmann::ordered_json CPT::serialize() const
{
    // Room for every member first: the members of an ordered object are copied, not moved, when
    // their vector grows, and the measurements would be copied with them.
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object.get_ref<nlohmann::ordered_json::object_t&>().reserve(13);
    object["measurements"] = measurements_;
    object["ground_level"] = ground_level_;
    object["rule"] = to_value(options_.rule);
    object["min_layer_thickness"] = options_.min_layer_thickness;
    object["imported"] = imported_;
    object["project_name"] = options_.project_name;
    object["project_id"] = options_.project_id;
    object["client_name"] = options_.client_name;
    object["file_date"] = iso_date(file_date());
    object["gef_version"] = options_.gef_version;
    object["x"] = options_.x;
    object["y"] = options_.y;
    object["excavation_depth"] = options_.excavation_depth;
    return object;
}

Profile::Profile(CPT cpt, std::vector<ProfileLayer> layers, double x, double y, double phreatic_level,
                 ProfileOptions options)
    : cpt_(std::move(cpt)),
      x_(x),
      y_(y),
      phreatic_level_(phreatic_level),
      options_(options)
{
    if (layers.size() > MAX_LAYERS) {
        throw errors::ModelError("Maximum number of layers in profile is 100 (" +
                                 format_number(static_cast<std::int64_t>(layers.size())) + ")");
    }
    layers_ = std::move(layers);
}

nlohmann::ordered_json Profile::serialize(const std::string& name) const
{
    nlohmann::ordered_json layers = nlohmann::ordered_json::array();
    for (const ProfileLayer& layer : layers_) layers.push_back(layer._serialize());

    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object.get_ref<nlohmann::ordered_json::object_t&>().reserve(12);  // as in CPT::serialize
    object["name"] = name;
    object["cpt"] = cpt_.serialize();
    object["layers"] = std::move(layers);
    object["x"] = x_;
    object["y"] = y_;
    object["phreatic_level"] = phreatic_level_;
    object["pile_tip_level"] = options_.pile_tip_level.value_or(0.0);
    object["overconsolidation_ratio"] = options_.overconsolidation_ratio.value_or(1.0);
    object["top_positive_skin_friction"] = options_.top_positive_skin_friction.value_or(0.0);
    object["bottom_negative_skin_friction"] = options_.bottom_negative_skin_friction.value_or(0.0);
    object["expected_ground_level_settlement"] = options_.expected_ground_level_settlement.value_or(0.11);
    object["top_tension_zone"] = options_.top_tension_zone.value_or(0.0);
    return object;
}

}  // namespace detail

}  // namespace ostrand::external::dfoundations
