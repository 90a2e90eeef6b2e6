// Small complete model documents to start from, one per model kind, built through the model
// operations so that `dfoundations input` takes them back as they are.
#pragma once

#include <string>

namespace dfoundations_cli {

// The model document text of a small "bearing" or "tension" model.
std::string example_document(const std::string& kind);

}  // namespace dfoundations_cli
