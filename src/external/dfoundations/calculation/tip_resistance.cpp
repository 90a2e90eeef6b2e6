#include "external/dfoundations/calculation/tip_resistance.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace ostrand::external::dfoundations::calculation {

namespace {

constexpr double QB_LIMIT = 15.0;       // MPa
constexpr double QC3_LIMIT_CFA = 2.0;   // MPa
constexpr double TIE = 1e-9;            // MPa: trial depths this close below the tip are equally weak

// Whether an open-ended pipe forms a plug: its tip stands in clay, loam or peat.
bool plugged(const SoilColumn& column, const CoreInput& input, double tip)
{
    const Layer* layer = column.layer_at(tip - 0.5 * GRID_STEP);
    if (layer == nullptr) return true;
    const SoilKind kind = input.soils[static_cast<std::size_t>(layer->soil)].kind;
    return kind != SoilKind::sand && kind != SoilKind::gravel;
}

}  // namespace

// Koppejan's construction: the trial depth d between 0.7 D_eq and 4 D_eq is chosen on the window below
// the tip (the weakest soil the tip can feel, as the method is described in the Dutch practice), and
// q_c;III then follows from that window's minimum; the result is ½(½(q_c;I + q_c;II) + q_c;III) of that
// depth. D-Foundations takes the depth with the smallest ½(q_c;I + q_c;II). Minimising the whole
// expression instead lets a thin weak band deep below the tip pull q_c;III down over the 8 D_eq above
// it, which D-Foundations does not do. Of equally weak depths the one with the smaller result counts.
double koppejan_average(const SoilColumn& column, double tip, const PileGeometry& geometry, const PileFactors& factors)
{
    const std::size_t n = column.size();
    const std::size_t it = column.index_of(tip);
    const long first = static_cast<long>(std::ceil(0.7 * geometry.d_eq / GRID_STEP - 1e-6));
    const long last = static_cast<long>(std::floor(4.0 * geometry.d_eq / GRID_STEP + 1e-6));
    const long up = static_cast<long>(std::floor(8.0 * geometry.d_eq / GRID_STEP + 1e-6));

    // q_c;III path upwards from the tip: m_j, the running minimum of qc from the tip up (non-increasing).
    std::vector<double> upward;
    for (long j = 0; j <= up && static_cast<long>(it) - j >= 0; ++j) {
        const double q = column.qc(it - static_cast<std::size_t>(j));
        upward.push_back(upward.empty() ? q : std::min(upward.back(), q));
    }
    // suffix sums of the path for min(p0, m_j) sums
    std::vector<double> suffix(upward.size() + 1, 0.0);
    for (std::size_t j = upward.size(); j-- > 0;) suffix[j] = suffix[j + 1] + upward[j];
    const double qc3_factor = factors.pile->manual_qc3_reduction ? 1.0 - factors.pile->qc3_reduction_percent / 100.0 : 1.0;
    auto qc3 = [&](double start) {
        // sum_j min(start, m_j): m_j >= start on a prefix.
        const auto split = std::partition_point(upward.begin(), upward.end(), [&](double m) { return m >= start; });
        const auto k = static_cast<std::size_t>(split - upward.begin());
        double mean = (start * static_cast<double>(k) + suffix[k]) / static_cast<double>(upward.size());
        mean *= qc3_factor;
        if (factors.limit_qc3_to_2_mpa) mean = std::min(mean, QC3_LIMIT_CFA);
        return mean;
    };

    // Walking the window's bottom down: the sum of qc, the running minimum, and the sum of the minimum
    // path (each point's minimum of the points from it down to the bottom), kept with a stack.
    double best = std::numeric_limits<double>::infinity();
    double weakest = std::numeric_limits<double>::infinity();  // the smallest ½(q_c;I + q_c;II) so far
    double sum = 0.0;
    double path_sum = 0.0;
    double lowest = std::numeric_limits<double>::infinity();
    struct Run { double value; long count; };
    std::vector<Run> stack;
    for (long d = 0; d <= last; ++d) {
        const std::size_t b = it + static_cast<std::size_t>(d);
        if (b >= n) break;
        const double q = column.qc(b);
        sum += q;
        lowest = std::min(lowest, q);
        long count = 1;
        while (!stack.empty() && stack.back().value >= q) {
            path_sum -= stack.back().value * static_cast<double>(stack.back().count);
            count += stack.back().count;
            stack.pop_back();
        }
        stack.push_back({q, count});
        path_sum += q * static_cast<double>(count);
        if (d < first) continue;
        const double points = static_cast<double>(d + 1);
        const double qc1 = sum / points;
        const double qc2 = path_sum / points;
        const double below = 0.5 * (qc1 + qc2);
        const double average = 0.5 * (below + qc3(lowest));
        if (below < weakest - TIE) {
            weakest = below;
            best = average;
        } else if (below <= weakest + TIE) {
            best = std::min(best, average);
        }
    }
    if (!std::isfinite(best)) best = column.qc(it);
    return best;
}

double tip_resistance(const SoilColumn& column, const CoreInput& input, double tip, const PileGeometry& geometry,
                      const PileFactors& factors)
{
    double area = geometry.tip_area;
    if (geometry.pile->shape == Shape::round_open_hollow && !plugged(column, input, tip)) {
        const double inner = geometry.pile->dimension("Internal diameter");
        area -= std::numbers::pi * inner * inner / 4.0;
    }
    const double qb = std::min(factors.alpha_p * geometry.beta_factor * geometry.s_factor *
                                   koppejan_average(column, tip, geometry, factors),
                               input.factors.qb_max.value_or(QB_LIMIT));
    return 1000.0 * area * qb;
}

}  // namespace ostrand::external::dfoundations::calculation
