// Views over the tree for the kinds of calculation seen so far. They find their sections by the
// names D-Foundations gives them and their tables by their columns, and give nothing when a file
// has neither.
#include <string>

#include "ostrand/external/dfoundations/output_file.hpp"

namespace ostrand::external::dfoundations {
namespace {

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool ends_with(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The sections of that name in the output part, in file order.
std::vector<const Section*> output_sections(const OutputFile& file, std::string_view name)
{
    std::vector<const Section*> found;
    const Section* output = file.output();
    if (output == nullptr) return found;
    const std::string prefix = output->path + "/";
    for (const Section* section : file.sections()) {
        if (section->name == name && starts_with(section->path, prefix)) found.push_back(section);
    }
    return found;
}

// The first number of every value line, by key; a repeated key keeps its first number.
NumberMap number_map(const Section& section)
{
    NumberMap numbers;
    for (const ValueLine* line : section.values()) {
        if (!line->numbers.empty() && !numbers.contains(line->key)) numbers[line->key] = line->numbers.front();
    }
    return numbers;
}

std::vector<const OutputTable*> subtree_tables(const Section& top)
{
    std::vector<const OutputTable*> tables;
    std::vector<std::pair<const Section*, std::size_t>> pending{{&top, 0}};
    while (!pending.empty()) {
        auto& [section, next] = pending.back();
        if (next == section->items.size()) {
            pending.pop_back();
            continue;
        }
        const Item& item = section->items[next++];
        if (const OutputTable* table = item.table()) tables.push_back(table);
        if (const Section* child = item.section()) pending.emplace_back(child, 0);
    }
    return tables;
}

NumberMap calculation_parameters(const Section& section)
{
    for (const Section* child : section.sections()) {
        if (starts_with(child->name, "CALCULATION PARAMETERS")) return number_map(*child);
    }
    return {};
}

// "IsWarningF1Given (1=true, 0=false)" names the flag "IsWarningF1Given".
std::string flag_name(std::string_view key)
{
    if (ends_with(key, ")")) {
        if (const std::size_t open = key.rfind(" ("); open != std::string_view::npos) key = key.substr(0, open);
    }
    return std::string(key);
}

FlagMap flags(const Section& section, std::string_view except = {})
{
    FlagMap found;
    for (const ValueLine* line : section.values()) {
        if (line->numbers.empty() || line->key == except) continue;
        found[flag_name(line->key)] = line->numbers.front() != 0;
    }
    return found;
}

std::optional<std::size_t> column_index(const DataTable& table, std::string_view name)
{
    const auto& names = table.column_names();
    for (std::size_t j = 0; j < names.size(); ++j) {
        if (names[j] == name) return j;
    }
    return std::nullopt;
}

std::string cell_text(const DataTable& table, std::size_t column, std::size_t row)
{
    return std::visit(
        [&](const auto& cells) -> std::string {
            using Value = std::decay_t<decltype(cells[row])>;
            if constexpr (std::is_same_v<Value, std::optional<std::string>>) {
                return cells[row].value_or("");
            } else {
                return std::to_string(cells[row]);
            }
        },
        table.column(column));
}

std::optional<std::int64_t> cell_integer(const DataTable& table, std::size_t column, std::size_t row)
{
    if (const auto* cells = std::get_if<DataTable::IntColumn>(&table.column(column))) return (*cells)[row];
    return std::nullopt;
}

// The first table of the output part that has all these columns.
const OutputTable* table_with_columns(const OutputFile& file, std::initializer_list<std::string_view> columns)
{
    for (const OutputTable* table : file.tables()) {
        bool all = !table->error;
        for (std::string_view column : columns) all = all && column_index(table->data, column).has_value();
        if (all) return table;
    }
    return nullptr;
}

std::string_view parent_path(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

}  // namespace

std::vector<PileView> piles(const OutputFile& file)
{
    std::vector<PileView> views;
    for (const Section* section : output_sections(file, "PILE")) {
        PileView view;
        view.section = section;
        if (const ValueLine* name = section->value("PileName")) view.name = name->value;
        view.beta_factor = section->number("BetaFactor");
        view.s_factor = section->number("SFactor");
        view.tables = subtree_tables(*section);
        view.calculation_parameters = calculation_parameters(*section);
        views.push_back(std::move(view));
    }
    return views;
}

std::vector<IterationView> iterations(const OutputFile& file)
{
    std::vector<IterationView> views;
    for (const Section* section : output_sections(file, "ITERATION")) {
        IterationView view;
        view.section = section;
        if (auto number = section->number("iteration number")) view.number = static_cast<std::int64_t>(*number);
        view.depth = section->number("Depth");
        view.values = number_map(*section);
        view.tables = subtree_tables(*section);
        view.calculation_parameters = calculation_parameters(*section);
        views.push_back(std::move(view));
    }
    return views;
}

std::vector<TensionGroupView> tension_groups(const OutputFile& file)
{
    std::vector<TensionGroupView> views;
    const OutputTable* info = table_with_columns(file, {"ResultIndex", "PileGroupIndex", "PileTypeName"});
    if (info == nullptr) return views;
    const DataTable& data = info->data;
    const std::size_t result = *column_index(data, "ResultIndex");
    const std::size_t group = *column_index(data, "PileGroupIndex");
    const std::size_t type = *column_index(data, "PileTypeName");
    const auto cpt = column_index(data, "CptName");
    const OutputTable* groups = table_with_columns(file, {"PileGroupIndex", "PileName"});
    for (std::size_t row = 0; row < data.row_count(); ++row) {
        TensionGroupView view;
        view.result_index = cell_integer(data, result, row).value_or(0);
        view.pile_group = cell_integer(data, group, row).value_or(0);
        view.pile_type = cell_text(data, type, row);
        if (cpt) view.cpt = cell_text(data, *cpt, row);
        if (groups != nullptr) {
            const std::size_t index = *column_index(groups->data, "PileGroupIndex");
            const std::size_t name = *column_index(groups->data, "PileName");
            for (std::size_t r = 0; r < groups->row_count(); ++r) {
                if (cell_integer(groups->data, index, r) == view.pile_group) {
                    view.piles.push_back(cell_text(groups->data, name, r));
                }
            }
        }
        views.push_back(std::move(view));
    }
    return views;
}

std::vector<ElementView> elements(const OutputFile& file)
{
    std::vector<ElementView> views;
    for (const Section* section : output_sections(file, "ELEMENT")) {
        views.push_back({section, number_map(*section), subtree_tables(*section)});
    }
    return views;
}

CalculationWarnings calculation_warnings(const OutputFile& file)
{
    CalculationWarnings warnings;
    for (const Section* section : file.sections()) {
        if (section->name == "CALCULATION WARNINGS") {
            for (const auto& [name, flag] : flags(*section)) warnings.calculation[name] = flag;
        } else if (section->name == "PILE TYPE") {
            const Section* parent = file.section(parent_path(section->path));
            if (parent == nullptr || !ends_with(parent->name, "WARNINGS")) continue;
            PileTypeWarnings pile_type;
            if (auto number = section->number("PileTypeNumber")) {
                pile_type.pile_type_number = static_cast<std::int64_t>(*number);
            }
            pile_type.flags = flags(*section, "PileTypeNumber");
            warnings.pile_types.push_back(std::move(pile_type));
        }
    }
    return warnings;
}

NenResults nen_results(const OutputFile& file)
{
    NenResults results;
    if (const auto global = output_sections(file, "GLOBAL NEN RESULTS"); !global.empty()) {
        results.global = number_map(*global.front());
    }
    for (const Section* section : output_sections(file, "NEN PILE RESULTS")) {
        NumberMap numbers = number_map(*section);
        for (const auto& [key, value] : calculation_parameters(*section)) {
            if (!numbers.contains(key)) numbers[key] = value;
        }
        results.piles.push_back(std::move(numbers));
    }
    return results;
}

}  // namespace ostrand::external::dfoundations
