#include "external/dfoundations/output_file/table_block.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "external/dfoundations/output/tables.hpp"
#include "external/dfoundations/output/text.hpp"
#include "external/dfoundations/output_file/line_shapes.hpp"

namespace ostrand::external::dfoundations::detail {
namespace {

// Lines [first, last) of the file.
struct LineRange {
    const FileLines* lines;
    std::size_t first;
    std::size_t last;

    std::size_t size() const { return last - first; }
    std::string_view operator[](std::size_t index) const { return (*lines)[first + index]; }
};

bool is_marker(std::string_view line, Marker::Kind kind, std::string_view name)
{
    const Marker marker = marker_of(line);
    return marker.kind == kind && marker.name == name;
}

// "DataCount=N" with blanks allowed around the parts.
std::optional<std::size_t> data_count_of(std::string_view line)
{
    const auto value = classify_line(line, 0);
    const auto* counted = std::get_if<ValueLine>(&value);
    if (counted == nullptr || counted->key != "DataCount") return std::nullopt;
    const NumberShape shape = number_shape(counted->value);
    if (!shape.integer || counted->value.front() == '-') return std::nullopt;
    try {
        return static_cast<std::size_t>(parse_integer(counted->value));
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

bool is_quoted(std::string_view field) { return field.front() == '\'' || field.front() == '"'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A row's field has no blanks around it, save the vertical tab and form feed that the number rule
// also skips: such a field takes the general rule, every other one this quicker scan of the same
// grammar (sign, digits with an optional point and fraction, optional exponent).
bool has_outer_blank(std::string_view field)
{
    const auto outer = [](char c) { return c == '\v' || c == '\f'; };
    return outer(field.front()) || outer(field.back());
}

NumberShape field_shape(std::string_view field)
{
    if (has_outer_blank(field)) return number_shape(field);
    std::size_t at = field.front() == '+' || field.front() == '-' ? 1 : 0;
    std::size_t digits = 0;
    while (at < field.size() && is_digit(field[at])) ++at, ++digits;
    bool integer = true;
    if (at < field.size() && field[at] == '.') {
        integer = false;
        ++at;
        while (at < field.size() && is_digit(field[at])) ++at, ++digits;
    }
    if (digits == 0) return {};
    if (at < field.size() && (field[at] == 'e' || field[at] == 'E')) {
        integer = false;
        ++at;
        if (at < field.size() && (field[at] == '+' || field[at] == '-')) ++at;
        const std::size_t exponent = at;
        while (at < field.size() && is_digit(field[at])) ++at;
        if (at == exponent) return {};
    }
    if (at != field.size()) return {};
    return {true, integer};
}

std::int64_t field_integer(std::string_view field)
{
    if (has_outer_blank(field)) return parse_integer(field);
    if (field.front() == '+') field.remove_prefix(1);
    std::int64_t value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return value;
}

// The first pass over the rows: what each column holds. Throws std::invalid_argument naming the
// row (from 1) that cannot be read.
template <class Rows>
std::vector<ColumnKind> column_kinds(const Rows& rows, std::size_t width)
{
    std::vector<ColumnKind> kinds(width);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::size_t field = 0;
        try {
            tokenize_row(rows[r], [&](std::string_view text) {
                if (field < width) {
                    ColumnKind& kind = kinds[field];
                    if (kind.number) {
                        const NumberShape shape = is_quoted(text) ? NumberShape{} : field_shape(text);
                        kind.number = shape.number;
                        kind.integer = kind.integer && shape.integer;
                        if (kind.integer && text.size() >= 19) {
                            try {
                                parse_integer(text);
                            } catch (const std::out_of_range&) {
                                kind.integer = false;  // too large for an integer column; read as reals
                            }
                        }
                    }
                }
                ++field;
            });
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("row " + std::to_string(r + 1) + ": " + e.what());
        }
        if (field > width) {
            throw std::invalid_argument("row " + std::to_string(r + 1) + " has " + std::to_string(field) +
                                        " fields, the table " + std::to_string(width) + " columns");
        }
        for (std::size_t j = field; j < width; ++j) kinds[j].integer = false;  // a missing cell
    }
    return kinds;
}

void append_cell(DataTable::Column& column, std::string_view text)
{
    std::visit(
        [&](auto& cells) {
            using Cells = std::decay_t<decltype(cells)>;
            if constexpr (std::is_same_v<Cells, DataTable::IntColumn>) {
                cells.push_back(field_integer(text));
            } else if constexpr (std::is_same_v<Cells, DataTable::RealColumn>) {
                cells.push_back(read_number(text));
            } else {
                cells.emplace_back(std::string(is_quoted(text) ? text.substr(1, text.size() - 2) : text));
            }
        },
        column);
}

void append_missing(DataTable::Column& column)
{
    std::visit(
        [](auto& cells) {
            using Cells = std::decay_t<decltype(cells)>;
            if constexpr (std::is_same_v<Cells, DataTable::RealColumn>) {
                cells.push_back(std::nan(""));
            } else if constexpr (std::is_same_v<Cells, DataTable::TextColumn>) {
                cells.emplace_back(std::nullopt);
            }
        },
        column);
}

// Two passes over the rows: the first learns each column's type, the second fills typed columns,
// so no table of text cells is ever held.
template <class Rows>
DataTable table_from_lines(const LineRange& names, const Rows& rows)
{
    const std::vector<ColumnKind> kinds = column_kinds(rows, names.size());
    std::vector<DataTable::Column> columns;
    columns.reserve(names.size());
    for (const ColumnKind& kind : kinds) columns.push_back(empty_column(kind, rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::size_t field = 0;
        tokenize_row(rows[r], [&](std::string_view text) { append_cell(columns[field++], text); });
        for (; field < columns.size(); ++field) append_missing(columns[field]);
    }
    DataTable table;
    for (std::size_t j = 0; j < names.size(); ++j) table.add_column(std::string(names[j]), std::move(columns[j]));
    return table;
}

// Most tables keep one type per column from their first row on. This pass reads them with one
// tokenizing of each row: it takes each column's type from the first row, turns an integer column
// into reals at its first real or missing cell, and gives up (nothing) on anything else, which the
// two-pass reading then settles.
class OnePassTable {
public:
    OnePassTable(std::size_t width, std::size_t rows) : kinds_(width, Kind::UNSEEN), columns_(width), rows_(rows) {}

    bool add_row(std::string_view row)
    {
        std::size_t field = 0;
        bool fits = true;
        try {
            tokenize_row(row, [&](std::string_view text) {
                fits = fits && field < kinds_.size() && add_cell(field, text);
                ++field;
            });
        } catch (const std::invalid_argument&) {
            return false;  // the two-pass reading names the row
        }
        if (!fits) return false;
        for (; field < kinds_.size(); ++field) {
            if (kinds_[field] == Kind::UNSEEN) return false;
            if (kinds_[field] == Kind::INTEGER) to_reals(field);
            append_missing(columns_[field]);
        }
        return true;
    }

    DataTable table(const LineRange& names)
    {
        DataTable table;
        for (std::size_t j = 0; j < names.size(); ++j) {
            if (kinds_[j] == Kind::UNSEEN) columns_[j] = DataTable::IntColumn{};  // no rows
            table.add_column(std::string(names[j]), std::move(columns_[j]));
        }
        return table;
    }

private:
    enum class Kind { UNSEEN, INTEGER, REAL, TEXT };

    bool add_cell(std::size_t field, std::string_view text)
    {
        Kind& kind = kinds_[field];
        const NumberShape shape = is_quoted(text) ? NumberShape{} : field_shape(text);
        if (kind == Kind::UNSEEN) {
            kind = !shape.number ? Kind::TEXT : shape.integer ? Kind::INTEGER : Kind::REAL;
            columns_[field] = kind == Kind::TEXT      ? DataTable::Column(DataTable::TextColumn{})
                              : kind == Kind::INTEGER ? DataTable::Column(DataTable::IntColumn{})
                                                      : DataTable::Column(DataTable::RealColumn{});
            std::visit([&](auto& cells) { cells.reserve(rows_); }, columns_[field]);
        }
        if (kind == Kind::TEXT) {
            append_cell(columns_[field], text);
            return true;
        }
        if (!shape.number) return false;
        // A long integer may not fit, and "-0" kept as an integer would lose its sign as a real.
        if (kind == Kind::INTEGER && shape.integer &&
            (text.size() >= 19 || (text.front() == '-' && field_integer(text) == 0))) {
            return false;
        }
        if (kind == Kind::INTEGER && !shape.integer) to_reals(field);
        append_cell(columns_[field], text);
        return true;
    }

    void to_reals(std::size_t field)
    {
        const auto& integers = std::get<DataTable::IntColumn>(columns_[field]);
        DataTable::RealColumn reals;
        reals.reserve(rows_);
        reals.assign(integers.begin(), integers.end());
        columns_[field] = std::move(reals);
        kinds_[field] = Kind::REAL;
    }

    std::vector<Kind> kinds_;
    std::vector<DataTable::Column> columns_;
    std::size_t rows_;
};

template <class Rows>
DataTable table_from_rows(const LineRange& names, const Rows& rows)
{
    OnePassTable quick(names.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!quick.add_row(rows[r])) return table_from_lines(names, rows);
    }
    return quick.table(names);
}

bool has_blank_line(const LineRange& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (is_blank_line(rows[r])) return true;
    }
    return false;
}

// A blank line among the rows is no row: it would read as a row of missing cells.
std::vector<std::string_view> without_blank_lines(const LineRange& rows)
{
    std::vector<std::string_view> kept;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!is_blank_line(rows[r])) kept.push_back(rows[r]);
    }
    return kept;
}

// The lines after `at` up to the close of `name`, which is not among them.
std::optional<LineRange> block_lines(const FileLines& lines, std::size_t at, std::size_t last, std::string_view name)
{
    for (std::size_t i = at; i < last; ++i) {
        if (is_marker(lines[i], Marker::Kind::CLOSE, name)) return LineRange{&lines, at, i};
    }
    return std::nullopt;
}

std::size_t skip_blank_lines(const FileLines& lines, std::size_t at, std::size_t last)
{
    while (at < last && is_blank_line(lines[at])) ++at;
    return at;
}

}  // namespace

std::optional<OutputTable> read_table_block(const FileLines& lines, std::size_t first, std::size_t last)
{
    OutputTable table;
    table.line = first + 1;
    std::size_t at = skip_blank_lines(lines, first + 1, last);
    if (at < last && (table.data_count = data_count_of(lines[at]))) at = skip_blank_lines(lines, at + 1, last);
    if (at == last && table.data_count == 0u) return table;
    if (at >= last || !is_marker(lines[at], Marker::Kind::OPEN, "COLUMN INDICATION")) return std::nullopt;
    const auto names = block_lines(lines, at + 1, last, "COLUMN INDICATION");
    if (!names) return std::nullopt;
    at = skip_blank_lines(lines, names->last + 1, last);
    if (at >= last || !is_marker(lines[at], Marker::Kind::OPEN, "DATA")) return std::nullopt;
    const auto rows = block_lines(lines, at + 1, last, "DATA");
    if (!rows || skip_blank_lines(lines, rows->last + 1, last) != last) return std::nullopt;
    try {
        table.data = has_blank_line(*rows) ? table_from_rows(*names, without_blank_lines(*rows))
                                           : table_from_rows(*names, *rows);
    } catch (const std::invalid_argument& e) {
        table.error = e.what();
    }
    return table;
}

}  // namespace ostrand::external::dfoundations::detail
