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
    std::string key;              // the name the line gives its value, e.g. "number of items"
    std::string value;            // the raw value text, e.g. "37"
    std::vector<double> numbers;  // the numbers in the value text, in order
    std::size_t line = 0;         // the line in the file, from 1
};

// A line that fits no value shape, kept as it stands (without its line end).
struct TextLine {
    std::string text;      // the line without its line end
    std::size_t line = 0;  // the line in the file, from 1
};

// A [TABLE] block. Quoted cells are text without their quotes; other columns are integers or
// reals when every cell reads as one. A table that cannot be read keeps its `error` and no data.
struct OutputTable {
    std::string name;  // the name of the section that holds it
    // The table's path, unique in the file, e.g.
    // "DUMPFILE OUTPUT/PRELIMINARY DESIGN RESULTS/PILE[3]/ITERATION RESULTS".
    std::string path;
    std::size_t line = 0;                   // of "[TABLE]", from 1
    std::size_t end_line = 0;               // of "[END OF TABLE]"
    std::optional<std::size_t> data_count;  // as the file states it, checked against the rows
    // The table's columns and rows.
    // @python a new pandas DataFrame: integer and real columns as numpy arrays, text as objects
    DataTable data;
    std::optional<std::string> error;  // why the table could not be read; absent when it was

    // The number of rows.
    std::size_t row_count() const { return data.row_count(); }
    // The number of columns.
    std::size_t column_count() const { return data.column_count(); }
};

struct Item;

// A section "[NAME]" ... "[END OF NAME]" with its items in file order.
struct Section {
    std::string name;          // the NAME of "[NAME]"
    std::size_t position = 1;  // among its siblings of the same name, from 1
    std::string path;          // names from the top joined by "/", a repeated name with "[position]"
    std::size_t line = 0;      // of "[NAME]", from 1
    std::size_t end_line = 0;  // of "[END OF NAME]"
    // Value lines, text lines, tables and child sections, in file order.
    std::vector<Item> items;

    // The first value line of that key, or null.
    const ValueLine* value(std::string_view key) const;
    // The first number of the first value line of that key.
    std::optional<double> number(std::string_view key) const;
    // Child sections, all or those of one name, in file order.
    std::vector<const Section*> sections(std::string_view name = {}) const;
    // The first child section of that name, or null.
    const Section* section(std::string_view name) const;
    // The tables directly in this section, in file order.
    std::vector<const OutputTable*> tables() const;
    // The value lines directly in this section, in file order.
    std::vector<const ValueLine*> values() const;
};

// One item of a section: a value line, an unlabelled line, a table or a child section. A table
// lives on its own, so that the many lines of a file take little room each.
struct Item {
    std::variant<ValueLine, TextLine, std::unique_ptr<OutputTable>, Section> content;  // what the item is

    // The value line, or null when the item is another kind.
    const ValueLine* value() const { return std::get_if<ValueLine>(&content); }
    // The text line, or null.
    const TextLine* text() const { return std::get_if<TextLine>(&content); }
    // The table, or null.
    const OutputTable* table() const
    {
        const auto* table = std::get_if<std::unique_ptr<OutputTable>>(&content);
        return table != nullptr ? table->get() : nullptr;
    }
    // The child section, or null.
    const Section* section() const { return std::get_if<Section>(&content); }
};

// What identifies the run: from [VERSION EXTERNALS], [MODEL] and [CALCULATIONTYPE].
struct FileHeader {
    std::string version;                    // e.g. "25.1.0.2830"
    std::optional<int> major_version;       // e.g. 25
    std::optional<int> model_code;          // 0 Bearing Piles, 1 Tension Piles, ...
    std::string model_name;                 // e.g. "Bearing Piles (EC7-NL)"
    std::optional<int> cu_values_code;      // D-Foundations 25: 0 based on CPTs, 1 manual
    std::optional<std::string> cu_values;   // the text of that choice
    std::optional<int> main_calculation_type;  // 0 preliminary design, 1 verification
    std::optional<int> sub_calculation_type;   // the calculation within it
};

// Something the reader noticed and read past: an unknown version, a DataCount that disagrees
// with the rows, a table that cannot be read.
struct ReadWarning {
    std::string path;      // of the section or table it concerns
    std::size_t line = 0;  // from 1
    std::string message;   // what was noticed
};

// A whole output file: sections, value lines and tables, in file order and by path.
class OutputFile {
public:
    // An empty file; read_output_file gives a read one.
    OutputFile() = default;
    OutputFile(OutputFile&&) = default;
    OutputFile& operator=(OutputFile&&) = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // What identifies the run: version, model and calculation type.
    const FileHeader& header() const { return header_; }
    // The whole file: the lines before the first section, then the top sections ("INPUT DATA",
    // "DUMPFILE OUTPUT", ...). The [DUMPFILE] line around them is kept as a text line.
    const Section& root() const { return root_; }
    // The section "INPUT DATA", or null.
    const Section* input() const;
    // The section "DUMPFILE OUTPUT" (or "DUMPFILE"), or null.
    const Section* output() const;

    // Every section, in file order.
    const std::vector<const Section*>& sections() const { return sections_; }
    // Every table, in file order.
    const std::vector<const OutputTable*>& tables() const { return tables_; }
    // The section at `path`, or null.
    // @param path  e.g. "DUMPFILE OUTPUT/VERIFICATION RESULTS"
    const Section* section(std::string_view path) const;
    // The table at `path`, or null.
    // @param path  e.g. "DUMPFILE OUTPUT/VERIFICATION RESULTS/NEN PILE RESULTS/MAX SHAFT AND POINT"
    const OutputTable* table(std::string_view path) const;
    // The table paths that come closest to `path`, best first, for telling a user what is there.
    std::vector<std::string> nearest_table_paths(std::string_view path, std::size_t count = 5) const;

    // What the reader noticed and read past: an unknown version, a DataCount that disagrees with the
    // rows, a table that cannot be read.
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

// Reads a whole output file (.fod) of any version from its bytes: UTF-8, or Latin-1 when they are
// not valid UTF-8.
// @param bytes  the file's bytes
// @returns the file's sections, value lines and tables
// @throws errors::ParsingError "The file holds no D-Foundations section ([NAME] ... [END OF NAME])."
// @python Takes bytes, str or a path (os.PathLike).
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

// Key -> number, in file order.
using NumberMap = OrderedMap<double>;
// Warning name -> whether it is raised, in file order.
using FlagMap = OrderedMap<bool>;

// A pile of a Bearing Piles preliminary design: [PILE] with PileName, BetaFactor and SFactor.
struct PileView {
    const Section* section = nullptr;     // the [PILE] section
    std::string name;                     // PileName
    std::optional<double> beta_factor;    // BetaFactor
    std::optional<double> s_factor;       // SFactor
    std::vector<const OutputTable*> tables;  // the pile's tables
    NumberMap calculation_parameters;     // name -> number
};
// The piles of a Bearing Piles preliminary design.
// @param file  an output file as read_output_file reads it
// @returns one view per [PILE] section; empty for a file of another kind
std::vector<PileView> piles(const OutputFile& file);

// One step of a verification design: [ITERATION] with its number and depth.
struct IterationView {
    const Section* section = nullptr;        // the [ITERATION] section
    std::optional<std::int64_t> number;      // the step's number
    std::optional<double> depth;             // [m]
    NumberMap values;                        // the step's numbers by key
    std::vector<const OutputTable*> tables;  // the step's tables
    NumberMap calculation_parameters;        // name -> number
};
// The steps of a verification design.
// @param file  an output file as read_output_file reads it
// @returns one view per [ITERATION] section; empty for a file of another kind
std::vector<IterationView> iterations(const OutputFile& file);

// One result of Tension Piles: a pile group with one pile type at one CPT, and the piles in the
// group. The rows of the result tables carry the same result index.
struct TensionGroupView {
    std::int64_t result_index = 0;   // the index the result tables' rows carry
    std::int64_t pile_group = 0;     // the pile group's number
    std::string pile_type;           // the pile type's name
    std::string cpt;                 // the CPT's name
    std::vector<std::string> piles;  // the piles in the group
};
// The results of a Tension Piles calculation by result index.
// @param file  an output file as read_output_file reads it
// @returns one view per result; empty for a file of another kind
std::vector<TensionGroupView> tension_groups(const OutputFile& file);

// An element of a Shallow Foundations verification: [ELEMENT] with its values and tables.
struct ElementView {
    const Section* section = nullptr;        // the [ELEMENT] section
    NumberMap values;                        // the element's numbers by key
    std::vector<const OutputTable*> tables;  // the element's tables
};
// The elements of a Shallow Foundations verification.
// @param file  an output file as read_output_file reads it
// @returns one view per [ELEMENT] section; empty for a file of another kind
std::vector<ElementView> elements(const OutputFile& file);

// The flags of [CALCULATION WARNINGS] (a count above 0 is a warning too), and per pile type those
// of [PILE TYPE DIMENSIONS WARNINGS] or [FOOTNOTE WARNINGS].
struct PileTypeWarnings {
    std::optional<std::int64_t> pile_type_number;  // the pile type's number in the file
    FlagMap flags;                                 // warning name -> whether it is raised
};
// The warning flags of a calculation, and those of each pile type.
struct CalculationWarnings {
    FlagMap calculation;                       // warning name -> whether it is raised
    std::vector<PileTypeWarnings> pile_types;  // per pile type
};
// The warning flags of a calculation, and per pile type its dimension warnings.
// @param file  an output file as read_output_file reads it
// @returns the flags; empty for a file without warnings sections
CalculationWarnings calculation_warnings(const OutputFile& file);

// The numbers of [GLOBAL NEN RESULTS], and per [NEN PILE RESULTS] its numbers and its calculation
// parameters, by key.
struct NenResults {
    NumberMap global;              // key -> number (Python: global_)
    std::vector<NumberMap> piles;  // per pile: key -> number
};
// The global and per-pile NEN numbers of a verification, by key.
// @param file  an output file as read_output_file reads it
// @returns the numbers; empty for a file of another kind
NenResults nen_results(const OutputFile& file);

}  // namespace ostrand::external::dfoundations
