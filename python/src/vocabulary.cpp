// The enumerations as Python enums (enum.Enum: members compare and print by name, never equal to
// bare integers), with the members and values of the C++ code, and the texts of messages.
#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using Members = std::vector<std::pair<std::string, int>>;

// The members from `first` to `last` by the names their short texts give ("SoilType.SAND"), then
// the aliases.
template <class E>
Members members_of(E first, E last, Members aliases = {})
{
    Members members;
    for (int value = dfo::to_value(first); value <= dfo::to_value(last); ++value) {
        const std::string text = dfo::short_text(static_cast<E>(value));
        members.emplace_back(text.substr(text.find('.') + 1), value);
    }
    members.insert(members.end(), aliases.begin(), aliases.end());
    return members;
}

template <class E>
void bind_enum(py::module_& module, const char* name, E first, E last, const char* doc, Members aliases = {})
{
    make_enum<E>(module, name, members_of(first, last, std::move(aliases)), doc);
}

}  // namespace

void bind_vocabulary(py::module_& module)
{
    using namespace dfo;
    bind_enum(module, "SoilType", SoilType::GRAVEL, SoilType::PEAT, doc_of("SoilType"));
    bind_enum(module, "MaxConeResistType", MaxConeResistType::STANDARD, MaxConeResistType::MANUAL,
              doc_of("MaxConeResistType"));
    bind_enum(module, "CPTRule", CPTRule::NEN, CPTRule::QC_ONLY,
              doc_of("CPTRule"), {{"NEN_STRESS", 0}});
    bind_enum(module, "ConstructionSequence", ConstructionSequence::CPT_EXCAVATION_INSTALL,
              ConstructionSequence::EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL,
              doc_of("ConstructionSequence"));
    bind_enum(module, "CalculationType", CalculationType::DESIGN_CALCULATION,
              CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, doc_of("CalculationType"));
    bind_enum(module, "PileType", PileType::PREFAB_CONCRETE, PileType::USER_DEFINED, doc_of("PileType"));
    bind_enum(module, "PileTypeClayLoamPeat", PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
              PileTypeClayLoamPeat::USER_DEFINED, doc_of("PileTypeClayLoamPeat"));
    bind_enum(module, "PileLoadSettlementCurve", PileLoadSettlementCurve::ONE, PileLoadSettlementCurve::THREE,
              doc_of("PileLoadSettlementCurve"));
    bind_enum(module, "PileMaterial", PileMaterial::CONCRETE, PileMaterial::USER_DEFINED,
              doc_of("PileMaterial"), {{"WOOD", 2}});
    bind_enum(module, "PileSlipLayer", PileSlipLayer::NONE, PileSlipLayer::USER_DEFINED, doc_of("PileSlipLayer"));
    bind_enum(module, "_MainCalculationType", detail::MainCalculationType::PRELIMINARY_DESIGN,
              detail::MainCalculationType::VERIFICATION, doc_of("detail::MainCalculationType"));
    bind_enum(module, "_ReductionConeResistance", detail::ReductionConeResistance::SAFE,
              detail::ReductionConeResistance::MANUAL, doc_of("detail::ReductionConeResistance"));

    module.def(
        "format_number", [](std::int64_t value) { return format_number(value); }, py::arg("value"),
        doc_of("format_number"));
    module.def(
        "format_number", [](double value) { return format_number(value); }, py::arg("value"));
    module.def(
        "_type_naming", [] { return py::dict(py::cast(detail::TYPE_NAMING)); },
        "Display texts of the pile types, written beside their codes.");
    module.def(
        "_material_naming", [] { return py::dict(py::cast(detail::MATERIAL_NAMING)); },
        "Display texts of the pile materials.");
    module.def(
        "_slip_layer_naming", [] { return py::dict(py::cast(detail::SLIP_LAYER_NAMING)); },
        "Display texts of the slip layers.");
}

}  // namespace dfoundations_python
