// The indication of the bearing capacity: every selected pile type at every selected profile and
// pile-tip level (NEN 9997-1 art. 7.6.2.3 with Koppejan's tip, as D-Foundations computes it).
#pragma once

#include "external/dfoundations/calculation/core_input.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"

namespace ostrand::external::dfoundations::calculation {

// The rule set D-Foundations applies to a file of that layout.
PileFactorRules rules_of_layout(int layout);

CalculationResults compute_indication(const CoreInput& input, PileFactorRules rules);

}  // namespace ostrand::external::dfoundations::calculation
