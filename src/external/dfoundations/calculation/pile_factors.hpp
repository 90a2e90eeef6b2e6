// The factors of a pile type under NEN 9997-1 as D-Foundations applies them: alpha_p, alpha_s for
// sand/gravel and for clay/loam/peat, the coarse-grain factor, the displacement class, the friction
// angle class of the negative skin friction, and the geometry of its shape (areas, perimeters, s, beta).
#pragma once

#include <array>
#include <cstddef>

#include "external/dfoundations/calculation/core_input.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"

namespace ostrand::external::dfoundations::calculation {

// The factors of one pile type under one rule set.
struct PileFactors {
    double alpha_p = 0.7;
    double alpha_s_sg = 0.01;
    bool displacement = false;  // qc of sand/gravel in the shaft reduced for OCR and excavation over the whole shaft
    bool delta_is_phi = false;  // negative skin friction with delta = phi (cast in place) instead of 3/4 phi
    bool limit_qc3_to_2_mpa = false;
    const PileType* pile = nullptr;
    PileFactorRules rules = PileFactorRules::RULES_2017;

    // alpha_s of a clay, loam or peat layer whose cone resistance is qc (MPa).
    double alpha_s_clp(SoilKind kind, double qc) const;
    // The factor on alpha_s;sg for the grain size of a sand or gravel layer.
    double coarse_grain_factor(const Soil& soil) const;
};

PileFactors pile_factors(const PileType& pile, PileFactorRules rules);

// A stretch of the pile, from `upper` down to `lower`, whose perimeter is a + b·z (m).
struct PerimeterSegment {
    double upper = 0.0;
    double lower = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// At most two stretches: the enlarged base and the shaft above it.
struct PerimeterSegments {
    std::array<PerimeterSegment, 2> items{};
    std::size_t count = 0;
    const PerimeterSegment* begin() const { return items.data(); }
    const PerimeterSegment* end() const { return items.data() + count; }
};

// The shape of a pile type as the calculation uses it.
struct PileGeometry {
    double tip_area = 0.0;    // m2
    double d_eq = 0.0;        // the equivalent diameter of the tip windows (m)
    double s_factor = 1.0;
    double beta_factor = 1.0;
    const PileType* pile = nullptr;

    // The height of an enlarged base; 0 without one.
    double base_height() const;
    // The perimeter that carries positive shaft friction for a tip at `tip`, top down; a stretch that
    // carries none is left out.
    PerimeterSegments shaft_perimeter(double tip) const;
    // The perimeter on which negative skin friction acts.
    PerimeterSegments nsf_perimeter(double tip) const;

private:
    PerimeterSegments perimeter(double tip, bool negative) const;
};

PileGeometry pile_geometry(const PileType& pile);

}  // namespace ostrand::external::dfoundations::calculation
