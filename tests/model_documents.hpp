// Model documents that use every kind of member, written by the model operations, for the tests of
// the readers that must give them back.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "model_test_support.hpp"

namespace model_test {

inline ostrand::geo::GEFData gef_cpt()
{
    ostrand::geo::GEFData cpt;
    cpt.name = "CPT-G";
    cpt.elevation = {300.0, -1700.0, -2900.0};
    cpt.qc = {1.1, 4.7, 13.3};
    cpt.fs = std::vector<std::optional<double>>{0.01, 0.07, 0.11};
    cpt.Rf = std::vector<std::optional<double>>{0.013, 0.029, 0.0071};
    cpt.ground_level_wrt_reference = 300.0;
    cpt.project_name = "Quay";
    cpt.client = "Port";
    cpt.x_y_coordinates = std::pair{101.5, 202.5};
    cpt.excavation_depth = 1.5;
    cpt.gef_version_number = "1.1.0";
    cpt.gef_file_date = "2019-02-28";
    return cpt;
}

// A bearing model that uses every kind of member: the standard set and own materials, a profile
// from rows and an imported one, shapes whose dimensions are derived, piles.
inline json bearing_document(const Metadata& metadata = Metadata())
{
    BearingPilesModel model = BearingPilesModel(
        ConstructionSequence::EXCAVATION_CPT_INSTALL,
        BearingPilesCalculationOptions(
            CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, true,
            {.xi3 = 1.2, .trajectory_begin_end_interval = Trajectory{-10.0, -20.0, 0.5}, .net_bearing_capacity = 900}),
        -1.5, {.reduction_cone_resistance = 5});
    complete(model);
    model.create_material("Veen \xE2\x80\x9Cslap\xE2\x80\x9D", SoilType::PEAT, 10.5, 11.0, 15.0,
                          {.diameter_d50 = 0.3, .color = ostrand::core::Color(90, 60, 30)});
    model.import_profile(gef_cpt(), layers({"Sand", "Veen \xE2\x80\x9Cslap\xE2\x80\x9D"}), 5.0, 6.0, -1.0, -18.0, 1.2,
                         -0.5, -9.0, 0.1, {.cpt_rule = CPTRule::CUR, .min_layer_thickness = 0.2});
    model.create_pile_type("Hollow", HollowPile(0.5, 12.0), PileType::CLOSED_STEEL, PileSlipLayer::USER_DEFINED,
                           {.slip_layer_adhesion = 2.5, .use_pre_2016 = true});
    model.create_pile_type("H", HShapedPile(0.3, 0.3, 7.1, 10.7), PileType::STEEL, PileSlipLayer::NONE,
                           {.type_p = PileType::USER_DEFINED, .factor_pile_class = 0.7});
    model.create_pile_type("Base", DrivenBasePile(0.6, 0.4, 0.9), PileType::DRIVEN_TUBE_BACK_DRIVING,
                           PileSlipLayer::BITUMEN, {.overrule_tip_shape_factor = 10.0});
    model.create_pile("A2", -1.0, 2.0, 0.5, 1.0, 500.0, 400.0);
    return model._generate_input(metadata);
}

inline json tension_document()
{
    TensionPilesModel model = tension_model({.create_default_materials = false});
    model.create_material("Zand", SoilType::SAND, 18.0, 20.0, 32.5,
                          {.max_cone_resist_type = MaxConeResistType::MANUAL,
                           .max_cone_resist = 15.0,
                           .apply_tension = false,
                           .min_void_ratio = 0.45});
    model.create_profile("P1", layers({"Zand"}), 0.0, 0.0, rows(), -1.0, -20.0, -2.0);
    model.create_pile_type("Open", HollowOpenPile(0.8, 16.0), PileType::USER_DEFINED_VIBRATING,
                           PileTypeClayLoamPeat::USER_DEFINED, PileMaterial::USER_DEFINED,
                           {.factor_sand_gravel = 1.1, .factor_clay_loam_peat = 0.0, .unit_weight_material = 78.5});
    model.create_pile("T1", 1.0, 2.0, 0.0, {.load_max_min = std::pair{300.0, -100.0}});
    model.create_pile("T2", 3.0, 2.0, 0.0);
    return model._generate_input(Metadata({.company = "Deltares", .project_id = "P-12"}));
}

}  // namespace model_test
