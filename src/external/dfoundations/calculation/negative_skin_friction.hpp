// Negative skin friction F_nk;rep: the drag of the settling soil from the top of the first layer down to
// the bottom of the negative skin friction zone, K0·tan(delta) times the effective stress with the
// surcharge on the pile's mean perimeter over the zone, limited by a slip layer.
#pragma once

#include <vector>

#include "external/dfoundations/calculation/depth_integral.hpp"
#include "external/dfoundations/calculation/pile_factors.hpp"
#include "external/dfoundations/calculation/soil_column.hpp"

namespace ostrand::external::dfoundations::calculation {

// The stress and friction angle of a profile in cells of a centimetre from the top of its first layer.
struct DragColumn {
    DragColumn(const SoilColumn& column, const CoreInput& input, double lowest);
    double top = 0.0;
    double bottom = 0.0;  // the bottom of the zone
    double end = 0.0;     // the lowest level summed: the bottom, or the deepest tip below it
    std::vector<double> stress;  // effective vertical stress plus the surcharge (kPa)
    std::vector<double> phi;     // radians
    double sqrt_ocr = 1.0;
};

class NegativeSkinFriction {
public:
    // `levels`: the tip levels and the tops of the bases above them.
    NegativeSkinFriction(const DragColumn& column, const PileFactors& factors, std::vector<double> levels);
    double at(double tip, const PileGeometry& geometry) const;

private:
    const DragColumn* column_;
    enum Quantity { drag, contact };  // K0·tan(delta)·sigma'v (kPa); 1 over the zone
    DepthIntegral<2> sums_;
};

}  // namespace ostrand::external::dfoundations::calculation
