#include "ostrand/external/dfoundations/vocabulary.hpp"

#include <string_view>
#include <utility>

namespace ostrand::external::dfoundations {

namespace {

// The members of an enumeration by first name: an alias shares its first name's value, so a
// lookup by value always finds the first name.
template <typename E, std::size_t N>
std::string qualified_name(std::string_view enumeration, const std::pair<E, std::string_view> (&names)[N], E member)
{
    for (const auto& [candidate, name] : names) {
        if (candidate == member) return std::string(enumeration) + "." + std::string(name);
    }
    // Only a value cast from an integer outside the enumeration gets here.
    return std::string(enumeration) + "." + std::to_string(to_value(member));
}

}  // namespace

std::string short_text(SoilType member)
{
    static constexpr std::pair<SoilType, std::string_view> names[] = {
        {SoilType::GRAVEL, "GRAVEL"}, {SoilType::SAND, "SAND"}, {SoilType::LOAM, "LOAM"},
        {SoilType::CLAY, "CLAY"},     {SoilType::PEAT, "PEAT"},
    };
    return qualified_name("SoilType", names, member);
}

std::string short_text(MaxConeResistType member)
{
    static constexpr std::pair<MaxConeResistType, std::string_view> names[] = {
        {MaxConeResistType::STANDARD, "STANDARD"},
        {MaxConeResistType::MANUAL, "MANUAL"},
    };
    return qualified_name("MaxConeResistType", names, member);
}

std::string short_text(CPTRule member)
{
    static constexpr std::pair<CPTRule, std::string_view> names[] = {
        {CPTRule::NEN, "NEN"},
        {CPTRule::CUR, "CUR"},
        {CPTRule::TYPE_3, "TYPE_3"},
        {CPTRule::QC_ONLY, "QC_ONLY"},
    };
    return qualified_name("CPTRule", names, member);
}

std::string short_text(ConstructionSequence member)
{
    using enum ConstructionSequence;
    static constexpr std::pair<ConstructionSequence, std::string_view> names[] = {
        {CPT_EXCAVATION_INSTALL, "CPT_EXCAVATION_INSTALL"},
        {INSTALL_CPT_EXCAVATION, "INSTALL_CPT_EXCAVATION"},
        {EXCAVATION_CPT_INSTALL, "EXCAVATION_CPT_INSTALL"},
        {EXCAVATION_INSTALL_CPT, "EXCAVATION_INSTALL_CPT"},
        {INSTALL_EXCAVATION_CPT, "INSTALL_EXCAVATION_CPT"},
        {CPT_INSTALL_EXCAVATION, "CPT_INSTALL_EXCAVATION"},
        {EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL, "EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL"},
    };
    return qualified_name("ConstructionSequence", names, member);
}

std::string short_text(CalculationType member)
{
    using enum CalculationType;
    static constexpr std::pair<CalculationType, std::string_view> names[] = {
        {DESIGN_CALCULATION, "DESIGN_CALCULATION"},
        {COMPLETE_CALCULATION, "COMPLETE_CALCULATION"},
        {INDICATION_BEARING_CAPACITY, "INDICATION_BEARING_CAPACITY"},
        {BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, "BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL"},
        {PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, "PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY"},
    };
    return qualified_name("CalculationType", names, member);
}

std::string short_text(PileType member)
{
    using enum PileType;
    static constexpr std::pair<PileType, std::string_view> names[] = {
        {PREFAB_CONCRETE, "PREFAB_CONCRETE"},
        {CLOSED_STEEL, "CLOSED_STEEL"},
        {DRIVEN_TUBE_BACK_DRIVING, "DRIVEN_TUBE_BACK_DRIVING"},
        {DRIVEN_TUBE_BACK_VIBRATION, "DRIVEN_TUBE_BACK_VIBRATION"},
        {TAPERED_TIMBER, "TAPERED_TIMBER"},
        {STRAIGHT_TIMBER, "STRAIGHT_TIMBER"},
        {SCREW_LOST_TIP, "SCREW_LOST_TIP"},
        {SCREW_WITH_GROUT, "SCREW_WITH_GROUT"},
        {PREFAB_WITH_GROUT, "PREFAB_WITH_GROUT"},
        {PREFAB_WITHOUT_GROUT, "PREFAB_WITHOUT_GROUT"},
        {STEEL, "STEEL"},
        {CONTINUOUS_FLIGHT_AUGER, "CONTINUOUS_FLIGHT_AUGER"},
        {BORED_DRILLING, "BORED_DRILLING"},
        {BORED_SHELLING, "BORED_SHELLING"},
        {OPEN_STEEL, "OPEN_STEEL"},
        {MV, "MV"},
        {MICRO_DOUBLE_EXTORTED, "MICRO_DOUBLE_EXTORTED"},
        {MICRO_DOUBLE_NOT_EXTORTED, "MICRO_DOUBLE_NOT_EXTORTED"},
        {MICRO_SINGLE_EXTORTED, "MICRO_SINGLE_EXTORTED"},
        {MICRO_SINGLE_NOT_EXTORTED, "MICRO_SINGLE_NOT_EXTORTED"},
        {MICRO_ANCHOR_BORED, "MICRO_ANCHOR_BORED"},
        {MICRO_ANCHOR_SCREWED, "MICRO_ANCHOR_SCREWED"},
        {MICRO_VIBRATED, "MICRO_VIBRATED"},
        {GROUTED_STEEL_PROFILE, "GROUTED_STEEL_PROFILE"},
        {GROUTED_STEEL_PIPE, "GROUTED_STEEL_PIPE"},
        {USER_DEFINED_VIBRATING, "USER_DEFINED_VIBRATING"},
        {USER_DEFINED_LOW_VIBRATING, "USER_DEFINED_LOW_VIBRATING"},
        {USER_DEFINED, "USER_DEFINED"},
    };
    return qualified_name("PileType", names, member);
}

std::string short_text(PileTypeClayLoamPeat member)
{
    static constexpr std::pair<PileTypeClayLoamPeat, std::string_view> names[] = {
        {PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, "ACCORDING_TO_STANDARD"},
        {PileTypeClayLoamPeat::USER_DEFINED, "USER_DEFINED"},
    };
    return qualified_name("PileTypeClayLoamPeat", names, member);
}

std::string short_text(PileLoadSettlementCurve member)
{
    static constexpr std::pair<PileLoadSettlementCurve, std::string_view> names[] = {
        {PileLoadSettlementCurve::ONE, "ONE"},
        {PileLoadSettlementCurve::TWO, "TWO"},
        {PileLoadSettlementCurve::THREE, "THREE"},
    };
    return qualified_name("PileLoadSettlementCurve", names, member);
}

std::string short_text(PileMaterial member)
{
    static constexpr std::pair<PileMaterial, std::string_view> names[] = {
        {PileMaterial::CONCRETE, "CONCRETE"},
        {PileMaterial::STEEL, "STEEL"},
        {PileMaterial::TIMBER, "TIMBER"},
        {PileMaterial::USER_DEFINED, "USER_DEFINED"},
    };
    return qualified_name("PileMaterial", names, member);
}

std::string short_text(PileSlipLayer member)
{
    static constexpr std::pair<PileSlipLayer, std::string_view> names[] = {
        {PileSlipLayer::NONE, "NONE"},
        {PileSlipLayer::SYNTHETIC, "SYNTHETIC"},
        {PileSlipLayer::BENTONITE, "BENTONITE"},
        {PileSlipLayer::BITUMEN, "BITUMEN"},
        {PileSlipLayer::USER_DEFINED, "USER_DEFINED"},
    };
    return qualified_name("PileSlipLayer", names, member);
}

std::string short_text(detail::MainCalculationType member)
{
    static constexpr std::pair<detail::MainCalculationType, std::string_view> names[] = {
        {detail::MainCalculationType::PRELIMINARY_DESIGN, "PRELIMINARY_DESIGN"},
        {detail::MainCalculationType::VERIFICATION, "VERIFICATION"},
    };
    return qualified_name("_MainCalculationType", names, member);
}

std::string short_text(detail::ReductionConeResistance member)
{
    static constexpr std::pair<detail::ReductionConeResistance, std::string_view> names[] = {
        {detail::ReductionConeResistance::SAFE, "SAFE"},
        {detail::ReductionConeResistance::BEGEMANN, "BEGEMANN"},
        {detail::ReductionConeResistance::MANUAL, "MANUAL"},
    };
    return qualified_name("_ReductionConeResistance", names, member);
}

namespace detail {

const std::map<PileType, std::string> TYPE_NAMING = {
    {PileType::PREFAB_CONCRETE, "Prefabricated concrete pile"},
    {PileType::CLOSED_STEEL, "Closed-ended steel pipe pile"},
    {PileType::DRIVEN_TUBE_BACK_DRIVING, "Driven cast-in-place pile, tube back by driving"},
    {PileType::DRIVEN_TUBE_BACK_VIBRATION, "Driven cast-in-place pile, tube back by vibration"},
    {PileType::TAPERED_TIMBER, "Tapered timber pile"},
    {PileType::STRAIGHT_TIMBER, "Straight timber pile"},
    {PileType::SCREW_LOST_TIP, "Screw pile, cast in place, lost tip"},
    {PileType::SCREW_WITH_GROUT, "Screw pile, cast in place, with grout"},
    {PileType::PREFAB_WITH_GROUT, "Prefabricated screw pile with grout*"},
    {PileType::PREFAB_WITHOUT_GROUT, "Prefabricated screw pile without grout"},
    {PileType::STEEL, "Steel section"},
    {PileType::CONTINUOUS_FLIGHT_AUGER, "Continuous flight auger pile"},
    {PileType::BORED_DRILLING, "Bored pile (drilling mud, uncased borehole)"},
    {PileType::BORED_SHELLING, "Bored pile (shelling tech., permanent casting)"},
    {PileType::OPEN_STEEL, "Open-ended steel pipe pile"},
    {PileType::MV, "MV pile"},
    {PileType::MICRO_DOUBLE_EXTORTED, "Micro pile, double pipe, extorted"},
    {PileType::MICRO_DOUBLE_NOT_EXTORTED, "Micro pile, double pipe, not extorted"},
    {PileType::MICRO_SINGLE_EXTORTED, "Micro pile, single pipe, extorted"},
    {PileType::MICRO_SINGLE_NOT_EXTORTED, "Micro pile, single pipe, not extorted"},
    {PileType::MICRO_ANCHOR_BORED, "Micro pile, anchor, bored"},
    {PileType::MICRO_ANCHOR_SCREWED, "Micro pile, anchor, screwed"},
    {PileType::MICRO_VIBRATED, "Micro pile, vibrated"},
    {PileType::GROUTED_STEEL_PROFILE, "Grouted steel profile (with footplate)"},
    {PileType::GROUTED_STEEL_PIPE, "Grouted steel pipe pile (screwed)"},
    {PileType::USER_DEFINED_VIBRATING, "User defined (vibrating)"},
    {PileType::USER_DEFINED_LOW_VIBRATING, "User defined (low vibrating)"},
    {PileType::USER_DEFINED, "User defined"},
};

const std::map<PileMaterial, std::string> MATERIAL_NAMING = {
    {PileMaterial::CONCRETE, "Concrete"},
    {PileMaterial::STEEL, "Steel"},
    {PileMaterial::TIMBER, "Timber"},
    {PileMaterial::USER_DEFINED, "User defined material type"},
};

const std::map<PileSlipLayer, std::string> SLIP_LAYER_NAMING = {
    {PileSlipLayer::NONE, "None"},
    {PileSlipLayer::SYNTHETIC, "Synthetic"},
    {PileSlipLayer::BENTONITE, "Bentonite"},
    {PileSlipLayer::BITUMEN, "Bitumen"},
    {PileSlipLayer::USER_DEFINED, "User defined"},
};

}  // namespace detail

}  // namespace ostrand::external::dfoundations
