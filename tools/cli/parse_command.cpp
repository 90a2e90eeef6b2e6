// `dfoundations parse FILE`: reads a D-Foundations output file and prints its calculation
// parameters and result tables as one JSON object (or one table as CSV).
#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <optional>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"
#include "ostrand/external/dfoundations/output.hpp"

#include "commands.hpp"
#include "csv.hpp"
#include "files.hpp"
#include "report.hpp"

namespace dfoundations_cli {
namespace {

namespace dfo = ostrand::external::dfoundations;
using json = nlohmann::ordered_json;

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
                if constexpr (std::is_same_v<V, std::monostate>)
                    out_ << "null";
                else if constexpr (std::is_same_v<V, std::int64_t>)
                    out_ << v;
                else if constexpr (std::is_same_v<V, double>)
                    real(v);
                else
                    text(v);
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
                if (value)
                    text(*value);
                else
                    out_ << "null";
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

struct ParseOptions {
    std::string file;
    std::optional<std::string> table;
    std::string format = "json";
};

// Every table of the results by the name --table selects: a table's own name, or for version 17
// Tension Piles "SECTION/PILE TYPE/N" and "SECTION/CPT/PILE TYPE/N" (N counting that pile type's
// tables from 1).
std::vector<std::pair<std::string, const dfo::Table*>> named_tables(const dfo::Results& results)
{
    std::vector<std::pair<std::string, const dfo::Table*>> named;
    if (const auto* tables = std::get_if<dfo::TableMap>(&results)) {
        for (const auto& [name, table] : *tables) named.emplace_back(name, &table);
        return named;
    }
    const auto add_list = [&](const std::string& prefix, const std::vector<dfo::Table>& list) {
        for (std::size_t i = 0; i < list.size(); ++i)
            named.emplace_back(prefix + "/" + std::to_string(i + 1), &list[i]);
    };
    for (const auto& [section_name, section] : std::get<dfo::TensionResults>(results).data) {
        for (const auto& [key, entry] : section) {
            if (const auto* list = std::get_if<std::vector<dfo::Table>>(&entry)) {
                add_list(section_name + "/" + key, *list);
            } else {
                for (const auto& [pile_type, list] : std::get<dfo::TensionResults::PileTypeTables>(entry))
                    add_list(section_name + "/" + key + "/" + pile_type, list);
            }
        }
    }
    return named;
}

std::string quoted_names(const std::vector<std::pair<std::string, const dfo::Table*>>& named)
{
    std::string list;
    for (const auto& [name, table] : named) list += (list.empty() ? "'" : ", '") + name + "'";
    return list.empty() ? "none" : list;
}

int print_table(const dfo::OutputFileParser& parser, const ParseOptions& options)
{
    const dfo::Results results = parser.results(true);
    const auto named = named_tables(results);
    const auto found =
        std::find_if(named.begin(), named.end(), [&](const auto& entry) { return entry.first == *options.table; });
    if (found == named.end()) {
        std::cerr << "dfoundations parse: the file has no table '" << *options.table
                  << "'; its tables are: " << quoted_names(named) << '\n';
        return REFUSED;
    }
    const dfo::Table& table = *found->second;
    if (options.format == "csv") {
        write_csv(std::get<dfo::DataTable>(table), "\r\n");
    } else {
        JsonWriter(std::cout).table(table);
        std::cout << '\n';
    }
    return DONE;
}

bool no_tables(const std::optional<dfo::Results>& results) { return !results || named_tables(*results).empty(); }

int print_all(const dfo::OutputFileParser& parser, const std::string& file)
{
    std::string parameters;
    bool parameters_failed = false;
    try {
        parameters = dump(parameters_json(parser.calculation_parameters()));
    } catch (...) {
        parameters = error_document();
        parameters_failed = true;
    }
    // The results are complete before the first character is written; writing them cannot fail.
    std::optional<dfo::Results> results;
    std::string results_error;
    try {
        results = parser.results(true);
    } catch (...) {
        results_error = error_document();
    }
    std::cout << R"({"parser":)" << dump(json(std::string(parser.class_name()))) << R"(,"calculation_parameters":)"
              << parameters << R"(,"results":)";
    if (results) {
        JsonWriter(std::cout).results(*results);
    } else {
        std::cout << results_error;
    }
    std::cout << "}\n";
    if (parameters_failed && no_tables(results))
        std::cerr << "dfoundations parse: nothing could be read from '" << file
                  << "': no result table and no calculation parameters (see the errors in the JSON)\n";
    return DONE;
}

int run_parse(const ParseOptions& options)
{
    std::string bytes = read_input(options.file);
    std::unique_ptr<dfo::OutputFileParser> parser;
    try {
        // The parser keeps only the output section; the whole text goes once it is chosen.
        parser = dfo::OutputFileParser::create(ostrand::core::BytesIO(std::move(bytes)));
    } catch (...) {
        std::cout << error_document() << '\n';
        return REFUSED;
    }
    if (options.table) {
        try {
            return print_table(*parser, options);
        } catch (...) {
            std::cout << error_document() << '\n';
            return REFUSED;
        }
    }
    return print_all(*parser, options.file);
}

}  // namespace

void add_parse_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<ParseOptions>();
    auto* command = app.add_subcommand(
        "parse",
        "Read a D-Foundations output file (.fod) and print its calculation parameters and result tables as JSON "
        "(OutputFileParser)");
    command
        ->add_option("FILE", options->file,
                     "The output file (UTF-8, or Latin-1 when it is not valid UTF-8; - for standard input)")
        ->required();
    auto* table = command->add_option("--table", options->table,
                                      "Print only the result table of this name; version 17 Tension Piles tables are "
                                      "named SECTION/PILE TYPE/N or SECTION/CPT/PILE TYPE/N");
    command->add_option("--format", options->format, "Output format of --table: json or csv")
        ->check(CLI::IsMember({"json", "csv"}))
        ->needs(table);
    command->footer(EXIT_STATUS_TABLE);
    command->callback([options, &status] { status = run_reported("parse", [&] { return run_parse(*options); }); });
}

}  // namespace dfoundations_cli
