#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"

#include "support/model_error.hpp"

// The case tables below are laid out by hand, a case a line where it fits.
// clang-format off

namespace dfo = ostrand::external::dfoundations;
using dfo::CalculationType;
using dfo::Trajectory;
using ostrand::errors::ModelError;

namespace {

std::string repeated(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

std::chrono::system_clock::time_point utc_moment(int year, int month, int day, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_days date = std::chrono::year{year} / month / day;
    return date + hours{hour} + minutes{minute} + seconds{second};
}

}  // namespace

// --- Metadata ------------------------------------------------------------------------------

TEST(Metadata, DefaultsSerializeInTheirFixedKeyOrder)
{
    EXPECT_EQ(dfo::Metadata()._serialize().dump(),
              R"({"date":"01/01/1900","time":"00:00:00","file_name":"-","company":"-","title_1":"-","title_2":"-",)"
              R"("project_id":"","geotechnical_consultant":"","design_engineer":"","principal":"","location":""})");
}

TEST(Metadata, KeyOrderDoesNotFollowTheArgumentOrder)
{
    const dfo::Metadata metadata({.file_name = "f", .company = "c", .title_1 = "t1", .title_2 = "t2",
                                  .geotechnical_consultant = "g", .design_engineer = "d", .principal = "p",
                                  .project_id = "id", .location = "l"});
    EXPECT_EQ(metadata._serialize().dump(),
              R"({"date":"01/01/1900","time":"00:00:00","file_name":"f","company":"c","title_1":"t1","title_2":"t2",)"
              R"("project_id":"id","geotechnical_consultant":"g","design_engineer":"d","principal":"p","location":"l"})");
}

TEST(Metadata, StampsLocalDateAndTimeOfOneMoment)
{
    setenv("TZ", "UTC", 1);
    tzset();
    const auto moment = utc_moment(2026, 3, 4, 5, 6, 7);
    const auto date_only = dfo::Metadata({.current_date = true})._serialize(moment);
    EXPECT_EQ(date_only["date"], "04/03/2026");
    EXPECT_EQ(date_only["time"], "00:00:00");
    const auto both = dfo::Metadata({.current_date = true, .current_time = true})._serialize(moment);
    EXPECT_EQ(both["date"], "04/03/2026");
    EXPECT_EQ(both["time"], "05:06:07");
    const auto time_only = dfo::Metadata({.current_time = true})._serialize(utc_moment(2026, 12, 31, 23, 59, 58));
    EXPECT_EQ(time_only["date"], "01/01/1900");
    EXPECT_EQ(time_only["time"], "23:59:58");
}

TEST(Metadata, LengthLimitsCountCharactersNotBytes)
{
    struct Case {
        dfo::MetadataOptions options;
        std::string message;
    };
    const std::string title_error = "Maximum amount of characters for title is 50 (";
    const std::string id_error = "Maximum amount of characters for project_id is 20 (";
    const std::vector<Case> cases = {
        {{.title_1 = std::string(50, 'a')}, ""},
        {{.title_1 = repeated("\xC3\xA9", 50)}, ""},                     // 50 two-byte characters
        {{.title_2 = repeated("\xF0\x9F\x98\x80", 50)}, ""},             // 50 four-byte characters
        {{.title_1 = std::string(51, 'a')}, title_error + "51)."},
        {{.title_2 = repeated("\xC3\xA9", 51)}, title_error + "51)."},
        {{.title_1 = std::string(60, 'a'), .title_2 = std::string(51, 'b')}, title_error + "60)."},
        {{.project_id = std::string(20, '1')}, ""},
        {{.project_id = repeated("\xE2\x82\xAC", 20)}, ""},
        {{.project_id = std::string(21, '1')}, id_error + "21)."},
        {{.title_2 = std::string(51, 'b'), .project_id = std::string(21, '1')}, title_error + "51)."},
    };
    for (const Case& c : cases) {
        const std::string message = model_error([&] { dfo::Metadata metadata(c.options); });
        EXPECT_EQ(message, c.message.empty() ? "<no ModelError>" : c.message) << c.options.title_1.size();
    }
}

// --- Calculation options ---------------------------------------------------------------------

TEST(CalculationOptions, BearingDefaultsSerializeWithIntegerAndRealSubstitutes)
{
    const dfo::BearingPilesCalculationOptions options(CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, false);
    EXPECT_EQ(options._serialize().dump(),
              R"({"main_calculation_type":0,"calculation_type":3,"rigid":false,"unit_weight_water":9.81,)"
              R"("surcharge":0.0,"max_allowed_settlement_str_geo":150,"max_allowed_relative_rotation_str_geo":100,)"
              R"("max_allowed_settlement_sls":150,"max_allowed_relative_rotation_sls":300,"xi3":null,"xi4":null,)"
              R"("gamma_b":null,"gamma_s":null,"gamma_fnk":null,"gamma_m_var_qc":null,"gamma_st":null,)"
              R"("gamma_gamma":null,"area":null,"e_ea_gem":null,"write_intermediate_results":false,)"
              R"("use_pile_group":true,"overrule_excavation":false,"suppress_qciii_reduction":false,)"
              R"("use_almere_rules":false,"use_extra_almere_rules":false,"use_compaction":false,)"
              R"("overrule_excess_pore_pressure":true,"trajectory_begin_end_interval":null,)"
              R"("net_bearing_capacity":0,"cpt_test_level":null})");
}

TEST(CalculationOptions, TensionDefaultsSerializeWithoutCptTestLevel)
{
    const dfo::TensionPilesCalculationOptions options(CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, true,
                                                      {.trajectory_begin_end_interval = Trajectory{0.0, -10.0, 0.5},
                                                       .net_bearing_capacity = 0});
    const auto object = options._serialize();
    EXPECT_EQ(object.size(), 30u);
    EXPECT_EQ(object["main_calculation_type"], 0);
    EXPECT_EQ(object["calculation_type"], 4);
    EXPECT_EQ(object["unit_weight_water"].dump(), "9.81");
    EXPECT_EQ(object["surcharge"].dump(), "0.0");
    EXPECT_EQ(object["max_allowed_settlement_str_geo"].dump(), "150");
    EXPECT_EQ(object["max_allowed_relative_rotation_sls"].dump(), "300");
    EXPECT_EQ(object["trajectory_begin_end_interval"].dump(), "[0.0,-10.0,0.5]");
    EXPECT_EQ(object["net_bearing_capacity"].dump(), "0");
    EXPECT_TRUE(object["cpt_test_level"].is_null());
    EXPECT_EQ(object["overrule_excess_pore_pressure"], true);
    EXPECT_EQ(object["use_pile_group"], true);
}

TEST(CalculationOptions, GivenValuesAreWrittenUnchanged)
{
    const dfo::BearingPilesCalculationOptions bearing(
        CalculationType::DESIGN_CALCULATION, true,
        {.max_allowed_settlement_str_geo = 80, .max_allowed_settlement_sls = 90,
         .max_allowed_relative_rotation_str_geo = 110, .max_allowed_relative_rotation_sls = 250, .xi3 = 1.39,
         .gamma_b = 1.2, .area = 0.0, .use_almere_rules = true,
         .trajectory_begin_end_interval = Trajectory{1.5, -20.0, 0.25}, .net_bearing_capacity = 1500,
         .cpt_test_level = 0.0});
    const auto b = bearing._serialize();
    EXPECT_EQ(b["main_calculation_type"], 1);
    EXPECT_EQ(b["max_allowed_settlement_str_geo"].dump(), "80");
    EXPECT_EQ(b["max_allowed_relative_rotation_str_geo"].dump(), "110");
    EXPECT_EQ(b["max_allowed_settlement_sls"].dump(), "90");
    EXPECT_EQ(b["max_allowed_relative_rotation_sls"].dump(), "250");
    EXPECT_EQ(b["xi3"].dump(), "1.39");
    EXPECT_EQ(b["gamma_b"].dump(), "1.2");
    EXPECT_EQ(b["area"].dump(), "0.0");
    EXPECT_EQ(b["use_almere_rules"], true);
    EXPECT_EQ(b["trajectory_begin_end_interval"].dump(), "[1.5,-20.0,0.25]");
    EXPECT_EQ(b["net_bearing_capacity"].dump(), "1500");
    EXPECT_EQ(b["cpt_test_level"].dump(), "0.0");

    const dfo::TensionPilesCalculationOptions tension(CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, false,
                                                      {.unit_weight_water = 10.0, .surcharge = 2.5,
                                                       .gamma_m_var_qc = 1.1, .use_compaction = true,
                                                       .overrule_excess_pore_pressure = false});
    const auto t = tension._serialize();
    EXPECT_EQ(t["unit_weight_water"].dump(), "10.0");
    EXPECT_EQ(t["surcharge"].dump(), "2.5");
    EXPECT_EQ(t["gamma_m_var_qc"].dump(), "1.1");
    EXPECT_EQ(t["use_compaction"], true);
    EXPECT_EQ(t["overrule_excess_pore_pressure"], false);
}

TEST(CalculationOptions, MainCalculationTypeFollowsTheCalculationType)
{
    using dfo::detail::MainCalculationType;
    const dfo::detail::CalculationSettings complete = {.trajectory_begin_end_interval = Trajectory{0.0, -1.0, 0.5},
                                                       .net_bearing_capacity = 1, .cpt_test_level = -1.0};
    const std::vector<std::pair<CalculationType, MainCalculationType>> cases = {
        {CalculationType::DESIGN_CALCULATION, MainCalculationType::VERIFICATION},
        {CalculationType::COMPLETE_CALCULATION, MainCalculationType::VERIFICATION},
        {CalculationType::INDICATION_BEARING_CAPACITY, MainCalculationType::PRELIMINARY_DESIGN},
        {CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, MainCalculationType::PRELIMINARY_DESIGN},
        {CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, MainCalculationType::PRELIMINARY_DESIGN},
    };
    for (const auto& [type, main] : cases) {
        const dfo::detail::CalculationOptions options(type, false, complete);
        EXPECT_EQ(options.calculation_type(), type);
        EXPECT_EQ(options._main_calculation_type(), main) << short_text(type);
    }
}

TEST(CalculationOptions, RulesRunInOrderAndReportTheFirstViolation)
{
    struct Case {
        CalculationType type;
        dfo::BearingPilesCalculationSettings settings;
        std::string message;
    };
    const std::string iterations =
        "The number of iterations to be performed with the given trajectory is too large (max. 151). Please "
        "increase the interval";
    const Trajectory fine{0.0, -15.0, 0.1};
    const std::vector<Case> cases = {
        {CalculationType::DESIGN_CALCULATION, {},
         "'trajectory_begin_end_interval' must be set for calculation type CalculationType.DESIGN_CALCULATION"},
        {CalculationType::DESIGN_CALCULATION, {.trajectory_begin_end_interval = fine},
         "'cpt_test_level' must be set for calculation type CalculationType.DESIGN_CALCULATION"},
        {CalculationType::DESIGN_CALCULATION, {.trajectory_begin_end_interval = fine, .cpt_test_level = 0.0}, ""},
        {CalculationType::COMPLETE_CALCULATION, {},
         "'cpt_test_level' must be set for calculation type CalculationType.COMPLETE_CALCULATION"},
        {CalculationType::INDICATION_BEARING_CAPACITY, {},
         "'trajectory_begin_end_interval' must be set for calculation type "
         "CalculationType.INDICATION_BEARING_CAPACITY"},
        {CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, {}, ""},
        {CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, {},
         "'trajectory_begin_end_interval' must be set for calculation type "
         "CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY"},
        {CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, {.trajectory_begin_end_interval = fine},
         "'net_bearing_capacity' must be set for calculation type "
         "CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY"},
        {CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY,
         {.trajectory_begin_end_interval = fine, .net_bearing_capacity = 0}, ""},
        // The iteration count: exactly 150 passes, anything above fails, before the later rules.
        {CalculationType::INDICATION_BEARING_CAPACITY, {.trajectory_begin_end_interval = fine}, ""},
        {CalculationType::INDICATION_BEARING_CAPACITY,
         {.trajectory_begin_end_interval = Trajectory{0.0, -15.1, 0.1}}, iterations},
        {CalculationType::DESIGN_CALCULATION, {.trajectory_begin_end_interval = Trajectory{-15.0, 0.0, 0.1}},
         "'cpt_test_level' must be set for calculation type CalculationType.DESIGN_CALCULATION"},
        {CalculationType::DESIGN_CALCULATION, {.trajectory_begin_end_interval = Trajectory{0.0, -15.1, 0.1}},
         iterations},
        {CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL,
         {.trajectory_begin_end_interval = Trajectory{10.0, -200.0, 1.0}}, iterations},
        // A negative interval passes the iteration rule, however long the trajectory.
        {CalculationType::INDICATION_BEARING_CAPACITY,
         {.trajectory_begin_end_interval = Trajectory{0.0, -200.0, -0.1}}, ""},
    };
    for (const Case& c : cases) {
        const std::string message =
            model_error([&] { dfo::BearingPilesCalculationOptions options(c.type, false, c.settings); });
        EXPECT_EQ(message, c.message.empty() ? "<no ModelError>" : c.message) << short_text(c.type);
    }
}

TEST(CalculationOptions, ZeroIntervalIsADivisionByZero)
{
    const dfo::BearingPilesCalculationSettings settings = {.trajectory_begin_end_interval = Trajectory{0.0, -1.0, 0.0}};
    EXPECT_THROW(dfo::BearingPilesCalculationOptions(CalculationType::INDICATION_BEARING_CAPACITY, false, settings),
                 std::domain_error);
    EXPECT_THROW(dfo::TensionPilesCalculationOptions(CalculationType::INDICATION_BEARING_CAPACITY, false,
                                                     {.trajectory_begin_end_interval = Trajectory{0.0, 0.0, 0.0}}),
                 std::domain_error);
}

TEST(CalculationOptions, TensionRefusesVerificationTypesBeforeAnyOtherRule)
{
    const std::string valid = "(<CalculationType.INDICATION_BEARING_CAPACITY: 2>, "
                              "<CalculationType.BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL: 3>, "
                              "<CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY: 4>)";
    const std::vector<std::pair<CalculationType, std::string>> cases = {
        {CalculationType::COMPLETE_CALCULATION,
         "Calculation type for Tension Piles (EC7-NL) model must be one of " + valid +
             " (current: CalculationType.COMPLETE_CALCULATION)"},
        {CalculationType::DESIGN_CALCULATION,
         "Calculation type for Tension Piles (EC7-NL) model must be one of " + valid +
             " (current: CalculationType.DESIGN_CALCULATION)"},
        {CalculationType::INDICATION_BEARING_CAPACITY,
         "'trajectory_begin_end_interval' must be set for calculation type "
         "CalculationType.INDICATION_BEARING_CAPACITY"},
        {CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, "<no ModelError>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model_error([&] { dfo::TensionPilesCalculationOptions options(c.first, false); }), c.second);
    }
}

// --- Materials -------------------------------------------------------------------------------

TEST(Material, DefaultsSerializeInTheirFixedKeyOrder)
{
    const dfo::detail::Material material(dfo::SoilType::SAND, 18.0, 20.0);
    EXPECT_EQ(material.color(), ostrand::core::Color::white());
    EXPECT_EQ(material.serialize().dump(),
              R"({"color":16777215,"soil_type":1,"gam_dry":18.0,"gam_wet":20.0,"e0":0.001001,"diameter_d50":0.2,)"
              R"("min_void_ratio":0.4,"max_void_ratio":0.8,"cohesion":0.0,"phi":20.0,"cu":0.0,)"
              R"("max_cone_resist_type":0,"max_cone_resist":0.0,"use_tension":true,"ca":1.0,"cc":1.0})");
}

TEST(Material, GivenValuesAreWrittenUnchanged)
{
    const dfo::detail::Material material(
        dfo::SoilType::PEAT, 10.5, 11.0,
        {.color = ostrand::core::Color::from_deltares(3418799), .e0 = 0.5, .diameter_d50 = 0.3, .min_void_ratio = 0.1,
         .max_void_ratio = 0.9, .cohesion = 2.0, .phi = 15.0, .cu = 30.0,
         .max_cone_resist_type = dfo::MaxConeResistType::MANUAL, .max_cone_resist = 12.0, .use_tension = false,
         .ca = 0.0115, .cc = 0.2302});
    EXPECT_EQ(material.serialize().dump(),
              R"({"color":3418799,"soil_type":4,"gam_dry":10.5,"gam_wet":11.0,"e0":0.5,"diameter_d50":0.3,)"
              R"("min_void_ratio":0.1,"max_void_ratio":0.9,"cohesion":2.0,"phi":15.0,"cu":30.0,)"
              R"("max_cone_resist_type":1,"max_cone_resist":12.0,"use_tension":false,"ca":0.0115,"cc":0.2302})");
}

namespace {

struct TableRow {
    std::string name, soil_type, colour, set;
    std::vector<std::string> values;  // gam_dry, gam_wet, phi, cohesion, cu, cc, ca, e0
};

// tests/data/default_materials.csv: one line per material and set, the name quoted.
std::vector<TableRow> read_default_material_table()
{
    std::ifstream file(std::string(DFOUNDATIONS_TEST_DATA_DIR) + "/default_materials.csv");
    std::vector<TableRow> rows;
    std::string line;
    std::getline(file, line);  // header
    while (std::getline(file, line)) {
        const std::size_t close = line.find('"', 1);
        TableRow row;
        row.name = line.substr(1, close - 1);
        std::stringstream rest(line.substr(close + 2));
        std::string field;
        std::vector<std::string> fields;
        while (std::getline(rest, field, ',')) fields.push_back(field);
        row.soil_type = fields.at(0);
        row.colour = fields.at(1);
        row.set = fields.at(2);
        row.values.assign(fields.begin() + 3, fields.end());
        rows.push_back(row);
    }
    return rows;
}

void expect_matches_table(const std::vector<dfo::detail::MaterialRow>& materials, const std::string& set)
{
    std::vector<TableRow> table;
    for (TableRow& row : read_default_material_table()) {
        if (row.set == set) table.push_back(row);
    }
    ASSERT_EQ(table.size(), 56u);
    ASSERT_EQ(materials.size(), 56u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& m = materials[i];
        const auto& t = table[i];
        SCOPED_TRACE(set + " row " + std::to_string(i + 1) + ": " + t.name);
        EXPECT_EQ(m.name, t.name);
        EXPECT_EQ(short_text(m.soil_type), "SoilType." + t.soil_type);
        EXPECT_EQ(m.color.deltares(), std::stoll(t.colour));
        const std::vector<double> values = {m.gam_dry, m.gam_wet, m.phi, m.cohesion, m.cu, m.cc, m.ca, m.e0};
        ASSERT_EQ(t.values.size(), values.size());
        for (std::size_t column = 0; column < values.size(); ++column) {
            EXPECT_EQ(values[column], std::strtod(t.values[column].c_str(), nullptr)) << "column " << column;
        }
    }
}

}  // namespace

TEST(DefaultMaterials, BearingSetMatchesTheTableRowByRow)
{
    expect_matches_table(dfo::detail::bearing_default_materials(), "bearing");
}

TEST(DefaultMaterials, TensionSetMatchesTheTableRowByRow)
{
    expect_matches_table(dfo::detail::tension_default_materials(), "tension");
}

TEST(DefaultMaterials, NamesAreSortedAndFitTheMaterialNameLimit)
{
    const auto rows = dfo::detail::bearing_default_materials();
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1].name, rows[i].name);
    for (const auto& row : rows) EXPECT_LE(row.name.size(), 25u) << row.name;
}

TEST(DefaultMaterials, RowBecomesAMaterialWithTheOtherFieldsDefaulted)
{
    const auto rows = dfo::detail::bearing_default_materials();
    const auto loose_sand = std::find_if(rows.begin(), rows.end(), [](const auto& row) {
        return row.name == "BSand, clean, loose";
    });
    ASSERT_NE(loose_sand, rows.end());
    EXPECT_EQ(loose_sand->material().serialize().dump(),
              R"({"color":1368569,"soil_type":1,"gam_dry":17.0,"gam_wet":19.0,"e0":0.256082,"diameter_d50":0.2,)"
              R"("min_void_ratio":0.4,"max_void_ratio":0.8,"cohesion":0.0,"phi":30.0,"cu":0.0,)"
              R"("max_cone_resist_type":0,"max_cone_resist":0.0,"use_tension":true,"ca":1.0,"cc":1.0})");
}

// --- CPT, layers and profiles ------------------------------------------------------------------

TEST(CPT, DefaultsSerializeInTheirFixedKeyOrder)
{
    const dfo::detail::CPT cpt({{0.0, 1.5}, {-0.5, 2.25}}, 0.3, false);
    EXPECT_EQ(cpt.serialize().dump(),
              R"({"measurements":[[0.0,1.5],[-0.5,2.25]],"ground_level":0.3,"rule":0,"min_layer_thickness":0.1,)"
              R"("imported":false,"project_name":"Unknown","project_id":"","client_name":"Unknown",)"
              R"("file_date":"1900-01-01","gef_version":"Unknown","x":987000000.0,"y":987000000.0,)"
              R"("excavation_depth":0.0})");
}

TEST(CPT, GivenValuesAreWrittenUnchangedAndTheTimeOfDayDropped)
{
    using namespace std::chrono;
    const local_seconds file_date = local_days{year{2021} / July / 9} + hours{23} + minutes{59};
    const dfo::detail::CPT cpt({}, -1.0, true,
                               {.rule = dfo::CPTRule::NEN_STRESS, .min_layer_thickness = 0.2, .project_name = "P",
                                .project_id = "42", .client_name = "C", .file_date = file_date,
                                .gef_version = "1.1.0", .x = 100.0, .y = 200.5, .excavation_depth = 1.5});
    EXPECT_EQ(cpt.serialize().dump(),
              R"({"measurements":[],"ground_level":-1.0,"rule":0,"min_layer_thickness":0.2,"imported":true,)"
              R"("project_name":"P","project_id":"42","client_name":"C","file_date":"2021-07-09",)"
              R"("gef_version":"1.1.0","x":100.0,"y":200.5,"excavation_depth":1.5})");
    EXPECT_EQ(dfo::detail::CPT({}, 0.0, false, {.rule = dfo::CPTRule::QC_ONLY}).serialize()["rule"], 3);
}

TEST(CPT, HoldsAtMost5000Rows)
{
    const dfo::Measurements rows(5000, std::vector<double>{0.0, 1.0});
    EXPECT_EQ(dfo::detail::CPT(rows, 0.0, false).measurements().size(), 5000u);
    dfo::Measurements too_many = rows;
    too_many.push_back({0.0, 1.0});
    EXPECT_EQ(model_error([&] { dfo::detail::CPT cpt(too_many, 0.0, false); }),
              "Maximum number of rows in measurement data is 5000 (5001)");
}

TEST(ProfileLayer, DefaultsAndPositionalArgumentsSerialize)
{
    EXPECT_EQ(dfo::ProfileLayer(-1.5, "BSand, clean, loose")._serialize().dump(),
              R"({"top_level":-1.5,"material":"BSand, clean, loose","ad_pore_pressure_at_top":0.0,)"
              R"("ad_pore_pressure_at_bottom":0.0,"ocr":1.0})");
    EXPECT_EQ(dfo::ProfileLayer(0.0, "Clay", 1.0, 2.0, 3.0)._serialize().dump(),
              dfo::ProfileLayer(0.0, "Clay", {.ad_pore_pressure_at_top = 1.0, .ad_pore_pressure_at_bottom = 2.0,
                                              .ocr = 3.0})
                  ._serialize()
                  .dump());
    const dfo::ProfileLayer named(0.0, "Clay", {.ocr = 2.5});
    EXPECT_EQ(named.material(), "Clay");
    EXPECT_EQ(named.ocr(), 2.5);
    EXPECT_EQ(named.ad_pore_pressure_at_top(), 0.0);
}

TEST(Profile, AbsentFieldsGetTheirSubstitutesOnlyWhenSerialized)
{
    const dfo::detail::CPT cpt({{0.0, 1.0}}, 0.0, false);
    const dfo::detail::Profile profile(cpt, {dfo::ProfileLayer(0.0, "A"), dfo::ProfileLayer(-2.0, "B")}, 1.0, 2.0,
                                       -0.5);
    EXPECT_FALSE(profile.options().pile_tip_level.has_value());
    const std::string cpt_text = cpt.serialize().dump();
    EXPECT_EQ(profile.serialize("P1").dump(),
              R"({"name":"P1","cpt":)" + cpt_text +
                  R"(,"layers":[)" + dfo::ProfileLayer(0.0, "A")._serialize().dump() + "," +
                  dfo::ProfileLayer(-2.0, "B")._serialize().dump() +
                  R"(],"x":1.0,"y":2.0,"phreatic_level":-0.5,"pile_tip_level":0.0,"overconsolidation_ratio":1.0,)"
                  R"("top_positive_skin_friction":0.0,"bottom_negative_skin_friction":0.0,)"
                  R"("expected_ground_level_settlement":0.11,"top_tension_zone":0.0})");
}

TEST(Profile, GivenZerosStayZeros)
{
    const dfo::detail::Profile profile(dfo::detail::CPT({}, 0.0, false), {}, 0.0, 0.0, 0.0,
                                       {.pile_tip_level = -12.5, .overconsolidation_ratio = 0.0,
                                        .top_positive_skin_friction = -1.0, .bottom_negative_skin_friction = -3.0,
                                        .expected_ground_level_settlement = 0.0, .top_tension_zone = -2.0});
    const auto object = profile.serialize("P");
    EXPECT_EQ(object["pile_tip_level"].dump(), "-12.5");
    EXPECT_EQ(object["overconsolidation_ratio"].dump(), "0.0");
    EXPECT_EQ(object["top_positive_skin_friction"].dump(), "-1.0");
    EXPECT_EQ(object["bottom_negative_skin_friction"].dump(), "-3.0");
    EXPECT_EQ(object["expected_ground_level_settlement"].dump(), "0.0");
    EXPECT_EQ(object["top_tension_zone"].dump(), "-2.0");
    EXPECT_EQ(object["layers"].dump(), "[]");
}

TEST(Profile, HoldsAtMost100Layers)
{
    const std::vector<dfo::ProfileLayer> layers(100, dfo::ProfileLayer(0.0, "A"));
    const dfo::detail::CPT cpt({}, 0.0, false);
    EXPECT_EQ(dfo::detail::Profile(cpt, layers, 0.0, 0.0, 0.0).layers().size(), 100u);
    std::vector<dfo::ProfileLayer> too_many = layers;
    too_many.emplace_back(-1.0, "B");
    EXPECT_EQ(model_error([&] { dfo::detail::Profile profile(cpt, too_many, 0.0, 0.0, 0.0); }),
              "Maximum number of layers in profile is 100 (101)");
}

// --- Piles -------------------------------------------------------------------------------------

TEST(Pile, DefaultsSerializeInTheirFixedKeyOrder)
{
    EXPECT_EQ(dfo::detail::Pile(1.0, -2.5).serialize("P1").dump(),
              R"({"name":"P1","x":1.0,"y":-2.5,"pile_head_level":0.0,"surcharge":0.0,"limit_state_str_geo":0.0,)"
              R"("serviceability_limit_state":0.0,"load_max_min":null})");
    EXPECT_EQ(dfo::detail::Pile(0.0, 0.0,
                                {.pile_head_level = -0.5, .surcharge = 1.0, .limit_state_str_geo = 800.0,
                                 .serviceability_limit_state = 600.0, .load_max_min = std::pair{250.0, -50.0}})
                  .serialize("P2")
                  .dump(),
              R"({"name":"P2","x":0.0,"y":0.0,"pile_head_level":-0.5,"surcharge":1.0,"limit_state_str_geo":800.0,)"
              R"("serviceability_limit_state":600.0,"load_max_min":[250.0,-50.0]})");
}
// clang-format on
