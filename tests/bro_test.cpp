// The BRO XML CPT reader: the real register files, the GEF/XML pair of one CPT, voids, block
// order and separators, the errors, and the dfoundations program's gef (cpt) command.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model_test_support.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

// The case tables below are laid out by hand, a case a line where it fits.
// clang-format off

namespace {

using ostrand::errors::ParsingError;
using ostrand::geo::GEFData;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Optional;

const std::filesystem::path fixtures = std::filesystem::path(DFOUNDATIONS_FIXTURES_DIR);
const std::filesystem::path data_dir = DFOUNDATIONS_TEST_DATA_DIR;

// What each real BRO file says, as read from its CPT object and its first and last blocks by depth.
struct FixtureCase {
    const char* file;
    const char* name;
    std::size_t rows;
    double first_level;  // mm
    double last_level;   // mm
    double ground_level;  // mm
    std::pair<double, double> x_y;
    double excavation_depth;  // m, the predrilled depth
    const char* file_date;
    const char* research_report_date;
    std::size_t void_friction_rows;
};

const FixtureCase fixture_cases[] = {
    // IMBRO/A, prefixed elements; the blocks start at 2.740 m and the top 2.72 m come last.
    {"CPT000000003688_IMBRO_A.xml", "CPT000000003688", 1229, -1750.0, -26310.0, -1750.0, {91931.0, 438294.0}, 0.0,
     "2020-08-04", "2004-06-14", 11},
    // IMBRO, default namespace, predrilled to 0.5 m, one block out of order and a dissipation test.
    {"CPT000000155283.xml", "CPT000000155283", 305, 90.0 - 500.0, 90.0 - 6570.0, 90.0, {132782.52, 448030.34}, 0.5,
     "2023-10-17", "2020-07-15", 9},
};

TEST(BroFixtures, ReadsBothSchemaVersionsWithTheirAttributes)
{
    if (!std::filesystem::exists(fixtures / "bro")) GTEST_SKIP() << "no fixtures at " << fixtures;
    for (const auto& expected : fixture_cases) {
        SCOPED_TRACE(expected.file);
        const GEFData data = GEFData::from_file(fixtures / "bro" / expected.file);
        EXPECT_EQ(data.name, expected.name);
        ASSERT_EQ(data.elevation.size(), expected.rows);
        EXPECT_EQ(data.qc.size(), expected.rows);
        EXPECT_EQ(data.elevation.front(), expected.first_level);
        EXPECT_EQ(data.elevation.back(), expected.last_level);
        EXPECT_TRUE(std::is_sorted(data.elevation.rbegin(), data.elevation.rend())) << "the rows run from the top down";
        EXPECT_THAT(data.ground_level_wrt_reference, Optional(expected.ground_level));
        EXPECT_THAT(data.x_y_coordinates, Optional(expected.x_y));
        EXPECT_THAT(data.excavation_depth, Optional(expected.excavation_depth));
        EXPECT_THAT(data.gef_file_date, Optional(std::string(expected.file_date)));
        EXPECT_THAT(data.research_report_date, Optional(std::string(expected.research_report_date)));
        EXPECT_EQ(data.project_name, std::nullopt);
        EXPECT_EQ(data.gef_version_number, std::nullopt);
        ASSERT_TRUE(data.fs && data.Rf);
        ASSERT_EQ(data.fs->size(), expected.rows);
        ASSERT_EQ(data.Rf->size(), expected.rows);
        EXPECT_EQ(std::count(data.fs->begin(), data.fs->end(), std::nullopt), expected.void_friction_rows);
        EXPECT_EQ(std::count(data.Rf->begin(), data.Rf->end(), std::nullopt), expected.void_friction_rows);
        EXPECT_EQ(std::count(data.qc.begin(), data.qc.end(), std::nullopt), 0);
    }
}

TEST(BroFixtures, FindsTheMeasurementsOfTheGefFileOfTheSameCpt)
{
    if (!std::filesystem::exists(fixtures / "bro")) GTEST_SKIP() << "no fixtures at " << fixtures;
    const GEFData xml = GEFData::from_file(fixtures / "bro" / "CPT000000003688_IMBRO_A.xml");
    const GEFData gef = GEFData::from_file(fixtures / "gef" / "CPT000000003688_IMBRO_A.gef");
    EXPECT_EQ(xml.name, gef.name);
    EXPECT_EQ(xml.ground_level_wrt_reference, gef.ground_level_wrt_reference);
    EXPECT_EQ(xml.x_y_coordinates, gef.x_y_coordinates);
    EXPECT_EQ(xml.excavation_depth, gef.excavation_depth);
    EXPECT_EQ(xml.gef_file_date, gef.gef_file_date);
    // Both files write the same digits (levels to the mm, qc and fs to the kPa, Rf to 0.1 %),
    // and both readers convert them the same way: the values are equal, not just close.
    EXPECT_EQ(xml.elevation, gef.elevation);
    EXPECT_EQ(xml.qc, gef.qc);
    EXPECT_EQ(xml.fs, gef.fs);
    EXPECT_EQ(xml.Rf, gef.Rf);
    // The void friction of the first rows in the GEF file ("9.999", "999.9") is void in XML too.
    EXPECT_EQ(xml.fs->front(), std::nullopt);
    EXPECT_EQ(xml.Rf->front(), std::nullopt);
}

TEST(BroFixtures, ImportsTheSameProfileAsTheGefFile)
{
    if (!std::filesystem::exists(fixtures / "bro")) GTEST_SKIP() << "no fixtures at " << fixtures;
    using namespace model_test;
    const auto imported = [](const GEFData& cpt) {
        BearingPilesModel model = bearing_model();
        const std::string material = detail::bearing_default_materials().front().name;
        model.import_profile(cpt, layers({material}), 91931.0, 438294.0, -2.0, -20.0, 1.0, -3.0, -10.0, 0.1);
        return model.profiles().at(0);
    };
    const json from_xml = imported(GEFData::from_file(fixtures / "bro" / "CPT000000003688_IMBRO_A.xml"));
    json from_gef = imported(GEFData::from_file(fixtures / "gef" / "CPT000000003688_IMBRO_A.gef"));
    ASSERT_EQ(from_xml["cpt"]["measurements"].size(), 1218u);  // 1229 rows, 11 without friction
    // Only the GEF header names a project id, a company and a GEF version.
    EXPECT_EQ(from_gef["cpt"]["project_id"], "BRO");
    for (const char* key : {"project_id", "client_name", "gef_version"}) from_gef["cpt"][key] = from_xml["cpt"][key];
    EXPECT_EQ(from_xml, from_gef);
}

TEST(BroReader, ReadsVoidsBlockOrderAndDescriptiveData)
{
    const GEFData data = GEFData::from_file(data_dir / "bro_voids.xml");
    EXPECT_EQ(data.name, "CPT000000000042");
    EXPECT_THAT(data.ground_level_wrt_reference, Optional(1250.0));
    // Sorted by depth; the depth where given, the penetration length where it is void, and the
    // block with neither left out.
    EXPECT_THAT(data.elevation, ElementsAre(750.0, 270.0, -250.0, -730.0));
    EXPECT_THAT(data.qc, ElementsAre(Optional(1.5), Optional(2.25), std::nullopt, Optional(4.0)));
    EXPECT_THAT(*data.fs, ElementsAre(Optional(0.015), Optional(0.03), std::nullopt, Optional(0.04)));
    EXPECT_THAT(*data.Rf, ElementsAre(Optional(0.01), Optional(0.013), std::nullopt, Optional(0.01)));
    EXPECT_THAT(data.x_y_coordinates, Optional(std::pair(155000.5, 463000.25)));
    EXPECT_THAT(data.excavation_depth, Optional(0.5));
    EXPECT_THAT(data.gef_file_date, Optional(std::string("2026-03-02")));
    EXPECT_THAT(data.research_report_date, Optional(std::string("2026-02-27")));
}

// A bare CPT_O with the given parameters ("name:ja" ...), encoding attributes, values and extras.
std::string cpt_xml(const std::string& parameters, const std::string& encoding, const std::string& values,
                    const std::string& extra = "")
{
    std::string listed;
    std::size_t start = 0;
    while (start < parameters.size()) {
        const std::size_t end = std::min(parameters.find(' ', start), parameters.size());
        const std::string item = parameters.substr(start, end - start);
        const std::size_t colon = item.find(':');
        listed += "<c:" + item.substr(0, colon) + ">" + item.substr(colon + 1) + "</c:" + item.substr(0, colon) + ">";
        start = end + 1;
    }
    return "<CPT_O xmlns='http://www.broservices.nl/xsd/dscpt/1.0' xmlns:c='http://www.broservices.nl/xsd/cptcommon/1.0'"
           " xmlns:swe='http://www.opengis.net/swe/2.0'>"
           + extra + "<conePenetrometerSurvey><c:conePenetrationTest><c:cptResult><swe:encoding><swe:TextEncoding " + encoding
           + "/></swe:encoding><c:values>" + values + "</c:values></c:cptResult></c:conePenetrationTest><c:parameters>"
           + listed + "</c:parameters></conePenetrometerSurvey></CPT_O>";
}

const std::string plain_encoding = R"(decimalSeparator="." tokenSeparator="," blockSeparator=";")";

TEST(BroReader, FollowsTheOrderOfTheParametersAndTheTextEncoding)
{
    // Friction ratio first and cone resistance last; a decimal comma; no broId, no offset.
    const GEFData data = GEFData::from_bro_xml(
        cpt_xml("frictionRatio:ja localFriction:nee depth:ja penetrationLength:nee coneResistance:ja",
                R"(decimalSeparator="," tokenSeparator="|" blockSeparator="#")",
                "\n  1,5|-999999|0,25|-999999|2,5#\n  2|-999999|0,5|-999999|-999999#"),
        "S-12");
    EXPECT_EQ(data.name, "S-12");
    EXPECT_EQ(data.ground_level_wrt_reference, std::nullopt);
    EXPECT_THAT(data.elevation, ElementsAre(-250.0, -500.0));  // below the reference point
    EXPECT_THAT(data.qc, ElementsAre(Optional(2.5), std::nullopt));
    EXPECT_EQ(data.fs, std::nullopt);  // "nee": no sleeve friction column
    EXPECT_THAT(*data.Rf, ElementsAre(Optional(0.015), Optional(0.02)));
    EXPECT_EQ(data.research_report_date, std::nullopt);
}

TEST(BroReader, ReadsARegistrationRequestAndDeclaredEncodings)
{
    const std::string cpt = cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0.0,1.0;1.0,2.0",
                                    "<broId>CPT-\xE9t\xE9</broId>");
    // A registration request names the object CPT, not CPT_O.
    const std::string request = "<?xml version='1.0' encoding='ISO-8859-1'?>\n<registrationRequest><sourceDocument><CPT"
                                + cpt.substr(6, cpt.size() - 6 - 8) + "</CPT></sourceDocument></registrationRequest>";
    const GEFData data = GEFData::from_bro_xml(request, "unused");
    EXPECT_EQ(data.name, "CPT-\u00e9t\u00e9");  // Latin-1 as declared, UTF-8 in GEFData
    EXPECT_THAT(data.elevation, ElementsAre(0.0, -1000.0));
}

// Some schema generations nest the parameters and the result one element deeper.
TEST(BroReader, FindsParametersAndResultNestedDeeper)
{
    std::string text = cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0.0,1.0;1.0,2.0",
                               "<broId>CPT&#x41;1</broId>");
    const auto wrap = [&](const std::string& open, const std::string& close, const std::string& wrapper) {
        text.replace(text.find(open), open.size(), "<c:" + wrapper + ">" + open);
        text.replace(text.find(close), close.size(), close + "</c:" + wrapper + ">");
    };
    wrap("<c:parameters>", "</c:parameters>", "procedure");
    wrap("<c:cptResult>", "</c:cptResult>", "result");
    const GEFData data = GEFData::from_bro_xml(text, "unused");
    EXPECT_EQ(data.name, "CPTA1");
    EXPECT_THAT(data.elevation, ElementsAre(0.0, -1000.0));
    EXPECT_THAT(data.qc, ElementsAre(Optional(1.0), Optional(2.0)));
}

TEST(BroReader, ReportsUnusableFilesWithTheReason)
{
    const std::string two = "penetrationLength:ja coneResistance:ja";
    const std::string dispatch_of = "<dispatchDataResponse><dispatchDocument>";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"<a><b></a>", "BRO XML file is not well-formed XML: Start-end tags mismatch (line 1)"},
        {"<a>\n<b x=1/></a>", "BRO XML file is not well-formed XML: Error parsing element attribute (line 2)"},
        {"<!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]><lolz>&lol2;</lolz>",
         "BRO XML file declares entities in its DOCTYPE: entity declarations are refused, not expanded"},
        {"<!DOCTYPE CPT_O SYSTEM \"file:///etc/passwd\"><CPT_O>&xxe;</CPT_O>",
         "BRO XML file names an external DTD in its DOCTYPE: external entities are refused, not loaded"},
        {"<html><body/></html>",
         "XML file is not a BRO CPT: its root element \"html\" holds no dispatchDocument or sourceDocument"},
        {dispatch_of + "<BHR_GT_O/></dispatchDocument></dispatchDataResponse>",
         "BRO XML file holds a \"BHR_GT_O\" object (a borehole), not a CPT (CPT_O)"},
        {dispatch_of + "<GMW_O/></dispatchDocument></dispatchDataResponse>",
         "BRO XML file holds a \"GMW_O\" object (a groundwater monitoring well), not a CPT (CPT_O)"},
        {dispatch_of + "</dispatchDocument></dispatchDataResponse>",
         "BRO XML file holds no object: its dispatchDocument is empty"},
        {"<CPT_O><broId>CPT1</broId></CPT_O>", "BRO XML CPT has no conePenetrometerSurvey element"},
        {"<CPT_O><conePenetrometerSurvey/></CPT_O>", "BRO XML CPT has no parameters element"},
        {"<CPT_O><conePenetrometerSurvey><parameters><penetrationLength>ja</penetrationLength>"
         "<coneResistance>ja</coneResistance></parameters></conePenetrometerSurvey></CPT_O>",
         "BRO XML CPT has no conePenetrationTest/cptResult element"},
        {cpt_xml(two, plain_encoding, "0,1").replace(cpt_xml(two, plain_encoding, "0,1").find("<c:values>"), 24, "<c:value/>"),
         "BRO XML CPT has no values element"},
        {cpt_xml(two, "", "0,1"), "BRO XML TextEncoding has no tokenSeparator"},
        {cpt_xml(two, R"(decimalSeparator="." tokenSeparator=";" blockSeparator=";")", "0,1"),
         "BRO XML TextEncoding separators \".\", \";\" and \";\" are not distinct"},
        {cpt_xml("penetrationLength:nee depth:nee coneResistance:ja", plain_encoding, "0,0,1"),
         "BRO XML CPT has no depth: neither penetrationLength nor depth is \"ja\" in its parameters"},
        {cpt_xml("penetrationLength:ja coneResistance:nee", plain_encoding, "0,1"),
         "BRO XML CPT has no cone resistance: coneResistance is not \"ja\" in its parameters"},
        {cpt_xml("penetrationLength:ja coneResistance:yes", plain_encoding, "0,1"),
         "BRO XML parameter \"coneResistance\" is \"yes\", not ja or nee"},
        {cpt_xml(two, plain_encoding, "0,1;0.02"), "BRO XML block 2: it has 1 values, the parameters element lists 2"},
        {cpt_xml(two, plain_encoding, "0,1;0.02,1.2.3"), "BRO XML block 2: \"1.2.3\" is not a number"},
        {cpt_xml(two, plain_encoding, "-999999,1;"), "BRO XML CPT has no measurements: no block of cptResult/values has a depth"},
        {cpt_xml(two, plain_encoding, "0,1", "<deliveredVerticalPosition><offset>NAP</offset></deliveredVerticalPosition>"),
         "BRO XML offset \"NAP\" is not a number"},
        {cpt_xml(two, plain_encoding, "0,1", "<deliveredLocation><location><pos>1.0</pos></location></deliveredLocation>"),
         "BRO XML deliveredLocation \"1.0\" is not a pair of coordinates"},
        // XML has no character 0; read, it would cut the name short.
        {cpt_xml(two, plain_encoding, "0,1", "<broId>CPT&#x0;42</broId>"),
         "BRO XML file is not well-formed XML: it refers to the character 0 (line 1)"},
        {cpt_xml(two, plain_encoding, "0,1", "<broId>CPT&#00;42</broId>"),
         "BRO XML file is not well-formed XML: it refers to the character 0 (line 1)"},
        {cpt_xml(two, plain_encoding, "0,1", std::string("<broId>CPT\0" "42</broId>", 18)),
         "BRO XML file is not well-formed XML: it holds the character 0 (line 1)"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.text);
        try {
            GEFData::from_bro_xml(expected.text, "bad");
            ADD_FAILURE() << "no ParsingError";
        } catch (const ParsingError& error) {
            EXPECT_STREQ(error.what(), expected.message);
        }
    }
}

TEST(BroReader, FromFileTellsTheKindsApartByContent)
{
    EXPECT_THROW(GEFData::from_file(data_dir / "bro_borehole.xml"), ParsingError);
    // The name of a file says nothing: GEF text in a .xml file is GEF, XML in a .gef file is XML.
    const auto scratch = std::filesystem::temp_directory_path() / ("bro_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    const auto write = [&](const char* name, const std::string& text) {
        std::FILE* file = std::fopen((scratch / name).c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        return scratch / name;
    };
    const GEFData gef = GEFData::from_file(write("gef.xml", "#COLUMNINFO= 1, m, l, 1\n#COLUMNINFO= 2, MPa, qc, 2\n#EOH=\n0 1\n"));
    EXPECT_EQ(gef.name, "gef");
    const GEFData xml = GEFData::from_file(
        write("xml.gef", "\xEF\xBB\xBF\n  " + cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0,1")));
    EXPECT_EQ(xml.name, "xml");
    EXPECT_THAT(xml.qc, ElementsAre(Optional(1.0)));
    std::string utf16 = "\xFF\xFE";  // UTF-16LE with its byte order mark
    for (const char c : cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0,2")) utf16 += std::string{c, '\0'};
    EXPECT_THAT(GEFData::from_file(write("utf16.xml", utf16)).qc, ElementsAre(Optional(2.0)));
    std::filesystem::remove_all(scratch);
}

TEST(BroJson, WritesTheResearchReportDateLastWhenPresent)
{
    const GEFData data = GEFData::from_bro_xml(
        cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0,1.5",
                "<researchReportDate><date>2024-02-29</date></researchReportDate>"),
        "J");
    EXPECT_EQ(data.to_json().dump(),
              R"({"name":"J","elevation":[0.0],"qc":[1.5],"fs":null,"Rf":null,"ground_level_wrt_reference":null,)"
              R"("project_name":null,"project_id":null,"client":null,"x_y_coordinates":null,"excavation_depth":null,)"
              R"("gef_version_number":null,"gef_file_date":null,"research_report_date":"2024-02-29"})");
    const GEFData no_date = GEFData::from_bro_xml(
        cpt_xml("penetrationLength:ja coneResistance:ja", plain_encoding, "0,1.5",
                "<researchReportDate><date>2023-02-29</date></researchReportDate>"),
        "J");
    EXPECT_EQ(no_date.research_report_date, std::nullopt);  // 29 February 2023 is no date
    EXPECT_FALSE(no_date.to_json().contains("research_report_date"));
}

// The dfoundations program: JSON on success, the error as JSON with status 1, status 2 when the
// file cannot be read; `cpt` is the same command as `gef`.
struct CommandResult {
    int status;
    std::string output;
};

CommandResult run_command(const std::string& command_name, const std::filesystem::path& file)
{
    const std::string command = (std::filesystem::path(DFOUNDATIONS_BINARY_DIR) / "bin" / "dfoundations").string() + " "
                                + command_name + " '" + file.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, count);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(BroCommand, PrintsDataOrErrorWithExitStatus)
{
    if (!std::filesystem::exists(std::filesystem::path(DFOUNDATIONS_BINARY_DIR) / "bin" / "dfoundations"))
        GTEST_SKIP() << "the dfoundations program is not built";
    for (const char* command : {"gef", "cpt"}) {
        SCOPED_TRACE(command);
        const auto read = run_command(command, data_dir / "bro_voids.xml");
        EXPECT_EQ(read.status, 0);
        EXPECT_THAT(read.output, HasSubstr(R"({"name":"CPT000000000042","elevation":[750.0,270.0,-250.0,-730.0],)"));
        EXPECT_THAT(read.output, HasSubstr(R"("gef_file_date":"2026-03-02","research_report_date":"2026-02-27"})"));
        const auto refused = run_command(command, data_dir / "bro_borehole.xml");
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.output,
                  R"json({"error":{"type":"ParsingError","message":"BRO XML file holds a \"BHR_GT_O\" object (a borehole), not a CPT (CPT_O)"}})json"
                  "\n");
        const auto missing = run_command(command, data_dir / "missing.xml");
        EXPECT_EQ(missing.status, 2);
        EXPECT_EQ(missing.output, "");
    }
}

}  // namespace
// clang-format on
