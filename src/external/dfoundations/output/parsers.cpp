
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output.hpp"

#include "external/dfoundations/output/memo_pattern.hpp"
#include "external/dfoundations/output/pattern.hpp"
#include "external/dfoundations/output/table_locator.hpp"
#include "external/dfoundations/output/tables.hpp"
#include "external/dfoundations/output/text.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations {

using detail::Pattern;
using detail::PatternOption;
using errors::ParsingError;

namespace {

// Each pattern constant is compiled once, on first use, into a static of its own.
template <const std::string_view& text, PatternOption option>
const Pattern& compiled()
{
    static const Pattern pattern(text, option);
    return pattern;
}

// The tension patterns backtrack without end on CR LF text when run by PCRE2 (every line can end
// two ways), so they run on the matcher that never retries a failed state.
const detail::MemoPattern& tension_results_pattern()
{
    static const detail::MemoPattern results(detail::PreliminaryTensionParserV17::results_pattern());
    return results;
}

const detail::MemoPattern& tension_block_pattern()
{
    static const detail::MemoPattern blocks(detail::PreliminaryTensionParserV17::DATA_PATTERN);
    return blocks;
}

std::string_view before_first_point(std::string_view text) { return text.substr(0, text.find('.')); }

void expect_lines(const std::vector<std::string_view>& lines, std::size_t count)
{
    if (lines.size() > count) {
        throw std::invalid_argument("too many values to unpack (expected " + std::to_string(count) + ")");
    }
    if (lines.size() < count) {
        throw std::invalid_argument("not enough values to unpack (expected " + std::to_string(count) + ", got " +
                                    std::to_string(lines.size()) + ")");
    }
}

std::pair<std::string_view, std::string_view> split_pair(std::string_view line, std::string_view separator)
{
    const auto parts = detail::split_at(line, separator);
    expect_lines(parts, 2);
    return {parts[0], parts[1]};
}

}  // namespace

OutputFileText::OutputFileText(const std::string& bytes, int)
{
    if (text::is_valid_utf8(bytes)) {
        text_ = bytes;
    } else {
        decoded_ = text::utf8_or_latin1(bytes);
        text_ = decoded_;
    }
}

OutputFileText::OutputFileText(const std::variant<core::BytesIO, core::File>& output_file)
    : OutputFileText(std::holds_alternative<core::BytesIO>(output_file)
                         ? std::get<core::BytesIO>(output_file).getvalue()
                         : std::get<core::File>(output_file).getvalue_binary(),
                     0)
{
}

std::unique_ptr<OutputFileParser> OutputFileParser::create(const OutputFileText& fod_file)
{
    const std::string_view text = fod_file.text();
    const auto version_match = compiled<VERSION_PATTERN, PatternOption::NONE>().search(text);
    if (!version_match)
        throw ParsingError("Could not extract version number ([VERSION EXTERNALS]) from the output file.");
    const auto model_match = compiled<MODEL_PATTERN, PatternOption::NONE>().search(text);
    if (!model_match) throw ParsingError("Could not extract model-type ([MODEL]) from the output file.");
    const auto calculation_match = compiled<CALCULATION_TYPE_PATTERN, PatternOption::NONE>().search(text);
    if (!calculation_match) {
        throw ParsingError("Could not extract calculation-type ([CALCULATIONTYPE]) from the output file.");
    }

    const std::string_view version = before_first_point(version_match->group("version"));
    const std::string_view model_type = model_match->group("model_type");
    const std::string_view model_type_name = model_match->group("model_type_name");
    const bool verification = calculation_match->group("main_calculation_type") == "1";

    if (version == "17") {
        if (verification) return std::make_unique<detail::VerificationParserV17>(fod_file);
        if (model_type == "0") return std::make_unique<detail::PreliminaryBearingParserV17>(fod_file);
        if (model_type == "1") return std::make_unique<detail::PreliminaryTensionParserV17>(fod_file);
    } else if (version == "19") {
        if (verification) return std::make_unique<detail::VerificationParserV19>(fod_file);
        if (model_type == "0") return std::make_unique<detail::PreliminaryBearingParserV19>(fod_file);
        if (model_type == "1") return std::make_unique<detail::PreliminaryTensionParserV19>(fod_file);
    }
    throw ParsingError("Parser for model type '" + std::string(model_type) + ": " + std::string(model_type_name) +
                       "' is not (yet) implemented for version " + std::string(version) + ".");
}

OutputFileParser::OutputFileParser(const OutputFileText& fod_file)
{
    const auto match = compiled<OUTPUT_PATTERN, PatternOption::DOTALL>().search(fod_file.text());
    if (!match) throw ParsingError("Could not extract output ([DUMPFILE OUTPUT]) from the output file.");
    _raw_results = match->group("data");
}

namespace detail {

TableMap ParserV19::_parse_tables(std::string_view text, bool as_pandas)
{
    TableMap tables;
    for (const TableLocation& location : locate_tables(text)) {
        DataTable table = table_from_text(location.columns, location.data);
        const std::string name(location.name);
        if (as_pandas) {
            tables.insert_or_assign(name, std::move(table));
        } else {
            tables.insert_or_assign(name, table.column_map());
        }
    }
    return tables;
}

CalculationParameters PreliminaryBearingParserV17::calculation_parameters() const
{
    const auto match = compiled<CALCULATION_PARAMETERS_PATTERN, PatternOption::DOTALL>().search(raw_results());
    if (!match) {
        throw ParsingError(
            "Could not extract calculation parameters ([CALCULATION PARAMETERS BEARING PILES EC 7 ]) from the output "
            "file.");
    }
    const auto lines = split_lines(match->group("data"));
    expect_lines(lines, 5);
    CalculationParameters parameters;
    parameters["Ksi3Used"] = parse_real(lines[0]);
    parameters["Ksi4Used"] = parse_real(lines[1]);
    parameters["GammaBUsed"] = parse_real(lines[2]);
    parameters["GammaSUsed"] = parse_real(lines[3]);
    parameters["IsKsi3Used"] = lines[4] == "1";
    return parameters;
}

Results PreliminaryBearingParserV17::_results(bool) const
{
    throw ParsingError(
        "'results' for parser of model type 'Bearing Piles', calculation type 'Preliminary Design'is not (yet) "
        "implemented for version v17.");
}

VerificationParserV17::VerificationParserV17(const OutputFileText&)
{
    throw ParsingError("Parser for calculation type 'Verification' is not (yet) implemented for version v17.");
}

PreliminaryBearingParserV19::PreliminaryBearingParserV19(const OutputFileText&)
{
    throw ParsingError(
        "Parser for model type 'Bearing Piles', calculation type 'Preliminary Design' is not (yet)implemented for "
        "version v19.");
}

CalculationParameters PreliminaryBearingParserV19::calculation_parameters() const
{
    throw ParsingError(
        "'calculation_parameters' for parser of model type 'Bearing Piles', calculation type 'Preliminary Design' is "
        "not (yet) implemented for version v19.");
}

CalculationParameters VerificationParserV19::calculation_parameters() const
{
    const auto match = compiled<CALCULATION_PARAMETERS_PATTERN, PatternOption::DOTALL>().search(raw_results());
    if (!match) {
        throw ParsingError(
            "Could not extract calculation parameters ([CALCULATION PARAMETERS BEARING PILES EC 7]) from the output "
            "file.");
    }
    const auto lines = split_lines(match->group("data"));
    expect_lines(lines, 5);
    std::vector<std::pair<std::string_view, std::string_view>> pairs;
    for (std::string_view line : lines) pairs.push_back(split_pair(line, " = "));
    CalculationParameters parameters;
    for (std::size_t i = 0; i < 4; ++i) parameters[std::string(pairs[i].first)] = parse_real(pairs[i].second);
    parameters[std::string(pairs[4].first)] = pairs[4].second == "1";
    return parameters;
}

std::string PreliminaryTensionParserV17::results_pattern()
{
    return std::string(R"(^\[(?P<name>.+)\](?:\r\n|\n|\r)(?P<data>()") + std::string(DATA_PATTERN) +
           R"()+)^\[END OF (?P=name)\])";
}

CalculationParameters PreliminaryTensionParserV17::calculation_parameters() const
{
    const auto match = compiled<CALCULATION_PARAMETERS_PATTERN, PatternOption::DOTALL>().search(raw_results());
    if (!match) {
        throw ParsingError(
            "Could not extract calculation parameters ([CALCULATION PARAMETERS TENSION PILES]) from the output file.");
    }
    CalculationParameters parameters;
    for (std::string_view line : split_lines(match->group("data"))) {
        const auto [value, name] = split_pair(line, " : ");
        parameters[std::string(name)] = parse_real(value);
    }
    return parameters;
}

namespace {

void record_pile_group(std::vector<std::vector<std::int64_t>>& groups, std::string_view number,
                       std::vector<std::int64_t> piles)
{
    std::optional<std::int64_t> n;
    try {
        n = parse_integer(number);
    } catch (const std::out_of_range&) {
        // A group number beyond any list position: the list grows by one.
    }
    const auto size = static_cast<std::int64_t>(groups.size());
    if (n && *n == 0 && size > 0) {
        groups.back() = std::move(piles);
    } else if (n && *n >= 1 && *n - 1 < size) {
        groups[static_cast<std::size_t>(*n - 1)] = std::move(piles);
    } else {
        groups.push_back(std::move(piles));
    }
}

Table tension_table(const PatternMatch& block, bool as_pandas)
{
    std::vector<std::string> names;
    for (std::string_view name : split_whitespace(block.group("columns"))) names.emplace_back(name);
    std::vector<std::vector<std::string_view>> rows;
    for (std::string_view line : split_lines(block.group("frame"))) rows.push_back(split_whitespace(line));
    DataTable table = table_from_rows(names, rows);
    if (as_pandas) return table;
    return table.column_map();
}

std::vector<Table>& tables_under(TensionResults::Section& section, const PatternMatch& block,
                                 std::string_view section_name)
{
    const std::string pile_type(block.group("pile_type"));
    const auto conflict = [&](const std::string& key) {
        return std::invalid_argument("'" + key + "' is both a CPT name and a pile type in result section '" +
                                     std::string(section_name) + "'");
    };
    if (block.matched("cpt_name")) {
        const std::string cpt(block.group("cpt_name"));
        if (!section.contains(cpt)) section[cpt] = TensionResults::PileTypeTables{};
        auto* by_pile_type = std::get_if<TensionResults::PileTypeTables>(&section[cpt]);
        if (by_pile_type == nullptr) throw conflict(cpt);
        return (*by_pile_type)[pile_type];
    }
    auto* tables = std::get_if<std::vector<Table>>(&section[pile_type]);
    if (tables == nullptr) throw conflict(pile_type);
    return *tables;
}

}  // namespace

Results PreliminaryTensionParserV17::_results(bool as_pandas) const
{
    TensionResults results;
    const std::string text =
        compiled<CALCULATION_PARAMETERS_PATTERN, PatternOption::DOTALL>().remove_all(raw_results());
    for (const PatternMatch& result : tension_results_pattern().find_all(text)) {
        TensionResults::Section section;
        for (const PatternMatch& block : tension_block_pattern().find_all(result.group("data"))) {
            std::vector<std::int64_t> piles;
            for (std::string_view line : split_lines(block.group("piles"))) piles.push_back(parse_integer(line));
            record_pile_group(results.pile_groups, block.group("pile_group"), std::move(piles));
            Table table = tension_table(block, as_pandas);
            tables_under(section, block, result.group("name")).push_back(std::move(table));
        }
        if (!section.empty()) results.data.insert_or_assign(std::string(result.group("name")), std::move(section));
    }
    return results;
}

}  // namespace detail
}  // namespace ostrand::external::dfoundations
