// The model collections, their rules and limits, and the public operations of both model kinds.
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_test_support.hpp"

using namespace model_test;
using ostrand::errors::ModelError;

namespace {

std::string repeated(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace

TEST(ModelCreation, RegistersTheStandardMaterialsOfEachKindUnlessAskedNotTo)
{
    const BearingPilesModel bearing = bearing_model();
    const TensionPilesModel tension = tension_model();
    ASSERT_EQ(bearing.materials().size(), 56u);
    ASSERT_EQ(tension.materials().size(), 56u);
    EXPECT_EQ(bearing.materials().begin().key(), detail::bearing_default_materials().front().name);
    EXPECT_EQ(tension.materials().begin().key(), detail::tension_default_materials().front().name);
    // The longest standard name has 25 characters: the length rule lets it through.
    std::size_t longest = 0;
    for (const auto& row : detail::bearing_default_materials()) longest = std::max(longest, row.name.size());
    EXPECT_EQ(longest, 25u);

    EXPECT_TRUE(bearing_model({.create_default_materials = false}).materials().empty());
    EXPECT_TRUE(tension_model({.create_default_materials = false}).materials().empty());
}

TEST(ModelCreation, DerivesTheConeResistanceReductionFromTheValue)
{
    EXPECT_EQ(bearing_model()._cone_resistance_reduction_type(), detail::ReductionConeResistance::SAFE);
    EXPECT_EQ(bearing_model({.reduction_cone_resistance = 5})._cone_resistance_reduction_type(),
              detail::ReductionConeResistance::BEGEMANN);
    EXPECT_EQ(tension_model({.reduction_cone_resistance = 5.0})._cone_resistance_reduction_type(),
              detail::ReductionConeResistance::BEGEMANN);
}

TEST(MaterialRules, RejectDuplicatesBeforeLengthsAndCountCodePoints)
{
    BearingPilesModel model = bearing_model();
    const std::string standard = detail::bearing_default_materials().front().name;
    const auto create = [&](const std::string& name) {
        return [&model, name] { model.create_material(name, SoilType::SAND, 17.0, 19.0, 30.0); };
    };
    expect_rejected<ModelError>(model, create(standard), "Material with name '" + standard + "' already exists");

    create(std::string(25, 'm'))();
    create(repeated("\xC3\xA9", 25))();  // 25 characters in 50 bytes
    expect_rejected<ModelError>(model, create(std::string(26, 'm')), "Name of material can be max. 25 characters long");
    expect_rejected<ModelError>(model, create(repeated("\xC3\xA9", 26)),
                                "Name of material can be max. 25 characters long");
}

TEST(ProfileRules, EveryLayerMustNameARegisteredMaterial)
{
    BearingPilesModel model = bearing_model({.create_default_materials = false});
    model.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    const auto create = [&](const std::string& name, const std::vector<std::string>& materials) {
        return [&model, name, materials] {
            model.create_profile(name, layers(materials), 0.0, 0.0, rows(), -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
        };
    };
    expect_rejected<ModelError>(model, create("P1", {"Clay"}), "Material with name 'Clay' does not exist (layer 1).");
    expect_rejected<ModelError>(model, create("P1", {"Sand", "Peat", "Clay"}),
                                "Material with name 'Peat' does not exist (layer 2).");
    create("P1", {"Sand", "Sand"})();
    expect_rejected<ModelError>(model, create("P1", {"Sand"}), "Profile with name 'P1' already exists");
    ASSERT_EQ(model.profiles().size(), 1u);
}

TEST(ProfileRules, At350ProfilesTheCountIsCheckedFirst)
{
    TensionPilesModel model = tension_model();
    const std::string material = detail::tension_default_materials().front().name;
    for (int i = 1; i <= 350; ++i) {
        model.create_profile("P" + std::to_string(i), layers({material}), 0.0, 0.0, rows(), -1.0, -20.0, -2.0);
    }
    ASSERT_EQ(model.profiles().size(), 350u);
    const auto create = [&](const std::string& name) {
        return [&model, &material, name] {
            model.create_profile(name, layers({material}), 0.0, 0.0, rows(), -1.0, -20.0, -2.0);
        };
    };
    expect_rejected<ModelError>(model, create("P351"), "Maximum number of profiles is 350 (currently: 350)");
    expect_rejected<ModelError>(model, create("P1"), "Maximum number of profiles is 350 (currently: 350)");
}

TEST(ProfileRules, MeasurementsAndComponentErrorsLeaveTheModelUnchanged)
{
    BearingPilesModel model = bearing_model();
    const std::string material = detail::bearing_default_materials().front().name;
    const auto create = [&](Measurements measurements, std::vector<ProfileLayer> profile_layers) {
        return [&model, measurements, profile_layers] {
            model.create_profile("P", profile_layers, 0.0, 0.0, measurements, -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
        };
    };
    const Snapshot before = snapshot(model);
    expect_rejected<std::out_of_range>(
        model, create({}, layers({material})),
        "Profile 'P' has no measurement rows: a CPT needs at least 1 row, starting with its level");
    expect_rejected<std::out_of_range>(
        model, create({{}}, layers({material})),
        "The first measurement row of profile 'P' is empty: every row starts with its level");
    EXPECT_TRUE(snapshot(model) == before);
    expect_rejected<ModelError>(model, create(Measurements(5001, {0.0, 1.0}), layers({material})),
                                "Maximum number of rows in measurement data is 5000 (5001)");
    expect_rejected<ModelError>(model, create(rows(), std::vector<ProfileLayer>(101, ProfileLayer(0.0, material))),
                                "Maximum number of layers in profile is 100 (101)");
}

TEST(ProfileCreation, TakesTheGroundLevelFromTheFirstRowAndKeepsTheRowsAsGiven)
{
    TensionPilesModel model = tension_model();
    const std::string material = detail::tension_default_materials().front().name;
    const Measurements measurements{{-1.0, 2.0}, {3.0, 4.0, 5.0}};
    model.create_profile("P", layers({material}), 7.0, 8.0, measurements, -1.0, -20.0, -2.0,
                         {.cpt_rule = CPTRule::CUR, .min_layer_thickness = 0.2});
    const json profile = model.profiles().at(0);
    const json& cpt = profile["cpt"];
    EXPECT_EQ(cpt["measurements"], json::parse("[[-1.0, 2.0], [3.0, 4.0, 5.0]]"));
    EXPECT_EQ(cpt["ground_level"], -1.0);
    EXPECT_EQ(cpt["rule"], 1);
    EXPECT_EQ(cpt["min_layer_thickness"], 0.2);
    EXPECT_EQ(cpt["imported"], false);
    EXPECT_EQ(cpt["x"], 987000000.0);
    EXPECT_EQ(profile["x"], 7.0);
    EXPECT_EQ(profile["top_tension_zone"], -2.0);
    // The bearing-only values keep the profile defaults in a tension model.
    EXPECT_EQ(profile["overconsolidation_ratio"], 1.0);
    EXPECT_EQ(profile["expected_ground_level_settlement"], 0.11);
}

TEST(PileRules, DuplicatesFirstThenNameLengthThenCount)
{
    BearingPilesModel model = bearing_model();
    const auto create = [&](const std::string& name) {
        return [&model, name] { model.create_pile(name, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0); };
    };
    create(std::string(10, 'p'))();
    expect_rejected<ModelError>(model, create(std::string(10, 'p')), "Pile with name 'pppppppppp' already exists");
    expect_rejected<ModelError>(model, create(std::string(11, 'q')), "Name of pile can be max. 10 characters long");
    create(repeated("\xE2\x82\xAC", 10))();  // ten euro signs
    for (int i = 3; i <= 200; ++i) create("A" + std::to_string(i))();
    ASSERT_EQ(model.piles().size(), 200u);
    expect_rejected<ModelError>(model, create("B1"), "Maximum number of piles reached (200)");
    expect_rejected<ModelError>(model, create(std::string(10, 'p')), "Pile with name 'pppppppppp' already exists");
}

TEST(PileTypeRules, AVerificationCalculationTakesOnePileType)
{
    for (CalculationType type : {CalculationType::DESIGN_CALCULATION, CalculationType::COMPLETE_CALCULATION}) {
        BearingPilesModel model = bearing_model({}, type);
        const auto create = [&](const std::string& name) {
            return [&model, name] {
                model.create_pile_type(name, RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
            };
        };
        create("PT")();
        const std::string message =
            "Cannot create more than 1 pile type in combination with calculation of type 'Verification'";
        expect_rejected<ModelError>(model, create("PT2"), message);
        expect_rejected<ModelError>(model, create("PT"), message);
    }
    for (CalculationType type :
         {CalculationType::INDICATION_BEARING_CAPACITY, CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL,
          CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY}) {
        BearingPilesModel model = BearingPilesModel(
            ConstructionSequence::CPT_EXCAVATION_INSTALL,
            BearingPilesCalculationOptions(
                type, false,
                {.trajectory_begin_end_interval = Trajectory{-10.0, -20.0, 0.5}, .net_bearing_capacity = 1000}),
            -1.0);
        for (const char* name : {"PT1", "PT2", "PT3"}) {
            model.create_pile_type(name, RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
        }
        EXPECT_EQ(model.pile_types().size(), 3u);
        expect_rejected<ModelError>(
            model,
            [&] { model.create_pile_type("PT1", RoundPile(0.4), PileType::BORED_DRILLING, PileSlipLayer::NONE); },
            "Pile type with name 'PT1' already exists");
    }
}

TEST(PileTypeRules, ConfigurationErrorsPassThroughAndRegisterNothing)
{
    BearingPilesModel bearing = bearing_model();
    expect_rejected<ModelError>(
        bearing, [&] { bearing.create_pile_type("PT", UserPile(1.0, 0.1), PileType::STEEL, PileSlipLayer::NONE); },
        "Shape 'UserPile' is not a valid option for Bearing Piles (EC7-NL) model");
    TensionPilesModel tension = tension_model();
    expect_rejected<ModelError>(
        tension,
        [&] {
            tension.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER,
                                     PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::USER_DEFINED);
        },
        "'unit_weight_material/e_modulus_material' must be set if 'material' is PileMaterial.USER_DEFINED");
}

TEST(BearingOperations, BuildTheirComponentsFromTheArguments)
{
    BearingPilesModel model = bearing_model({.create_default_materials = false});
    model.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    model.create_material("Clay", SoilType::CLAY, 15.0, 16.0, 20.0,
                          {.diameter_d50 = 0.3, .color = ostrand::core::Color(1, 2, 3)});
    const json sand = model.materials()["Sand"];
    EXPECT_EQ(sand["soil_type"], 1);
    EXPECT_EQ(sand["gam_dry"], 17.0);
    EXPECT_EQ(sand["gam_wet"], 19.0);
    EXPECT_EQ(sand["phi"], 30.0);
    EXPECT_EQ(sand["diameter_d50"], 0.2);
    EXPECT_EQ(sand["color"], ostrand::core::Color::white().deltares());
    EXPECT_EQ(model.materials()["Clay"]["diameter_d50"], 0.3);
    EXPECT_EQ(model.materials()["Clay"]["color"], 1 + 2 * 256 + 3 * 65536);

    model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE,
                           {.material = PileMaterial::USER_DEFINED, .e_modulus = 30000.0, .use_pre_2016 = true});
    const json config = model.pile_types().at(0)["config"];
    EXPECT_EQ(config["material_property"], 30000.0);
    EXPECT_EQ(config["use_pre_2016"], true);
    EXPECT_EQ(model.pile_types().at(0)["name"], "PT");

    model.create_pile("A1", 1.0, 2.0, -0.5, 3.0, 500.0, 400.0);
    EXPECT_EQ(model.piles().at(0), json::parse(R"({"name": "A1", "x": 1.0, "y": 2.0, "pile_head_level": -0.5,
        "surcharge": 3.0, "limit_state_str_geo": 500.0, "serviceability_limit_state": 400.0, "load_max_min": null})"));
}

TEST(TensionOperations, BuildTheirComponentsFromTheArguments)
{
    TensionPilesModel model = tension_model({.create_default_materials = false});
    model.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    model.create_material("Clay", SoilType::CLAY, 15.0, 16.0, 20.0,
                          {.max_cone_resist_type = MaxConeResistType::MANUAL,
                           .max_cone_resist = 12.0,
                           .apply_tension = false,
                           .min_void_ratio = 0.5,
                           .max_void_ratio = 0.9});
    const json sand = model.materials()["Sand"];
    EXPECT_EQ(sand["diameter_d50"], 0.2);
    EXPECT_EQ(sand["max_cone_resist_type"], 0);
    EXPECT_EQ(sand["max_cone_resist"], 0.0);
    EXPECT_EQ(sand["use_tension"], true);
    EXPECT_EQ(sand["min_void_ratio"], 0.4);
    EXPECT_EQ(sand["max_void_ratio"], 0.8);
    EXPECT_EQ(sand["color"], ostrand::core::Color::white().deltares());
    const json clay = model.materials()["Clay"];
    EXPECT_EQ(clay["max_cone_resist_type"], 1);
    EXPECT_EQ(clay["max_cone_resist"], 12.0);
    EXPECT_EQ(clay["use_tension"], false);
    EXPECT_EQ(clay["min_void_ratio"], 0.5);
    EXPECT_EQ(clay["max_void_ratio"], 0.9);

    model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER,
                           PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::CONCRETE,
                           {.unit_weight_material = 25.0});
    model.create_pile_type("PT2", RoundPile(0.5), PileType::CONTINUOUS_FLIGHT_AUGER,
                           PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::CONCRETE);
    EXPECT_EQ(model.pile_types().at(0)["config"]["material_property"], 25.0);

    model.create_pile("A1", 1.0, 2.0, -0.5);
    model.create_pile("A2", 1.0, 2.0, -0.5, {.load_max_min = std::pair{100.0, -50.0}});
    EXPECT_EQ(model.piles().at(0), json::parse(R"({"name": "A1", "x": 1.0, "y": 2.0, "pile_head_level": -0.5,
        "surcharge": 0.0, "limit_state_str_geo": 0.0, "serviceability_limit_state": 0.0, "load_max_min": null})"));
    EXPECT_EQ(model.piles().at(1)["load_max_min"], json::parse("[100.0, -50.0]"));
}

TEST(DefaultMaterials, ARefusedRowLeavesNoneOfTheRowsBehind)
{
    class WithARepeatedLastRow : public BearingPilesModel {
    public:
        WithARepeatedLastRow()
            : BearingPilesModel(ConstructionSequence::CPT_EXCAVATION_INSTALL, bearing_options(), -1.0,
                                {.create_default_materials = false})
        {
        }
        std::vector<detail::MaterialRow> _default_materials() const override
        {
            auto rows = BearingPilesModel::_default_materials();
            rows.push_back(rows.front());
            return rows;
        }
    } model;
    model.create_material("Own", SoilType::SAND, 17.0, 19.0, 30.0);
    EXPECT_THROW(model._create_default_materials(), ModelError);
    EXPECT_EQ(model.materials().size(), 1u);
}

// An input file keeps each name on a line of its own; a name that breaks that line, or reads as a
// section header or a value line, is refused by every operation that takes a name.
TEST(NameRules, ANameMustStayOneLineOfTheInputFile)
{
    const struct {
        std::string name;
        std::string rule;
    } cases[] = {
        {"", " cannot be empty or blank"},
        {"   ", " cannot be empty or blank"},
        {"A\nB", " cannot hold a line break or another control character"},
        {"A\rB", " cannot hold a line break or another control character"},
        {"A\tB", " cannot hold a line break or another control character"},
        {"A\xE2\x80\xA8"
         "B",
         " cannot hold a line break or another control character"},
        {"[PROFILES]", " cannot start with '[', which begins a section of the input file ('[PROFILES]')"},
        {" [END OF INPUT DATA]",
         " cannot start with '[', which begins a section of the input file (' [END OF INPUT DATA]')"},
        {"1 : Material = Steel", " cannot start with a number followed by ':' or '=', which makes a value line of "
                                 "the input file ('1 : Material = Steel')"},
        {"  -3.5= x", " cannot start with a number followed by ':' or '=', which makes a value line of the input "
                      "file ('  -3.5= x')"},
    };
    const std::string material = detail::bearing_default_materials().front().name;
    for (const auto& c : cases) {
        BearingPilesModel model = bearing_model();
        const std::pair<std::string, std::function<void()>> operations[] = {
            {"material", [&] { model.create_material(c.name, SoilType::SAND, 17.0, 19.0, 30.0); }},
            {"profile",
             [&] {
                 model.create_profile(c.name, layers({material}), 0.0, 0.0, rows(), -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
             }},
            {"pile type",
             [&] {
                 model.create_pile_type(c.name, RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
             }},
            {"pile", [&] { model.create_pile(c.name, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0); }},
        };
        for (const auto& [member, operation] : operations)
            expect_rejected<ModelError>(model, operation, "Name of " + member + c.rule);
    }
    // Names as real files have them stay allowed.
    BearingPilesModel model = bearing_model();
    model.create_material("Sand D50 = 0.599", SoilType::SAND, 17.0, 19.0, 30.0);
    model.create_profile("CPT 1", layers({material}), 0.0, 0.0, rows(), -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
    model.create_pile_type("Rect 300x500 prefab", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER,
                           PileSlipLayer::NONE);
    model.create_pile("1", 0.0, 0.0, 0.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(model.piles().size(), 1u);
}
