#include <functional>
#include <memory>
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
using dfo::PileMaterial;
using dfo::PileSlipLayer;
using dfo::PileType;
using dfo::PileTypeClayLoamPeat;
using dfo::detail::BearingPileTypeConfig;
using dfo::detail::BearingPileTypeConfigOptions;
using dfo::detail::ShapeClass;
using dfo::detail::TensionPileTypeConfig;

namespace {

const std::string USER_DEFINED_THREE = "(<PileType.USER_DEFINED_VIBRATING: 25>, "
                                       "<PileType.USER_DEFINED_LOW_VIBRATING: 26>, <PileType.USER_DEFINED: 27>)";
const std::string USER_DEFINED_TWO =
    "(<PileType.USER_DEFINED_VIBRATING: 25>, <PileType.USER_DEFINED_LOW_VIBRATING: 26>)";

// Everything a user-defined vibration pile type needs.
BearingPileTypeConfigOptions complete_vibration_options()
{
    return {.type_sand_gravel = PileType::PREFAB_CONCRETE,
            .type_clay_loam_peat = PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
            .type_p = PileType::PREFAB_CONCRETE,
            .load_settlement_curve = dfo::PileLoadSettlementCurve::TWO,
            .material = PileMaterial::CONCRETE};
}

const std::vector<ShapeClass> ALL_SHAPE_CLASSES = {
    ShapeClass::RoundPile,   ShapeClass::RectPile,     ShapeClass::RectEnlPile,    ShapeClass::SectionPile,
    ShapeClass::UserPile,    ShapeClass::TaperPile,    ShapeClass::HollowPile,     ShapeClass::HollowOpenPile,
    ShapeClass::LostTipPile, ShapeClass::RoundEnlPile, ShapeClass::DrivenBasePile, ShapeClass::HShapedPile,
};

}  // namespace

TEST(PileTypeConfig, BearingRulesRunInOrder)
{
    struct Case {
        PileType pile_type;
        PileSlipLayer slip_layer;
        BearingPileTypeConfigOptions options;
        std::string message;
    };
    auto without = [](void (*clear)(BearingPileTypeConfigOptions&)) {
        BearingPileTypeConfigOptions options = complete_vibration_options();
        clear(options);
        return options;
    };
    const std::vector<Case> cases = {
        // The shared rules come first.
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.type_sand_gravel = PileType::USER_DEFINED_VIBRATING},
         "'factor_sand_gravel' must be set if 'type_sand_gravel' is one of " + USER_DEFINED_THREE},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::USER_DEFINED_VIBRATING, .factor_sand_gravel = 5.0},
         "'PileType.USER_DEFINED_VIBRATING' is not a valid 'type_sand_gravel' option for Bearing Piles (EC7-NL) "
         "model"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::USER_DEFINED, .factor_sand_gravel = 9.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::USER_DEFINED, .factor_sand_gravel = 0.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::USER_DEFINED, .factor_sand_gravel = 9.5},
         "'factor_sand_gravel' must be between 0 and 9 (currently 9.5)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::USER_DEFINED_LOW_VIBRATING, .factor_sand_gravel = -0.5},
         "'factor_sand_gravel' must be between 0 and 9 (currently -0.5)"},
        // A factor for a type that is not user-defined is kept and not checked.
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_sand_gravel = PileType::STEEL, .factor_sand_gravel = 12.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_clay_loam_peat = PileTypeClayLoamPeat::USER_DEFINED},
         "'factor_clay_loam_peat' must be set if 'type_clay_loam_peat' is PileTypeClayLoamPeat.USER_DEFINED"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.type_clay_loam_peat = PileTypeClayLoamPeat::USER_DEFINED, .factor_clay_loam_peat = 12.0},
         "'factor_clay_loam_peat' must be between 0 and 9 (currently 12.0)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.material = PileMaterial::USER_DEFINED},
         "'unit_weight_material/e_modulus_material' must be set if 'material' is PileMaterial.USER_DEFINED"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.material = PileMaterial::USER_DEFINED, .e_modulus_material = 30000.0}, ""},
        // Then the bearing rules.
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.type_p = PileType::USER_DEFINED_LOW_VIBRATING},
         "'PileType.USER_DEFINED_LOW_VIBRATING' is not a valid 'type_p' option for Bearing Piles (EC7-NL) model"},
        {PileType::USER_DEFINED_VIBRATING, PileSlipLayer::NONE, complete_vibration_options(), ""},
        {PileType::USER_DEFINED_VIBRATING, PileSlipLayer::NONE, {},
         "'type_sand_gravel' must be set if 'pile_type' is one of " + USER_DEFINED_TWO},
        {PileType::USER_DEFINED_LOW_VIBRATING, PileSlipLayer::NONE,
         without([](BearingPileTypeConfigOptions& o) { o.type_clay_loam_peat.reset(); }),
         "'type_clay_loam_peat' must be set if 'pile_type' is one of " + USER_DEFINED_TWO},
        {PileType::USER_DEFINED_LOW_VIBRATING, PileSlipLayer::NONE, without([](BearingPileTypeConfigOptions& o) {
             o.material.reset();
             o.type_p.reset();
         }),
         "'material' must be set if 'pile_type' is one of " + USER_DEFINED_TWO},
        {PileType::USER_DEFINED_VIBRATING, PileSlipLayer::NONE, without([](BearingPileTypeConfigOptions& o) { o.type_p.reset(); }),
         "'type_p' must be set if 'pile_type' is one of " + USER_DEFINED_TWO},
        {PileType::USER_DEFINED_VIBRATING, PileSlipLayer::NONE,
         without([](BearingPileTypeConfigOptions& o) { o.load_settlement_curve.reset(); }),
         "'load_settlement_curve' must be set if 'pile_type' is one of " + USER_DEFINED_TWO},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.type_p = PileType::USER_DEFINED},
         "'factor_pile_class' must be set if 'type_p' is PileType.USER_DEFINED"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.type_p = PileType::USER_DEFINED, .factor_pile_class = 10.0},
         "'factor_pile_class' must be between 0 and 9 (currently 10.0)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::USER_DEFINED, {},
         "'slip_layer_adhesion' must be set if 'slip_layer' is PileSlipLayer.USER_DEFINED"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::USER_DEFINED, {.slip_layer_adhesion = -3.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.overrule_tip_section_factor = 10.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.overrule_tip_section_factor = 10.5},
         "'overrule_tip_section_factor' must be between 0 and 10 (currently 10.5)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.overrule_tip_shape_factor = 10.0}, ""},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
         {.overrule_tip_section_factor = -1.0, .overrule_tip_shape_factor = 10.5},
         "'overrule_tip_section_factor' must be between 0 and 10 (currently -1.0)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.overrule_tip_shape_factor = 10.5},
         "'overrule_tip_shape_factor' must be between 0 and 10 (currently 10.5)"},
        {PileType::PREFAB_CONCRETE, PileSlipLayer::NONE, {.qciii_reduction = -100.0}, ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string message =
            model_error([&] { BearingPileTypeConfig config(c.pile_type, c.slip_layer, c.options); });
        EXPECT_EQ(message, c.message.empty() ? "<no ModelError>" : c.message) << "case " << i;
    }
}

TEST(PileTypeConfig, TensionRunsOnlyTheSharedRules)
{
    EXPECT_EQ(model_error([] { TensionPileTypeConfig(PileType::USER_DEFINED_VIBRATING, std::nullopt, std::nullopt); }),
              "'factor_sand_gravel' must be set if 'type_sand_gravel' is one of " + USER_DEFINED_THREE);
    EXPECT_EQ(model_error([] {
                  TensionPileTypeConfig(PileType::STEEL, PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
                                        PileMaterial::WOOD, {.unit_weight_material = 99.0});
              }),
              "<no ModelError>");
    EXPECT_EQ(model_error([] {
                  TensionPileTypeConfig(PileType::STEEL, PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
                                        PileMaterial::USER_DEFINED);
              }),
              "'unit_weight_material/e_modulus_material' must be set if 'material' is PileMaterial.USER_DEFINED");
    EXPECT_EQ(model_error([] {
                  TensionPileTypeConfig(PileType::USER_DEFINED_VIBRATING, PileTypeClayLoamPeat::USER_DEFINED,
                                        PileMaterial::STEEL, {.factor_sand_gravel = 1.0, .factor_clay_loam_peat = 9.01});
              }),
              "'factor_clay_loam_peat' must be between 0 and 9 (currently 9.01)");
}

TEST(PileTypeConfig, ValidTypesAreLookedUpByTheExactShapeClass)
{
    struct Case {
        ShapeClass shape;
        PileType allowed;
        PileType refused;  // allowed with the base class or a sibling, not with this one
    };
    const std::vector<Case> cases = {
        {ShapeClass::RectPile, PileType::BORED_DRILLING, PileType::STEEL},
        {ShapeClass::RectEnlPile, PileType::PREFAB_CONCRETE, PileType::BORED_DRILLING},
        {ShapeClass::SectionPile, PileType::STEEL, PileType::PREFAB_CONCRETE},
        {ShapeClass::RoundPile, PileType::MICRO_VIBRATED, PileType::PREFAB_CONCRETE},
        {ShapeClass::TaperPile, PileType::TAPERED_TIMBER, PileType::STRAIGHT_TIMBER},
        {ShapeClass::HollowPile, PileType::GROUTED_STEEL_PIPE, PileType::OPEN_STEEL},
        {ShapeClass::HollowOpenPile, PileType::OPEN_STEEL, PileType::CLOSED_STEEL},
        {ShapeClass::LostTipPile, PileType::SCREW_LOST_TIP, PileType::PREFAB_CONCRETE},
        {ShapeClass::RoundEnlPile, PileType::PREFAB_CONCRETE, PileType::SCREW_LOST_TIP},
        {ShapeClass::DrivenBasePile, PileType::DRIVEN_TUBE_BACK_VIBRATION, PileType::PREFAB_CONCRETE},
        {ShapeClass::HShapedPile, PileType::STEEL, PileType::MV},
    };
    for (const Case& c : cases) {
        const std::string name = dfo::detail::shape_class_name(c.shape);
        const BearingPileTypeConfig allowed(c.allowed, PileSlipLayer::NONE);
        EXPECT_EQ(model_error([&] { allowed.validate(c.shape); }), "<no ModelError>") << name;
        const BearingPileTypeConfig refused(c.refused, PileSlipLayer::NONE);
        EXPECT_NE(model_error([&] { refused.validate(c.shape); }), "<no ModelError>") << name;
        const TensionPileTypeConfig tension(c.allowed, std::nullopt, std::nullopt);
        const std::string tension_message = model_error([&] { tension.validate(c.shape); });
        EXPECT_EQ(tension_message, c.shape == ShapeClass::SectionPile
                                       ? "Shape 'SectionPile' is not a valid option for Tension Piles (EC7-NL) model"
                                       : "<no ModelError>")
            << name;
    }
    EXPECT_EQ(dfo::detail::PileTypeConfig::VALID_TYPES.size(), 12u);
    EXPECT_EQ(dfo::detail::PileTypeConfig::VALID_TYPES.at(ShapeClass::RoundPile).size(), 14u);
}

TEST(PileTypeConfig, ValidationMessagesListTheAllowedTypes)
{
    const BearingPileTypeConfig steel(PileType::STEEL, PileSlipLayer::NONE);
    EXPECT_EQ(model_error([&] { steel.validate(ShapeClass::RectPile); }),
              "'pile_type' for Bearing Piles (EC7-NL) model must be one of [<PileType.PREFAB_CONCRETE: 0>, "
              "<PileType.BORED_DRILLING: 12>, <PileType.USER_DEFINED_VIBRATING: 25>, "
              "<PileType.USER_DEFINED_LOW_VIBRATING: 26>] (currently: PileType.STEEL)");
    EXPECT_EQ(model_error([&] { steel.validate(ShapeClass::UserPile); }),
              "Shape 'UserPile' is not a valid option for Bearing Piles (EC7-NL) model");

    const TensionPileTypeConfig absent(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(model_error([&] { absent.validate(ShapeClass::TaperPile); }),
              "'type_sand_gravel' for Tension Piles (EC7-NL) model must be one of [<PileType.TAPERED_TIMBER: 4>, "
              "<PileType.USER_DEFINED_VIBRATING: 25>, <PileType.USER_DEFINED_LOW_VIBRATING: 26>] (currently: None)");
    const TensionPileTypeConfig mv(PileType::MV, std::nullopt, std::nullopt);
    EXPECT_EQ(model_error([&] { mv.validate(ShapeClass::HShapedPile); }),
              "'type_sand_gravel' for Tension Piles (EC7-NL) model must be one of [<PileType.STEEL: 10>, "
              "<PileType.USER_DEFINED_VIBRATING: 25>, <PileType.USER_DEFINED_LOW_VIBRATING: 26>] "
              "(currently: PileType.MV)");
    EXPECT_EQ(model_error([&] { mv.validate(ShapeClass::UserPile); }), "<no ModelError>");
}

TEST(PileTypeConfig, UserDefinedVibrationTypesFitEveryShapeTheKindAccepts)
{
    const BearingPileTypeConfig bearing(PileType::USER_DEFINED_LOW_VIBRATING, PileSlipLayer::NONE,
                                        complete_vibration_options());
    const TensionPileTypeConfig tension(PileType::USER_DEFINED_VIBRATING, std::nullopt, std::nullopt,
                                        {.factor_sand_gravel = 1.0});
    const BearingPileTypeConfig bearing_user_defined(PileType::USER_DEFINED, PileSlipLayer::NONE);
    const TensionPileTypeConfig tension_user_defined(PileType::USER_DEFINED, std::nullopt, std::nullopt,
                                                     {.factor_sand_gravel = 1.0});
    for (ShapeClass shape : ALL_SHAPE_CLASSES) {
        const std::string name = dfo::detail::shape_class_name(shape);
        EXPECT_EQ(model_error([&] { bearing.validate(shape); }) == "<no ModelError>", shape != ShapeClass::UserPile)
            << name;
        EXPECT_EQ(model_error([&] { tension.validate(shape); }) == "<no ModelError>", shape != ShapeClass::SectionPile)
            << name;
        // PileType.USER_DEFINED is in no allowed list.
        EXPECT_NE(model_error([&] { bearing_user_defined.validate(shape); }), "<no ModelError>") << name;
        EXPECT_NE(model_error([&] { tension_user_defined.validate(shape); }), "<no ModelError>") << name;
    }
}

TEST(PileTypeConfig, BearingSerializesItsOwnKeysThenTheSharedOnes)
{
    EXPECT_EQ(BearingPileTypeConfig(PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE).serialize().dump(),
              R"j({"pile_type":[11,"Continuous flight auger pile"],"slip_layer":[0,"None"],"slip_layer_adhesion":null,)j"
              R"j("type_p":null,"factor_pile_class":null,"load_settlement_curve":null,"use_pre_2016":false,)j"
              R"j("as_prefab":false,"qciii_reduction":null,"overrule_tip_section_factor":null,)j"
              R"j("overrule_tip_shape_factor":null,"type_sand_gravel":null,"factor_sand_gravel":null,)j"
              R"j("type_clay_loam_peat":null,"factor_clay_loam_peat":null,"material":null,"material_property":null})j");
    const BearingPileTypeConfig full(
        PileType::USER_DEFINED_VIBRATING, PileSlipLayer::BITUMEN,
        {.type_sand_gravel = PileType::PREFAB_WITH_GROUT, .type_clay_loam_peat = PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
         .type_p = PileType::USER_DEFINED, .load_settlement_curve = dfo::PileLoadSettlementCurve::THREE,
         .material = PileMaterial::WOOD, .factor_sand_gravel = 0.5, .factor_pile_class = 9.0,
         .e_modulus_material = 11000.0, .slip_layer_adhesion = 1.5, .use_pre_2016 = true, .as_prefab = true,
         .qciii_reduction = 0.75, .overrule_tip_section_factor = 0.0, .overrule_tip_shape_factor = 2.0});
    EXPECT_EQ(full.serialize().dump(),
              R"j({"pile_type":[25,"User defined (vibrating)"],"slip_layer":[3,"Bitumen"],"slip_layer_adhesion":1.5,)j"
              R"j("type_p":[27,"User defined"],"factor_pile_class":9.0,"load_settlement_curve":2,"use_pre_2016":true,)j"
              R"j("as_prefab":true,"qciii_reduction":0.75,"overrule_tip_section_factor":0.0,)j"
              R"j("overrule_tip_shape_factor":2.0,"type_sand_gravel":[8,"Prefabricated screw pile with grout*"],)j"
              R"j("factor_sand_gravel":0.5,"type_clay_loam_peat":[0,"alpha_s clay/loam/peat according to table 7.f, )j"
              R"j(art. 7.6.2.3 NEN 9997-1:2016 (i)"],"factor_clay_loam_peat":null,"material":[2,"Timber"],)j"
              R"j("material_property":11000.0})j");
}

TEST(PileTypeConfig, TensionSerializesTheSharedKeysWithItsOwnClayTexts)
{
    EXPECT_EQ(TensionPileTypeConfig(PileType::MV, PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::STEEL,
                                    {.factor_sand_gravel = 3.0, .unit_weight_material = 78.5})
                  .serialize()
                  .dump(),
              R"j({"type_sand_gravel":[15,"MV pile"],"factor_sand_gravel":3.0,)j"
              R"j("type_clay_loam_peat":[0,"According to standard"],"factor_clay_loam_peat":null,)j"
              R"j("material":[1,"Steel"],"material_property":78.5})j");
    EXPECT_EQ(TensionPileTypeConfig(std::nullopt, PileTypeClayLoamPeat::USER_DEFINED, PileMaterial::USER_DEFINED,
                                    {.factor_clay_loam_peat = 4.0, .unit_weight_material = 20.0})
                  .serialize()
                  .dump(),
              R"j({"type_sand_gravel":null,"factor_sand_gravel":null,"type_clay_loam_peat":[1,"User defined"],)j"
              R"j("factor_clay_loam_peat":4.0,"material":[3,"User defined material type"],"material_property":20.0})j");
}

// --- Pile types --------------------------------------------------------------------------------

TEST(PileType, IsCreatedOnlyWhenTheConfigurationAcceptsTheShape)
{
    const BearingPileTypeConfig bearing(PileType::STEEL, PileSlipLayer::NONE);
    EXPECT_EQ(model_error([&] { dfo::detail::PileType pile_type(dfo::UserPile(1.0, 0.1), bearing); }),
              "Shape 'UserPile' is not a valid option for Bearing Piles (EC7-NL) model");
    // The subclass is judged as itself: a RectPile accepts no steel, a SectionPile does.
    EXPECT_NE(model_error([&] { dfo::detail::PileType pile_type(dfo::RectPile(0.3, 0.3), bearing); }),
              "<no ModelError>");
    EXPECT_EQ(model_error([&] { dfo::detail::PileType pile_type(dfo::SectionPile(0.3, 0.3), bearing); }),
              "<no ModelError>");
}

TEST(PileType, SerializesUnderTheGivenNameAndCopiesDeeply)
{
    const dfo::detail::PileType pile_type(dfo::DrivenBasePile(0.6, 0.4, 0.5),
                                          TensionPileTypeConfig(PileType::DRIVEN_TUBE_BACK_DRIVING, std::nullopt,
                                                                PileMaterial::CONCRETE));
    const auto first = pile_type.serialize("A");
    auto second = pile_type.serialize("B");
    EXPECT_EQ(first.begin().key(), "name");
    EXPECT_EQ(first["name"], "A");
    EXPECT_EQ(first["shape"], dfo::DrivenBasePile(0.6, 0.4, 0.5)._serialize());
    EXPECT_EQ(first["config"]["type_sand_gravel"].dump(), R"j([2,"Driven cast-in-place pile, tube back by driving"])j");
    second["name"] = "A";
    EXPECT_EQ(first.dump(), second.dump());

    dfo::detail::PileType copy = pile_type;
    EXPECT_NE(&copy.shape(), &pile_type.shape());
    EXPECT_EQ(copy.shape().shape_class(), ShapeClass::DrivenBasePile);
    EXPECT_EQ(copy.serialize("A").dump(), first.dump());
    copy = dfo::detail::PileType(dfo::RoundPile(0.4), BearingPileTypeConfig(PileType::BORED_DRILLING, PileSlipLayer::NONE));
    EXPECT_EQ(copy.serialize("C")["shape"]["num"], 0);
}
// clang-format on
