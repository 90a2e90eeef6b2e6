// Reading D-Foundations output files (.fod): recognising the version, model and calculation
// type, and turning the output section into calculation parameters and result tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "ostrand/core.hpp"
#include "ostrand/external/dfoundations/ordered_map.hpp"

namespace ostrand::external::dfoundations {

// One cell of a column map: missing text (monostate), an integer, a real (NaN when missing) or text.
using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;
// Column name -> the column's cells; the position in the vector is the row number.
using ColumnMap = OrderedMap<std::vector<Cell>>;

// A small table of named columns over rows numbered from 0. Every column has one cell type.
class DataTable {
public:
    using IntColumn = std::vector<std::int64_t>;                 // no missing cells
    using RealColumn = std::vector<double>;                      // missing = NaN
    using TextColumn = std::vector<std::optional<std::string>>;  // missing = nullopt
    // A column of one cell type.
    using Column = std::variant<IntColumn, RealColumn, TextColumn>;

    // Appends a column; all columns must have the same number of rows.
    void add_column(std::string name, Column column);

    // The column names, in column order.
    const std::vector<std::string>& column_names() const { return names_; }
    // The number of columns.
    std::size_t column_count() const { return columns_.size(); }
    // The number of rows.
    std::size_t row_count() const { return rows_; }
    const Column& column(std::size_t index) const { return columns_.at(index); }
    // The first column of that name; std::out_of_range when there is none.
    const Column& column(std::string_view name) const;
    // The first column of that name as the type it holds; std::out_of_range when there is none and
    // std::invalid_argument, naming the column and what it holds, when it holds another type.
    //   const auto& shaft = table.real_column("MaxShaft");
    const IntColumn& int_column(std::string_view name) const;
    // The first column of that name, which holds reals; as int_column.
    const RealColumn& real_column(std::string_view name) const;
    // The first column of that name, which holds text; as int_column.
    const TextColumn& text_column(std::string_view name) const;

    // Column name -> row -> cell, in column order. A repeated column name keeps its first position
    // and the cells of its last column.
    ColumnMap column_map() const;

private:
    std::vector<std::string> names_;
    std::vector<Column> columns_;
    std::size_t rows_ = 0;
};

// A result table: the table itself or its column map, as the caller asked.
using Table = std::variant<DataTable, ColumnMap>;
// Table name -> table, in file order.
using TableMap = OrderedMap<Table>;

// The results of the Tension Piles parser: one list of pile numbers per pile group, and per result
// section either pile type -> tables or CPT name -> pile type -> tables, mixed as the file has them.
struct TensionResults {
    // Pile type -> its tables.
    using PileTypeTables = OrderedMap<std::vector<Table>>;
    // The tables of a pile type, or those of each pile type at a CPT.
    using SectionEntry = std::variant<std::vector<Table>, PileTypeTables>;
    // Pile type or CPT name -> its entry.
    using Section = OrderedMap<SectionEntry>;

    std::vector<std::vector<std::int64_t>> pile_groups;  // the pile numbers of each pile group
    OrderedMap<Section> data;                            // result section name -> section
};

// What OutputFileParser::results gives: tables by name, or the Tension Piles results of version 17.
using Results = std::variant<TableMap, TensionResults>;
// A calculation parameter: a number or a flag.
using ParameterValue = std::variant<double, bool>;
// Parameter name -> value, in file order.
using CalculationParameters = OrderedMap<ParameterValue>;

// A regular-expression match that stopped on one of the engine's limits (steps, depth, stack,
// memory) before it could decide. The file is too large or too tangled to be read safely.
class PatternLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of an output file in any form the road hands it on: decoded text (StringIO), or the bytes
// as D-Foundations wrote them (BytesIO, the platform's File, or what DFoundationsAnalysis::
// get_output_file() returns), read as UTF-8 when they are valid UTF-8 and as Latin-1 otherwise.
// It views the caller's text where it can: it lives only as long as the argument it was made from.
class OutputFileText {
public:
    // Decoded text, viewed in place.
    OutputFileText(const core::StringIO& text) : text_(text.getvalue()) {}
    OutputFileText(const core::BytesIO& bytes) : OutputFileText(bytes.getvalue(), 0) {}
    OutputFileText(const core::File& file) : OutputFileText(file.getvalue_binary(), 0) {}
    OutputFileText(const std::variant<core::BytesIO, core::File>& output_file);
    OutputFileText(const OutputFileText&) = delete;
    OutputFileText& operator=(const OutputFileText&) = delete;

    // The text, decoded.
    std::string_view text() const { return text_; }

private:
    OutputFileText(const std::string& bytes, int);
    std::string decoded_;
    std::string_view text_;
};

// Reads a D-Foundations output file. `create` recognises the file and returns the parser that
// fits it; the parser keeps only the file's output section.
class OutputFileParser {
public:
    // The pattern that finds the D-Foundations version of a file.
    static constexpr std::string_view VERSION_PATTERN =
        R"(\[VERSION EXTERNALS\](?:\r\n|\n|\r)DGSFoundationCalc.dll=(?P<version>.*)(?:\r\n|\n|\r)\[END OF VERSION EXTERNALS\])";
    // The pattern that finds the model of a file.
    static constexpr std::string_view MODEL_PATTERN =
        R"(\[MODEL\](?:\r\n|\n|\r)(?P<model_type>\d) : Model = (?P<model_type_name>.*)(?:\r\n|\n|\r)\[END OF MODEL\])";
    // The pattern that finds the calculation type of a file.
    static constexpr std::string_view CALCULATION_TYPE_PATTERN =
        R"(\[CALCULATIONTYPE\](?:\r\n|\n|\r)\s+(?P<main_calculation_type>\d) : Main calculationtype( = )?(?:\r\n|\n|\r)\s+(?P<sub_calculation_type>\d) : Sub calculationtype( = )?(?:\r\n|\n|\r)\[END OF CALCULATIONTYPE\])";
    // The pattern that finds the output section of a file (DOTALL).
    static constexpr std::string_view OUTPUT_PATTERN =
        R"(\[END OF INPUT DATA\](?:\r\n|\n|\r)\[DUMPFILE( OUTPUT)?\](?:\r\n|\n|\r)(?P<data>.*?)(?:\r\n|\n|\r)\[END OF DUMPFILE( OUTPUT)?\])";

    // Recognises the version, model and calculation type of the text in `fod_file` and returns a
    // new parser of the matching class.
    //   auto parser = OutputFileParser::create(*analysis.get_output_file());
    // @param fod_file  the output file: text, bytes (UTF-8, else Latin-1) or a File
    // @returns the parser that fits the file
    // @throws errors::ParsingError "Could not extract version number ([VERSION EXTERNALS]) from the
    //         output file." (or the model, the calculation type, the output), or a version and kind
    //         that no parser reads
    // @python OutputFileParser(fod_file) takes str, bytes or a File.
    static std::unique_ptr<OutputFileParser> create(const OutputFileText& fod_file);

    virtual ~OutputFileParser() = default;
    // A parser is not copied: create() makes each one.
    OutputFileParser(const OutputFileParser&) = delete;
    OutputFileParser& operator=(const OutputFileParser&) = delete;

    // The text of the output section.
    const std::string& raw_results() const { return _raw_results; }
    // Parameter name -> number or flag, in the order the parser reads them.
    // @python a dict of name to float or bool, e.g. {'Ksi3Used': 1.39, ..., 'IsKsi3Used': True}
    // @throws std::invalid_argument when a value is not a number
    virtual CalculationParameters calculation_parameters() const = 0;
    // The result tables by name.
    // @param as_pandas  true: each table as a DataTable (Python: a pandas DataFrame); false: as its
    //                   column map (column -> {row: cell})
    // @returns the tables; the version 17 Tension Piles parser gives TensionResults (Python:
    //          {'pile_groups': [...], 'data': {...}})
    // @throws std::invalid_argument "..." when a table is malformed
    Results results(bool as_pandas = true) const { return _results(as_pandas); }
    // The class's name, e.g. "VerificationParserV19".
    virtual std::string_view class_name() const = 0;

protected:
    // Keeps the output section of `fod_file`; errors::ParsingError when there is none.
    explicit OutputFileParser(const OutputFileText& fod_file);
    // For the classes that refuse a file before they look at its output section.
    OutputFileParser() = default;

    virtual Results _results(bool as_pandas) const = 0;

    std::string _raw_results;
};

namespace detail {

// Reads the self-describing tables of version 19 output.
class ParserV19 {
public:
    // DOTALL.
    static constexpr std::string_view DATAFRAME_PATTERN =
        R"(\[(?P<name>.*?)\](?:\r\n|\n|\r)\[TABLE\](?:\r\n|\n|\r)\[COLUMN INDICATION\](?:\r\n|\n|\r)(?P<columns>.*?)(?:\r\n|\n|\r)\[END OF COLUMN INDICATION\](?:\r\n|\n|\r)\[DATA\](?:\r\n|\n|\r)(?P<data>.*?)(?:\r\n|\n|\r)\[END OF DATA\](?:\r\n|\n|\r)\[END OF TABLE\](?:\r\n|\n|\r)\[END OF (?P=name)\](?:\r\n|\n|\r))";

    // Table name -> table, one entry per table in `text`; a later table of the same name replaces
    // the earlier one in its position. Errors: std::invalid_argument for malformed tables.
    static TableMap _parse_tables(std::string_view text, bool as_pandas = true);

protected:
    ~ParserV19() = default;
};

class PreliminaryBearingParserV17 : public OutputFileParser {
public:
    static constexpr std::string_view CALCULATION_PARAMETERS_PATTERN =
        R"(\[CALCULATION PARAMETERS BEARING PILES EC 7 \](?:\r\n|\n|\r)(?P<data>.*?)(?:\r\n|\n|\r)\[END OF CALCULATION PARAMETERS BEARING PILES EC 7\])";

    explicit PreliminaryBearingParserV17(const OutputFileText& fod_file) : OutputFileParser(fod_file) {}
    CalculationParameters calculation_parameters() const override;
    std::string_view class_name() const override { return "PreliminaryBearingParserV17"; }

protected:
    Results _results(bool as_pandas) const override;
};

class PreliminaryTensionParserV17 : public OutputFileParser {
public:
    static constexpr std::string_view CALCULATION_PARAMETERS_PATTERN =
        R"(\[CALCULATION PARAMETERS TENSION PILES\](?:\r\n|\n|\r)(?P<data>.*?)(?:\r\n|\n|\r)\[END OF CALCULATION PARAMETERS TENSION PILES\])";
    // MULTILINE.
    static constexpr std::string_view DATA_PATTERN =
        R"((^(?P<cpt_name>(.+))(?:\r\n|\n|\r))?^(?P<pile_type>(.+))(?:\r\n|\n|\r)^\s+PILE GROUP (?P<pile_group>\d+)(?:\r\n|\n|\r)^\s+\d+ : Number of piles in group(?:\r\n|\n|\r)^(?P<piles>(^\s+\d+(?:\r\n|\n|\r))*)^\s+\d+ : Number of data rows(?:\r\n|\n|\r)^(?P<columns>(.+))(?:\r\n|\n|\r)(?P<frame>(^(.+)(?:\r\n|\n|\r))+)^(?:\r\n|\n|\r)(^(?P<extra_data>(.+))(?:\r\n|\n|\r)(?:\r\n|\n|\r))?)";
    // MULTILINE: "^\[(?P<name>.+)\]LB(?P<data>(" + DATA_PATTERN + ")+)^\[END OF (?P=name)\]".
    static std::string results_pattern();

    explicit PreliminaryTensionParserV17(const OutputFileText& fod_file) : OutputFileParser(fod_file) {}
    CalculationParameters calculation_parameters() const override;
    std::string_view class_name() const override { return "PreliminaryTensionParserV17"; }

protected:
    Results _results(bool as_pandas) const override;
};

class VerificationParserV17 : public OutputFileParser {
public:
    // Always fails: version 17 verification output is not supported.
    explicit VerificationParserV17(const OutputFileText& fod_file);
    CalculationParameters calculation_parameters() const override { return {}; }
    std::string_view class_name() const override { return "VerificationParserV17"; }

protected:
    Results _results(bool) const override { return TableMap{}; }
};

class PreliminaryBearingParserV19 : public OutputFileParser, public ParserV19 {
public:
    // Always fails: this combination is not supported.
    explicit PreliminaryBearingParserV19(const OutputFileText& fod_file);
    CalculationParameters calculation_parameters() const override;
    std::string_view class_name() const override { return "PreliminaryBearingParserV19"; }

protected:
    Results _results(bool as_pandas) const override { return _parse_tables(raw_results(), as_pandas); }
};

class PreliminaryTensionParserV19 : public PreliminaryTensionParserV17, public ParserV19 {
public:
    explicit PreliminaryTensionParserV19(const OutputFileText& fod_file) : PreliminaryTensionParserV17(fod_file) {}
    std::string_view class_name() const override { return "PreliminaryTensionParserV19"; }

protected:
    Results _results(bool as_pandas) const override { return _parse_tables(raw_results(), as_pandas); }
};

class VerificationParserV19 : public OutputFileParser, public ParserV19 {
public:
    static constexpr std::string_view CALCULATION_PARAMETERS_PATTERN =
        R"(\[CALCULATION PARAMETERS BEARING PILES EC 7\](?:\r\n|\n|\r)(?P<data>.*?)(?:\r\n|\n|\r)\[END OF CALCULATION PARAMETERS BEARING PILES EC 7\])";

    explicit VerificationParserV19(const OutputFileText& fod_file) : OutputFileParser(fod_file) {}
    CalculationParameters calculation_parameters() const override;
    std::string_view class_name() const override { return "VerificationParserV19"; }

protected:
    Results _results(bool as_pandas) const override { return _parse_tables(raw_results(), as_pandas); }
};

}  // namespace detail

// A column converted to integers (every cell an integer literal, none missing), to reals (missing
// = NaN), or, when a cell is not a number, returned unchanged as text.
DataTable::Column _to_numeric(const std::vector<std::optional<std::string>>& column);

}  // namespace ostrand::external::dfoundations
