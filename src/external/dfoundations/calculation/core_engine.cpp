#include "external/dfoundations/calculation/core_engine.hpp"

#include <mutex>

#include "ostrand/external/dfoundations/calculation.hpp"
#include "ostrand/platform.hpp"

namespace ostrand::external::dfoundations::calculation {

void install_core_engine()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        set_in_process_engine([](const std::string& input_file) {
            const CalculationResults results = calculate(input_file);
            return ResultContent{{"input.fod", write_output_file(results, input_file)}};
        });
    });
}

}  // namespace ostrand::external::dfoundations::calculation
