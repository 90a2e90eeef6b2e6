// The words in which a D-Foundations model is described: the enumerations whose integer values go
// into the model document, their texts for messages, and the display texts of pile types, pile
// materials and slip layers.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace ostrand::external::dfoundations {

// Soil type of a material.
enum class SoilType { GRAVEL = 0, SAND = 1, LOAM = 2, CLAY = 3, PEAT = 4 };

// How a material's maximum cone resistance is set (Tension Piles).
enum class MaxConeResistType { STANDARD = 0, MANUAL = 1 };

// Interpretation rule of a CPT. NEN_STRESS is another name for NEN: same value, printed as NEN.
enum class CPTRule { NEN = 0, NEN_STRESS = 0, CUR = 1, TYPE_3 = 2, QC_ONLY = 3 };

// Order of CPT, excavation and pile installation. Values start at 1.
enum class ConstructionSequence {
    CPT_EXCAVATION_INSTALL = 1,
    INSTALL_CPT_EXCAVATION = 2,
    EXCAVATION_CPT_INSTALL = 3,
    EXCAVATION_INSTALL_CPT = 4,
    INSTALL_EXCAVATION_CPT = 5,
    CPT_INSTALL_EXCAVATION = 6,
    EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL = 7,
};

// Calculation type of the calculation options: a verification (DESIGN_CALCULATION,
// COMPLETE_CALCULATION) or a preliminary design (the other three).
enum class CalculationType {
    DESIGN_CALCULATION = 0,
    COMPLETE_CALCULATION = 1,
    INDICATION_BEARING_CAPACITY = 2,
    BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL = 3,
    PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY = 4,
};

// Installation type of a pile.
enum class PileType {
    PREFAB_CONCRETE = 0,
    CLOSED_STEEL = 1,
    DRIVEN_TUBE_BACK_DRIVING = 2,
    DRIVEN_TUBE_BACK_VIBRATION = 3,
    TAPERED_TIMBER = 4,
    STRAIGHT_TIMBER = 5,
    SCREW_LOST_TIP = 6,
    SCREW_WITH_GROUT = 7,
    PREFAB_WITH_GROUT = 8,
    PREFAB_WITHOUT_GROUT = 9,
    STEEL = 10,
    CONTINUOUS_FLIGHT_AUGER = 11,
    BORED_DRILLING = 12,
    BORED_SHELLING = 13,
    OPEN_STEEL = 14,
    MV = 15,
    MICRO_DOUBLE_EXTORTED = 16,
    MICRO_DOUBLE_NOT_EXTORTED = 17,
    MICRO_SINGLE_EXTORTED = 18,
    MICRO_SINGLE_NOT_EXTORTED = 19,
    MICRO_ANCHOR_BORED = 20,
    MICRO_ANCHOR_SCREWED = 21,
    MICRO_VIBRATED = 22,
    GROUTED_STEEL_PROFILE = 23,
    GROUTED_STEEL_PIPE = 24,
    USER_DEFINED_VIBRATING = 25,
    USER_DEFINED_LOW_VIBRATING = 26,
    USER_DEFINED = 27,
};

// Pile type used in clay, loam and peat.
enum class PileTypeClayLoamPeat { ACCORDING_TO_STANDARD = 0, USER_DEFINED = 1 };

// Load-settlement curve of a bearing pile type.
enum class PileLoadSettlementCurve { ONE = 0, TWO = 1, THREE = 2 };

// Material of a pile type. WOOD is another name for TIMBER: same value, printed as TIMBER.
enum class PileMaterial { CONCRETE = 0, STEEL = 1, TIMBER = 2, WOOD = 2, USER_DEFINED = 3 };

// Slip layer along the shaft of a bearing pile type.
enum class PileSlipLayer { NONE = 0, SYNTHETIC = 1, BENTONITE = 2, BITUMEN = 3, USER_DEFINED = 4 };

namespace detail {

// Derived from the calculation type; never chosen by a caller.
enum class MainCalculationType { PRELIMINARY_DESIGN = 0, VERIFICATION = 1 };

// Derived from a model's cone-resistance reduction value.
enum class ReductionConeResistance { SAFE = 0, BEGEMANN = 1, MANUAL = 2 };

}  // namespace detail

// The integer a member stands for in the model document.
template <typename E>
requires std::is_enum_v<E>
constexpr int to_value(E member) { return static_cast<int>(member); }

// Short text: the enumeration's name, a point and the member's name, e.g.
// "CalculationType.DESIGN_CALCULATION". An alias prints under the first name.
std::string short_text(SoilType member);
std::string short_text(MaxConeResistType member);
std::string short_text(CPTRule member);
std::string short_text(ConstructionSequence member);
std::string short_text(CalculationType member);
std::string short_text(PileType member);
std::string short_text(PileTypeClayLoamPeat member);
std::string short_text(PileLoadSettlementCurve member);
std::string short_text(PileMaterial member);
std::string short_text(PileSlipLayer member);
std::string short_text(detail::MainCalculationType member);
std::string short_text(detail::ReductionConeResistance member);

namespace detail {
// Lets an unqualified short_text(member) find the overloads for the internal enumerations too.
using dfoundations::short_text;
}  // namespace detail

// Detailed text: "<CalculationType.INDICATION_BEARING_CAPACITY: 2>".
template <typename E>
requires requires(E member) { short_text(member); }
std::string detailed_text(E member) { return "<" + short_text(member) + ": " + std::to_string(to_value(member)) + ">"; }

namespace detail {

template <typename E>
std::string joined_detailed_texts(const E* first, const E* last, char open, char close)
{
    std::string text(1, open);
    for (const E* member = first; member != last; ++member) {
        if (member != first) text += ", ";
        text += detailed_text(*member);
    }
    text += close;
    return text;
}

}  // namespace detail

// A fixed sequence of members: detailed texts between parentheses, separated by ", ".
template <typename E>
std::string sequence_text(std::initializer_list<E> members)
{
    return detail::joined_detailed_texts(members.begin(), members.end(), '(', ')');
}
template <typename E>
std::string sequence_text(const std::vector<E>& members)
{
    return detail::joined_detailed_texts(members.data(), members.data() + members.size(), '(', ')');
}

// A list of members: as a sequence, but between square brackets.
template <typename E>
std::string list_text(std::initializer_list<E> members)
{
    return detail::joined_detailed_texts(members.begin(), members.end(), '[', ']');
}
template <typename E>
std::string list_text(const std::vector<E>& members)
{
    return detail::joined_detailed_texts(members.data(), members.data() + members.size(), '[', ']');
}

namespace detail {

// Display texts written beside the codes in a pile type's configuration. Each table is complete
// for its enumeration; an alias finds the entry of its first name.
extern const std::map<PileType, std::string> TYPE_NAMING;
extern const std::map<PileMaterial, std::string> MATERIAL_NAMING;
extern const std::map<PileSlipLayer, std::string> SLIP_LAYER_NAMING;

}  // namespace detail

}  // namespace ostrand::external::dfoundations
