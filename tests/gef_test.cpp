#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

namespace {

using ostrand::errors::ParsingError;
using ostrand::geo::GEFData;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Optional;

const std::filesystem::path fixtures = std::filesystem::path(DFOUNDATIONS_FIXTURES_DIR) / "gef";
const std::filesystem::path data_dir = DFOUNDATIONS_TEST_DATA_DIR;

// What each real GEF-CPT file says, as read from its header and first and last data rows.
struct FixtureCase {
    const char* file;
    const char* name;
    std::size_t rows;
    double first_level;                  // mm
    double last_level;                   // mm
    std::optional<double> ground_level;  // mm
    std::optional<std::string> project_name;
    std::optional<std::string> project_id;
    std::optional<std::string> client;
    std::optional<std::pair<double, double>> x_y;
    std::optional<double> excavation_depth;  // m
    const char* file_date;
    bool has_friction;
};

const FixtureCase fixture_cases[] = {
    {"CPT000000003688_IMBRO_A.gef", "CPT000000003688", 1229, -1750.0, -26310.0, -1750.0, std::nullopt, "BRO",
     "uitvoerder onderzoek", std::pair(91931.0, 438294.0), 0.0, "2020-08-04", true},
    // No #ZID: the levels are below the reference point and the ground level is unknown.
    {"Exception_NoNAP.gef", "DKP302", 20, -1000.0, -20000.0, std::nullopt,
     "toetsing en aardbevingsbestendigmaken van Eemskanaalkade (km 10 t/m 25.5)", "CPT, 65418, 1",
     "Wiertsema & Partners", std::pair(244319.0, 587520.0), std::nullopt, "2016-08-08", true},
    // The void value 0 of the length column does not remove the first row at the surface.
    {"KW19-3.gef", "New CPT", 610, 7260.0, -27720.0, 7260.0, "New project", "CO", "Stichting Deltares",
     std::pair(0.0, 0.0), 0.0, "2014-07-14", true},
    // Pre-excavated to 2 m; the last level comes from the corrected depth 20.470, not the length 20.480.
    {"cpt_with_water.gef", "CPT000000029380", 925, -4580.0, -23050.0, -2580.0, std::nullopt, "BRO",
     "uitvoerder onderzoek", std::pair(87454.0, 452058.0), 2.0, "2020-10-13", true},
};

TEST(GefFixtures, ReadsEveryRealFileWithItsAttributes)
{
    if (!std::filesystem::exists(fixtures)) GTEST_SKIP() << "no fixtures at " << fixtures;
    for (const auto& expected : fixture_cases) {
        SCOPED_TRACE(expected.file);
        const GEFData data = GEFData::from_file(fixtures / expected.file);
        EXPECT_EQ(data.name, expected.name);
        ASSERT_EQ(data.elevation.size(), expected.rows);
        EXPECT_EQ(data.qc.size(), expected.rows);
        EXPECT_EQ(data.elevation.front(), expected.first_level);
        EXPECT_EQ(data.elevation.back(), expected.last_level);
        EXPECT_EQ(data.ground_level_wrt_reference, expected.ground_level);
        EXPECT_EQ(data.project_name, expected.project_name);
        EXPECT_EQ(data.project_id, expected.project_id);
        EXPECT_EQ(data.client, expected.client);
        EXPECT_EQ(data.x_y_coordinates, expected.x_y);
        EXPECT_EQ(data.excavation_depth, expected.excavation_depth);
        EXPECT_THAT(data.gef_version_number, Optional(std::string("1.1.0")));
        EXPECT_THAT(data.gef_file_date, Optional(std::string(expected.file_date)));
        ASSERT_EQ(data.fs.has_value(), expected.has_friction);
        ASSERT_EQ(data.Rf.has_value(), expected.has_friction);
        EXPECT_EQ(data.fs->size(), expected.rows);
        EXPECT_EQ(data.Rf->size(), expected.rows);
    }
}

TEST(GefFixtures, ConvertsFrictionRatioPercentToAnExactFraction)
{
    if (!std::filesystem::exists(fixtures)) GTEST_SKIP() << "no fixtures at " << fixtures;
    const GEFData data = GEFData::from_file(fixtures / "KW19-3.gef");
    // "3.4360e+001 3.3860e+001 8.5666e-001 2.5300e+000", then a row whose fs and Rf are void.
    EXPECT_EQ(data.elevation[608], 7260.0 - 34360.0);
    EXPECT_THAT(data.qc[608], Optional(33.86));
    EXPECT_THAT((*data.fs)[608], Optional(0.85666));
    EXPECT_THAT((*data.Rf)[608], Optional(0.0253));
    EXPECT_EQ((*data.fs)[609], std::nullopt);
    EXPECT_EQ((*data.Rf)[609], std::nullopt);
}

TEST(GefFixtures, BroFileMarksVoidFrictionAbsent)
{
    if (!std::filesystem::exists(fixtures)) GTEST_SKIP() << "no fixtures at " << fixtures;
    const GEFData data = GEFData::from_file(fixtures / "CPT000000003688_IMBRO_A.gef");
    // "0.000;0.196;0.000;12.0;0;9.999;999.9;!": sleeve friction and friction ratio are void.
    EXPECT_THAT(data.qc.front(), Optional(0.196));
    EXPECT_EQ(data.fs->front(), std::nullopt);
    EXPECT_EQ(data.Rf->front(), std::nullopt);
}

TEST(GefReader, ReadsSeparatorsVoidsAndCorrectedDepth)
{
    const GEFData data = GEFData::from_file(data_dir / "gef_voids.gef");
    EXPECT_EQ(data.name, "VOIDS-1");
    EXPECT_THAT(data.ground_level_wrt_reference, Optional(1250.0));
    // Corrected depth where given, the penetration length where it is void, and the row with
    // neither left out.
    EXPECT_THAT(data.elevation, ElementsAre(750.0, 260.0, -250.0, -730.0));
    EXPECT_THAT(data.qc, ElementsAre(Optional(1.5), std::nullopt, Optional(2.25), Optional(4.0)));
    EXPECT_THAT(*data.fs, ElementsAre(Optional(0.015), std::nullopt, Optional(0.03), Optional(0.04)));
    EXPECT_THAT(*data.Rf, ElementsAre(Optional(0.01), std::nullopt, Optional(0.013), Optional(0.01)));
}

TEST(GefReader, ReadsLatin1TextBlankColumnsAndKilopascal)
{
    const GEFData data = GEFData::from_file(data_dir / "gef_latin1.gef");
    EXPECT_EQ(data.name, "S\u00f8ndering \u00c6r\u00f8 1");
    EXPECT_THAT(data.project_name, Optional(std::string("Kade \u00e0 la Mer\u00e9")));
    EXPECT_THAT(data.client, Optional(std::string("Grondmechanica Friesl\u00e2n")));
    EXPECT_THAT(data.project_id, Optional(std::string("P-17")));
    EXPECT_EQ(data.ground_level_wrt_reference, std::nullopt);
    EXPECT_EQ(data.gef_file_date, std::nullopt);  // 30 February is no date
    EXPECT_THAT(data.excavation_depth, Optional(0.8));
    EXPECT_THAT(data.x_y_coordinates, Optional(std::pair(155000.5, 463000.25)));
    EXPECT_THAT(data.elevation, ElementsAre(-800.0, -1000.0));
    EXPECT_THAT(data.qc, ElementsAre(Optional(1.25), Optional(2.5005)));
    EXPECT_THAT(*data.fs, ElementsAre(Optional(0.0125), Optional(0.025)));
    EXPECT_EQ(data.Rf, std::nullopt);
}

TEST(GefReader, ReadsTheExampleCpt)
{
    const GEFData data = GEFData::from_file(data_dir / ".." / ".." / "examples" / "data" / "cpt_w01.gef");
    EXPECT_EQ(data.name, "CPT-W01");
    ASSERT_EQ(data.elevation.size(), 40U);
    EXPECT_EQ(data.elevation.front(), 250.0);
    EXPECT_EQ(data.elevation.back(), -15350.0);
    EXPECT_THAT(data.ground_level_wrt_reference, Optional(450.0));
    EXPECT_THAT(data.project_id, Optional(std::string("DF-2026, 014")));
    EXPECT_THAT(data.Rf->back(), Optional(0.0065));
}

TEST(GefReader, TakesTheFileNameWithoutTestId)
{
    const GEFData data =
        GEFData::from_text("#COLUMNINFO= 1, m, l, 1\n#COLUMNINFO= 2, MPa, qc, 2\n#EOH=\n0 1\n", "S-12");
    EXPECT_EQ(data.name, "S-12");
    EXPECT_EQ(data.fs, std::nullopt);
    EXPECT_THAT(data.elevation, ElementsAre(0.0));
}

TEST(GefReader, ReadsEveryKindOfLineEnd)
{
    const std::string text =
        "#TESTID= LE-1\n#COLUMNINFO= 1, m, l, 1\n#COLUMNINFO= 2, MPa, qc, 2\n#EOH=\n0.5 1.5\n1.0 2.5\n";
    for (const char* line_end : {"\r\n", "\r"}) {
        std::string converted;
        for (char c : text) converted += c == '\n' ? std::string(line_end) : std::string(1, c);
        const GEFData data = GEFData::from_text(converted, "x");
        EXPECT_EQ(data.name, "LE-1");
        EXPECT_THAT(data.qc, ElementsAre(Optional(1.5), Optional(2.5)));
    }
}

// Depth columns written as negative numbers (down being negative) still go down from the ground
// level, as D-Foundations reads them; a file whose levels climb is read as it is, with a warning.
TEST(GefReader, ReadsNegativeDepthsGoingDownAndWarnsWhenLevelsClimb)
{
    const std::string header = "#TESTID= NEG-1\n#ZID= 31000, 3.06\n#COLUMNINFO= 1, m, depth, QUANTITY\n"
                               "#COLUMNINFO= 2, MPa, qc, 2\n#EOH=\n";
    for (const std::string quantity : {"1", "11"}) {
        std::string text = header;
        text.replace(text.find("QUANTITY"), 8, quantity);
        const GEFData data = GEFData::from_text(text + "-0.02 1.5\n-1.00 2.0\n-29.46 12.5\n", "x");
        EXPECT_THAT(data.elevation, ElementsAre(3040.0, 2060.0, -26400.0)) << quantity;
        EXPECT_TRUE(data.warnings.empty()) << quantity;
        EXPECT_EQ(data.to_json().contains("warnings"), false);
    }
    std::string text = header;
    text.replace(text.find("QUANTITY"), 8, "1");
    const GEFData climbing = GEFData::from_text(text + "0.5 1.5\n1.0 2.0\n0.8 2.5\n", "x");
    EXPECT_THAT(climbing.elevation, ElementsAre(2560.0, 2060.0, 2260.0));
    EXPECT_THAT(climbing.warnings,
                ElementsAre("the CPT does not go down: row 3 lies at 2260.0 mm, above row 2 at 2060.0 mm"));
    EXPECT_EQ(climbing.to_json()["warnings"], nlohmann::ordered_json(climbing.warnings));
}

TEST(GefReader, RefusesReportsOfAnotherKindBySayingWhatTheyAre)
{
    const std::string columns = "#COLUMNINFO= 1, m, depth, 1\n#COLUMNINFO= 2, m, layer top, 2\n#EOH=\n0.5 1.5\n";
    const struct {
        std::string header;
        std::string message;
    } cases[] = {
        {"#REPORTCODE= GEF-BORE-Report, 1, 0, 0\n",
         "GEF line 1: the file is a borehole report (GEF-BORE), not a cone penetration test (GEF-CPT); read it with "
         "a tool for that kind"},
        {"#GEFID= 1, 1, 0\n#PROCEDURECODE= GEF-DISS-Report, 1, 0, 0, -\n",
         "GEF line 2: the file is a dissipation test report (GEF-DISS), not a cone penetration test (GEF-CPT); read "
         "it with a tool for that kind"},
    };
    for (const auto& c : cases) {
        try {
            GEFData::from_text(c.header + columns, "x");
            ADD_FAILURE() << c.header;
        } catch (const ostrand::errors::ParsingError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    EXPECT_NO_THROW(GEFData::from_text("#REPORTCODE= GEF-CPT-Report, 1, 1, 2\n" + columns, "x"));
}

TEST(GefReader, ReportsUnusableFilesWithTheReason)
{
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"gef_no_eoh.gef", "GEF file has no data section: the header does not end with #EOH="},
        {"gef_no_rows.gef", "GEF file has no data section: no measurements with a depth follow #EOH="},
        {"gef_no_depth.gef",
         "GEF file has no depth column: no #COLUMNINFO with quantity 1 (penetration length) or 11 (corrected depth)"},
        {"gef_no_cone_resistance.gef", "GEF file has no cone resistance column: no #COLUMNINFO with quantity 2"},
        {"gef_bad_number.gef", "GEF line 8: \"1,2\" is not a number"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.file);
        try {
            GEFData::from_file(data_dir / expected.file);
            ADD_FAILURE() << "no ParsingError";
        } catch (const ParsingError& error) {
            EXPECT_STREQ(error.what(), expected.message);
        }
    }
}

TEST(GefReader, ReportsBadHeaderValuesAndShortRowsWithTheirLine)
{
    const std::string columns = "#COLUMNINFO= 1, m, l, 1\n#COLUMNINFO= 2, MPa, qc, 2\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {columns + "#ZID= 31000, high\n#EOH=\n0 1\n", "GEF line 3: \"high\" is not a number"},
        {columns + "#XYID= 28992, 1.0\n#EOH=\n0 1\n", "GEF line 3: #XYID= has too few values"},
        {"#COLUMN= 2\n#COLUMNINFO= 3, m, l, 1\n#EOH=\n0 1\n", "GEF line 2: column 3 does not exist"},
        {columns + "#EOH=\n0 1\n0.02\n", "GEF line 5: column 2 is missing (the row has 1 values)"},
        {columns + "#EOH=\n0 nan\n", "GEF line 4: \"nan\" is not a number"},
        {columns + "#ZID= 31000, 1e306\n#EOH=\n0 1\n", "GEF line 3: the level is out of range"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.text);
        try {
            GEFData::from_text(expected.text, "bad");
            ADD_FAILURE() << "no ParsingError";
        } catch (const ParsingError& error) {
            EXPECT_STREQ(error.what(), expected.message);
        }
    }
}

TEST(GefReader, UnreadableFileIsNoParsingError)
{
    EXPECT_THROW(GEFData::from_file(data_dir / "missing.gef"), std::filesystem::filesystem_error);
    EXPECT_THROW(GEFData::from_file(data_dir), std::filesystem::filesystem_error);
}

TEST(GefJson, WritesFieldsInOrderWithNullForAbsent)
{
    const GEFData data = GEFData::from_text(
        "#COLUMNINFO= 1, m, l, 1\n#COLUMNINFO= 2, MPa, qc, 2\n#COLUMNVOID= 2, -1\n#ZID= 0, 0.5\n#EOH=\n0 1.5\n1 -1\n",
        "J");
    EXPECT_EQ(data.to_json().dump(),
              R"({"name":"J","elevation":[500.0,-500.0],"qc":[1.5,null],"fs":null,"Rf":null,)"
              R"("ground_level_wrt_reference":500.0,"project_name":null,"project_id":null,"client":null,)"
              R"("x_y_coordinates":null,"excavation_depth":null,"gef_version_number":null,"gef_file_date":null})");
}

// The dfoundations program: JSON on success, the error as JSON with status 1, status 2 when the
// file cannot be read.
struct CommandResult {
    int status;
    std::string output;
};

CommandResult run_gef_command(const std::filesystem::path& file)
{
    const std::string command = (std::filesystem::path(DFOUNDATIONS_BINARY_DIR) / "bin" / "dfoundations").string() +
                                " gef '" + file.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, count);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(GefCommand, PrintsDataOrErrorWithExitStatus)
{
    if (!std::filesystem::exists(std::filesystem::path(DFOUNDATIONS_BINARY_DIR) / "bin" / "dfoundations"))
        GTEST_SKIP() << "the dfoundations program is not built";
    const auto read = run_gef_command(data_dir / "gef_voids.gef");
    EXPECT_EQ(read.status, 0);
    EXPECT_THAT(read.output, HasSubstr(R"({"name":"VOIDS-1","elevation":[750.0,260.0,-250.0,-730.0],)"));
    const auto refused = run_gef_command(data_dir / "gef_no_depth.gef");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(
        refused.output,
        R"json({"error":{"type":"ParsingError","message":"GEF file has no depth column: no #COLUMNINFO with quantity 1 (penetration length) or 11 (corrected depth)"}})json"
        "\n");
    const auto missing = run_gef_command(data_dir / "missing.gef");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output, "");
}

}  // namespace
