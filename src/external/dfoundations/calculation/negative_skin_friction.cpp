#include "external/dfoundations/calculation/negative_skin_friction.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ostrand::external::dfoundations::calculation {

namespace {

constexpr double WATER_WEIGHT = 10.0;  // kN/m3: D-Foundations takes 10 here, not the file's unit weight
constexpr double MIN_K0_TAN_DELTA = 0.25;

}  // namespace

DragColumn::DragColumn(const SoilColumn& column, const CoreInput& input, double lowest)
{
    const Profile& profile = column.profile();
    top = column.top();
    bottom = profile.bottom_negative_skin_friction;
    sqrt_ocr = std::sqrt(std::max(1.0, profile.ocr_bearing_layer));
    end = std::max(bottom, lowest);
    for (double upper = top; upper > end + 1e-9; upper -= GRID_STEP) {
        const double z = upper - 0.5 * GRID_STEP;
        const Layer* layer = column.layer_at(z);
        const Soil* soil = layer != nullptr ? &input.soils[static_cast<std::size_t>(layer->soil)] : nullptr;
        stress.push_back(column.effective_stress(z, WATER_WEIGHT) + input.surcharge);
        phi.push_back(soil != nullptr ? soil->phi * std::numbers::pi / 180.0 : 0.0);
    }
}

NegativeSkinFriction::NegativeSkinFriction(const DragColumn& column, const PileFactors& factors, std::vector<double> levels)
    : column_(&column)
{
    levels.push_back(column.bottom);
    sums_ = DepthIntegral<2>(column.top, std::move(levels));
    // delta = phi for piles cast in place, 3/4 phi for the others.
    const double delta = factors.delta_is_phi ? 1.0 : 0.75;
    for (std::size_t k = 0; k < column.stress.size(); ++k) {
        const double phi = column.phi[k];
        const double k0_tan_delta = std::max(MIN_K0_TAN_DELTA, (1.0 - std::sin(phi)) * column.sqrt_ocr * std::tan(delta * phi));
        const double upper = column.top - static_cast<double>(k) * GRID_STEP;
        sums_.add(upper, std::max(upper - GRID_STEP, column.end), {k0_tan_delta * column.stress[k], 1.0});
    }
    sums_.finish();
}

double NegativeSkinFriction::at(double tip, const PileGeometry& geometry) const
{
    const double bottom = std::max(column_->bottom, tip);
    if (bottom >= column_->top) return 0.0;
    double touching = 0.0;  // perimeter x thickness (m2)
    for (const PerimeterSegment& segment : geometry.nsf_perimeter(tip)) {
        const double upper = std::min(segment.upper, column_->top);
        const double lower = std::max(segment.lower, bottom);
        if (upper <= lower) continue;
        touching += sums_.between(contact, upper, lower, segment.a, segment.b);
    }
    // The drag of the soil acts on the mean perimeter over the zone (O_s;gem of NEN 9997-1), not on
    // the perimeter at each depth: an enlarged base low in the zone adds its mean share, not its share
    // of the deepest, largest stresses.
    const double mean_perimeter = touching / (column_->top - bottom);
    const double soil = mean_perimeter * sums_.between(drag, column_->top, bottom, 1.0, 0.0);
    double slip = 0.0;  // kPa
    switch (geometry.pile->slip_layer) {
        case SlipLayer::bitumen: slip = 10.0; break;
        case SlipLayer::bentonite: slip = 20.0; break;
        case SlipLayer::user_defined: slip = geometry.pile->adhesion; break;
        default: return soil;  // none, or a synthetic layer (no effect seen)
    }
    return std::min(soil, slip * touching);
}

}  // namespace ostrand::external::dfoundations::calculation
