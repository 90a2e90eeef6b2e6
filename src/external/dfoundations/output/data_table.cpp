#include <cmath>
#include <stdexcept>

#include "ostrand/external/dfoundations/output.hpp"

#include "external/dfoundations/output/tables.hpp"
#include "external/dfoundations/output/text.hpp"

namespace ostrand::external::dfoundations {
namespace {

std::size_t size_of(const DataTable::Column& column)
{
    return std::visit([](const auto& cells) { return cells.size(); }, column);
}

}  // namespace

void DataTable::add_column(std::string name, Column column)
{
    const std::size_t rows = size_of(column);
    if (!columns_.empty() && rows != rows_) {
        throw std::invalid_argument("column '" + name + "' has " + std::to_string(rows) + " rows, the table " +
                                    std::to_string(rows_));
    }
    rows_ = rows;
    names_.push_back(std::move(name));
    columns_.push_back(std::move(column));
}

const DataTable::Column& DataTable::column(std::string_view name) const
{
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return columns_[i];
    }
    throw std::out_of_range("no column '" + std::string(name) + "'");
}

namespace {

const char* held_type(const DataTable::Column& column)
{
    static constexpr const char* names[] = {"integers", "reals", "text"};
    return names[column.index()];
}

template <class Wanted>
const Wanted& typed_column(const DataTable& table, std::string_view name, const char* wanted)
{
    const DataTable::Column& column = table.column(name);
    if (const auto* typed = std::get_if<Wanted>(&column)) return *typed;
    throw std::invalid_argument("column '" + std::string(name) + "' holds " + held_type(column) + ", not " + wanted);
}

}  // namespace

const DataTable::IntColumn& DataTable::int_column(std::string_view name) const
{
    return typed_column<IntColumn>(*this, name, "integers");
}

const DataTable::RealColumn& DataTable::real_column(std::string_view name) const
{
    return typed_column<RealColumn>(*this, name, "reals");
}

const DataTable::TextColumn& DataTable::text_column(std::string_view name) const
{
    return typed_column<TextColumn>(*this, name, "text");
}

ColumnMap DataTable::column_map() const
{
    ColumnMap map;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        std::vector<Cell> cells;
        cells.reserve(rows_);
        std::visit(
            [&](const auto& column) {
                for (const auto& value : column) {
                    using Value = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<Value, std::optional<std::string>>) {
                        if (value) {
                            cells.emplace_back(std::in_place_type<std::string>, *value);
                        } else {
                            cells.emplace_back();
                        }
                    } else {
                        cells.emplace_back(value);
                    }
                }
            },
            columns_[i]);
        map.insert_or_assign(names_[i], std::move(cells));
    }
    return map;
}

DataTable::Column _to_numeric(const std::vector<std::optional<std::string>>& column)
{
    bool integer = true;
    for (const auto& cell : column) {
        if (!cell) {
            integer = false;
            continue;
        }
        const detail::NumberShape shape = detail::number_shape(*cell);
        if (!shape.number) return column;
        if (shape.integer && integer) {
            try {
                detail::parse_integer(*cell);
            } catch (const std::out_of_range&) {
                integer = false;  // too large for an integer column; read as reals
            }
        }
        integer = integer && shape.integer;
    }
    if (integer) {
        DataTable::IntColumn result;
        result.reserve(column.size());
        for (const auto& cell : column) result.push_back(detail::parse_integer(*cell));
        return result;
    }
    DataTable::RealColumn result;
    result.reserve(column.size());
    for (const auto& cell : column) result.push_back(cell ? detail::parse_real(*cell) : std::nan(""));
    return result;
}

template <class Visit>
static void for_each_line(std::string_view text, Visit visit)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = byte(at);
        std::size_t length = 0;
        if (c == '\r') {
            length = at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
        } else if (c == '\n' || c == '\v' || c == '\f' || c == 0x1C || c == 0x1D || c == 0x1E) {
            length = 1;
        } else if (c == 0xC2 && at + 1 < text.size() && byte(at + 1) == 0x85) {
            length = 2;
        } else if (c == 0xE2 && at + 2 < text.size() && byte(at + 1) == 0x80 &&
                   (byte(at + 2) == 0xA8 || byte(at + 2) == 0xA9)) {
            length = 3;
        }
        if (length == 0) {
            ++at;
            continue;
        }
        visit(text.substr(start, at - start));
        at += length;
        start = at;
    }
    if (start < text.size()) visit(text.substr(start));
}

namespace detail {

DataTable::Column empty_column(ColumnKind kind, std::size_t rows)
{
    DataTable::Column column;
    if (!kind.number) {
        column = DataTable::TextColumn{};
    } else if (kind.integer) {
        column = DataTable::IntColumn{};
    } else {
        column = DataTable::RealColumn{};
    }
    std::visit([&](auto& cells) { cells.reserve(rows); }, column);
    return column;
}

std::vector<std::string_view> split_lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for_each_line(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

std::invalid_argument column_count_error(std::size_t columns, std::size_t fields)
{
    return std::invalid_argument(std::to_string(columns) + " columns passed, passed data had " +
                                 std::to_string(fields) + " columns");
}

DataTable table_from_rows(const std::vector<std::string>& names, const std::vector<std::vector<std::string_view>>& rows)
{
    std::size_t longest = 0;
    for (const auto& row : rows) longest = std::max(longest, row.size());
    if (!rows.empty() && longest != names.size()) throw column_count_error(names.size(), longest);
    DataTable table;
    for (std::size_t j = 0; j < names.size(); ++j) {
        DataTable::TextColumn cells;
        cells.reserve(rows.size());
        for (const auto& row : rows) {
            cells.push_back(j < row.size() ? std::optional<std::string>(row[j]) : std::nullopt);
        }
        table.add_column(names[j], _to_numeric(cells));
    }
    return table;
}

// Builds a version 19 table straight from its text in two passes: the first learns each
// column's type, the second fills typed columns, so no table of text cells is ever held.
DataTable table_from_text(std::string_view columns, std::string_view data)
{
    std::vector<std::string> names;
    for_each_line(columns, [&](std::string_view line) { names.emplace_back(line); });
    const std::size_t width = names.size();

    std::vector<ColumnKind> kinds(width);
    std::size_t rows = 0;
    std::size_t longest = 0;
    for_each_line(data, [&](std::string_view line) {
        std::size_t field = 0;
        tokenize_row(line, [&](std::string_view text) {
            if (field < width) {
                ColumnKind& kind = kinds[field];
                if (kind.number) {
                    const NumberShape shape = number_shape(text);
                    kind.number = shape.number;
                    kind.integer = kind.integer && shape.integer;
                    if (kind.integer && text.size() >= 19) {
                        try {
                            parse_integer(text);
                        } catch (const std::out_of_range&) {
                            kind.integer = false;
                        }
                    }
                }
            }
            ++field;
        });
        for (std::size_t j = field; j < width; ++j) kinds[j].integer = false;  // a missing cell
        longest = std::max(longest, field);
        ++rows;
    });
    if (rows > 0 && longest != width) throw column_count_error(width, longest);

    std::vector<DataTable::Column> cells;
    cells.reserve(width);
    for (const ColumnKind& kind : kinds) cells.push_back(empty_column(kind, rows));
    for_each_line(data, [&](std::string_view line) {
        std::size_t field = 0;
        tokenize_row(line, [&](std::string_view text) {
            std::visit(
                [&](auto& column) {
                    using Column = std::decay_t<decltype(column)>;
                    if constexpr (std::is_same_v<Column, DataTable::IntColumn>) {
                        column.push_back(parse_integer(text));
                    } else if constexpr (std::is_same_v<Column, DataTable::RealColumn>) {
                        column.push_back(read_number(text));
                    } else {
                        column.emplace_back(std::string(text));
                    }
                },
                cells[field]);
            ++field;
        });
        for (; field < width; ++field) {
            std::visit(
                [](auto& column) {
                    using Column = std::decay_t<decltype(column)>;
                    if constexpr (std::is_same_v<Column, DataTable::RealColumn>) {
                        column.push_back(std::nan(""));
                    } else if constexpr (std::is_same_v<Column, DataTable::TextColumn>) {
                        column.emplace_back(std::nullopt);
                    }
                },
                cells[field]);
        }
    });
    DataTable table;
    for (std::size_t j = 0; j < width; ++j) table.add_column(std::move(names[j]), std::move(cells[j]));
    return table;
}

}  // namespace detail
}  // namespace ostrand::external::dfoundations
