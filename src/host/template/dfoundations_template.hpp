// The template service of the embedded platform: a model document in, a D-Foundations input file out.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace ostrand::host {

// The text of the D-Foundations input file (.foi) that `document` describes.
// A document that cannot become an input file raises errors::InternalError saying what is wrong.
std::string fill_dfoundations_template(const nlohmann::json& document);

}  // namespace ostrand::host
