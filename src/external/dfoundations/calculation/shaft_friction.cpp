#include "external/dfoundations/calculation/shaft_friction.hpp"

#include <algorithm>
#include <cmath>

namespace ostrand::external::dfoundations::calculation {

namespace {

constexpr double EXCAVATION_ZONE_NON_DISPLACEMENT = 2.0;  // m below the excavation level

bool sand_or_gravel(const Soil& soil) { return soil.kind == SoilKind::sand || soil.kind == SoilKind::gravel; }

}  // namespace

ShaftReduction::ShaftReduction(const SoilColumn& column, const CoreInput& input) : column_(&column)
{
    const Profile& profile = column.profile();
    ocr_ = profile.ocr_bearing_layer > 1.0 ? 1.0 / std::sqrt(profile.ocr_bearing_layer) : 1.0;
    if (profile.reduction_type == 2) {
        manual_.resize(column.size());
        for (std::size_t i = 0; i < column.size(); ++i) {
            const Layer* layer = column.layer_at(column.level(i));
            manual_[i] = layer != nullptr ? 1.0 - layer->reduction_percent / 100.0 : 1.0;
        }
    }
    const double exc = profile.excavation_level;
    // An excavation reduces only when it lies below the top of the first layer.
    if (profile.reduction_type != 0 || !(exc < column.top() - 1e-9)) return;
    excavated_ = true;
    excavation_.assign(column.size(), 1.0);
    const double gamma_w = input.factors.unit_weight_water;
    const double removed = column.effective_stress(exc, gamma_w);
    for (std::size_t i = 0; i < column.size(); ++i) {
        const double z = column.level(i);
        if (z > exc) continue;
        const double before = column.effective_stress(z, gamma_w);
        excavation_[i] = before > 0 ? std::sqrt(std::max(0.0, before - removed) / before) : 1.0;
    }
}

double ShaftReduction::factor(std::size_t i, bool displacement) const
{
    const Profile& profile = column_->profile();
    double f = displacement ? ocr_ : 1.0;
    // Displacement piles feel the excavation over the whole shaft, others only close below it.
    if (excavated_ && (displacement || column_->level(i) >= profile.excavation_level - EXCAVATION_ZONE_NON_DISPLACEMENT - 1e-9))
        f = std::min(f, excavation_[i]);
    if (!manual_.empty()) f *= manual_[i];
    return f;
}

ShaftFriction::ShaftFriction(const SoilColumn& column, const ShaftReduction& reduction, const PileFactors& factors,
                             std::vector<double> levels)
{
    top_ = std::min(column.profile().top_positive_skin_friction, column.top());
    const double lowest = levels.empty() ? top_ : *std::min_element(levels.begin(), levels.end());
    sums_ = DepthIntegral<4>(top_, std::move(levels));
    const std::size_t first = column.index_of(top_);
    const std::size_t last = std::min(column.size() - 1, column.index_of(lowest) + 1);
    auto sand_point = [&](std::size_t j) {
        return std::min(column.qc(j) * reduction.factor(j, factors.displacement), column.cap(j));
    };
    for (std::size_t i = first; i < last; ++i) {
        const double upper = std::min(column.level(i), top_);
        const double lower = column.level(i + 1);
        if (upper <= lower) continue;
        const Soil* soil = column.cell_soil(i);
        DepthIntegral<4>::Values values{};
        if (soil != nullptr && sand_or_gravel(*soil)) {
            values[friction] = factors.alpha_s_sg * factors.coarse_grain_factor(*soil) * 0.5 * (sand_point(i) + sand_point(i + 1));
            values[sand] = 1.0;
        } else if (soil != nullptr) {
            // alpha_s of clay depends on qc, decided for the whole layer by the layer's cone resistance.
            const double alpha = factors.alpha_s_clp(soil->kind, column.cell_layer_qc(i));
            values[friction] = alpha * 0.5 * (std::min(column.qc(i), column.cap(i)) + std::min(column.qc(i + 1), column.cap(i + 1)));
            values[clay_alpha] = alpha;
            values[clay] = 1.0;
        }
        sums_.add(upper, lower, values);
    }
    sums_.finish();
}

ShaftResult ShaftFriction::at(double tip, const PileGeometry& geometry) const
{
    ShaftResult result;
    if (tip >= top_) return result;
    for (const PerimeterSegment& segment : geometry.shaft_perimeter(tip)) {
        const double upper = std::min(segment.upper, top_);
        const double lower = std::max(segment.lower, tip);
        if (upper <= lower) continue;
        result.resistance += 1000.0 * sums_.between(friction, upper, lower, segment.a, segment.b);
        result.sand_friction = result.sand_friction || sums_.between(sand, upper, lower, 1.0, 0.0) > 1e-9;
        result.clay_alpha_length += sums_.between(clay_alpha, upper, lower, 1.0, 0.0);
        result.clay_length += sums_.between(clay, upper, lower, 1.0, 0.0);
    }
    return result;
}

}  // namespace ostrand::external::dfoundations::calculation
