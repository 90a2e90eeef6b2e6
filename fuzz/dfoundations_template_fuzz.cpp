// Any JSON text handed to the template service either becomes an input file or raises InternalError.
// Seed it with the model documents under tests/data.
#include <cstddef>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "foi/input_file_writer.hpp"
#include "ostrand/errors.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto document = nlohmann::ordered_json::parse(data, data + size, nullptr, false);
    if (document.is_discarded()) return 0;
    try {
        ostrand::foi::fill_dfoundations_template(document);
    } catch (const ostrand::errors::InternalError&) {
    }
    return 0;
}
