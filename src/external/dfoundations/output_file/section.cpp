#include <algorithm>
#include <numeric>

#include "ostrand/external/dfoundations/output_file.hpp"

namespace ostrand::external::dfoundations {
namespace {

// Edits (insert, delete, replace one character) from `a` to `b`.
std::size_t edit_distance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

const ValueLine* Section::value(std::string_view key) const
{
    for (const Item& item : items) {
        if (const ValueLine* line = item.value(); line != nullptr && line->key == key) return line;
    }
    return nullptr;
}

std::optional<double> Section::number(std::string_view key) const
{
    const ValueLine* line = value(key);
    if (line == nullptr || line->numbers.empty()) return std::nullopt;
    return line->numbers.front();
}

std::vector<const Section*> Section::sections(std::string_view name) const
{
    std::vector<const Section*> found;
    for (const Item& item : items) {
        if (const Section* child = item.section(); child != nullptr && (name.empty() || child->name == name)) {
            found.push_back(child);
        }
    }
    return found;
}

const Section* Section::section(std::string_view name) const
{
    for (const Item& item : items) {
        if (const Section* child = item.section(); child != nullptr && child->name == name) return child;
    }
    return nullptr;
}

std::vector<const OutputTable*> Section::tables() const
{
    std::vector<const OutputTable*> found;
    for (const Item& item : items) {
        if (const OutputTable* table = item.table()) found.push_back(table);
    }
    return found;
}

std::vector<const ValueLine*> Section::values() const
{
    std::vector<const ValueLine*> found;
    for (const Item& item : items) {
        if (const ValueLine* line = item.value()) found.push_back(line);
    }
    return found;
}

const Section* OutputFile::input() const { return root_.section("INPUT DATA"); }

const Section* OutputFile::output() const
{
    // Version 17 names the output part "[DUMPFILE]"; later versions "[DUMPFILE OUTPUT]".
    if (const Section* output = root_.section("DUMPFILE OUTPUT")) return output;
    return root_.section("DUMPFILE");
}

const Section* OutputFile::section(std::string_view path) const
{
    const auto found = section_index_.find(path);
    return found == section_index_.end() ? nullptr : found->second;
}

const OutputTable* OutputFile::table(std::string_view path) const
{
    const auto found = table_index_.find(path);
    return found == table_index_.end() ? nullptr : found->second;
}

std::vector<std::string> OutputFile::nearest_table_paths(std::string_view path, std::size_t count) const
{
    std::vector<std::pair<std::size_t, std::size_t>> ranked;  // (distance, position in file)
    ranked.reserve(tables_.size());
    for (std::size_t i = 0; i < tables_.size(); ++i) ranked.emplace_back(edit_distance(path, tables_[i]->path), i);
    const std::size_t kept = std::min(count, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept), ranked.end());
    std::vector<std::string> nearest;
    for (std::size_t i = 0; i < kept; ++i) nearest.push_back(tables_[ranked[i].second]->path);
    return nearest;
}

}  // namespace ostrand::external::dfoundations
