#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "external/dfoundations/components/json_values.hpp"

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"

namespace ostrand::external::dfoundations {

using detail::value_or_null;

namespace {

bool needs_trajectory(CalculationType type)
{
    return type == CalculationType::DESIGN_CALCULATION || type == CalculationType::INDICATION_BEARING_CAPACITY ||
           type == CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY;
}

bool needs_cpt_test_level(CalculationType type)
{
    return type == CalculationType::DESIGN_CALCULATION || type == CalculationType::COMPLETE_CALCULATION;
}

void check_iterations(const Trajectory& trajectory)
{
    const auto [begin, end, interval] = trajectory;
    // A real division by zero would quietly give infinity; refuse it as what it is.
    if (interval == 0.0) throw std::domain_error("float division by zero");
    // The distance is absolute but the interval keeps its sign, so a negative interval always passes.
    if (std::abs(end - begin) / interval > 150.0) {
        throw errors::ModelError(
            "The number of iterations to be performed with the given trajectory is too large (max. 151). Please "
            "increase the interval");
    }
}

void check_rules(CalculationType type, const detail::CalculationSettings& settings)
{
    const auto must_be_set = [type](const std::string& setting) {
        return errors::ModelError("'" + setting + "' must be set for calculation type " + short_text(type));
    };
    if (!settings.trajectory_begin_end_interval && needs_trajectory(type)) {
        throw must_be_set("trajectory_begin_end_interval");
    }
    if (settings.trajectory_begin_end_interval) check_iterations(*settings.trajectory_begin_end_interval);
    if (!settings.net_bearing_capacity && type == CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY) {
        throw must_be_set("net_bearing_capacity");
    }
    if (!settings.cpt_test_level && needs_cpt_test_level(type)) throw must_be_set("cpt_test_level");
}

detail::CalculationSettings base_settings(const BearingPilesCalculationSettings& s)
{
    return {
        .max_allowed_settlement_str_geo = s.max_allowed_settlement_str_geo,
        .max_allowed_relative_rotation_str_geo = s.max_allowed_relative_rotation_str_geo,
        .max_allowed_settlement_sls = s.max_allowed_settlement_sls,
        .max_allowed_relative_rotation_sls = s.max_allowed_relative_rotation_sls,
        .xi3 = s.xi3,
        .xi4 = s.xi4,
        .gamma_b = s.gamma_b,
        .gamma_s = s.gamma_s,
        .gamma_fnk = s.gamma_fnk,
        .area = s.area,
        .e_ea_gem = s.e_ea_gem,
        .write_intermediate_results = s.write_intermediate_results,
        .use_pile_group = s.use_pile_group,
        .overrule_excavation = s.overrule_excavation,
        .suppress_qciii_reduction = s.suppress_qciii_reduction,
        .use_almere_rules = s.use_almere_rules,
        .use_extra_almere_rules = s.use_extra_almere_rules,
        .trajectory_begin_end_interval = s.trajectory_begin_end_interval,
        .net_bearing_capacity = s.net_bearing_capacity,
        .cpt_test_level = s.cpt_test_level,
    };
}

detail::CalculationSettings base_settings(const TensionPilesCalculationSettings& s)
{
    return {
        .unit_weight_water = s.unit_weight_water,
        .surcharge = s.surcharge,
        .xi3 = s.xi3,
        .xi4 = s.xi4,
        .gamma_m_var_qc = s.gamma_m_var_qc,
        .gamma_st = s.gamma_st,
        .gamma_gamma = s.gamma_gamma,
        .overrule_excavation = s.overrule_excavation,
        .use_compaction = s.use_compaction,
        .overrule_excess_pore_pressure = s.overrule_excess_pore_pressure,
        .trajectory_begin_end_interval = s.trajectory_begin_end_interval,
        .net_bearing_capacity = s.net_bearing_capacity,
    };
}

CalculationType checked_tension_type(CalculationType type)
{
    const auto& valid = TensionPilesCalculationOptions::VALID_CALCULATION_TYPES;
    if (std::find(valid.begin(), valid.end(), type) == valid.end()) {
        throw errors::ModelError("Calculation type for Tension Piles (EC7-NL) model must be one of " +
                                 sequence_text(std::vector(valid.begin(), valid.end())) +
                                 " (current: " + short_text(type) + ")");
    }
    return type;
}

}  // namespace

namespace detail {

CalculationOptions::CalculationOptions(CalculationType calculation_type, bool rigid, CalculationSettings settings)
    : calculation_type_(calculation_type),
      rigid_(rigid)
{
    check_rules(calculation_type, settings);
    settings_ = std::move(settings);
}

MainCalculationType CalculationOptions::_main_calculation_type() const
{
    return needs_cpt_test_level(calculation_type_) ? MainCalculationType::VERIFICATION
                                                   : MainCalculationType::PRELIMINARY_DESIGN;
}

nlohmann::ordered_json CalculationOptions::_serialize() const
{
    const CalculationSettings& s = settings_;
    nlohmann::ordered_json object;
    object["main_calculation_type"] = to_value(_main_calculation_type());
    object["calculation_type"] = to_value(calculation_type_);
    object["rigid"] = rigid_;
    object["unit_weight_water"] = s.unit_weight_water.value_or(9.81);
    object["surcharge"] = s.surcharge.value_or(0.0);
    object["max_allowed_settlement_str_geo"] = s.max_allowed_settlement_str_geo.value_or(150);
    object["max_allowed_relative_rotation_str_geo"] = s.max_allowed_relative_rotation_str_geo.value_or(100);
    object["max_allowed_settlement_sls"] = s.max_allowed_settlement_sls.value_or(150);
    object["max_allowed_relative_rotation_sls"] = s.max_allowed_relative_rotation_sls.value_or(300);
    object["xi3"] = value_or_null(s.xi3);
    object["xi4"] = value_or_null(s.xi4);
    object["gamma_b"] = value_or_null(s.gamma_b);
    object["gamma_s"] = value_or_null(s.gamma_s);
    object["gamma_fnk"] = value_or_null(s.gamma_fnk);
    object["gamma_m_var_qc"] = value_or_null(s.gamma_m_var_qc);
    object["gamma_st"] = value_or_null(s.gamma_st);
    object["gamma_gamma"] = value_or_null(s.gamma_gamma);
    object["area"] = value_or_null(s.area);
    object["e_ea_gem"] = value_or_null(s.e_ea_gem);
    object["write_intermediate_results"] = s.write_intermediate_results;
    object["use_pile_group"] = s.use_pile_group;
    object["overrule_excavation"] = s.overrule_excavation;
    object["suppress_qciii_reduction"] = s.suppress_qciii_reduction;
    object["use_almere_rules"] = s.use_almere_rules;
    object["use_extra_almere_rules"] = s.use_extra_almere_rules;
    object["use_compaction"] = s.use_compaction;
    object["overrule_excess_pore_pressure"] = s.overrule_excess_pore_pressure;
    object["trajectory_begin_end_interval"] = value_or_null(s.trajectory_begin_end_interval);
    object["net_bearing_capacity"] = s.net_bearing_capacity.value_or(0);
    object["cpt_test_level"] = value_or_null(s.cpt_test_level);
    return object;
}

}  // namespace detail

BearingPilesCalculationOptions::BearingPilesCalculationOptions(CalculationType calculation_type, bool rigid,
                                                               BearingPilesCalculationSettings settings)
    : CalculationOptions(calculation_type, rigid, base_settings(settings))
{
}

TensionPilesCalculationOptions::TensionPilesCalculationOptions(CalculationType calculation_type, bool rigid,
                                                               TensionPilesCalculationSettings settings)
    : CalculationOptions(checked_tension_type(calculation_type), rigid, base_settings(settings))
{
}

}  // namespace ostrand::external::dfoundations
