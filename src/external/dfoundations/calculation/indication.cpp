#include "external/dfoundations/calculation/indication.hpp"

#include <algorithm>
#include <deque>

#include "external/dfoundations/calculation/negative_skin_friction.hpp"
#include "external/dfoundations/calculation/pile_factors.hpp"
#include "external/dfoundations/calculation/shaft_friction.hpp"
#include "external/dfoundations/calculation/soil_column.hpp"
#include "external/dfoundations/calculation/tip_resistance.hpp"

namespace ostrand::external::dfoundations::calculation {

namespace {

// The shaft is integrated on a millimetre grid: close enough to the exact integral of the piecewise
// linear CPT, which D-Foundations takes (a centimetre grid loses up to 2 kN at every jump of qc).
constexpr double SHAFT_STEP = 0.001;  // m

// xi3 (and xi4) of NEN 9997-1 table A.10 by the number of CPTs.
double correlation_factor(std::size_t cpts)
{
    static constexpr double table[] = {1.39, 1.39, 1.32, 1.30, 1.28, 1.28, 1.28, 1.27, 1.27, 1.27, 1.27};
    return table[std::min<std::size_t>(cpts, 10)];
}

DesignParameters parameters_of(const CoreInput& input)
{
    DesignParameters parameters;
    const double xi = correlation_factor(input.profiles.size());
    parameters.ksi3_used = input.factors.xi3.value_or(xi);
    parameters.ksi4_used = input.factors.xi4.value_or(parameters.ksi3_used);
    parameters.gamma_b_used = input.factors.gamma_b.value_or(1.2);
    parameters.gamma_s_used = input.factors.gamma_s.value_or(1.2);
    parameters.is_ksi3_used = false;
    return parameters;
}

double lowest_tip(const CoreInput& input)
{
    return input.tip_levels.empty() ? 0.0 : *std::min_element(input.tip_levels.begin(), input.tip_levels.end());
}

// A profile with everything that does not depend on the pile type.
struct PreparedProfile {
    PreparedProfile(const PreparedProfile&) = delete;
    PreparedProfile& operator=(const PreparedProfile&) = delete;
    PreparedProfile(const Profile& profile, const CoreInput& input, double lowest_tip)
        : tip_column(profile, input),
          shaft_column(profile, input, SHAFT_STEP, std::min(profile.top_positive_skin_friction, profile.layers.front().top),
                       lowest_tip),
          reduction(shaft_column, input),
          drag(tip_column, input, lowest_tip)
    {
    }
    SoilColumn tip_column;
    SoilColumn shaft_column;
    ShaftReduction reduction;
    DragColumn drag;
};

struct PileRun {
    const CoreInput* input;
    const PileGeometry* geometry;
    const PileFactors* factors;
    const DesignParameters* parameters;
    double gamma_fnk;
};

IterationResult row_for(const PileRun& run, const PreparedProfile& profile, const ShaftFriction& shaft,
                        const NegativeSkinFriction& drag, double tip, ShaftResult& shaft_result)
{
    IterationResult row;
    row.level = tip;
    row.rb_cal_max = tip_resistance(profile.tip_column, *run.input, tip, *run.geometry, *run.factors);
    shaft_result = shaft.at(tip, *run.geometry);
    row.rs_cal_max = shaft_result.resistance;
    row.rc_cal_max = row.rb_cal_max + row.rs_cal_max;
    const DesignParameters& p = *run.parameters;
    row.rc_d = row.rb_cal_max / (p.ksi3_used * p.gamma_b_used) + row.rs_cal_max / (p.ksi3_used * p.gamma_s_used);
    row.fnsf_rep = drag.at(tip, *run.geometry);
    row.fnsf_d = run.gamma_fnk * row.fnsf_rep;
    row.rc_net_d = row.rc_d - row.fnsf_d;
    row.hmv = profile.tip_column.top();
    row.cpt_name = profile.tip_column.profile().name;
    return row;
}

PileTypeResults pile_results(const PileType& pile, const CoreInput& input, const std::deque<PreparedProfile>& profiles,
                             PileFactorRules rules, const DesignParameters& parameters)
{
    const PileGeometry geometry = pile_geometry(pile);
    const PileFactors factors = pile_factors(pile, rules);
    const PileRun run{&input, &geometry, &factors, &parameters, input.factors.gamma_fnk.value_or(1.0)};
    PileTypeResults result;
    result.pile_name = pile.name;
    result.beta_factor = geometry.beta_factor;
    result.s_factor = geometry.s_factor;
    result.parameters = parameters;
    result.iterations.resize(input.tip_levels.size() * profiles.size());
    // The levels at which the friction sums are looked up: the tips and the tops of their bases.
    std::vector<double> levels = input.tip_levels;
    if (geometry.base_height() > 0)
        for (double tip : input.tip_levels) levels.push_back(tip + geometry.base_height());
    for (std::size_t c = 0; c < profiles.size(); ++c) {
        const ShaftFriction shaft(profiles[c].shaft_column, profiles[c].reduction, factors, levels);
        const NegativeSkinFriction drag(profiles[c].drag, factors, levels);
        ShaftResult deepest;
        for (std::size_t t = 0; t < input.tip_levels.size(); ++t) {
            IterationResult& row = result.iterations[t * profiles.size() + c];
            row = row_for(run, profiles[c], shaft, drag, input.tip_levels[t], deepest);
            row.iteration_index = static_cast<int>(t + 1);
            row.cpt_index = static_cast<int>(c + 1);
        }
        // The averages are those over the shaft of the deepest tip.
        AveragePileFactors average;
        average.cpt_index = static_cast<int>(c + 1);
        average.cpt_name = input.profiles[c].name;
        average.alpha_p_gem = factors.alpha_p;
        average.alpha_s_gem_sg = deepest.sand_friction ? factors.alpha_s_sg : 0.0;
        average.alpha_s_gem_clp = deepest.clay_length > 0 ? deepest.clay_alpha_length / deepest.clay_length : 0.0;
        result.average_factors.push_back(std::move(average));
    }
    return result;
}

}  // namespace

PileFactorRules rules_of_layout(int layout)
{
    // D-Foundations 25.1 writes layout 1033; 19.x 1015, 23.1 1024.
    return layout >= 1033 ? PileFactorRules::RULES_2025 : PileFactorRules::RULES_2017;
}

CalculationResults compute_indication(const CoreInput& input, PileFactorRules rules)
{
    CalculationResults results;
    results.rules = rules;
    results.iteration_count = static_cast<int>(input.tip_levels.size());
    results.cpt_count = static_cast<int>(input.profiles.size());
    std::deque<PreparedProfile> profiles;  // in place: the columns refer to each other
    for (const Profile& profile : input.profiles) profiles.emplace_back(profile, input, lowest_tip(input));
    const DesignParameters parameters = parameters_of(input);
    for (const PileType& pile : input.pile_types)
        results.pile_types.push_back(pile_results(pile, input, profiles, rules, parameters));
    return results;
}

}  // namespace ostrand::external::dfoundations::calculation
