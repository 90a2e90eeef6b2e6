// Feeds arbitrary bytes to the whole-file reader and its views: nothing but a ParsingError for a
// text without sections may come out, and every table and section must be found by its path.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <ostrand/errors.hpp>
#include <ostrand/external/dfoundations/output_file.hpp>

using namespace ostrand::external::dfoundations;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    OutputFile file;
    try {
        file = read_output_file(std::string_view(reinterpret_cast<const char*>(bytes), size));
    } catch (const ostrand::errors::ParsingError&) {
        return 0;
    }
    for (const OutputTable* table : file.tables()) {
        if (file.table(table->path) != table) std::abort();
    }
    for (const Section* section : file.sections()) {
        if (file.section(section->path) == nullptr) std::abort();
    }
    (void)piles(file);
    (void)iterations(file);
    (void)tension_groups(file);
    (void)elements(file);
    (void)calculation_warnings(file);
    (void)nen_results(file);
    if (!file.tables().empty()) (void)file.nearest_table_paths("DUMPFILE OUTPUT/X", 3);
    return 0;
}
