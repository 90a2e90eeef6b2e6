// The tip resistance R_b;cal;max (NEN 9997-1 formula 7.c/7.d): Koppejan's average of the cone resistance
// over the 0.7D-4D window below the tip and the 8D window above it, times alpha_p, beta and s, capped.
#pragma once

#include "external/dfoundations/calculation/pile_factors.hpp"
#include "external/dfoundations/calculation/soil_column.hpp"

namespace ostrand::external::dfoundations::calculation {

// Koppejan's q_c;avg at the tip (MPa).
double koppejan_average(const SoilColumn& column, double tip, const PileGeometry& geometry, const PileFactors& factors);

// R_b;cal;max in kN.
double tip_resistance(const SoilColumn& column, const CoreInput& input, double tip, const PileGeometry& geometry,
                      const PileFactors& factors);

}  // namespace ostrand::external::dfoundations::calculation
