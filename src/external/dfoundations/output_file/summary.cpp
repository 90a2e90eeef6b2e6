#include "ostrand/external/dfoundations/summary.hpp"

#include <cmath>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>

#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations {
namespace {

using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;

// Rows whose columns are named as they come; a column a row does not fill is missing there.
class RowTable {
public:
    void new_row() { rows_.emplace_back(names_.size()); }

    void set(const std::string& name, Cell cell)
    {
        auto [found, added] = index_.try_emplace(name, names_.size());
        if (added) {
            names_.push_back(name);
            for (auto& row : rows_) row.emplace_back();
        }
        rows_.back()[found->second] = std::move(cell);
    }

    DataTable build() const
    {
        DataTable table;
        for (std::size_t j = 0; j < names_.size(); ++j) table.add_column(names_[j], column(j));
        return table;
    }

private:
    DataTable::Column column(std::size_t j) const
    {
        bool all_integers = true;
        bool all_numbers = true;
        for (const auto& row : rows_) {
            const Cell& cell = row[j];
            all_integers = all_integers && std::holds_alternative<std::int64_t>(cell);
            all_numbers = all_numbers && !std::holds_alternative<std::string>(cell);
        }
        if (all_integers) {
            DataTable::IntColumn cells;
            for (const auto& row : rows_) cells.push_back(std::get<std::int64_t>(row[j]));
            return cells;
        }
        if (all_numbers) {
            DataTable::RealColumn cells;
            for (const auto& row : rows_) cells.push_back(as_real(row[j]));
            return cells;
        }
        DataTable::TextColumn cells;
        for (const auto& row : rows_) cells.push_back(as_text(row[j]));
        return cells;
    }

    static double as_real(const Cell& cell)
    {
        if (const auto* integer = std::get_if<std::int64_t>(&cell)) return static_cast<double>(*integer);
        if (const auto* real = std::get_if<double>(&cell)) return *real;
        return std::numeric_limits<double>::quiet_NaN();
    }
    static std::optional<std::string> as_text(const Cell& cell)
    {
        if (const auto* integer = std::get_if<std::int64_t>(&cell)) return format_number(*integer);
        if (const auto* real = std::get_if<double>(&cell)) {
            if (std::isnan(*real)) return std::nullopt;
            return format_number(*real);
        }
        if (const auto* text = std::get_if<std::string>(&cell)) return *text;
        return std::nullopt;
    }

    std::vector<std::string> names_;
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<std::vector<Cell>> rows_;
};

Cell cell_of(const DataTable& data, std::size_t column, std::size_t row)
{
    return std::visit(
        [&](const auto& cells) -> Cell {
            const auto& value = cells[row];
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, std::optional<std::string>>) {
                if (value) return *value;
                return std::monostate{};
            } else {
                return value;
            }
        },
        data.column(column));
}

std::optional<std::size_t> column_of(const DataTable& data, std::string_view name)
{
    const auto& names = data.column_names();
    for (std::size_t j = 0; j < names.size(); ++j) {
        if (names[j] == name) return j;
    }
    return std::nullopt;
}

std::optional<std::int64_t> integer_at(const DataTable& data, std::string_view name, std::size_t row)
{
    const auto column = column_of(data, name);
    if (!column) return std::nullopt;
    const Cell cell = cell_of(data, *column, row);
    if (const auto* integer = std::get_if<std::int64_t>(&cell)) return *integer;
    return std::nullopt;
}

Cell optional_cell(std::optional<double> value)
{
    if (value) return *value;
    return std::monostate{};
}

// The table's row cells, but for the columns that only point into the file.
void set_row(RowTable& rows, const DataTable& data, std::size_t row, const std::unordered_set<std::string_view>& left_out)
{
    for (std::size_t j = 0; j < data.column_count(); ++j) {
        if (left_out.count(data.column_names()[j]) == 0) rows.set(data.column_names()[j], cell_of(data, j, row));
    }
}

void start_row(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    rows.new_row();
    rows.set("file", file.name);
    rows.set("calculation", calculation);
}

const std::unordered_set<std::string_view> POINTERS = {"IterationIndex", "CptIndex", "CptName", "ResultIndex",
                                                       "PileTypeIndex", "PileGroupIndex", "PileTypeName",
                                                       "DepthIndex"};

void add_preliminary_bearing(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    for (const PileView& pile : piles(*file.file)) {
        std::map<std::int64_t, std::pair<const DataTable*, std::size_t>> factors;  // by CptIndex
        for (const OutputTable* table : pile.tables) {
            if (table->name != "NEN AVERAGE PILE FACTORS") continue;
            for (std::size_t row = 0; row < table->row_count(); ++row) {
                if (auto cpt = integer_at(table->data, "CptIndex", row)) factors[*cpt] = {&table->data, row};
            }
        }
        for (const OutputTable* table : pile.tables) {
            const DataTable& data = table->data;
            if (table->name == "NEN AVERAGE PILE FACTORS" || !column_of(data, "CptIndex")) continue;
            for (std::size_t row = 0; row < data.row_count(); ++row) {
                start_row(rows, file, calculation);
                rows.set("pile_type", pile.name);
                rows.set("BetaFactor", optional_cell(pile.beta_factor));
                rows.set("SFactor", optional_cell(pile.s_factor));
                const auto name = column_of(data, "CptName");
                rows.set("cpt", name ? cell_of(data, *name, row) : Cell{*integer_at(data, "CptIndex", row)});
                set_row(rows, data, row, POINTERS);
                const auto cpt = integer_at(data, "CptIndex", row);
                if (auto found = cpt ? factors.find(*cpt) : factors.end(); found != factors.end()) {
                    set_row(rows, *found->second.first, found->second.second, POINTERS);
                }
                for (const auto& [key, value] : pile.calculation_parameters) rows.set(key, value);
            }
        }
    }
}

void add_tension(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    std::map<std::int64_t, TensionGroupView> groups;
    for (TensionGroupView& group : tension_groups(*file.file)) groups[group.result_index] = std::move(group);
    for (const OutputTable* table : file.file->tables()) {
        const DataTable& data = table->data;
        if (!column_of(data, "ResultIndex")) continue;
        for (std::size_t row = 0; row < data.row_count(); ++row) {
            start_row(rows, file, calculation);
            rows.set("table", table->name);
            const auto index = integer_at(data, "ResultIndex", row);
            if (auto found = index ? groups.find(*index) : groups.end(); found != groups.end()) {
                rows.set("pile_group", found->second.pile_group);
                rows.set("pile_type", found->second.pile_type);
                rows.set("cpt", found->second.cpt);
            }
            set_row(rows, data, row, POINTERS);
        }
    }
}

void add_iterations(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    for (const IterationView& iteration : iterations(*file.file)) {
        start_row(rows, file, calculation);
        rows.set("iteration", iteration.number ? Cell{*iteration.number} : Cell{});
        rows.set("depth", optional_cell(iteration.depth));
        for (const auto& [key, value] : iteration.values) rows.set(key, value);
        for (const auto& [key, value] : iteration.calculation_parameters) rows.set(key, value);
    }
}

void add_verification(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    const NenResults results = nen_results(*file.file);
    for (std::size_t i = 0; i < results.piles.size(); ++i) {
        start_row(rows, file, calculation);
        rows.set("pile_type", static_cast<std::int64_t>(i + 1));
        for (const auto& [key, value] : results.global) rows.set(key, value);
        for (const auto& [key, value] : results.piles[i]) rows.set(key, value);
    }
}

void add_file(RowTable& rows, const NamedOutputFile& file, const std::string& calculation)
{
    if (!tension_groups(*file.file).empty()) return add_tension(rows, file, calculation);
    if (!piles(*file.file).empty()) return add_preliminary_bearing(rows, file, calculation);
    if (!iterations(*file.file).empty()) return add_iterations(rows, file, calculation);
    if (!nen_results(*file.file).piles.empty()) return add_verification(rows, file, calculation);
    start_row(rows, file, calculation);
    rows.set("version", file.file->header().version);
}

const std::string_view DUMP_OPTION = "Dump for option ";

const ValueLine* dump_option(const Section& section)
{
    for (const Item& item : section.items) {
        if (const ValueLine* value = item.value(); value && value->key.rfind(DUMP_OPTION, 0) == 0) return value;
        if (const Section* child = item.section()) {
            if (const ValueLine* found = dump_option(*child)) return found;
        }
    }
    return nullptr;
}

}  // namespace

std::string calculation_name(const OutputFile& file)
{
    const Section* output = file.output();
    if (const ValueLine* option = output ? dump_option(*output) : nullptr) {
        return option->key.substr(DUMP_OPTION.size());
    }
    // Without that line, the header's codes in the words D-Foundations uses for them; a model other
    // than Bearing Piles (EC7-NL) is named too, so that its kinds stay apart.
    const FileHeader& header = file.header();
    static const char* const MAIN[] = {"Preliminary Design", "Verification"};
    static const char* const SUB[] = {"Design", "Complete", "Indication bearing capacity",
                                      "Bearing capacity at fixed pile tip levels",
                                      "Piletip levels and net bearing capacity"};
    const auto word = [](std::optional<int> code, const auto& words, const char* what) -> std::string {
        if (code && *code >= 0 && static_cast<std::size_t>(*code) < std::size(words)) return words[*code];
        return std::string(what) + " " + (code ? std::to_string(*code) : std::string("?"));
    };
    std::string name = header.model_code.value_or(0) == 0 || header.model_name.empty() ? "" : header.model_name + ", ";
    return name + word(header.main_calculation_type, MAIN, "Main calculation type") + ", " +
           word(header.sub_calculation_type, SUB, "sub type");
}

std::vector<SummaryTable> summary(const std::vector<NamedOutputFile>& files)
{
    std::vector<std::string> kinds;
    std::unordered_map<std::string, RowTable> rows;
    for (const NamedOutputFile& file : files) {
        if (file.file == nullptr) continue;
        const std::string calculation = calculation_name(*file.file);
        auto [found, added] = rows.try_emplace(calculation);
        if (added) kinds.push_back(calculation);
        add_file(found->second, file, calculation);
    }
    std::vector<SummaryTable> tables;
    for (const std::string& kind : kinds) tables.push_back({kind, rows.at(kind).build()});
    return tables;
}

}  // namespace ostrand::external::dfoundations
