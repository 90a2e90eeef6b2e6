// Any bytes given to the BRO XML reader give GEF data or a ParsingError, and the data always
// becomes valid JSON with one cell per row in every column. Seed it with the register's .xml files
// and tests/data/bro_*.xml; fuzz/bro.dict holds the element names and separators.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    try {
        const auto data = ostrand::geo::GEFData::from_bro_xml(text, "fuzz");
        const auto rows = data.elevation.size();
        if (rows == 0 || data.qc.size() != rows || (data.fs && data.fs->size() != rows) ||
            (data.Rf && data.Rf->size() != rows))
            __builtin_trap();
        static_cast<void>(data.to_json().dump());
    } catch (const ostrand::errors::ParsingError&) {
    }
    return 0;
}
