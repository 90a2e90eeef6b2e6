// The D-Foundations input-file writer: a model document in, the text of an input file (.foi) out.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace ostrand::foi {

// The text of the D-Foundations input file (.foi) that `document` describes, lines ended by CR LF,
// texts in Windows-1252. The layout is that of D-Foundations 19.x (Soil 1005, D-Foundations 1015)
// unless the document's optional "layout" is 23 or 25: then that of D-Foundations 23.x
// (Soil 1010, D-Foundations 1024) or 25.1 (Soil 1013, D-Foundations 1033).
// A document that cannot become an input file raises errors::InternalError saying what is wrong.
// Read the document into an ordered_json to keep the materials in their registration order; from a
// plain json they come in name order.
std::string fill_dfoundations_template(const nlohmann::ordered_json& document);
std::string fill_dfoundations_template(const nlohmann::json& document);

// Raises errors::InternalError, as the writer would, when the layout `version` (19, 23 or 25) has no
// place for a setting that `document` (a model document, with or without metadata) turns on.
void check_layout_holds(const nlohmann::ordered_json& document, int version);

}  // namespace ostrand::foi
