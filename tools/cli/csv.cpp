#include "csv.hpp"

#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>
#include <variant>

#include "ostrand/external/dfoundations/number_format.hpp"

namespace dfoundations_cli {

namespace dfo = ostrand::external::dfoundations;

namespace {

// A CSV field, quoted when it holds a separator, a quote or a line break.
void append_field(std::string& line, std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(value);
        return;
    }
    line += '"';
    for (char c : value) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

void write_csv(const dfo::DataTable& data, std::string_view line_end)
{
    std::string line;
    for (std::size_t j = 0; j < data.column_count(); ++j) {
        if (j > 0) line += ',';
        append_field(line, data.column_names()[j]);
    }
    line += line_end;
    for (std::size_t row = 0; row < data.row_count(); ++row) {
        for (std::size_t j = 0; j < data.column_count(); ++j) {
            if (j > 0) line += ',';
            std::visit(
                [&](const auto& cells) {
                    const auto& value = cells[row];
                    using Value = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<Value, std::int64_t>) {
                        line += std::to_string(value);
                    } else if constexpr (std::is_same_v<Value, double>) {
                        if (std::isfinite(value)) line += dfo::format_number(value);
                    } else if (value) {
                        append_field(line, *value);
                    }
                },
                data.column(j));
        }
        line += line_end;
        if (line.size() >= (1u << 20)) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            line.clear();
        }
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace dfoundations_cli
