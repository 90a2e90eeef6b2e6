// `dfoundations parse FILE`: reads a D-Foundations output file and prints its calculation
// parameters and result tables as one JSON object (or one table as CSV).
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"
#include "ostrand/external/dfoundations/output.hpp"

#include "commands.hpp"

namespace dfoundations_cli {
namespace {

namespace dfo = ostrand::external::dfoundations;
using json = nlohmann::ordered_json;

// The error of the exception being handled, as {"type": ..., "message": ...}.
json current_error()
{
    const auto error = [](const char* type, const std::exception& e) {
        return json{{"type", type}, {"message", e.what()}};
    };
    try {
        throw;
    } catch (const ostrand::errors::ParsingError& e) {
        return error("ParsingError", e);
    } catch (const dfo::PatternLimitError& e) {
        return error("PatternLimitError", e);
    } catch (const std::invalid_argument& e) {
        return error("ValueError", e);
    } catch (const std::out_of_range& e) {
        return error("OutOfRange", e);
    } catch (const std::exception& e) {
        return error("Error", e);
    }
}

std::string dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

// Writes tables cell by cell, so that a large file never becomes one large JSON tree.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void text(std::string_view value) { out_ << dump(json(std::string(value))); }
    void real(double value) { out_ << (std::isfinite(value) ? dfo::format_number(value) : "null"); }

    void cell(const dfo::Cell& value)
    {
        std::visit(
            [&](const auto& v) {
                using V = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<V, std::monostate>) out_ << "null";
                else if constexpr (std::is_same_v<V, std::int64_t>) out_ << v;
                else if constexpr (std::is_same_v<V, double>) real(v);
                else text(v);
            },
            value);
    }

    void table(const dfo::Table& value)
    {
        if (const auto* map = std::get_if<dfo::ColumnMap>(&value)) return column_map(*map);
        const auto& table = std::get<dfo::DataTable>(value);
        // The column map keeps a repeated name at its first position with its last column's cells.
        dfo::OrderedMap<std::size_t> columns;
        for (std::size_t i = 0; i < table.column_count(); ++i) columns[table.column_names()[i]] = i;
        out_ << '{';
        const char* separator = "";
        for (const auto& [name, index] : columns) {
            out_ << separator;
            separator = ",";
            text(name);
            out_ << ":{";
            std::visit([&](const auto& cells) { rows(cells); }, table.column(index));
            out_ << '}';
        }
        out_ << '}';
    }

    void column_map(const dfo::ColumnMap& map)
    {
        out_ << '{';
        const char* separator = "";
        for (const auto& [name, cells] : map) {
            out_ << separator;
            separator = ",";
            text(name);
            out_ << ":{";
            rows(cells);
            out_ << '}';
        }
        out_ << '}';
    }

    template <class Value, class Write>
    void object(const dfo::OrderedMap<Value>& map, Write write)
    {
        out_ << '{';
        const char* separator = "";
        for (const auto& [key, value] : map) {
            out_ << separator;
            separator = ",";
            text(key);
            out_ << ':';
            write(value);
        }
        out_ << '}';
    }

    void tables(const std::vector<dfo::Table>& list)
    {
        out_ << '[';
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i > 0) out_ << ',';
            table(list[i]);
        }
        out_ << ']';
    }

    void results(const dfo::Results& value)
    {
        if (const auto* map = std::get_if<dfo::TableMap>(&value)) {
            return object(*map, [&](const dfo::Table& t) { table(t); });
        }
        const auto& tension = std::get<dfo::TensionResults>(value);
        out_ << R"({"pile_groups":)" << dump(json(tension.pile_groups)) << R"(,"data":)";
        object(tension.data, [&](const dfo::TensionResults::Section& section) {
            object(section, [&](const dfo::TensionResults::SectionEntry& entry) {
                if (const auto* list = std::get_if<std::vector<dfo::Table>>(&entry)) return tables(*list);
                object(std::get<dfo::TensionResults::PileTypeTables>(entry),
                       [&](const std::vector<dfo::Table>& list) { tables(list); });
            });
        });
        out_ << '}';
    }

private:
    template <class Cells>
    void rows(const Cells& cells)
    {
        for (std::size_t row = 0; row < cells.size(); ++row) {
            if (row > 0) out_ << ',';
            out_ << '"' << row << "\":";
            const auto& value = cells[row];
            using V = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<V, std::optional<std::string>>) {
                if (value) text(*value);
                else out_ << "null";
            } else if constexpr (std::is_same_v<V, double>) {
                real(value);
            } else if constexpr (std::is_same_v<V, std::int64_t>) {
                out_ << value;
            } else {
                cell(value);
            }
        }
    }

    std::ostream& out_;
};

json parameters_json(const dfo::CalculationParameters& parameters)
{
    json object = json::object();
    for (const auto& [name, value] : parameters) {
        std::visit([&, &name = name](auto v) { object[name] = v; }, value);
    }
    return object;
}

// Writes a CSV text field, quoted when it holds a separator, a quote or a line break.
std::string csv_field(std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
    std::string quoted = "\"";
    for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void write_csv(std::ostream& out, const dfo::DataTable& table)
{
    for (std::size_t j = 0; j < table.column_count(); ++j) {
        out << (j > 0 ? "," : "") << csv_field(table.column_names()[j]);
    }
    out << "\r\n";
    for (std::size_t row = 0; row < table.row_count(); ++row) {
        for (std::size_t j = 0; j < table.column_count(); ++j) {
            if (j > 0) out << ',';
            std::visit(
                [&](const auto& cells) {
                    const auto& value = cells[row];
                    using V = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<V, std::optional<std::string>>) {
                        if (value) out << csv_field(*value);
                    } else if constexpr (std::is_same_v<V, double>) {
                        if (std::isfinite(value)) out << dfo::format_number(value);
                    } else {
                        out << value;
                    }
                },
                table.column(j));
        }
        out << "\r\n";
    }
}

struct ParseOptions {
    std::string file;
    std::optional<std::string> table;
    std::string format = "json";
};

int print_table(const dfo::OutputFileParser& parser, const ParseOptions& options)
{
    const dfo::Results results = parser.results(true);
    const auto* tables = std::get_if<dfo::TableMap>(&results);
    const dfo::Table* table = tables ? tables->find(*options.table) : nullptr;
    if (table == nullptr) {
        std::cerr << "dfoundations parse: the file has no table '" << *options.table << "'\n";
        return 1;
    }
    if (options.format == "csv") {
        write_csv(std::cout, std::get<dfo::DataTable>(*table));
    } else {
        JsonWriter(std::cout).table(*table);
        std::cout << '\n';
    }
    return 0;
}

int print_all(const dfo::OutputFileParser& parser)
{
    std::string parameters;
    try {
        parameters = dump(parameters_json(parser.calculation_parameters()));
    } catch (...) {
        parameters = dump(json{{"error", current_error()}});
    }
    // The results are complete before the first character is written; writing them cannot fail.
    std::optional<dfo::Results> results;
    std::string results_error;
    try {
        results = parser.results(true);
    } catch (...) {
        results_error = dump(json{{"error", current_error()}});
    }
    std::cout << R"({"parser":)" << dump(json(std::string(parser.class_name()))) << R"(,"calculation_parameters":)"
              << parameters << R"(,"results":)";
    if (results) {
        JsonWriter(std::cout).results(*results);
    } else {
        std::cout << results_error;
    }
    std::cout << "}\n";
    return 0;
}

// The whole file, or nothing when it cannot be read (missing, a folder, no permission).
std::optional<std::string> read_bytes(const std::string& path)
{
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes(std::istreambuf_iterator<char>(in), {});
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::ios_base::failure&) {
        return std::nullopt;  // reading a folder fails inside the stream buffer
    }
}

int run_parse(const ParseOptions& options)
{
    std::optional<std::string> bytes = read_bytes(options.file);
    if (!bytes) {
        std::cerr << "dfoundations parse: cannot read '" << options.file << "'\n";
        return 2;
    }
    if (options.format == "csv" && !options.table) {
        std::cerr << "dfoundations parse: --format csv needs --table NAME\n";
        return 2;
    }
    std::unique_ptr<dfo::OutputFileParser> parser;
    try {
        // The parser keeps only the output section; the whole text goes once it is chosen.
        parser = dfo::OutputFileParser::create(ostrand::core::BytesIO(std::move(*bytes)));
    } catch (...) {
        std::cout << dump(json{{"error", current_error()}}) << '\n';
        return 1;
    }
    if (options.table) {
        try {
            return print_table(*parser, options);
        } catch (...) {
            std::cout << dump(json{{"error", current_error()}}) << '\n';
            return 1;
        }
    }
    return print_all(*parser);
}

}  // namespace

void add_parse_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<ParseOptions>();
    auto* command = app.add_subcommand(
        "parse",
        "Read a D-Foundations output file (.fod) and print its calculation parameters and result tables as JSON");
    command->add_option("FILE", options->file, "The output file (UTF-8, or Latin-1 when it is not valid UTF-8)")
        ->required();
    command->add_option("--table", options->table, "Print only the result table of this name");
    command->add_option("--format", options->format, "Output format of --table: json or csv")
        ->check(CLI::IsMember({"json", "csv"}));
    command->callback([options, &status] { status = run_parse(*options); });
}

}  // namespace dfoundations_cli
