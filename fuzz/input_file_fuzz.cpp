// Any bytes given as an input file are either refused with a ParsingError or read into a document and
// extras that write an input file again; building the model refuses only with an InputFileError.
// Seed it with D-Foundations' own input files.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "foi/input_file_writer.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"

namespace dfo = ostrand::external::dfoundations;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    dfo::InputFileReading reading;
    try {
        reading = dfo::read_input_file(bytes);
    } catch (const ostrand::errors::ParsingError&) {
        return 0;
    }
    try {
        ostrand::foi::fill_dfoundations_template(reading.document_with_extras());
    } catch (const ostrand::errors::InternalError&) {  // a value the writer cannot put in a file
    }
    try {
        (void)dfo::detail::model_of_input_file(bytes);
    } catch (const dfo::InputFileError&) {
    }
    return 0;
}
