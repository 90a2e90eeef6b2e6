#include "ostrand/external/dfoundations/number_format.hpp"

#include "text/number_format.hpp"

namespace ostrand::external::dfoundations {

static_assert(MAX_NUMBER_TEXT == text::MAX_NUMBER_TEXT);

std::string format_number(double value) { return text::format_number(value); }
std::string format_number(std::int64_t value) { return text::format_number(value); }
char* write_number(char* out, double value) { return text::write_number(out, value); }

}  // namespace ostrand::external::dfoundations
