#include "external/dfoundations/calculation/soil_column.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ostrand::external::dfoundations::calculation {

namespace {

constexpr double LOW_CAP = 12.0;    // MPa
constexpr double HIGH_CAP = 15.0;   // MPa
constexpr double HIGH_CAP_THICKNESS = 1.0;  // m

// qc at level z by linear interpolation between the measurements (top down); the nearest end outside.
class Interpolator {
public:
    Interpolator(const std::vector<double>& z, const std::vector<double>& qc) : z_(z), qc_(qc) {}
    double at(double level)
    {
        while (at_ + 1 < z_.size() && z_[at_ + 1] >= level) ++at_;
        if (at_ + 1 >= z_.size()) return qc_.back();
        if (level >= z_[at_]) return qc_[at_];
        const double span = z_[at_] - z_[at_ + 1];
        if (span <= 0) return qc_[at_ + 1];
        const double t = (z_[at_] - level) / span;
        return qc_[at_] + t * (qc_[at_ + 1] - qc_[at_]);
    }

private:
    const std::vector<double>& z_;
    const std::vector<double>& qc_;
    std::size_t at_ = 0;
};

// The mean of the interpolated CPT from `upper` down to `lower`, over the stretch the CPT covers, on a
// millimetre grid; 0 where it covers none of it.
double interpolated_mean(const Profile& profile, double upper, double lower)
{
    constexpr double step = 0.001;  // m
    upper = std::min(upper, *std::max_element(profile.z.begin(), profile.z.end()));
    lower = std::max(lower, *std::min_element(profile.z.begin(), profile.z.end()));
    const long cells = std::lround((upper - lower) / step);
    if (cells <= 0) return 0.0;
    Interpolator interpolate(profile.z, profile.qc);
    double sum = 0.0;
    for (long k = 0; k < cells; ++k) sum += std::max(0.0, interpolate.at(upper - (static_cast<double>(k) + 0.5) * step));
    return sum / static_cast<double>(cells);
}

// The representative cone resistance of every layer: the mean of the CPT's measured values in it (top
// included, bottom not), as D-Foundations takes it (a clay layer whose depth-weighted mean is just above
// 2 MPa and whose points average just below it gets the lower alpha_s). A layer between two measurements
// takes the mean of the interpolated CPT over it; 0 where the CPT does not reach the layer.
std::vector<double> layer_mean_qc(const Profile& profile)
{
    const std::vector<Layer>& layers = profile.layers;
    std::vector<double> sums(layers.size(), 0.0);
    std::vector<int> counts(layers.size(), 0);
    std::size_t l = 0;  // the layer of the previous point; the points run top down
    for (std::size_t p = 0; p < profile.z.size(); ++p) {
        const double z = profile.z[p];
        if (layers.empty() || z > layers.front().top + 1e-9) continue;
        while (l + 1 < layers.size() && z <= layers[l + 1].top + 1e-9) ++l;
        while (l > 0 && z > layers[l].top + 1e-9) --l;
        sums[l] += std::max(0.0, profile.qc[p]);
        ++counts[l];
    }
    std::vector<double> means(layers.size(), 0.0);
    for (std::size_t k = 0; k < layers.size(); ++k) {
        const double lower = k + 1 < layers.size() ? layers[k + 1].top : -std::numeric_limits<double>::infinity();
        means[k] = counts[k] > 0 ? sums[k] / counts[k] : interpolated_mean(profile, layers[k].top, lower);
    }
    return means;
}

}  // namespace

SoilColumn::SoilColumn(const Profile& profile, const CoreInput& input, double step, double upper, double lower)
    : profile_(&profile), input_(&input), step_(step)
{
    // The measurements top down (some files list a double point, both are kept).
    const double highest = std::min(*std::max_element(profile.z.begin(), profile.z.end()), upper + HIGH_CAP_THICKNESS);
    const double lowest = std::max(*std::min_element(profile.z.begin(), profile.z.end()), lower - HIGH_CAP_THICKNESS);
    top_cm_ = static_cast<long>(std::floor(highest / step_ + 1e-6));
    const long bottom_cm = static_cast<long>(std::ceil(lowest / step_ - 1e-6));
    const std::size_t n = static_cast<std::size_t>(std::max(1L, top_cm_ - bottom_cm + 1));
    qc_.resize(n);
    Interpolator interpolate(profile.z, profile.qc);
    for (std::size_t i = 0; i < n; ++i) qc_[i] = std::max(0.0, interpolate.at(level(i)));

    const double low = input.factors.qcza_low.value_or(LOW_CAP);
    const double high = input.factors.qcza_high.value_or(HIGH_CAP);
    cap_.assign(n, low);
    for (std::size_t i = 0; i < n;) {
        if (qc_[i] < low) { ++i; continue; }
        std::size_t j = i;
        while (j + 1 < n && qc_[j + 1] >= low) ++j;
        if (level(i) - level(j) >= HIGH_CAP_THICKNESS - 1e-9) std::fill(cap_.begin() + static_cast<long>(i), cap_.begin() + static_cast<long>(j) + 1, high);
        i = j + 1;
    }

    cell_layer_.assign(n, -1);
    const std::vector<Layer>& layers = profile.layers;
    std::size_t layer = 0;  // the first layer whose top is below the cell centre, walking down
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double centre = 0.5 * (level(i) + level(i + 1));
        while (layer < layers.size() && layers[layer].top + 1e-9 >= centre) ++layer;
        if (layer > 0) cell_layer_[i] = static_cast<int>(layer - 1);
    }
    layer_qc_ = layer_mean_qc(profile);
}

std::size_t SoilColumn::index_of(double z) const
{
    const long i = top_cm_ - std::lround(z / step_);
    return static_cast<std::size_t>(std::clamp(i, 0L, static_cast<long>(qc_.size()) - 1));
}

const Layer* SoilColumn::layer_at(double z) const
{
    const Layer* found = nullptr;
    for (const Layer& layer : profile_->layers) {
        if (layer.top + 1e-9 < z) break;
        found = &layer;
    }
    return found;
}

double SoilColumn::effective_stress(double z, double gamma_w) const
{
    const std::vector<Layer>& layers = profile_->layers;
    const double water = profile_->phreatic_level;
    double stress = 0.0;
    for (std::size_t l = 0; l < layers.size(); ++l) {
        const double upper = layers[l].top;
        const double lower = std::max(z, l + 1 < layers.size() ? layers[l + 1].top : -std::numeric_limits<double>::infinity());
        if (upper <= z) break;
        if (lower >= upper) continue;
        const Soil& soil = input_->soils[static_cast<std::size_t>(layers[l].soil)];
        const double dry = std::max(0.0, upper - std::max(lower, water));
        const double wet = std::max(0.0, std::min(upper, water) - lower);
        stress += soil.gamma_dry * dry + (soil.gamma_wet - gamma_w) * wet;
    }
    return stress;
}

}  // namespace ostrand::external::dfoundations::calculation
