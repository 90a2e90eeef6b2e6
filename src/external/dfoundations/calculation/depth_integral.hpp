// Running sums of a few quantities down a profile, kept only at the levels a calculation asks for (the
// pile-tip levels and the tops of the bases above them), so that the integral over any stretch between
// two of them, also weighted by a perimeter a + b·z, costs two look-ups and no large buffer.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace ostrand::external::dfoundations::calculation {

template <std::size_t N>
class DepthIntegral {
public:
    using Values = std::array<double, N>;  // quantities per metre

    DepthIntegral() = default;
    // Sums from `top` down; `levels` are the levels to keep (any order, at or below the top).
    DepthIntegral(double top, std::vector<double> levels) : top_(top), levels_(std::move(levels))
    {
        std::sort(levels_.begin(), levels_.end(), std::greater<>());
        levels_.erase(std::unique(levels_.begin(), levels_.end(), [](double x, double y) { return std::abs(x - y) < 1e-9; }),
                      levels_.end());
        kept_.resize(levels_.size());
    }

    // Adds the stretch from `upper` down to `lower` with constant quantities; stretches come top down.
    void add(double upper, double lower, const Values& values)
    {
        while (next_ < levels_.size() && levels_[next_] >= lower - 1e-12) {
            const double z = std::min(levels_[next_], upper);
            kept_[next_++] = with(sum_, moment_, upper, std::max(z, lower), values);
        }
        const Entry whole = with(sum_, moment_, upper, lower, values);
        sum_ = whole.sum;
        moment_ = whole.moment;
    }

    // Once every stretch is added: the levels below the last stretch keep the total.
    void finish()
    {
        while (next_ < levels_.size()) kept_[next_++] = {sum_, moment_};
    }

    // The integral of (a + b·z) times quantity q from `upper` down to `lower`, both the top or kept levels.
    double between(std::size_t q, double upper, double lower, double a, double b) const
    {
        if (upper <= lower) return 0.0;
        const Entry& low = at(lower);
        const Entry& high = at(upper);
        return a * (low.sum[q] - high.sum[q]) + b * (low.moment[q] - high.moment[q]);
    }

private:
    struct Entry {
        Values sum{};
        Values moment{};
    };

    static Entry with(const Values& sum, const Values& moment, double upper, double lower, const Values& values)
    {
        Entry entry{sum, moment};
        const double length = upper - lower;
        const double centre = 0.5 * (upper + lower);
        for (std::size_t q = 0; q < N; ++q) {
            entry.sum[q] += values[q] * length;
            entry.moment[q] += values[q] * length * centre;
        }
        return entry;
    }

    const Entry& at(double z) const
    {
        static const Entry zero{};
        if (z >= top_ - 1e-9) return zero;
        const auto found = std::lower_bound(levels_.begin(), levels_.end(), z + 1e-9, std::greater<>());
        if (found == levels_.end()) return kept_.empty() ? zero : kept_.back();
        return kept_[static_cast<std::size_t>(found - levels_.begin())];
    }

    double top_ = 0.0;
    std::vector<double> levels_;  // top down
    std::vector<Entry> kept_;
    std::size_t next_ = 0;
    Values sum_{};
    Values moment_{};
};

}  // namespace ostrand::external::dfoundations::calculation
