// A D-Foundations input file read into the model document that writes it: the same JSON a model
// builds, with every value the file states that the document has a member for. What the document
// cannot hold stays in the file's layout tree, kept beside it, so that the file can be written again.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foi/document_node.hpp"
#include "foi/foi_reader.hpp"

namespace ostrand::foi {

struct InputDocument {
    Json document;
    // The line of the file each member was read from ("profiles[1].pile_tip_level" -> 1244), for
    // messages about a member; whole parts ("profiles[1]", "piles[3]") have the line they begin on.
    std::map<std::string, std::size_t> member_lines;
    // 19 for the layout of D-Foundations 19.x ("D-Foundations=1015"), 23 for that of 23.x (1024), 25 for
    // that of 25.1 (1033).
    int layout = 19;
    FoiFile file;
};

// Reads a Bearing Piles or Tension Piles (EC7-NL) input file of either layout. A file that lacks a
// part the document needs, or states a value that is not what its place requires, raises
// errors::ParsingError "Input file line N: ..."; a file of another model raises errors::ParsingError
// naming the model.
InputDocument read_input_document(std::string_view bytes);

// The line of the closest member to `path` that has one: "profiles[0].layers[2].ocr" falls back to
// "profiles[0].layers[2]", then "profiles[0]"; 0 when none has.
std::size_t member_line(const InputDocument& input, std::string path);

}  // namespace ostrand::foi
