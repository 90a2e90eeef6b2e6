#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ostrand/external/dfoundations/vocabulary.hpp"

namespace dfo = ostrand::external::dfoundations;
using dfo::CPTRule;
using dfo::PileMaterial;
using dfo::PileType;

namespace {

// Every member by value, so that a name missing or misspelt in the texts shows up.
template <typename E>
std::vector<std::string> short_texts(int count)
{
    std::vector<std::string> texts;
    for (int value = 0; value < count; ++value) texts.push_back(short_text(static_cast<E>(value)));
    return texts;
}

}  // namespace

TEST(ShortText, NamesEveryMemberOfEveryEnumeration)
{
    EXPECT_EQ(short_texts<dfo::SoilType>(5),
              (std::vector<std::string>{"SoilType.GRAVEL", "SoilType.SAND", "SoilType.LOAM", "SoilType.CLAY",
                                        "SoilType.PEAT"}));
    EXPECT_EQ(short_texts<dfo::MaxConeResistType>(2),
              (std::vector<std::string>{"MaxConeResistType.STANDARD", "MaxConeResistType.MANUAL"}));
    EXPECT_EQ(short_texts<CPTRule>(4),
              (std::vector<std::string>{"CPTRule.NEN", "CPTRule.CUR", "CPTRule.TYPE_3", "CPTRule.QC_ONLY"}));
    EXPECT_EQ(short_texts<dfo::CalculationType>(5),
              (std::vector<std::string>{"CalculationType.DESIGN_CALCULATION", "CalculationType.COMPLETE_CALCULATION",
                                        "CalculationType.INDICATION_BEARING_CAPACITY",
                                        "CalculationType.BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL",
                                        "CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY"}));
    EXPECT_EQ(
        short_texts<dfo::PileTypeClayLoamPeat>(2),
        (std::vector<std::string>{"PileTypeClayLoamPeat.ACCORDING_TO_STANDARD", "PileTypeClayLoamPeat.USER_DEFINED"}));
    EXPECT_EQ(short_texts<dfo::PileLoadSettlementCurve>(3),
              (std::vector<std::string>{"PileLoadSettlementCurve.ONE", "PileLoadSettlementCurve.TWO",
                                        "PileLoadSettlementCurve.THREE"}));
    EXPECT_EQ(short_texts<PileMaterial>(4),
              (std::vector<std::string>{"PileMaterial.CONCRETE", "PileMaterial.STEEL", "PileMaterial.TIMBER",
                                        "PileMaterial.USER_DEFINED"}));
    EXPECT_EQ(short_texts<dfo::PileSlipLayer>(5),
              (std::vector<std::string>{"PileSlipLayer.NONE", "PileSlipLayer.SYNTHETIC", "PileSlipLayer.BENTONITE",
                                        "PileSlipLayer.BITUMEN", "PileSlipLayer.USER_DEFINED"}));
    EXPECT_EQ(
        short_texts<dfo::detail::MainCalculationType>(2),
        (std::vector<std::string>{"_MainCalculationType.PRELIMINARY_DESIGN", "_MainCalculationType.VERIFICATION"}));
    EXPECT_EQ(short_texts<dfo::detail::ReductionConeResistance>(3),
              (std::vector<std::string>{"_ReductionConeResistance.SAFE", "_ReductionConeResistance.BEGEMANN",
                                        "_ReductionConeResistance.MANUAL"}));
}

TEST(ShortText, ConstructionSequenceStartsAtOne)
{
    const std::vector<std::string> expected = {
        "ConstructionSequence.CPT_EXCAVATION_INSTALL",
        "ConstructionSequence.INSTALL_CPT_EXCAVATION",
        "ConstructionSequence.EXCAVATION_CPT_INSTALL",
        "ConstructionSequence.EXCAVATION_INSTALL_CPT",
        "ConstructionSequence.INSTALL_EXCAVATION_CPT",
        "ConstructionSequence.CPT_INSTALL_EXCAVATION",
        "ConstructionSequence.EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL",
    };
    for (int value = 1; value <= 7; ++value) {
        EXPECT_EQ(short_text(static_cast<dfo::ConstructionSequence>(value)), expected[value - 1]);
    }
    EXPECT_EQ(dfo::to_value(dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL), 1);
}

TEST(ShortText, PileTypeNamesAllTwentyEightMembers)
{
    const std::vector<std::string> names = {
        "PREFAB_CONCRETE",
        "CLOSED_STEEL",
        "DRIVEN_TUBE_BACK_DRIVING",
        "DRIVEN_TUBE_BACK_VIBRATION",
        "TAPERED_TIMBER",
        "STRAIGHT_TIMBER",
        "SCREW_LOST_TIP",
        "SCREW_WITH_GROUT",
        "PREFAB_WITH_GROUT",
        "PREFAB_WITHOUT_GROUT",
        "STEEL",
        "CONTINUOUS_FLIGHT_AUGER",
        "BORED_DRILLING",
        "BORED_SHELLING",
        "OPEN_STEEL",
        "MV",
        "MICRO_DOUBLE_EXTORTED",
        "MICRO_DOUBLE_NOT_EXTORTED",
        "MICRO_SINGLE_EXTORTED",
        "MICRO_SINGLE_NOT_EXTORTED",
        "MICRO_ANCHOR_BORED",
        "MICRO_ANCHOR_SCREWED",
        "MICRO_VIBRATED",
        "GROUTED_STEEL_PROFILE",
        "GROUTED_STEEL_PIPE",
        "USER_DEFINED_VIBRATING",
        "USER_DEFINED_LOW_VIBRATING",
        "USER_DEFINED",
    };
    const std::vector<std::string> texts = short_texts<PileType>(28);
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(texts[i], "PileType." + names[i]);
}

TEST(Alias, IsTheSameMemberAndPrintsUnderTheFirstName)
{
    EXPECT_EQ(CPTRule::NEN_STRESS, CPTRule::NEN);
    EXPECT_EQ(dfo::to_value(CPTRule::NEN_STRESS), 0);
    EXPECT_EQ(short_text(CPTRule::NEN_STRESS), "CPTRule.NEN");
    EXPECT_EQ(detailed_text(CPTRule::NEN_STRESS), "<CPTRule.NEN: 0>");

    EXPECT_EQ(PileMaterial::WOOD, PileMaterial::TIMBER);
    EXPECT_EQ(dfo::to_value(PileMaterial::WOOD), 2);
    EXPECT_EQ(short_text(PileMaterial::WOOD), "PileMaterial.TIMBER");
    EXPECT_EQ(dfo::detail::MATERIAL_NAMING.at(PileMaterial::WOOD), "Timber");
}

TEST(GroupTexts, SequenceUsesParenthesesAndListSquareBrackets)
{
    EXPECT_EQ(detailed_text(dfo::CalculationType::INDICATION_BEARING_CAPACITY),
              "<CalculationType.INDICATION_BEARING_CAPACITY: 2>");
    EXPECT_EQ(dfo::sequence_text(
                  {PileType::USER_DEFINED_VIBRATING, PileType::USER_DEFINED_LOW_VIBRATING, PileType::USER_DEFINED}),
              "(<PileType.USER_DEFINED_VIBRATING: 25>, <PileType.USER_DEFINED_LOW_VIBRATING: 26>, "
              "<PileType.USER_DEFINED: 27>)");
    EXPECT_EQ(list_text(std::vector{PileType::PREFAB_CONCRETE, PileType::USER_DEFINED_VIBRATING}),
              "[<PileType.PREFAB_CONCRETE: 0>, <PileType.USER_DEFINED_VIBRATING: 25>]");
    EXPECT_EQ(list_text(std::vector<PileType>{}), "[]");
    EXPECT_EQ(dfo::sequence_text({CPTRule::NEN_STRESS}), "(<CPTRule.NEN: 0>)");
}

TEST(NamingTables, CoverEveryMemberOfTheirEnumeration)
{
    EXPECT_EQ(dfo::detail::TYPE_NAMING.size(), 28u);
    for (int value = 0; value < 28; ++value)
        EXPECT_TRUE(dfo::detail::TYPE_NAMING.contains(static_cast<PileType>(value)));
    EXPECT_EQ(dfo::detail::MATERIAL_NAMING.size(), 4u);
    EXPECT_EQ(dfo::detail::SLIP_LAYER_NAMING.size(), 5u);
}

TEST(NamingTables, GiveTheDisplayTexts)
{
    using dfo::detail::TYPE_NAMING;
    EXPECT_EQ(TYPE_NAMING.at(PileType::PREFAB_CONCRETE), "Prefabricated concrete pile");
    EXPECT_EQ(TYPE_NAMING.at(PileType::PREFAB_WITH_GROUT), "Prefabricated screw pile with grout*");
    EXPECT_EQ(TYPE_NAMING.at(PileType::BORED_SHELLING), "Bored pile (shelling tech., permanent casting)");
    EXPECT_EQ(TYPE_NAMING.at(PileType::GROUTED_STEEL_PIPE), "Grouted steel pipe pile (screwed)");
    EXPECT_EQ(TYPE_NAMING.at(PileType::USER_DEFINED), "User defined");
    EXPECT_EQ(dfo::detail::MATERIAL_NAMING.at(PileMaterial::USER_DEFINED), "User defined material type");
    EXPECT_EQ(dfo::detail::SLIP_LAYER_NAMING.at(dfo::PileSlipLayer::NONE), "None");
    EXPECT_EQ(dfo::detail::SLIP_LAYER_NAMING.at(dfo::PileSlipLayer::USER_DEFINED), "User defined");
}

TEST(Values, SameMemberNamesInDifferentEnumerationsKeepTheirOwnValues)
{
    EXPECT_EQ(dfo::to_value(PileType::USER_DEFINED), 27);
    EXPECT_EQ(dfo::to_value(dfo::PileTypeClayLoamPeat::USER_DEFINED), 1);
    EXPECT_EQ(dfo::to_value(PileMaterial::USER_DEFINED), 3);
    EXPECT_EQ(dfo::to_value(dfo::PileSlipLayer::USER_DEFINED), 4);
}
