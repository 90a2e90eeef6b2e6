// Reading whole output files: the real files of D-Foundations 19, 23 and 25 when they are at hand,
// and small hand-made files for what those do not show.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

namespace {

using namespace ostrand::external::dfoundations;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path fixtures() { return fs::path(DFOUNDATIONS_FIXTURES_DIR); }

std::vector<fs::path> fixture_files()
{
    std::vector<fs::path> files;
    for (const char* folder : {"fod", "fod23", "fod25"}) {
        if (!fs::exists(fixtures() / folder)) continue;
        for (const auto& entry : fs::directory_iterator(fixtures() / folder)) {
            if (entry.path().extension() == ".fod") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// How many items claim each line: a section its two marker lines, a table all of its lines.
void count_claims(const Section& section, std::map<std::size_t, int>& claims)
{
    for (const Item& item : section.items) {
        if (const auto* value = item.value()) ++claims[value->line];
        if (const auto* text = item.text()) ++claims[text->line];
        if (const auto* table = item.table()) {
            for (std::size_t line = table->line; line <= table->end_line; ++line) ++claims[line];
        }
        if (const auto* child = item.section()) {
            ++claims[child->line];
            ++claims[child->end_line];
            count_claims(*child, claims);
        }
    }
}

// What a [TABLE] block says of itself, counted line by line.
struct TableShape {
    std::size_t columns = 0;
    std::size_t rows = 0;
};

std::vector<TableShape> table_shapes(const std::vector<std::string>& lines)
{
    std::vector<TableShape> shapes;
    enum { OUTSIDE, HEAD, COLUMNS, BETWEEN, ROWS } state = OUTSIDE;
    for (const std::string& line : lines) {
        if (line == "[TABLE]") {
            shapes.emplace_back();
            state = HEAD;
        } else if (line == "[COLUMN INDICATION]" && state == HEAD) {
            state = COLUMNS;
        } else if (line == "[END OF COLUMN INDICATION]") {
            state = BETWEEN;
        } else if (line == "[DATA]" && state == BETWEEN) {
            state = ROWS;
        } else if (line == "[END OF DATA]" || line == "[END OF TABLE]") {
            state = OUTSIDE;
        } else if (state == COLUMNS) {
            ++shapes.back().columns;
        } else if (state == ROWS) {
            ++shapes.back().rows;
        }
    }
    return shapes;
}

TEST(OutputFileFixtures, EveryTableEveryLineAndUniquePaths)
{
    const auto files = fixture_files();
    if (files.empty()) GTEST_SKIP() << "no real output files at " << fixtures();
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const std::string bytes = read_file(path);
        const OutputFile file = read_output_file(bytes);
        const auto lines = lines_of(bytes);

        const auto shapes = table_shapes(lines);
        ASSERT_EQ(file.tables().size(), shapes.size());
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            const OutputTable& table = *file.tables()[i];
            EXPECT_FALSE(table.error) << table.path;
            EXPECT_EQ(table.column_count(), shapes[i].columns) << table.path;
            EXPECT_EQ(table.row_count(), shapes[i].rows) << table.path;
            if (table.data_count) {
                EXPECT_EQ(*table.data_count, table.row_count()) << table.path;
            }
        }

        std::map<std::size_t, int> claims;
        count_claims(file.root(), claims);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int expected = blank(lines[i]) ? claims.count(i + 1) ? claims[i + 1] : 0 : 1;
            EXPECT_EQ(claims.count(i + 1) ? claims[i + 1] : 0, expected) << "line " << i + 1 << ": " << lines[i];
        }

        std::set<std::string> paths;
        for (const Section* section : file.sections()) EXPECT_TRUE(paths.insert(section->path).second) << section->path;
        std::set<std::string> table_paths;
        for (const OutputTable* table : file.tables()) {
            EXPECT_TRUE(table_paths.insert(table->path).second) << table->path;
            EXPECT_EQ(file.table(table->path), table);
        }
        EXPECT_TRUE(file.warnings().empty()) << file.warnings().front().message;
        ASSERT_NE(file.input(), nullptr);
        ASSERT_NE(file.output(), nullptr);
    }
}

OutputFile fixture(const char* folder, const char* name)
{
    return read_output_file(read_file(fixtures() / folder / name));
}

bool have_fixtures(const char* folder) { return fs::exists(fixtures() / folder); }

const std::optional<std::string>& text_cell(const OutputTable& table, std::string_view column, std::size_t row)
{
    return std::get<DataTable::TextColumn>(table.data.column(column)).at(row);
}

TEST(OutputFileFixtures, HeaderOfEachVersion)
{
    if (!have_fixtures("fod25") || !have_fixtures("fod")) GTEST_SKIP() << "no real output files";
    const OutputFile v25 = fixture("fod25", "bm4-1.fod");
    EXPECT_EQ(v25.header().version, "25.1.0.2814");
    EXPECT_EQ(v25.header().major_version, 25);
    EXPECT_EQ(v25.header().model_code, 2);
    EXPECT_EQ(v25.header().model_name, "Shallow Foundations (EC7-NL)");
    EXPECT_EQ(v25.header().cu_values_code, 1);
    EXPECT_EQ(v25.header().cu_values, "Manual");
    EXPECT_EQ(v25.header().main_calculation_type, 1);
    EXPECT_EQ(v25.header().sub_calculation_type, 1);

    const OutputFile v19 = fixture("fod", "bm1-10.fod");
    EXPECT_EQ(v19.header().major_version, 19);
    EXPECT_EQ(v19.header().model_code, 0);
    EXPECT_EQ(v19.header().model_name, "Bearing Piles (EC7-NL)");
    EXPECT_FALSE(v19.header().cu_values);
    EXPECT_EQ(v19.header().main_calculation_type, 0);
    EXPECT_EQ(v19.header().sub_calculation_type, 2);
}

TEST(OutputFileFixtures, PilesOfAPreliminaryDesignKeepEveryTable)
{
    if (!have_fixtures("fod25")) GTEST_SKIP() << "no real output files";
    const OutputFile file = fixture("fod25", "bm1-10.fod");
    const auto found = piles(file);
    ASSERT_EQ(found.size(), 28u);
    EXPECT_EQ(found[0].name, "Rect 300x500 prefab");
    EXPECT_EQ(found[0].beta_factor, 1.0);
    EXPECT_EQ(found[0].s_factor, 0.84);
    ASSERT_EQ(found[0].tables.size(), 2u);
    EXPECT_EQ(found[0].calculation_parameters.at("GammaBUsed"), 1.0);
    EXPECT_EQ(found[0].calculation_parameters.at("IsKsi3Used"), 0.0);

    const OutputTable* third = file.table("DUMPFILE OUTPUT/PRELIMINARY DESIGN RESULTS/PILE[3]/ITERATION RESULTS");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third, found[2].tables[0]);
    EXPECT_THAT(std::get<DataTable::IntColumn>(third->data.column("RbCalMax")), ElementsAre(886, 886));
    EXPECT_THAT(std::get<DataTable::RealColumn>(third->data.column("Level")), ElementsAre(-16.0, -17.0));
    EXPECT_EQ(text_cell(*third, "CptName", 0), "CPT 1");

    std::size_t pile_tables = 0;
    for (const PileView& pile : found) pile_tables += pile.tables.size();
    EXPECT_EQ(pile_tables, 56u);
}

TEST(OutputFileFixtures, IterationsOfAVerificationDesign)
{
    if (!have_fixtures("fod25")) GTEST_SKIP() << "no real output files";
    const OutputFile file = fixture("fod25", "Tutorial-4c.fod");
    const auto steps = iterations(file);
    ASSERT_EQ(steps.size(), 21u);
    EXPECT_EQ(steps[0].number, 1);
    EXPECT_EQ(steps[0].depth, -10.0);
    EXPECT_EQ(steps[0].values.at("Ffund;max"), 545.0);
    EXPECT_FALSE(steps[0].values.contains("w1B"));  // "****": too large for its field
    EXPECT_EQ(steps[20].number, 21);
    EXPECT_FALSE(steps[20].calculation_parameters.empty());

    const Section& first = *steps[0].section;
    const auto shaft = std::find_if(first.items.begin(), first.items.end(), [](const Item& item) {
        return item.value() && item.value()->key == "shaft; point; shaft+point for GT1B";
    });
    ASSERT_NE(shaft, first.items.end());
    EXPECT_THAT(shaft->value()->numbers, ElementsAre(0.0, 118.325, 118.325));
}

TEST(OutputFileFixtures, TensionGroupsWithTheirPiles)
{
    if (!have_fixtures("fod25")) GTEST_SKIP() << "no real output files";
    const auto groups = tension_groups(fixture("fod25", "bm3-2.fod"));
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].result_index, 1);
    EXPECT_EQ(groups[0].pile_group, 1);
    EXPECT_EQ(groups[0].pile_type, "Rect 450x450");
    EXPECT_EQ(groups[0].cpt, "DKM 27");
    EXPECT_THAT(groups[0].piles, ElementsAre("1", "3", "7", "9"));
    EXPECT_THAT(groups[3].piles, ElementsAre("5"));
}

TEST(OutputFileFixtures, ShallowFoundationElementsWarningsAndNenResults)
{
    if (!have_fixtures("fod25")) GTEST_SKIP() << "no real output files";
    const OutputFile shallow = fixture("fod25", "bm4-1.fod");
    EXPECT_EQ(elements(shallow).size(), 4u);
    EXPECT_EQ(nen_results(shallow).global.size(), 4u);

    const OutputFile bearing = fixture("fod25", "bm1-1b.fod");
    const NenResults nen = nen_results(bearing);
    EXPECT_DOUBLE_EQ(nen.global.at("wd1B"), 99.016473);
    ASSERT_EQ(nen.piles.size(), 1u);
    EXPECT_EQ(nen.piles[0].at("pile count"), 1.0);
    EXPECT_EQ(nen.piles[0].at("Ksi3Used"), 1.3);

    const CalculationWarnings warnings = calculation_warnings(bearing);
    EXPECT_EQ(warnings.calculation.at("IsWarningNENSpacingGiven"), true);  // "12 = ... (> 0 warning, 0= no warning)"
    EXPECT_EQ(warnings.calculation.at("IsWarningF1Given"), false);
    ASSERT_EQ(warnings.pile_types.size(), 1u);
    EXPECT_EQ(warnings.pile_types[0].pile_type_number, 1);
    EXPECT_EQ(warnings.pile_types[0].flags.at("MicroPileDimensionsWarning"), false);
}

TEST(OutputFileFixtures, ViewsFindTheirSectionsInEveryVersion)
{
    const struct {
        const char* folder;
        const char* name;
        std::size_t piles, iterations, tension_groups, elements, pile_type_warnings, nen_piles;
    } cases[] = {
        {"fod", "bm1-10.fod", 28, 0, 0, 0, 28, 0},      {"fod", "bm1-13.fod", 0, 0, 0, 0, 1, 1},
        {"fod", "bm3-1.fod", 0, 0, 1, 0, 1, 0},         {"fod", "bm4-1.fod", 0, 0, 0, 4, 0, 0},
        {"fod23", "bm1-10.fod", 28, 0, 0, 0, 28, 0},    {"fod23", "bm1-1b.fod", 0, 0, 0, 0, 1, 1},
        {"fod23", "bm3-4.fod", 0, 0, 6, 0, 6, 0},       {"fod23", "bm4-1.fod", 0, 0, 0, 4, 0, 0},
        {"fod25", "Tutorial-4a.fod", 2, 0, 0, 0, 2, 0}, {"fod25", "Tutorial-4c.fod", 0, 21, 0, 0, 1, 1},
        {"fod25", "bm3-4.fod", 0, 0, 6, 0, 6, 0},       {"fod25", "bm4-1.fod", 0, 0, 0, 4, 0, 0},
    };
    for (const auto& c : cases) {
        if (!have_fixtures(c.folder)) GTEST_SKIP() << "no real output files in " << c.folder;
        SCOPED_TRACE(std::string(c.folder) + "/" + c.name);
        const OutputFile file = fixture(c.folder, c.name);
        EXPECT_EQ(piles(file).size(), c.piles);
        EXPECT_EQ(iterations(file).size(), c.iterations);
        EXPECT_EQ(tension_groups(file).size(), c.tension_groups);
        EXPECT_EQ(elements(file).size(), c.elements);
        EXPECT_EQ(calculation_warnings(file).pile_types.size(), c.pile_type_warnings);
        EXPECT_FALSE(calculation_warnings(file).calculation.empty());
        EXPECT_EQ(nen_results(file).piles.size(), c.nen_piles);
    }
}

TEST(OutputFileFixtures, ViewsOfOtherKindsAreEmpty)
{
    if (!have_fixtures("fod")) GTEST_SKIP() << "no real output files";
    const OutputFile file = fixture("fod", "bm3-6.fod");
    EXPECT_TRUE(piles(file).empty());
    EXPECT_TRUE(iterations(file).empty());
    EXPECT_TRUE(elements(file).empty());
    EXPECT_TRUE(nen_results(file).piles.empty());
}

// ---- Hand-made files -------------------------------------------------------------------------

std::string wrapped(const std::string& output, const std::string& version = "25.1.0.2830")
{
    return "D-Foundations DUMP FILE\n[DUMPFILE]\n[INPUT DATA]\n[VERSION EXTERNALS]\nDGSFoundationCalc.dll=" + version +
           "\n[END OF VERSION EXTERNALS]\n[MODEL]\n0 : Model = Bearing Piles (EC7-NL)\n"
           "1 : CuValues = Manual\n[END OF MODEL]\n[END OF INPUT DATA]\n[DUMPFILE OUTPUT]\n" +
           output + "[END OF DUMPFILE OUTPUT]\n[END OF DUMPFILE]\n";
}

std::string table(const std::string& name, const std::string& body)
{
    return "[" + name + "]\n[TABLE]\n" + body + "[END OF TABLE]\n[END OF " + name + "]\n";
}

const std::string TWO_ROWS = "DataCount=2\n[COLUMN INDICATION]\nIndex\nName\n[END OF COLUMN INDICATION]\n[DATA]\n"
                             "1 'CPT 1'\n2 'CPT 2'\n[END OF DATA]\n";

TEST(OutputFileReader, ValueLineShapes)
{
    const struct {
        const char* line;
        const char* key;
        const char* value;
        std::vector<double> numbers;
    } cases[] = {
        {"   37 = number of items", "number of items", "37", {37}},
        {"      294.65  = Max Delta Fr;max;i", "Max Delta Fr;max;i", "294.65", {294.65}},
        {"        1.00 : X coordinate [m]", "X coordinate [m]", "1.00", {1}},
        {"PileName = Rect 300x500 prefab", "PileName", "Rect 300x500 prefab", {}},
        {"SoilCu=0.01", "SoilCu", "0.01", {0.01}},
        {"3  cpt count", "cpt count", "3", {3}},
        {" = Unknown", "Unknown", "", {}},
        {"1 = GT = 1B", "GT = 1B", "1", {1}},
        {"0 = IsWarningF1Given (1=true, 0=false)", "IsWarningF1Given (1=true, 0=false)", "0", {0}},
        {"    0.000    118.325    118.325 = shaft; point; shaft+point for GT1B",
         "shaft; point; shaft+point for GT1B",
         "0.000    118.325    118.325",
         {0, 118.325, 118.325}},
        {"**** = w1B", "w1B", "****", {}},
        {"0 : Model = Bearing Piles (EC7-NL)", "Model = Bearing Piles (EC7-NL)", "0", {0}},
        {"DATE       : 21-08-2025", "DATE", "21-08-2025", {}},
    };
    std::string body;
    for (const auto& c : cases) body += std::string(c.line) + "\n";
    const OutputFile file = read_output_file(wrapped("[VALUES]\n" + body + "[END OF VALUES]\n"));
    const Section* values = file.section("DUMPFILE OUTPUT/VALUES");
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->items.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ValueLine* line = values->items[i].value();
        ASSERT_NE(line, nullptr) << cases[i].line;
        EXPECT_EQ(line->key, cases[i].key) << cases[i].line;
        EXPECT_EQ(line->value, cases[i].value) << cases[i].line;
        EXPECT_EQ(line->numbers, cases[i].numbers) << cases[i].line;
    }
}

TEST(OutputFileReader, LinesOfNoShapeAndMarkersThatDoNotPairAreText)
{
    const OutputFile file = read_output_file(wrapped(
        "[CPTS]\n[NEXT OF NUMBER OF CPTS]\nClay, clean, moderate\n   2\n[END OF NOTHING]\n1 '1'\n[END OF CPTS]\n"));
    const Section* cpts = file.section("DUMPFILE OUTPUT/CPTS");
    ASSERT_NE(cpts, nullptr);
    std::vector<std::string> texts;
    for (const Item& item : cpts->items) {
        ASSERT_NE(item.text(), nullptr);
        texts.push_back(item.text()->text);
    }
    EXPECT_THAT(texts,
                ElementsAre("[NEXT OF NUMBER OF CPTS]", "Clay, clean, moderate", "   2", "[END OF NOTHING]", "1 '1'"));
}

TEST(OutputFileReader, RepeatedNamesAndKeysAreAllKept)
{
    const OutputFile file =
        read_output_file(wrapped("[RESULTS]\n1 = a\n2 = a\n" + table("PILE", TWO_ROWS) + table("PILE", TWO_ROWS) +
                                 "[INNER]\n" + table("PILE", TWO_ROWS) + "[END OF INNER]\n[END OF RESULTS]\n"));
    const Section* results = file.section("DUMPFILE OUTPUT/RESULTS");
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->values().size(), 2u);
    std::vector<std::string> paths;
    for (const OutputTable* t : file.tables()) paths.push_back(t->path);
    EXPECT_THAT(paths, ElementsAre("DUMPFILE OUTPUT/RESULTS/PILE[1]", "DUMPFILE OUTPUT/RESULTS/PILE[2]",
                                   "DUMPFILE OUTPUT/RESULTS/INNER/PILE"));
    EXPECT_EQ(file.section("DUMPFILE OUTPUT/RESULTS/PILE[2]")->position, 2u);
}

TEST(OutputFileReader, PathsStayUniqueWhenNamesMakeThemEqual)
{
    const OutputFile file =
        read_output_file(wrapped(table("A/B", TWO_ROWS) + "[A]\n" + table("B", TWO_ROWS) + "[END OF A]\n"));
    std::vector<std::string> paths;
    for (const OutputTable* t : file.tables()) {
        paths.push_back(t->path);
        EXPECT_EQ(file.table(t->path), t);
    }
    EXPECT_THAT(paths, ElementsAre("DUMPFILE OUTPUT/A/B", "DUMPFILE OUTPUT/A/B#2"));
}

TEST(OutputFileReader, QuotedCellsAreTextWithoutQuotes)
{
    const OutputFile file = read_output_file(
        wrapped(table("T", "[COLUMN INDICATION]\nIndex\nCode\nName\nLevel\n[END OF COLUMN INDICATION]\n[DATA]\n"
                           "1 '01' \"Pile 1\" -1.5\n2 '02' 'Pile 2'\n[END OF DATA]\n")));
    const OutputTable& t = *file.tables().at(0);
    EXPECT_FALSE(t.data_count);
    EXPECT_THAT(std::get<DataTable::IntColumn>(t.data.column("Index")), ElementsAre(1, 2));
    EXPECT_EQ(text_cell(t, "Code", 0), "01");
    EXPECT_EQ(text_cell(t, "Name", 0), "Pile 1");
    EXPECT_EQ(text_cell(t, "Name", 1), "Pile 2");
    const auto& level = std::get<DataTable::RealColumn>(t.data.column("Level"));
    EXPECT_EQ(level[0], -1.5);
    EXPECT_TRUE(std::isnan(level[1]));
}

// A column's type and cells as text: "i 1", "r 2.5", "t x", "-" for a missing cell.
std::vector<std::string> cells_of(const DataTable::Column& column)
{
    std::vector<std::string> cells;
    std::visit(
        [&](const auto& values) {
            for (const auto& value : values) {
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::int64_t>) {
                    cells.push_back("i " + std::to_string(value));
                } else if constexpr (std::is_same_v<Value, double>) {
                    std::ostringstream text;
                    text << "r " << value;
                    cells.push_back(std::isnan(value) ? "r -" : text.str());
                } else {
                    cells.push_back(value ? "t " + *value : "-");
                }
            }
        },
        column);
    return cells;
}

TEST(OutputFileReader, ColumnTypesFollowEveryCellWhereverTheTypeChanges)
{
    const struct {
        std::vector<std::string> rows;
        std::vector<std::string> cells;
    } cases[] = {
        {{"1", "2"}, {"i 1", "i 2"}},
        {{"1", "2.5"}, {"r 1", "r 2.5"}},
        {{"1", "x"}, {"t 1", "t x"}},
        {{"x", "1"}, {"t x", "t 1"}},
        {{"'1'", "2"}, {"t 1", "t 2"}},
        {{"1", ""}, {"r 1", "r -"}},
        {{"'a'", ""}, {"t a", "-"}},
        {{"-0", "1.5"}, {"r -0", "r 1.5"}},
        {{"99999999999999999999", "1"}, {"r 1e+20", "r 1"}},
        {{"1e3", "2"}, {"r 1000", "r 2"}},
        {{"1", "   ", "2"}, {"i 1", "i 2"}},  // a blank line is no row
    };
    // The column under test comes last, after a column of row numbers, so that an empty cell is
    // a short row; a row of blanks stays a blank line.
    std::string output;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::string rows;
        for (std::size_t r = 0; r < cases[i].rows.size(); ++r) {
            const std::string& cell = cases[i].rows[r];
            rows +=
                (cell.find_first_not_of(' ') == std::string::npos && !cell.empty() ? cell
                                                                                   : std::to_string(r) + " " + cell) +
                "\n";
        }
        output += table("T" + std::to_string(i),
                        "[COLUMN INDICATION]\nRow\nA\n[END OF COLUMN INDICATION]\n[DATA]\n" + rows + "[END OF DATA]\n");
    }
    const OutputFile file = read_output_file(wrapped(output));
    ASSERT_EQ(file.tables().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cells_of(file.tables()[i]->data.column("A")), cases[i].cells) << "case " << i;
    }
}

TEST(OutputFileReader, TablesThatDisagreeOrCannotBeReadAreReportedAndTheRestIsRead)
{
    const std::string long_row = "[COLUMN INDICATION]\nA\n[END OF COLUMN INDICATION]\n[DATA]\n1\n2 3\n[END OF DATA]\n";
    const std::string open_quote = "[COLUMN INDICATION]\nA\n[END OF COLUMN INDICATION]\n[DATA]\n'x\n[END OF DATA]\n";
    const OutputFile file = read_output_file(wrapped(
        table("WRONG COUNT", "DataCount=3\n" + TWO_ROWS.substr(TWO_ROWS.find('\n') + 1)) + table("LONG ROW", long_row) +
        table("OPEN QUOTE", open_quote) + table("EMPTY", "DataCount=0\n") + table("GOOD", TWO_ROWS)));
    ASSERT_EQ(file.tables().size(), 5u);
    EXPECT_EQ(file.tables()[0]->row_count(), 2u);
    EXPECT_TRUE(file.tables()[1]->error);
    EXPECT_TRUE(file.tables()[2]->error);
    EXPECT_EQ(file.tables()[3]->data_count, 0u);
    EXPECT_EQ(file.tables()[3]->column_count(), 0u);
    EXPECT_EQ(file.tables()[4]->row_count(), 2u);

    ASSERT_EQ(file.warnings().size(), 3u);
    EXPECT_EQ(file.warnings()[0].path, "DUMPFILE OUTPUT/WRONG COUNT");
    EXPECT_THAT(file.warnings()[0].message, HasSubstr("DataCount=3 but the table has 2 rows"));
    EXPECT_EQ(file.warnings()[1].path, "DUMPFILE OUTPUT/LONG ROW");
    EXPECT_THAT(file.warnings()[1].message, HasSubstr("row 2 has 2 fields"));
    EXPECT_THAT(file.warnings()[2].message, HasSubstr("row 1"));
}

TEST(OutputFileReader, MixedLineEndsReadAsOne)
{
    std::string lf = wrapped("[PILE]\nPileName = P1\n" + table("RESULTS", TWO_ROWS) + "[END OF PILE]\n");
    std::string mixed;
    for (std::size_t i = 0, n = 0; i < lf.size(); ++i) {
        if (lf[i] != '\n') {
            mixed += lf[i];
            continue;
        }
        mixed += (n++ % 3 == 0) ? "\r\n" : (n % 3 == 1) ? "\r" : "\n";
    }
    const OutputFile a = read_output_file(lf);
    const OutputFile b = read_output_file(mixed);
    ASSERT_EQ(b.tables().size(), 1u);
    EXPECT_EQ(b.tables()[0]->path, a.tables()[0]->path);
    EXPECT_EQ(text_cell(*b.tables()[0], "Name", 1), "CPT 2");
    EXPECT_EQ(piles(b).at(0).name, "P1");
}

TEST(OutputFileReader, OtherVersionsAreReadWithAWarning)
{
    const OutputFile file = read_output_file(wrapped(table("T", TWO_ROWS), "24.2.0.100"));
    EXPECT_EQ(file.header().major_version, 24);
    EXPECT_EQ(file.tables().size(), 1u);
    ASSERT_EQ(file.warnings().size(), 1u);
    EXPECT_THAT(file.warnings()[0].message, HasSubstr("24.2.0.100"));
}

TEST(OutputFileReader, Latin1BytesAreDecoded)
{
    const OutputFile file = read_output_file(wrapped("[P]\nPileName = Pa\xE9l\n[END OF P]\n"));
    EXPECT_EQ(file.section("DUMPFILE OUTPUT/P")->value("PileName")->value, "Pa\xC3\xA9l");
}

TEST(OutputFileReader, TextWithoutSectionsIsNoOutputFile)
{
    EXPECT_THROW(read_output_file("just some text\n[alone]\n"), ostrand::errors::ParsingError);
    EXPECT_THROW(read_output_file(""), ostrand::errors::ParsingError);
}

TEST(OutputFileReader, NestingBeyondAnyRealFileStaysText)
{
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "[S]\n";
    for (int i = 0; i < 5000; ++i) deep += "[END OF S]\n";
    const OutputFile file = read_output_file(deep);
    EXPECT_LE(file.sections().size(), 5000u);
    EXPECT_FALSE(file.sections().empty());
}

TEST(OutputFileReader, MillionsOfTinyLinesAreRefusedBeforeTheyTakeMemory)
{
    std::string dense = "[S]\n";
    for (int i = 0; i < 200'000; ++i) dense += "x\n";
    dense += "[END OF S]\n";
    EXPECT_THAT([&] { read_output_file(dense); },
                testing::ThrowsMessage<ostrand::errors::ParsingError>(HasSubstr(
                    "The file holds 200002 lines of 2 bytes on average outside its tables: no D-Foundations output "
                    "file is that dense")));

    // As many lines of the length D-Foundations writes read as usual, and so do tables of short rows.
    std::string plain = "[S]\n";
    for (int i = 0; i < 200'000; ++i) plain += "Pile " + std::to_string(i) + " = value\n";
    plain += "[END OF S]\n";
    EXPECT_EQ(read_output_file(plain).section("S")->items.size(), 200'000u);
    std::string rows = "[S]\n[TABLE]\n[COLUMN INDICATION]\nA\n[END OF COLUMN INDICATION]\n[DATA]\n";
    for (int i = 0; i < 200'000; ++i) rows += "1\n";
    rows += "[END OF DATA]\n[END OF TABLE]\n[END OF S]\n";
    EXPECT_EQ(read_output_file(rows).tables().size(), 1u);
}

TEST(OutputFileReader, NearestPathsForATableThatIsNotThere)
{
    const OutputFile file = read_output_file(wrapped(table("ITERATION RESULTS", TWO_ROWS) + table("OTHER", TWO_ROWS)));
    EXPECT_EQ(file.table("DUMPFILE OUTPUT/ITERATION RESULT"), nullptr);
    EXPECT_THAT(file.nearest_table_paths("DUMPFILE OUTPUT/ITERATION RESULT", 1),
                ElementsAre("DUMPFILE OUTPUT/ITERATION RESULTS"));
}

}  // namespace
