#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"

#include "ostrand/external/dfoundations/models.hpp"

namespace ostrand::external::dfoundations {

BearingPilesModel::BearingPilesModel(ConstructionSequence construction_sequence,
                                     const BearingPilesCalculationOptions& calculation_options, double excavation_level,
                                     ModelOptions options)
    : Model(construction_sequence, calculation_options, excavation_level, options.reduction_cone_resistance),
      calculation_options_(calculation_options)
{
    if (options.create_default_materials) _create_default_materials();
}

std::vector<detail::MaterialRow> BearingPilesModel::_default_materials() const
{
    return detail::bearing_default_materials();
}

nlohmann::ordered_json BearingPilesModel::document_head() const { return {{"model_type", 0}}; }

nlohmann::ordered_json BearingPilesModel::_serialize() const { return with_head(Model::_serialize()); }

void BearingPilesModel::_create_pile_type(const std::string& name, detail::PileType pile_type)
{
    if (calculation_options_._main_calculation_type() == detail::MainCalculationType::VERIFICATION &&
        pile_type_count() != 0) {
        throw errors::ModelError(
            "Cannot create more than 1 pile type in combination with calculation of type 'Verification'");
    }
    Model::_create_pile_type(name, std::move(pile_type));
}

void BearingPilesModel::create_material(const std::string& name, SoilType soil_type, double gamma_unsat,
                                        double gamma_sat, double friction_angle, BearingMaterialOptions options)
{
    detail::MaterialOptions material{.phi = friction_angle};
    material.diameter_d50 = options.diameter_d50;
    if (options.color) material.color = *options.color;
    _create_material(name, detail::Material(soil_type, gamma_unsat, gamma_sat, material));
}

void BearingPilesModel::create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x,
                                       double y, const Measurements& measurements, double phreatic_level,
                                       double pile_tip_level, double overconsolidation_ratio,
                                       double top_positive_skin_friction, double bottom_negative_skin_friction,
                                       double expected_ground_level_settlement, CreateProfileOptions options)
{
    const double ground_level = _ground_level_of(name, measurements);
    detail::CPT cpt(measurements, ground_level, false,
                    {.rule = options.cpt_rule, .min_layer_thickness = options.min_layer_thickness});
    _create_profile(name, detail::Profile(std::move(cpt), layers, x, y, phreatic_level,
                                          {.pile_tip_level = pile_tip_level,
                                           .overconsolidation_ratio = overconsolidation_ratio,
                                           .top_positive_skin_friction = top_positive_skin_friction,
                                           .bottom_negative_skin_friction = bottom_negative_skin_friction,
                                           .expected_ground_level_settlement = expected_ground_level_settlement}));
}

void BearingPilesModel::import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x,
                                       double y, double phreatic_level, double pile_tip_level,
                                       double overconsolidation_ratio, double top_positive_skin_friction,
                                       double bottom_negative_skin_friction, double expected_ground_level_settlement,
                                       ImportProfileOptions options)
{
    auto [cpt_name, imported] =
        _cpt_from_gef_data(options.thin_cpt ? thinned_gef_data(cpt, levels_to_keep(layers, pile_tip_level)) : cpt,
                           options.manual_ground_level,
                           {.cpt_rule = options.cpt_rule, .min_layer_thickness = options.min_layer_thickness});
    detail::Profile profile(std::move(imported), layers, x, y, phreatic_level,
                            {.pile_tip_level = pile_tip_level,
                             .overconsolidation_ratio = overconsolidation_ratio,
                             .top_positive_skin_friction = top_positive_skin_friction,
                             .bottom_negative_skin_friction = bottom_negative_skin_friction,
                             .expected_ground_level_settlement = expected_ground_level_settlement});
    _create_profile(options.name && !options.name->empty() ? *options.name : cpt_name, std::move(profile));
}

void BearingPilesModel::create_pile_type(const std::string& name, const detail::PileShape& shape, PileType pile_type,
                                         PileSlipLayer slip_layer, BearingPileTypeOptions options)
{
    const detail::BearingPileTypeConfig config(pile_type, slip_layer,
                                               {.type_sand_gravel = options.type_sand_gravel,
                                                .type_clay_loam_peat = options.type_clay_loam_peat,
                                                .type_p = options.type_p,
                                                .load_settlement_curve = options.load_settlement_curve,
                                                .material = options.material,
                                                .factor_sand_gravel = options.factor_sand_gravel,
                                                .factor_clay_loam_peat = options.factor_clay_loam_peat,
                                                .factor_pile_class = options.factor_pile_class,
                                                .e_modulus_material = options.e_modulus,
                                                .slip_layer_adhesion = options.slip_layer_adhesion,
                                                .use_pre_2016 = options.use_pre_2016,
                                                .as_prefab = options.as_prefab,
                                                .qciii_reduction = options.qciii_reduction,
                                                .overrule_tip_section_factor = options.overrule_tip_section_factor,
                                                .overrule_tip_shape_factor = options.overrule_tip_shape_factor});
    _create_pile_type(name, detail::PileType(shape, config));
}

void BearingPilesModel::create_pile(const std::string& name, double x, double y, double pile_head_level,
                                    double surcharge, double limit_state_str_geo, double serviceability_limit_state)
{
    _create_pile(name, detail::Pile(x, y,
                                    {.pile_head_level = pile_head_level,
                                     .surcharge = surcharge,
                                     .limit_state_str_geo = limit_state_str_geo,
                                     .serviceability_limit_state = serviceability_limit_state}));
}

}  // namespace ostrand::external::dfoundations
