#include "ostrand/external/dfoundations/components.hpp"

#include <nlohmann/json.hpp>

namespace ostrand::external::dfoundations::detail {

Material::Material(SoilType soil_type, double gam_dry, double gam_wet, MaterialOptions options)
    : soil_type_(soil_type),
      gam_dry_(gam_dry),
      gam_wet_(gam_wet),
      options_(std::move(options))
{
}

nlohmann::ordered_json Material::serialize() const
{
    nlohmann::ordered_json object;
    object["color"] = options_.color.deltares();
    object["soil_type"] = to_value(soil_type_);
    object["gam_dry"] = gam_dry_;
    object["gam_wet"] = gam_wet_;
    object["e0"] = options_.e0;
    object["diameter_d50"] = options_.diameter_d50;
    object["min_void_ratio"] = options_.min_void_ratio;
    object["max_void_ratio"] = options_.max_void_ratio;
    object["cohesion"] = options_.cohesion;
    object["phi"] = options_.phi;
    object["cu"] = options_.cu;
    object["max_cone_resist_type"] = to_value(options_.max_cone_resist_type);
    object["max_cone_resist"] = options_.max_cone_resist;
    object["use_tension"] = options_.use_tension;
    object["ca"] = options_.ca;
    object["cc"] = options_.cc;
    return object;
}

Material MaterialRow::material() const
{
    return Material(soil_type, gam_dry, gam_wet,
                    {.color = color, .e0 = e0, .cohesion = cohesion, .phi = phi, .cu = cu, .ca = ca, .cc = cc});
}

}  // namespace ostrand::external::dfoundations::detail
