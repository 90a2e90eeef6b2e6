#include "external/dfoundations/output_file/header.hpp"

#include <algorithm>
#include <charconv>
#include <string>

namespace ostrand::external::dfoundations::detail {
namespace {

// Versions whose files this reader has been checked on.
constexpr int SEEN_VERSIONS[] = {19, 23, 25};

std::optional<int> leading_integer(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// "0 : Model = Bearing Piles (EC7-NL)" is the key "Model = Bearing Piles (EC7-NL)" of value 0.
const ValueLine* value_named(const Section& section, std::string_view prefix, std::string_view& rest)
{
    for (const ValueLine* value : section.values()) {
        if (value->key.substr(0, prefix.size()) != prefix) continue;
        rest = std::string_view(value->key).substr(prefix.size());
        return value;
    }
    return nullptr;
}

std::string_view after_equals(std::string_view rest)
{
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '=') rest.remove_prefix(1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    return rest;
}

void read_version(const Section& from, const Section& root, FileHeader& header)
{
    if (const Section* externals = find_section(from, "VERSION EXTERNALS")) {
        if (const ValueLine* dll = externals->value("DGSFoundationCalc.dll")) header.version = dll->value;
    }
    if (header.version.empty()) {
        // The banner before the sections: "CREATED BY : D-Foundations version 25.1.0.2830".
        if (const ValueLine* created = root.value("CREATED BY")) {
            const std::string_view text = created->value;
            header.version = std::string(text.substr(text.find_last_of(' ') + 1));
        }
    }
    if (!header.version.empty()) header.major_version = leading_integer(header.version);
}

void read_model(const Section& from, FileHeader& header)
{
    const Section* model = find_section(from, "MODEL");
    if (model == nullptr) return;
    std::string_view rest;
    if (const ValueLine* line = value_named(*model, "Model", rest)) {
        header.model_code = leading_integer(line->value);
        header.model_name = std::string(after_equals(rest));
    }
    if (const ValueLine* line = value_named(*model, "CuValues", rest)) {
        header.cu_values_code = leading_integer(line->value);
        header.cu_values = std::string(after_equals(rest));
    }
}

void read_calculation_type(const Section& from, FileHeader& header)
{
    const Section* type = find_section(from, "CALCULATIONTYPE");
    if (type == nullptr) return;
    std::string_view rest;
    if (const ValueLine* line = value_named(*type, "Main calculationtype", rest)) {
        header.main_calculation_type = leading_integer(line->value);
    }
    if (const ValueLine* line = value_named(*type, "Sub calculationtype", rest)) {
        header.sub_calculation_type = leading_integer(line->value);
    }
}

}  // namespace

template <class Found>
void index_unique(std::string& path, const Found* found, std::unordered_map<std::string_view, const Found*>& index)
{
    if (index.emplace(path, found).second) return;
    const std::string taken = path;
    for (std::size_t n = 2;; ++n) {
        path = taken + "#" + std::to_string(n);
        if (index.emplace(path, found).second) return;
    }
}

void index_file(Section& root, std::vector<const Section*>& sections, std::vector<const OutputTable*>& tables,
                std::unordered_map<std::string_view, const Section*>& section_index,
                std::unordered_map<std::string_view, const OutputTable*>& table_index)
{
    // Depth first in file order, with an explicit stack: (section, next item).
    std::vector<std::pair<Section*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        auto& [section, next] = pending.back();
        if (next == section->items.size()) {
            pending.pop_back();
            continue;
        }
        Item& item = section->items[next++];
        if (auto* child = std::get_if<Section>(&item.content)) {
            sections.push_back(child);
            index_unique(child->path, static_cast<const Section*>(child), section_index);
            pending.emplace_back(child, 0);
        } else if (auto* boxed = std::get_if<std::unique_ptr<OutputTable>>(&item.content)) {
            OutputTable* table = boxed->get();
            tables.push_back(table);
            index_unique(table->path, static_cast<const OutputTable*>(table), table_index);
        }
    }
}

const Section* find_section(const Section& from, std::string_view name)
{
    std::vector<const Section*> pending{&from};
    while (!pending.empty()) {
        const Section* section = pending.back();
        pending.pop_back();
        if (section != &from && section->name == name) return section;
        const auto children = section->sections();
        for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back(*child);
    }
    return nullptr;
}

FileHeader read_header(const Section& root)
{
    FileHeader header;
    const Section* input = root.section("INPUT DATA");
    const Section& from = input != nullptr ? *input : root;
    read_version(from, root, header);
    read_model(from, header);
    read_calculation_type(from, header);
    return header;
}

std::vector<ReadWarning> check_file(const FileHeader& header, const std::vector<const OutputTable*>& tables)
{
    std::vector<ReadWarning> warnings;
    if (!header.major_version) {
        warnings.push_back({"", 0, "The file states no D-Foundations version ([VERSION EXTERNALS])."});
    } else if (std::find(std::begin(SEEN_VERSIONS), std::end(SEEN_VERSIONS), *header.major_version) ==
               std::end(SEEN_VERSIONS)) {
        warnings.push_back({"", 0,
                            "D-Foundations version " + header.version +
                                " is read with the grammar of versions 19, 23 and 25; check the results."});
    }
    for (const OutputTable* table : tables) {
        if (table->error) {
            warnings.push_back({table->path, table->line, "The table cannot be read: " + *table->error});
        } else if (table->data_count && *table->data_count != table->row_count()) {
            warnings.push_back({table->path, table->line,
                                "DataCount=" + std::to_string(*table->data_count) + " but the table has " +
                                    std::to_string(table->row_count()) + " rows."});
        }
    }
    return warnings;
}

}  // namespace ostrand::external::dfoundations::detail
