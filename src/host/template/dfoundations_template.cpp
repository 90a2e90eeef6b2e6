#include "dfoundations_template.hpp"

#include "ostrand/errors.hpp"

namespace ostrand::host {

std::string fill_dfoundations_template(const nlohmann::json&)
{
    throw errors::InternalError("The D-Foundations template is not available yet.");
}

}  // namespace ostrand::host
