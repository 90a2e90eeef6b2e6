#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"

#include "ostrand/external/dfoundations/models.hpp"

namespace ostrand::external::dfoundations {

TensionPilesModel::TensionPilesModel(ConstructionSequence construction_sequence,
                                     const TensionPilesCalculationOptions& calculation_options, double excavation_level,
                                     ModelOptions options)
    : Model(construction_sequence, calculation_options, excavation_level, options.reduction_cone_resistance),
      calculation_options_(calculation_options)
{
    if (options.create_default_materials) _create_default_materials();
}

std::vector<detail::MaterialRow> TensionPilesModel::_default_materials() const
{
    return detail::tension_default_materials();
}

nlohmann::ordered_json TensionPilesModel::document_head() const { return {{"model_type", 1}}; }

nlohmann::ordered_json TensionPilesModel::_serialize() const { return with_head(Model::_serialize()); }

void TensionPilesModel::create_material(const std::string& name, SoilType soil_type, double gamma_unsat,
                                        double gamma_sat, double friction_angle, TensionMaterialOptions options)
{
    detail::MaterialOptions material{.diameter_d50 = options.diameter_d50,
                                     .min_void_ratio = options.min_void_ratio,
                                     .max_void_ratio = options.max_void_ratio,
                                     .phi = friction_angle,
                                     .max_cone_resist_type = options.max_cone_resist_type,
                                     .max_cone_resist = options.max_cone_resist,
                                     .use_tension = options.apply_tension};
    if (options.color) material.color = *options.color;
    _create_material(name, detail::Material(soil_type, gamma_unsat, gamma_sat, material));
}

void TensionPilesModel::create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x,
                                       double y, const Measurements& measurements, double phreatic_level,
                                       double pile_tip_level, double top_tension_zone, CreateProfileOptions options)
{
    const double ground_level = _ground_level_of(name, measurements);
    detail::CPT cpt(measurements, ground_level, false,
                    {.rule = options.cpt_rule, .min_layer_thickness = options.min_layer_thickness});
    _create_profile(name, detail::Profile(std::move(cpt), layers, x, y, phreatic_level,
                                          {.pile_tip_level = pile_tip_level, .top_tension_zone = top_tension_zone}));
}

void TensionPilesModel::import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x,
                                       double y, double phreatic_level, double pile_tip_level, double top_tension_zone,
                                       ImportProfileOptions options)
{
    auto [cpt_name, imported] =
        _cpt_from_gef_data(options.thin_cpt ? thinned_gef_data(cpt, levels_to_keep(layers, pile_tip_level)) : cpt,
                           options.manual_ground_level,
                           {.cpt_rule = options.cpt_rule, .min_layer_thickness = options.min_layer_thickness});
    detail::Profile profile(std::move(imported), layers, x, y, phreatic_level,
                            {.pile_tip_level = pile_tip_level, .top_tension_zone = top_tension_zone});
    _create_profile(options.name && !options.name->empty() ? *options.name : cpt_name, std::move(profile));
}

void TensionPilesModel::create_pile_type(const std::string& name, const detail::PileShape& shape,
                                         PileType type_sand_gravel, PileTypeClayLoamPeat type_clay_loam_peat,
                                         PileMaterial material, TensionPileTypeOptions options)
{
    const detail::TensionPileTypeConfig config(type_sand_gravel, type_clay_loam_peat, material,
                                               {.factor_sand_gravel = options.factor_sand_gravel,
                                                .factor_clay_loam_peat = options.factor_clay_loam_peat,
                                                .unit_weight_material = options.unit_weight_material});
    _create_pile_type(name, detail::PileType(shape, config));
}

void TensionPilesModel::create_pile(const std::string& name, double x, double y, double pile_head_level,
                                    TensionPileOptions options)
{
    _create_pile(name, detail::Pile(x, y, {.pile_head_level = pile_head_level, .load_max_min = options.load_max_min}));
}

}  // namespace ostrand::external::dfoundations
