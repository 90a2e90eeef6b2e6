// What an input file states beyond its model document: the lines in which the file differs from the
// file that the document alone writes, and the whole sections that no document member describes.
// Writing the document again with these extras gives the file back.
//
// A line is found again by where it stands (its section, its block, the name or caption before it),
// never by its number, and is put back only where the document still writes the line it replaced:
// a value the caller changed in the document is written as changed.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foi/document_node.hpp"
#include "foi/foi_reader.hpp"

namespace ostrand::foi {

// The sections below [INPUT DATA] that the document reader reads into members; every other section
// is kept whole when it differs.
bool section_is_read(std::string_view name, int model_type);

struct Extras {
    Json values;                     // the extras as the reading result shows them
    std::vector<FoiWarning> unkept;  // lines of the file that the extras cannot put back
};

// The extras of `original` over `written`, the file its document writes.
Extras extras_between(const FoiFile& original, const FoiFile& written, int model_type);

// `written` (an input file's text) with `extras` put back; a malformed extras value raises
// errors::InternalError naming it.
std::string with_extras(std::string written, const Json& extras);

}  // namespace ostrand::foi
