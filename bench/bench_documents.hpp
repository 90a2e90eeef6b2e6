// A large Bearing Piles model document for the benchmarks: `profiles` CPTs of `rows` rows each (five
// values as from a GEF file, or two: level and cone resistance), 10 layers per profile and 200 piles.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace bench_documents {

using nlohmann::ordered_json;

inline ordered_json material(int soil_type)
{
    return {{"color", 16777215},
            {"soil_type", soil_type},
            {"gam_dry", 18.0},
            {"gam_wet", 20.0},
            {"e0", 0.001001},
            {"diameter_d50", 0.2},
            {"min_void_ratio", 0.4},
            {"max_void_ratio", 0.8},
            {"cohesion", 0.0},
            {"phi", 32.5},
            {"cu", 0.0},
            {"max_cone_resist_type", 0},
            {"max_cone_resist", 0.0},
            {"use_tension", true},
            {"ca", 1.0},
            {"cc", 1.0}};
}

inline ordered_json profile(int index, int rows, int width)
{
    ordered_json measurements = ordered_json::array();
    for (int row = 0; row < rows; ++row)
        measurements.push_back(width == 2 ? ordered_json{-0.02 * row, 1.5 + 0.001 * row}
                                          : ordered_json{-0.02 * row, 1.5 + 0.001 * row, 0.012, 987000000.0, 0.8});
    const ordered_json cpt = {{"measurements", measurements},
                              {"ground_level", 0.0},
                              {"rule", 0},
                              {"min_layer_thickness", 0.1},
                              {"imported", true},
                              {"project_name", "Bench"},
                              {"project_id", ""},
                              {"client_name", "Unknown"},
                              {"file_date", "2024-05-01"},
                              {"gef_version", "1.1.0"},
                              {"x", 155000.0},
                              {"y", 463000.0},
                              {"excavation_depth", 0.0}};
    ordered_json layers = ordered_json::array();
    for (int layer = 0; layer < 10; ++layer)
        layers.push_back({{"top_level", -2.0 * layer},
                          {"material", layer % 2 == 0 ? "Sand" : "Clay"},
                          {"ad_pore_pressure_at_top", 0.0},
                          {"ad_pore_pressure_at_bottom", 0.0},
                          {"ocr", 1.0}});
    return {{"name", "CPT " + std::to_string(index)},
            {"cpt", cpt},
            {"layers", layers},
            {"x", 1.0},
            {"y", 1.0},
            {"phreatic_level", -1.0},
            {"pile_tip_level", -15.0},
            {"overconsolidation_ratio", 1.0},
            {"top_positive_skin_friction", 0.0},
            {"bottom_negative_skin_friction", 0.0},
            {"expected_ground_level_settlement", 0.11},
            {"top_tension_zone", 0.0}};
}

inline ordered_json bearing_document(int profiles, int rows, int width = 5)
{
    ordered_json options = {{"main_calculation_type", 0},
                            {"calculation_type", 3},
                            {"rigid", false},
                            {"unit_weight_water", 9.81},
                            {"surcharge", 0.0},
                            {"max_allowed_settlement_str_geo", 150},
                            {"max_allowed_relative_rotation_str_geo", 100},
                            {"max_allowed_settlement_sls", 150},
                            {"max_allowed_relative_rotation_sls", 300}};
    for (const char* key : {"xi3", "xi4", "gamma_b", "gamma_s", "gamma_fnk", "gamma_m_var_qc", "gamma_st",
                            "gamma_gamma", "area", "e_ea_gem"})
        options[key] = nullptr;
    for (const char* key : {"write_intermediate_results", "overrule_excavation", "suppress_qciii_reduction",
                            "use_almere_rules", "use_extra_almere_rules", "use_compaction"})
        options[key] = false;
    options["use_pile_group"] = true;
    options["overrule_excess_pore_pressure"] = true;
    options["trajectory_begin_end_interval"] = nullptr;
    options["net_bearing_capacity"] = 0;
    options["cpt_test_level"] = nullptr;

    ordered_json all_profiles = ordered_json::array();
    for (int i = 0; i < profiles; ++i) all_profiles.push_back(profile(i, rows, width));
    ordered_json config = {{"pile_type", {11, "Continuous flight auger pile"}}, {"slip_layer", {0, "None"}}};
    for (const char* key : {"slip_layer_adhesion", "type_p", "factor_pile_class", "load_settlement_curve"})
        config[key] = nullptr;
    config["use_pre_2016"] = false;
    config["as_prefab"] = false;
    for (const char* key :
         {"qciii_reduction", "overrule_tip_section_factor", "overrule_tip_shape_factor", "type_sand_gravel",
          "factor_sand_gravel", "type_clay_loam_peat", "factor_clay_loam_peat", "material", "material_property"})
        config[key] = nullptr;
    const ordered_json shape = {{"num", 0}, {"name", "Round pile"}, {"data", {{0.4, "Diameter [m)"}}}};
    ordered_json piles = ordered_json::array();
    for (int i = 0; i < 200; ++i)
        piles.push_back({{"name", "P" + std::to_string(i)},
                         {"x", 1.0 * i},
                         {"y", 0.0},
                         {"pile_head_level", 0.0},
                         {"surcharge", 0.0},
                         {"limit_state_str_geo", 1000.0},
                         {"serviceability_limit_state", 800.0},
                         {"load_max_min", nullptr}});
    const ordered_json metadata = {
        {"date", "01/01/1900"},  {"time", "00:00:00"}, {"file_name", "-"}, {"company", "-"},
        {"title_1", "-"},        {"title_2", "-"},     {"project_id", ""}, {"geotechnical_consultant", ""},
        {"design_engineer", ""}, {"principal", ""},    {"location", ""}};
    return {{"model_type", 0},
            {"construction_sequence", 1},
            {"calculation_options", options},
            {"excavation_level", 0.0},
            {"cone_resistance_reduction_type", 0},
            {"reduction_cone_resistance", 0},
            {"soil_names", {"Clay", "Sand"}},
            {"soils", {{"Clay", material(3)}, {"Sand", material(1)}}},
            {"profiles", all_profiles},
            {"pile_types", {{{"name", "CFA 400"}, {"shape", shape}, {"config", config}}}},
            {"piles", piles},
            {"metadata", metadata}};
}

}  // namespace bench_documents
