// The add-on endpoint "filldfoundationstemplate/v2/jobs/", served in-process.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "host/temporary_store.hpp"

namespace ostrand::host {

// Turns a model document into the text of a D-Foundations input file; failures raise errors::InternalError.
using TemplateFiller = std::function<std::string(const nlohmann::ordered_json& document)>;

inline constexpr const char* template_endpoint = "filldfoundationstemplate/v2/jobs/";

// Serves one template job: reads the model document at "input_url", fills the template and writes
// the input file to the slot of "upload_url" and "upload_data". Every failure raises
// errors::InternalError with a message that says what went wrong.
void serve_template_job(const nlohmann::ordered_json& request, TemporaryStore& store, const TemplateFiller& fill);

}  // namespace ostrand::host
