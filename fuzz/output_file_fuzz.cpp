// Feeds arbitrary bytes to the whole-file reader and its views: nothing but a ParsingError for a
// text without sections may come out, every non-blank line must be in exactly one item, and every
// table and section must be found by its path.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

using namespace ostrand::external::dfoundations;

namespace {

// For each line (from 1), whether it holds more than blanks.
std::vector<bool> non_blank_lines(std::string_view text)
{
    std::vector<bool> lines{false};
    bool filled = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(filled);
            filled = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c != ' ' && c != '\t' && c != '\v' && c != '\f') {
            filled = true;
        }
    }
    if (filled) lines.push_back(true);
    return lines;
}

void claim(std::vector<int>& claims, std::size_t line)
{
    if (line >= claims.size()) std::abort();
    ++claims[line];
}

void claim_items(const Section& section, std::vector<int>& claims)
{
    for (const Item& item : section.items) {
        if (const auto* value = item.value()) claim(claims, value->line);
        if (const auto* text = item.text()) claim(claims, text->line);
        if (const auto* table = item.table()) {
            for (std::size_t line = table->line; line <= table->end_line; ++line) claim(claims, line);
        }
        if (const auto* child = item.section()) {
            claim(claims, child->line);
            claim(claims, child->end_line);
            claim_items(*child, claims);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    OutputFile file;
    try {
        file = read_output_file(std::string_view(reinterpret_cast<const char*>(bytes), size));
    } catch (const ostrand::errors::ParsingError&) {
        return 0;
    }
    const std::vector<bool> filled = non_blank_lines(std::string_view(reinterpret_cast<const char*>(bytes), size));
    std::vector<int> claims(filled.size(), 0);
    claim_items(file.root(), claims);
    for (std::size_t line = 1; line < filled.size(); ++line) {
        if (filled[line] ? claims[line] != 1 : claims[line] > 1) std::abort();
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
