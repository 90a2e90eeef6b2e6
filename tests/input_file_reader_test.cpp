// Input files read back into model documents: what a model wrote comes back as it was, D-Foundations'
// own files come back line for line, and a file the model refuses names its line.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include <filesystem>

#include <gtest/gtest.h>

#include "foi/foi_text.hpp"
#include "foi/input_file_writer.hpp"
#include "foi_comparison.hpp"
#include "model_documents.hpp"

using namespace model_test;
namespace fs = std::filesystem;
using foi_comparison::read_file;
using ostrand::foi::fill_dfoundations_template;

namespace {

fs::path fixture(const std::string& folder, const std::string& name)
{
    return fs::path(DFOUNDATIONS_FIXTURES_DIR) / folder / (name + ".foi");
}

std::string written_again(const InputFileReading& reading)
{
    return fill_dfoundations_template(reading.document_with_extras());
}

}  // namespace

// The document read writes the same file; it may differ from the model's own document only where the
// file has fewer digits (a friction ratio of 2.9000000000000004) or no place (a pile class type of a
// pile type that is not user-defined).
TEST(InputFileReader, GivesBackTheDocumentOfTheModelThatWroteTheFile)
{
    for (const json& document : {bearing_document(), tension_document()}) {
        const std::string file = fill_dfoundations_template(document);
        const InputFileReading reading = read_input_file(file);
        EXPECT_EQ(fill_dfoundations_template(reading.document), file);
        for (const char* member : {"calculation_options", "soils", "piles", "metadata"})
            EXPECT_EQ(reading.document[member], document[member]) << member;
        EXPECT_EQ(reading.extras, json::object());
        EXPECT_TRUE(reading.model_error.empty()) << reading.model_error;
        EXPECT_TRUE(reading.warnings.empty());
    }
}

// D-Foundations writes CR LF, and some files of version 25 LF: the lines are what count.
std::string with_crlf(const std::string& text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result.push_back('\r');
        result.push_back(text[i]);
    }
    return result;
}

// Every D-Foundations file comes back line for line, in its own layout: what the document cannot
// hold is in the extras.
TEST(InputFileReader, WritesD_FoundationsOwnFilesBackLineForLine)
{
    if (!fs::exists(fixture("foi", "bm1-1b"))) GTEST_SKIP() << "no fixtures";
    for (const char* folder : {"foi", "foi25"}) {
        for (const char* name : {"bm1-10", "bm1-13", "bm1-1b", "bm3-1", "bm3-6", "bm3-8a"}) {
            SCOPED_TRACE(std::string(folder) + "/" + name);
            const std::string file = with_crlf(read_file(fixture(folder, name)));
            const InputFileReading reading = read_input_file(file);
            EXPECT_EQ(reading.layout_version, std::string(folder) == "foi" ? 19 : 25);
            EXPECT_TRUE(reading.warnings.empty());
            foi_comparison::expect_matches_fixture(written_again(reading), file, {});
            EXPECT_EQ(written_again(reading), file);
        }
    }
}

TEST(InputFileReader, ReadsEveryProfileCptPileTypeAndPileOfAFile)
{
    if (!fs::exists(fixture("foi", "bm1-1b"))) GTEST_SKIP() << "no fixtures";
    const InputFileReading bearing = read_input_file(read_file(fixture("foi", "bm1-1b")));
    const json& document = bearing.document;
    ASSERT_EQ(document["profiles"].size(), 3u);
    EXPECT_EQ(document["profiles"][2]["name"], "FUGBEN3");
    EXPECT_EQ(document["profiles"][2]["cpt"]["measurements"].size(), 18u);
    EXPECT_EQ(document["profiles"][2]["layers"].size(), 7u);
    EXPECT_EQ(document["pile_types"][0]["name"], "Round 550");
    EXPECT_EQ(document["pile_types"][0]["config"]["pile_type"][0], 11);
    EXPECT_EQ(document["piles"].size(), 40u);
    EXPECT_EQ(document["piles"][39]["name"], "Pos (40)");
    EXPECT_EQ(document["cone_resistance_reduction_type"], 2);
    // The manual reductions of the layers are no document member: they travel as extras.
    EXPECT_TRUE(bearing.extras["lines"]["PROFILES"].contains("FUGBEN3 > Layer (5) > Reduction of cone resistance [%]"));

    const InputFileReading tension = read_input_file(read_file(fixture("foi", "bm3-8a")));
    EXPECT_EQ(tension.document["model_type"], 1);
    EXPECT_EQ(tension.document["piles"].size(), 40u);
    // The Bearing Piles types and positions a Tension Piles file also holds are kept whole.
    EXPECT_TRUE(tension.extras["sections"].contains("TYPES - BEARING PILES"));
}

TEST(InputFileReader, WritesAValueChangedInTheDocumentAsChanged)
{
    if (!fs::exists(fixture("foi", "bm3-1"))) GTEST_SKIP() << "no fixtures";
    InputFileReading reading = read_input_file(read_file(fixture("foi", "bm3-1")));
    ASSERT_TRUE(reading.model_error.empty()) << reading.model_error;
    reading.document["profiles"][0]["pile_tip_level"] = -17.25;
    reading.document["soils"]["zand"]["soil_type"] = 3;
    const std::string written = written_again(reading);
    EXPECT_NE(written.find("      -17.25 : Pile tip level [m]"), std::string::npos);
    EXPECT_NE(written.find("SoilSoilType=3"), std::string::npos);
    // The Belgian soil type, which the document does not hold, is still the file's.
    EXPECT_NE(written.find("SoilBelgianSoilType=2"), std::string::npos);
    // The document as changed is one the model operations take, with its extras.
    EXPECT_NO_THROW(read_model_document(reading.document_with_extras()));
}

TEST(InputFileReader, BuildsTheModelOfAFileThroughTheOperations)
{
    if (!fs::exists(fixture("foi", "bm3-1"))) GTEST_SKIP() << "no fixtures";
    const std::string file = read_file(fixture("foi", "bm3-1"));
    const TensionPilesModel model = TensionPilesModel::from_input_file(file);
    EXPECT_EQ(model._generate_input(Metadata())["profiles"][0]["name"], "CPT");
    EXPECT_THROW(BearingPilesModel::from_input_file(file), std::invalid_argument);
}

TEST(InputFileReader, RefusesAFileTheModelRefusesAtItsLineWithTheRuleNested)
{
    if (!fs::exists(fixture("foi", "bm3-6"))) GTEST_SKIP() << "no fixtures";
    try {
        TensionPilesModel::from_input_file(read_file(fixture("foi", "bm3-6")));
        FAIL() << "no error";
    } catch (const InputFileError& error) {
        EXPECT_EQ(error.line(), 1502u);
        EXPECT_EQ(error.member(), "calculation_options");
        EXPECT_TRUE(std::string(error.what()).starts_with("Input file line 1502 (calculation_options): "));
        try {
            std::rethrow_if_nested(error);
            FAIL() << "nothing nested";
        } catch (const ostrand::errors::ModelError& rule) {
            EXPECT_TRUE(
                std::string(rule.what()).starts_with("Calculation type for Tension Piles (EC7-NL) model must "));
        }
    }
    // Callers that catch the model's rules catch a file that breaks one.
    EXPECT_THROW(TensionPilesModel::from_input_file(read_file(fixture("foi", "bm3-6"))), ostrand::errors::ModelError);
    // The reading itself keeps the file's document and says why the model refuses it.
    const InputFileReading reading = read_input_file(read_file(fixture("foi", "bm3-6")));
    EXPECT_TRUE(reading.model_error.starts_with("Input file line 1502"));
}

// D-Foundations writes Windows-1252; the same file saved by an editor as UTF-8 reads the same.
TEST(InputFileReader, ReadsWindows1252AndUtf8Alike)
{
    json document = tension_document();
    document["metadata"]["title_1"] = "Kade \xC3\xA9\xC3\xA9n \xE2\x82\xAC";  // "Kade één €"
    const std::string windows_1252 = fill_dfoundations_template(document);
    ASSERT_NE(windows_1252.find("Kade \xE9\xE9n \x80"), std::string::npos);
    const std::string utf8 = ostrand::foi::utf8_from_windows_1252(windows_1252);
    for (const std::string& file : {windows_1252, utf8})
        EXPECT_EQ(read_input_file(file).document["metadata"]["title_1"], "Kade \xC3\xA9\xC3\xA9n \xE2\x82\xAC");
    // Written again, both are the Windows-1252 file.
    EXPECT_EQ(written_again(read_input_file(utf8)), windows_1252);
}

TEST(InputFileReader, RefusesWhatIsNoInputFileOfThesesModelsNamingTheLine)
{
    const std::string document = fill_dfoundations_template(tension_document());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = document;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {"", "Input file line 1: the file has no [INPUT DATA]: it is no D-Foundations input file."},
        {std::string(100000, '\n'),
         "Input file line 1: the file has no [INPUT DATA]: it is no D-Foundations input file."},
        {"[INPUT DATA]\r\n[END OF INPUT DATA]\r\n", "Input file line 1: [INPUT DATA] has no [MODEL]."},
        {replaced("1 : Model = Tension Piles (EC7-NL)", "2 : Model = Shallow foundations"),
         "Input file line 21: the file holds a model of another kind (Model = Shallow foundations); only Bearing "
         "Piles and Tension Piles (EC7-NL) can be read."},
        {replaced("SoilGamDry=18.00", "SoilGamDry=heavy"), "Input file line 30: 'heavy' is not a number."},
        {replaced("[SOIL]\r\nZand", "[SOIL]\r\nZa\x0Fnd"),
         "Input file line 26: the material name holds the control character U+000F, which no line of an input "
         "file may hold."},
        {replaced("      -20.00 : Pile tip level [m]", "      -20.00 : Pile tip [m]"),
         "Input file line 238: the setting 'Pile tip level' is missing."},
    };
    for (const auto& bad : cases) {
        try {
            read_input_file(bad.file);
            ADD_FAILURE() << "no error for " << bad.message;
        } catch (const ostrand::errors::ParsingError& error) {
            EXPECT_EQ(error.what(), bad.message);
        }
    }
}
