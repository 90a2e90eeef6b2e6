#include "ostrand/external/dfoundations/calculation.hpp"

namespace ostrand::external::dfoundations {

const char* const CORE_PROGRAM_NAME = "dfoundations open calculation core";

std::string write_output_file(const CalculationResults&, std::string_view) { return {}; }

}  // namespace ostrand::external::dfoundations
