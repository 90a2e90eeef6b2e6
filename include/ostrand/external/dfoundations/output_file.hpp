// Reading a whole D-Foundations output file (.fod) of any version: every section, value line and
// table in file order, addressed by path, with views of the results that users ask for most.
//
//     const OutputFile file = read_output_file(bytes);
//     for (const OutputTable* table : file.tables()) std::cout << table->path << '\n';
//     for (const PileView& pile : piles(file)) std::cout << pile.name << ' ' << *pile.s_factor << '\n';
//
// Beside OutputFileParser (output.hpp), which reads only what its versioned parsers know, this
// reader keeps every non-blank line of the file in exactly one item and never refuses a file whose
// sections it can follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "ostrand/external/dfoundations/output.hpp"

namespace ostrand::external::dfoundations {

// A line that holds a value and names it, in any of the shapes D-Foundations writes:
// "   37 = number of items", "PileName = Rect 300x500", "1.00 : X coordinate [m]", "SoilCu=0.01",
// "1  pile count", "**** = w1B". `value` is the raw value text; `numbers` the numbers in it.
struct ValueLine {
    std::string key;
    std::string value;
    std::vector<double> numbers;
    std::size_t line = 0;  // from 1
};

// A line that fits no value shape, kept as it stands (without its line end).
struct TextLine {
    std::string text;
    std::size_t line = 0;
};

// A [TABLE] block. Quoted cells are text without their quotes; other columns are integers or
// reals when every cell reads as one. A table that cannot be read keeps its `error` and no data.
struct OutputTable {
    std::string name;  // the name of the section that holds it
    std::string
        path;  // unique in the file, e.g. "DUMPFILE OUTPUT/PRELIMINARY DESIGN RESULTS/PILE[3]/ITERATION RESULTS"
    std::size_t line = 0;                   // of "[TABLE]", from 1
    std::size_t end_line = 0;               // of "[END OF TABLE]"
    std::optional<std::size_t> data_count;  // as the file states it, checked against the rows
    DataTable data;
    std::optional<std::string> error;

    std::size_t row_count() const { return data.row_count(); }
    std::size_t column_count() const { return data.column_count(); }
};

struct Item;

// A section "[NAME]" ... "[END OF NAME]" with its items in file order.
struct Section {
    std::string name;
    std::size_t position = 1;  // among its siblings of the same name, from 1
    std::string path;          // names from the top joined by "/", a repeated name with "[position]"
    std::size_t line = 0;      // of "[NAME]", from 1
    std::size_t end_line = 0;  // of "[END OF NAME]"
    std::vector<Item> items;

    // The first value line of that key, or null.
    const ValueLine* value(std::string_view key) const;
    // The first number of the first value line of that key.
    std::optional<double> number(std::string_view key) const;
    // Child sections, all or those of one name, in file order.
    std::vector<const Section*> sections(std::string_view name = {}) const;
    const Section* section(std::string_view name) const;
    std::vector<const OutputTable*> tables() const;
    std::vector<const ValueLine*> values() const;
};

// One item of a section: a value line, an unlabelled line, a table or a child section. A table
// lives on its own, so that the many lines of a file take little room each.
struct Item {
    std::variant<ValueLine, TextLine, std::unique_ptr<OutputTable>, Section> content;

    const ValueLine* value() const { return std::get_if<ValueLine>(&content); }
    const TextLine* text() const { return std::get_if<TextLine>(&content); }
    const OutputTable* table() const
    {
        const auto* table = std::get_if<std::unique_ptr<OutputTable>>(&content);
        return table != nullptr ? table->get() : nullptr;
    }
    const Section* section() const { return std::get_if<Section>(&content); }
};

// What identifies the run: from [VERSION EXTERNALS], [MODEL] and [CALCULATIONTYPE].
struct FileHeader {
    std::string version;  // e.g. "25.1.0.2830"
    std::optional<int> major_version;
    std::optional<int> model_code;  // 0 Bearing Piles, 1 Tension Piles, ...
    std::string model_name;
    std::optional<int> cu_values_code;  // D-Foundations 25: 0 based on CPTs, 1 manual
    std::optional<std::string> cu_values;
    std::optional<int> main_calculation_type;
    std::optional<int> sub_calculation_type;
};

// Something the reader noticed and read past: an unknown version, a DataCount that disagrees
// with the rows, a table that cannot be read.
struct ReadWarning {
    std::string path;
    std::size_t line = 0;
    std::string message;
};

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(OutputFile&&) = default;
    OutputFile& operator=(OutputFile&&) = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const FileHeader& header() const { return header_; }
    // The whole file: the lines before the first section, then the top sections ("INPUT DATA",
    // "DUMPFILE OUTPUT", ...). The [DUMPFILE] line around them is kept as a text line.
    const Section& root() const { return root_; }
    const Section* input() const;
    const Section* output() const;

    // Every section and every table, in file order.
    const std::vector<const Section*>& sections() const { return sections_; }
    const std::vector<const OutputTable*>& tables() const { return tables_; }
    const Section* section(std::string_view path) const;
    const OutputTable* table(std::string_view path) const;
    // The table paths that come closest to `path`, best first, for telling a user what is there.
    std::vector<std::string> nearest_table_paths(std::string_view path, std::size_t count = 5) const;

    const std::vector<ReadWarning>& warnings() const { return warnings_; }

private:
    friend OutputFile read_output_file(std::string_view bytes);

    FileHeader header_;
    Section root_;
    std::vector<const Section*> sections_;
    std::vector<const OutputTable*> tables_;
    std::unordered_map<std::string_view, const Section*> section_index_;
    std::unordered_map<std::string_view, const OutputTable*> table_index_;
    std::vector<ReadWarning> warnings_;
};

// Reads an output file from its bytes: UTF-8, or Latin-1 when they are not valid UTF-8.
// Errors: errors::ParsingError when the text holds no section at all.
OutputFile read_output_file(std::string_view bytes);

// The whole file as one line of JSON text ending in a line feed, as docs/output_file.schema.json
// describes it and `dfoundations read` prints it: {"file": file_name, "header": {...}, "warnings":
// [...], "items": [...]}, every section, value line and table in file order. Text stays UTF-8;
// missing table cells are null.
//
//     std::cout << to_json(read_output_file(bytes), "bm1-10.fod");
std::string to_json(const OutputFile& file, std::string_view file_name = {});
// One table as the JSON object that stands for it in the file's document (no line feed after it).
std::string to_json(const OutputTable& table);

// ---- Views ----------------------------------------------------------------------------------
// Each view looks for the sections that D-Foundations writes for one kind of calculation and is
// empty when the file has none of them.

using NumberMap = OrderedMap<double>;
using FlagMap = OrderedMap<bool>;

// A pile of a Bearing Piles preliminary design: [PILE] with PileName, BetaFactor and SFactor.
struct PileView {
    const Section* section = nullptr;
    std::string name;
    std::optional<double> beta_factor;
    std::optional<double> s_factor;
    std::vector<const OutputTable*> tables;
    NumberMap calculation_parameters;
};
std::vector<PileView> piles(const OutputFile& file);

// One step of a verification design: [ITERATION] with its number and depth.
struct IterationView {
    const Section* section = nullptr;
    std::optional<std::int64_t> number;
    std::optional<double> depth;
    NumberMap values;
    std::vector<const OutputTable*> tables;
    NumberMap calculation_parameters;
};
std::vector<IterationView> iterations(const OutputFile& file);

// One result of Tension Piles: a pile group with one pile type at one CPT, and the piles in the
// group. The rows of the result tables carry the same result index.
struct TensionGroupView {
    std::int64_t result_index = 0;
    std::int64_t pile_group = 0;
    std::string pile_type;
    std::string cpt;
    std::vector<std::string> piles;
};
std::vector<TensionGroupView> tension_groups(const OutputFile& file);

// An element of a Shallow Foundations verification: [ELEMENT] with its values and tables.
struct ElementView {
    const Section* section = nullptr;
    NumberMap values;
    std::vector<const OutputTable*> tables;
};
std::vector<ElementView> elements(const OutputFile& file);

// The flags of [CALCULATION WARNINGS] (a count above 0 is a warning too), and per pile type those
// of [PILE TYPE DIMENSIONS WARNINGS] or [FOOTNOTE WARNINGS].
struct PileTypeWarnings {
    std::optional<std::int64_t> pile_type_number;
    FlagMap flags;
};
struct CalculationWarnings {
    FlagMap calculation;
    std::vector<PileTypeWarnings> pile_types;
};
CalculationWarnings calculation_warnings(const OutputFile& file);

// The numbers of [GLOBAL NEN RESULTS], and per [NEN PILE RESULTS] its numbers and its calculation
// parameters, by key.
struct NenResults {
    NumberMap global;
    std::vector<NumberMap> piles;
};
NenResults nen_results(const OutputFile& file);

}  // namespace ostrand::external::dfoundations
