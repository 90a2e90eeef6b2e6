// Any bytes given as an input file are either refused with a ParsingError or read into a document and
// extras that write an input file again, which reads back as the same document with the same extras
// (or the write is refused, naming what it cannot hold); building the model refuses only with an
// InputFileError, and a model built saves a file that reads back as the same document.
// Seed it with D-Foundations' own input files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "foi/input_file_writer.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"

namespace dfo = ostrand::external::dfoundations;

namespace {

[[noreturn]] void differs(const char* what)
{
    std::fprintf(stderr, "the file written again reads back with another %s\n", what);
    std::abort();
}

// The reading written again and read back: the same document and extras, or a refused write.
void check_round_trip(const dfo::InputFileReading& reading)
{
    std::string written;
    try {
        written = ostrand::foi::fill_dfoundations_template(reading.document_with_extras());
    } catch (const ostrand::errors::InternalError&) {  // a value the writer cannot put in a file
        return;
    }
    const dfo::InputFileReading again = dfo::read_input_file(written);
    if (again.document != reading.document) differs("document");
    if (again.extras != reading.extras) differs("extras");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    dfo::InputFileReading reading;
    try {
        reading = dfo::read_input_file(bytes);
    } catch (const ostrand::errors::ParsingError&) {
        return 0;
    }
    // A file whose lines cannot all be written back is not expected to come back the same.
    if (reading.warnings.empty()) check_round_trip(reading);
    try {
        (void)dfo::detail::model_of_input_file(bytes);
    } catch (const dfo::InputFileError&) {
    }
    return 0;
}
