// Any text given as a model document is either refused with one of the reader's errors or read into a
// model whose document text reads back as exactly the same text. Seed it with the model documents
// under tests/data.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"

namespace dfo = ostrand::external::dfoundations;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    try {
        const dfo::ModelDocument document =
            dfo::read_model_document(std::string_view(reinterpret_cast<const char*>(data), size));
        text = document._generate_input_text();
    } catch (const ostrand::errors::ModelError&) {
        return 0;
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (const std::out_of_range&) {
        return 0;
    } catch (const std::domain_error&) {  // a trajectory interval of 0
        return 0;
    }
    if (dfo::read_model_document(text)._generate_input_text() != text) __builtin_trap();
    return 0;
}
