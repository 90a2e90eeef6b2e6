// What the model document reader builds in files of its own: pile types and piles, and the metadata
// with the moment it was stamped at. Each reads the members it needs and calls the public model
// operation; what a member cannot be is refused naming it.
#pragma once

#include <chrono>
#include <cmath>
#include <limits>

#include "external/dfoundations/models/document_member.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"
#include "ostrand/external/dfoundations/models.hpp"

namespace ostrand::external::dfoundations::document_reader {

using detail::DocumentMember;

// The value an operation turns into `target` through `made`, within a few steps of the last digit of
// `guess`; the guess itself when there is none (the comparison then names the member).
template <typename Made>
double made_into(double target, double guess, Made made)
{
    double down = guess;
    double up = guess;
    if (made(guess) == target) return guess;
    for (int step = 0; step < 16; ++step) {
        down = std::nextafter(down, -std::numeric_limits<double>::infinity());
        if (made(down) == target) return down;
        up = std::nextafter(up, std::numeric_limits<double>::infinity());
        if (made(up) == target) return up;
    }
    return guess;
}

void create_pile_type(BearingPilesModel& model, const DocumentMember& pile_type);
void create_pile_type(TensionPilesModel& model, const DocumentMember& pile_type);
void create_pile(BearingPilesModel& model, const DocumentMember& pile);
void create_pile(TensionPilesModel& model, const DocumentMember& pile);

// The model of a document through the public operations, without checking that they write the
// document again; `at`, when given, names the member being built when an operation raises.
ModelDocument build_model_document(const nlohmann::ordered_json& document, std::string* at);

// A model document's JSON text with the extras of the input file it was read from as its last
// member, inside its closing brace; the text itself when there are none (null).
std::string with_input_file_extras(std::string text, const nlohmann::ordered_json& extras);

// The metadata, stamping the date and the time where the document has other than 01/01/1900 and
// 00:00:00.
Metadata metadata_of(const DocumentMember& metadata);
// The local moment the document's date and time were stamped at; refuses a date or a time that is none.
std::chrono::system_clock::time_point stamp_of(const DocumentMember& date, const DocumentMember& time);

}  // namespace ostrand::external::dfoundations::document_reader
