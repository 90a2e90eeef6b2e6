#include <algorithm>

#include <nlohmann/json.hpp>

#include "external/dfoundations/components/json_values.hpp"

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations::detail {

using detail::value_or_null;

namespace {

using Installation = dfoundations::PileType;

const std::string USER_DEFINED_THREE = sequence_text(
    {Installation::USER_DEFINED_VIBRATING, Installation::USER_DEFINED_LOW_VIBRATING, Installation::USER_DEFINED});
const std::string USER_DEFINED_TWO =
    sequence_text({Installation::USER_DEFINED_VIBRATING, Installation::USER_DEFINED_LOW_VIBRATING});

bool is_vibration_type(std::optional<Installation> type)
{
    return type == Installation::USER_DEFINED_VIBRATING || type == Installation::USER_DEFINED_LOW_VIBRATING;
}

bool is_user_defined_type(std::optional<Installation> type)
{
    return is_vibration_type(type) || type == Installation::USER_DEFINED;
}

// Both bounds count as inside.
void check_range(std::optional<double> value, double maximum, const std::string& name)
{
    if (value && !(0 <= *value && *value <= maximum)) {
        throw errors::ModelError("'" + name + "' must be between 0 and " +
                                 format_number(static_cast<std::int64_t>(maximum)) + " (currently " +
                                 format_number(*value) + ")");
    }
}

// A factor that its type makes required: present and between 0 and 9.
void check_required_factor(std::optional<double> factor, const std::string& name, const std::string& condition)
{
    if (!factor) throw errors::ModelError("'" + name + "' must be set if " + condition);
    check_range(factor, 9, name);
}

template <typename E>
std::string text_or_none(std::optional<E> member)
{
    return member ? short_text(*member) : "None";
}

// [value, display text], or null when absent.
template <typename E>
nlohmann::ordered_json named_pair(std::optional<E> member, const std::map<E, std::string>& naming)
{
    if (!member) return nullptr;
    return nlohmann::ordered_json::array({to_value(*member), naming.at(*member)});
}

void check_bearing_rules(Installation pile_type, PileSlipLayer slip_layer, const BearingPileTypeConfigOptions& o)
{
    const auto invalid_option = [](Installation type, const std::string& name) {
        return errors::ModelError("'" + short_text(type) + "' is not a valid '" + name +
                                  "' option for Bearing Piles (EC7-NL) model");
    };
    if (is_vibration_type(o.type_sand_gravel)) throw invalid_option(*o.type_sand_gravel, "type_sand_gravel");
    if (is_vibration_type(o.type_p)) throw invalid_option(*o.type_p, "type_p");

    if (is_vibration_type(pile_type)) {
        const auto must_be_set = [](const std::string& name) {
            return errors::ModelError("'" + name + "' must be set if 'pile_type' is one of " + USER_DEFINED_TWO);
        };
        if (!o.type_sand_gravel) throw must_be_set("type_sand_gravel");
        if (!o.type_clay_loam_peat) throw must_be_set("type_clay_loam_peat");
        if (!o.material) throw must_be_set("material");
        if (!o.type_p) throw must_be_set("type_p");
        if (!o.load_settlement_curve) throw must_be_set("load_settlement_curve");
    }
    if (o.type_p == Installation::USER_DEFINED) {
        check_required_factor(o.factor_pile_class, "factor_pile_class", "'type_p' is PileType.USER_DEFINED");
    }
    if (slip_layer == PileSlipLayer::USER_DEFINED && !o.slip_layer_adhesion) {
        throw errors::ModelError("'slip_layer_adhesion' must be set if 'slip_layer' is PileSlipLayer.USER_DEFINED");
    }
    check_range(o.overrule_tip_section_factor, 10, "overrule_tip_section_factor");
    check_range(o.overrule_tip_shape_factor, 10, "overrule_tip_shape_factor");
}

}  // namespace

const std::map<ShapeClass, std::vector<dfoundations::PileType>> PileTypeConfig::VALID_TYPES = {
    {ShapeClass::RectPile, {Installation::PREFAB_CONCRETE, Installation::BORED_DRILLING}},
    {ShapeClass::RectEnlPile, {Installation::PREFAB_CONCRETE}},
    {ShapeClass::UserPile, {Installation::STEEL, Installation::MV}},
    {ShapeClass::SectionPile, {Installation::STEEL}},
    {ShapeClass::RoundPile,
     {Installation::DRIVEN_TUBE_BACK_DRIVING, Installation::DRIVEN_TUBE_BACK_VIBRATION, Installation::STRAIGHT_TIMBER,
      Installation::SCREW_WITH_GROUT, Installation::CONTINUOUS_FLIGHT_AUGER, Installation::BORED_DRILLING,
      Installation::BORED_SHELLING, Installation::MICRO_DOUBLE_EXTORTED, Installation::MICRO_DOUBLE_NOT_EXTORTED,
      Installation::MICRO_SINGLE_EXTORTED, Installation::MICRO_SINGLE_NOT_EXTORTED, Installation::MICRO_ANCHOR_BORED,
      Installation::MICRO_ANCHOR_SCREWED, Installation::MICRO_VIBRATED}},
    {ShapeClass::TaperPile, {Installation::TAPERED_TIMBER}},
    {ShapeClass::HollowPile,
     {Installation::CLOSED_STEEL, Installation::PREFAB_WITH_GROUT, Installation::PREFAB_WITHOUT_GROUT,
      Installation::GROUTED_STEEL_PROFILE, Installation::GROUTED_STEEL_PIPE}},
    {ShapeClass::HollowOpenPile, {Installation::OPEN_STEEL}},
    {ShapeClass::RoundEnlPile, {Installation::PREFAB_CONCRETE}},
    {ShapeClass::LostTipPile, {Installation::SCREW_LOST_TIP}},
    {ShapeClass::DrivenBasePile, {Installation::DRIVEN_TUBE_BACK_DRIVING, Installation::DRIVEN_TUBE_BACK_VIBRATION}},
    {ShapeClass::HShapedPile, {Installation::STEEL}},
};

PileTypeConfig::PileTypeConfig(std::optional<dfoundations::PileType> type_sand_gravel,
                               std::optional<PileTypeClayLoamPeat> type_clay_loam_peat,
                               std::optional<PileMaterial> material, std::optional<double> factor_sand_gravel,
                               std::optional<double> factor_clay_loam_peat, std::optional<double> material_property)
    : type_sand_gravel_(type_sand_gravel),
      type_clay_loam_peat_(type_clay_loam_peat),
      material_(material),
      factor_sand_gravel_(factor_sand_gravel),
      factor_clay_loam_peat_(factor_clay_loam_peat),
      material_property_(material_property)
{
    if (is_user_defined_type(type_sand_gravel)) {
        check_required_factor(factor_sand_gravel, "factor_sand_gravel",
                              "'type_sand_gravel' is one of " + USER_DEFINED_THREE);
    }
    if (type_clay_loam_peat == PileTypeClayLoamPeat::USER_DEFINED) {
        check_required_factor(factor_clay_loam_peat, "factor_clay_loam_peat",
                              "'type_clay_loam_peat' is PileTypeClayLoamPeat.USER_DEFINED");
    }
    if (material == PileMaterial::USER_DEFINED && !material_property) {
        throw errors::ModelError(
            "'unit_weight_material/e_modulus_material' must be set if 'material' is PileMaterial.USER_DEFINED");
    }
}

std::vector<dfoundations::PileType> PileTypeConfig::allowed_types(ShapeClass shape)
{
    std::vector<Installation> allowed = VALID_TYPES.at(shape);
    allowed.push_back(Installation::USER_DEFINED_VIBRATING);
    allowed.push_back(Installation::USER_DEFINED_LOW_VIBRATING);
    return allowed;
}

nlohmann::ordered_json PileTypeConfig::serialize() const
{
    nlohmann::ordered_json object;
    object["type_sand_gravel"] = named_pair(type_sand_gravel_, TYPE_NAMING);
    object["factor_sand_gravel"] = value_or_null(factor_sand_gravel_);
    object["type_clay_loam_peat"] = named_pair(type_clay_loam_peat_, _type_clay_naming());
    object["factor_clay_loam_peat"] = value_or_null(factor_clay_loam_peat_);
    object["material"] = named_pair(material_, MATERIAL_NAMING);
    object["material_property"] = value_or_null(material_property_);
    return object;
}

BearingPileTypeConfig::BearingPileTypeConfig(dfoundations::PileType pile_type, PileSlipLayer slip_layer,
                                             BearingPileTypeConfigOptions options)
    : PileTypeConfig(options.type_sand_gravel, options.type_clay_loam_peat, options.material,
                     options.factor_sand_gravel, options.factor_clay_loam_peat, options.e_modulus_material),
      pile_type_(pile_type),
      slip_layer_(slip_layer),
      slip_layer_adhesion_(options.slip_layer_adhesion),
      type_p_(options.type_p),
      factor_pile_class_(options.factor_pile_class),
      load_settlement_curve_(options.load_settlement_curve),
      use_pre_2016_(options.use_pre_2016),
      as_prefab_(options.as_prefab),
      qciii_reduction_(options.qciii_reduction),
      overrule_tip_section_factor_(options.overrule_tip_section_factor),
      overrule_tip_shape_factor_(options.overrule_tip_shape_factor)
{
    check_bearing_rules(pile_type, slip_layer, options);
}

const std::map<PileTypeClayLoamPeat, std::string>& BearingPileTypeConfig::_type_clay_naming() const
{
    static const std::map<PileTypeClayLoamPeat, std::string> naming = {
        {PileTypeClayLoamPeat::ACCORDING_TO_STANDARD,
         "alpha_s clay/loam/peat according to table 7.f, art. 7.6.2.3 NEN 9997-1:2016 (i)"},
        {PileTypeClayLoamPeat::USER_DEFINED, "User defined"},
    };
    return naming;
}

void BearingPileTypeConfig::validate(ShapeClass shape) const
{
    if (shape == ShapeClass::UserPile) {
        throw errors::ModelError("Shape '" + shape_class_name(shape) +
                                 "' is not a valid option for Bearing Piles (EC7-NL) model");
    }
    const std::vector<Installation> allowed = allowed_types(shape);
    if (std::find(allowed.begin(), allowed.end(), pile_type_) == allowed.end()) {
        throw errors::ModelError("'pile_type' for Bearing Piles (EC7-NL) model must be one of " + list_text(allowed) +
                                 " (currently: " + short_text(pile_type_) + ")");
    }
}

nlohmann::ordered_json BearingPileTypeConfig::serialize() const
{
    nlohmann::ordered_json object;
    object["pile_type"] = named_pair(std::optional(pile_type_), TYPE_NAMING);
    object["slip_layer"] = named_pair(std::optional(slip_layer_), SLIP_LAYER_NAMING);
    object["slip_layer_adhesion"] = value_or_null(slip_layer_adhesion_);
    object["type_p"] = named_pair(type_p_, TYPE_NAMING);
    object["factor_pile_class"] = value_or_null(factor_pile_class_);
    object["load_settlement_curve"] =
        load_settlement_curve_ ? nlohmann::ordered_json(to_value(*load_settlement_curve_)) : nullptr;
    object["use_pre_2016"] = use_pre_2016_;
    object["as_prefab"] = as_prefab_;
    object["qciii_reduction"] = value_or_null(qciii_reduction_);
    object["overrule_tip_section_factor"] = value_or_null(overrule_tip_section_factor_);
    object["overrule_tip_shape_factor"] = value_or_null(overrule_tip_shape_factor_);
    const nlohmann::ordered_json shared = PileTypeConfig::serialize();
    for (const auto& [key, value] : shared.items()) object[key] = value;
    return object;
}

std::unique_ptr<PileTypeConfig> BearingPileTypeConfig::clone() const
{
    return std::make_unique<BearingPileTypeConfig>(*this);
}

TensionPileTypeConfig::TensionPileTypeConfig(std::optional<dfoundations::PileType> type_sand_gravel,
                                             std::optional<PileTypeClayLoamPeat> type_clay_loam_peat,
                                             std::optional<PileMaterial> material, TensionPileTypeConfigOptions options)
    : PileTypeConfig(type_sand_gravel, type_clay_loam_peat, material, options.factor_sand_gravel,
                     options.factor_clay_loam_peat, options.unit_weight_material)
{
}

const std::map<PileTypeClayLoamPeat, std::string>& TensionPileTypeConfig::_type_clay_naming() const
{
    static const std::map<PileTypeClayLoamPeat, std::string> naming = {
        {PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, "According to standard"},
        {PileTypeClayLoamPeat::USER_DEFINED, "User defined"},
    };
    return naming;
}

void TensionPileTypeConfig::validate(ShapeClass shape) const
{
    if (shape == ShapeClass::SectionPile) {
        throw errors::ModelError("Shape '" + shape_class_name(shape) +
                                 "' is not a valid option for Tension Piles (EC7-NL) model");
    }
    const std::vector<Installation> allowed = allowed_types(shape);
    const std::optional<Installation> type = _type_sand_gravel();
    if (!type || std::find(allowed.begin(), allowed.end(), *type) == allowed.end()) {
        throw errors::ModelError("'type_sand_gravel' for Tension Piles (EC7-NL) model must be one of " +
                                 list_text(allowed) + " (currently: " + text_or_none(type) + ")");
    }
}

std::unique_ptr<PileTypeConfig> TensionPileTypeConfig::clone() const
{
    return std::make_unique<TensionPileTypeConfig>(*this);
}

}  // namespace ostrand::external::dfoundations::detail
