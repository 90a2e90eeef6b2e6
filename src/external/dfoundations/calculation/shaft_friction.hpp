// The positive shaft friction R_s;cal;max (NEN 9997-1 formula 7.e/7.f): alpha_s times the capped cone
// resistance over the shaft, with the cone resistance of sand and gravel reduced for the
// overconsolidation of the bearing layer and for an excavation before installation.
#pragma once

#include <vector>

#include "external/dfoundations/calculation/depth_integral.hpp"
#include "external/dfoundations/calculation/pile_factors.hpp"
#include "external/dfoundations/calculation/soil_column.hpp"

namespace ostrand::external::dfoundations::calculation {

// The factor on the cone resistance of sand and gravel at each grid point of a profile.
class ShaftReduction {
public:
    ShaftReduction(const SoilColumn& column, const CoreInput& input);
    double factor(std::size_t i, bool displacement) const;

private:
    const SoilColumn* column_;
    double ocr_ = 1.0;
    bool excavated_ = false;
    std::vector<double> excavation_;
    std::vector<double> manual_;  // the manual reduction per point, when the profile has one
};

struct ShaftResult {
    double resistance = 0.0;  // kN
    bool sand_friction = false;  // some sand or gravel carries friction
    double clay_alpha_length = 0.0;  // alpha_s;clp x thickness over the clay, loam and peat that carry friction
    double clay_length = 0.0;
};

// The friction of one pile type along one profile, summed once; each tip level then costs a few look-ups.
class ShaftFriction {
public:
    // Summed from the top of the shaft zone down to the deepest of `levels`, the tip levels and the tops
    // of the bases above them; `at` takes those tips.
    ShaftFriction(const SoilColumn& column, const ShaftReduction& reduction, const PileFactors& factors,
                  std::vector<double> levels);
    ShaftResult at(double tip, const PileGeometry& geometry) const;

private:
    enum Quantity { friction, sand, clay_alpha, clay };  // alpha_s x q_c;z;a (MPa); 1 in sand/gravel; ...
    double top_ = 0.0;
    DepthIntegral<4> sums_;
};

}  // namespace ostrand::external::dfoundations::calculation
