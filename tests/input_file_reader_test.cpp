// Input files read back into model documents: what a model wrote comes back as it was, D-Foundations'
// own files come back line for line, and a file the model refuses names its line.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

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

// The number of the line on which `needle` begins (CR LF line ends).
std::size_t line_of(const std::string& text, const std::string& needle)
{
    const std::size_t at = text.find(needle);
    return static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n')) + 1;
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

// A header padded with lines, or shorter than the one written, comes back as the file has it, and so
// do the date, time and file name it holds.
TEST(InputFileReader, WritesBackAHeaderOfAnotherLength)
{
    const std::string file = fill_dfoundations_template(bearing_document());
    const std::size_t time = file.find("TIME ");
    ASSERT_NE(time, std::string::npos);
    for (const std::string& changed : {file.substr(0, time) + std::string(40, '\n') + file.substr(time),
                                       file.substr(0, time) + file.substr(file.find("BEGINNING OF DATA") - 30)}) {
        const InputFileReading reading = read_input_file(changed);
        const std::string again = written_again(reading);
        EXPECT_EQ(again.substr(0, again.find("[INPUT DATA]")),
                  with_crlf(changed.substr(0, changed.find("[INPUT DATA]"))));
        const InputFileReading read_again = read_input_file(again);
        EXPECT_EQ(read_again.document, reading.document);
        EXPECT_EQ(read_again.extras, reading.extras);
    }
}

// Every input file among the fixtures, with the layout its folder holds: foi/ and v19/ 19.x, v23/
// 23.x, foi25/ and v25/ 25.1.
struct FixtureFile {
    fs::path path;
    int layout;
};

std::vector<FixtureFile> fixture_input_files()
{
    std::vector<FixtureFile> files;
    const fs::path root(DFOUNDATIONS_FIXTURES_DIR);
    const std::pair<const char*, int> folders[] = {
        {"foi", 19},           {"foi25", 25},     {"input-files/v19", 19}, {"input-files/v23", 23},
        {"input-files/v25", 25}, {"core/v19", 19}, {"core/v23", 23},        {"core/v25", 25}};
    for (const auto& [folder, layout] : folders) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (entry.path().extension() == ".foi") files.push_back({entry.path(), layout});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    return files;
}

// The first line in which two texts with CR LF line ends differ, for a short failure message.
std::string first_difference(const std::string& written, const std::string& file)
{
    const auto ours = foi_comparison::split_lines(written);
    const auto theirs = foi_comparison::split_lines(file);
    for (std::size_t i = 0; i < std::max(ours.size(), theirs.size()); ++i) {
        const std::string a = i < ours.size() ? ours[i] : "<none>";
        const std::string b = i < theirs.size() ? theirs[i] : "<none>";
        if (a != b) return "line " + std::to_string(i + 1) + ": written '" + a + "', file '" + b + "'";
    }
    return "the same lines";
}

// Every D-Foundations file comes back line for line, in its own layout: what the document cannot
// hold is in the extras.
TEST(InputFileReader, WritesD_FoundationsOwnFilesBackLineForLine)
{
    const std::vector<FixtureFile> files = fixture_input_files();
    if (files.empty()) GTEST_SKIP() << "no fixtures";
    for (const FixtureFile& fixture : files) {
        SCOPED_TRACE(fixture.path.string());
        const std::string file = with_crlf(read_file(fixture.path));
        const InputFileReading reading = read_input_file(file);
        EXPECT_EQ(reading.layout, fixture.layout);
        for (const InputFileWarning& warning : reading.warnings)
            ADD_FAILURE() << "line " << warning.line << ": " << warning.message;
        const std::string written = written_again(reading);
        EXPECT_TRUE(written == file) << first_difference(written, file);
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
    // A manual reduction, with its percentages per layer, is no member of a model: the model has the
    // safe reduction in its place, and the file's lines travel as extras.
    EXPECT_EQ(bearing.model_error, "");
    EXPECT_EQ(document["cone_resistance_reduction_type"], 0);
    EXPECT_TRUE(bearing.extras["lines"]["PROFILES"].contains("FUGBEN3 > Layer (5) > Reduction of cone resistance [%]"));
    EXPECT_TRUE(bearing.extras["lines"]["PROFILES"].contains("FUGBEN3 >  > Reduction type of cone resistance"));

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

// A file that breaks a rule of the model (a pile name longer than 10 characters) is refused when it
// becomes a model, at its line and member, with the rule's own error nested; the reading keeps it.
TEST(InputFileReader, RefusesAFileTheModelRefusesAtItsLineWithTheRuleNested)
{
    const json document = tension_document();
    std::string file = fill_dfoundations_template(document);
    const std::string name = "'" + document["piles"][0]["name"].get<std::string>() + "'";
    file.replace(file.find(name), name.size(), "'Pile 12345678'");
    const std::size_t line = line_of(file, "'Pile 12345678'");
    try {
        TensionPilesModel::from_input_file(file);
        FAIL() << "no error";
    } catch (const InputFileError& error) {
        EXPECT_EQ(error.line(), line);
        EXPECT_EQ(error.member(), "piles[0]");
        EXPECT_TRUE(std::string(error.what()).starts_with("Input file line " + std::to_string(line) + " (piles[0]): "))
            << error.what();
        try {
            std::rethrow_if_nested(error);
            FAIL() << "nothing nested";
        } catch (const ostrand::errors::ModelError& rule) {
            EXPECT_EQ(std::string(rule.what()), "Name of pile can be max. 10 characters long");
        }
    }
    // Callers that catch the model's rules catch a file that breaks one.
    EXPECT_THROW(TensionPilesModel::from_input_file(file), ostrand::errors::ModelError);
    // Every reason at once, each at its own line.
    if (document["piles"].size() > 1) {
        std::string twice = file;
        const std::string second = "'" + document["piles"][1]["name"].get<std::string>() + "'";
        twice.replace(twice.find(second), second.size(), "'Pile 87654321'");
        try {
            TensionPilesModel::from_input_file(twice);
            ADD_FAILURE() << "no error";
        } catch (const InputFileError& error) {
            EXPECT_NE(std::string(error.what()).find("\nInput file line " + std::to_string(line + 1) + " (piles[1]): "),
                      std::string::npos)
                << error.what();
        }
    }
    // The reading itself keeps the file's document and says why the model refuses it.
    const InputFileReading reading = read_input_file(file);
    EXPECT_TRUE(reading.model_error.starts_with("Input file line " + std::to_string(line))) << reading.model_error;
    EXPECT_EQ(written_again(reading), file);
}

// Values that D-Foundations writes and the model operations do not take are no reason to refuse the
// file: a verification of tension piles, a manual reduction of the cone resistance, D-Foundations'
// "no colour", a US date. The model is built with what it holds in their place; the file comes back.
TEST(InputFileReader, BuildsTheModelOfValuesD_FoundationsWritesThatTheOperationsRefuse)
{
    json document = tension_document();
    std::string file = fill_dfoundations_template(document);
    const auto replace = [&file](const std::string& from, const std::string& to) {
        ASSERT_NE(file.find(from), std::string::npos) << from;
        file.replace(file.find(from), from.size(), to);
    };
    // A verification (main type 1, sub type 1), which a tension model of the operations cannot be.
    replace(" 0 : Main calculationtype", " 1 : Main calculationtype");
    const std::size_t sub = file.find(" : Sub calculationtype");
    file.replace(sub - 2, 2, " 1");
    const std::size_t colour = file.find("SoilColor=") + 10;
    file.replace(colour, file.find('\r', colour) - colour, "536870911");
    const std::string date = "DATE       : " + document["metadata"]["date"].get<std::string>();
    replace(date, "DATE       : 4/7/2023");
    const std::string time = "TIME       : " + document["metadata"]["time"].get<std::string>();
    replace(time, "TIME       : 2:01:58 PM");
    const InputFileReading reading = read_input_file(file);
    EXPECT_EQ(reading.model_error, "");
    EXPECT_EQ(reading.document["metadata"]["date"], "07/04/2023");
    EXPECT_EQ(reading.document["metadata"]["time"], "14:01:58");
    EXPECT_EQ(written_again(reading), file);
    const TensionPilesModel model = TensionPilesModel::from_input_file(file);
    EXPECT_EQ(std::get<ostrand::core::BytesIO>(model.generate_input_file()).getvalue(), file);
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
        // Padding of blank lines, which would each become an item, is refused before it is read.
        {replaced("[SOIL COLLECTION]", "[SOIL COLLECTION]" + std::string(400000, '\n')),
         "Input file line 1: the file holds 400465 lines of 1 bytes on average: no D-Foundations input file is "
         "that dense, and it is not read, so that its memory stays bounded."},
        {replaced("1 : Model = Tension Piles (EC7-NL)", "2 : Model = Shallow foundations"),
         "Input file line 21: the file holds a model of another kind (Model = Shallow foundations); only Bearing "
         "Piles and Tension Piles (EC7-NL) can be read."},
        {replaced("SoilGamDry=18.00", "SoilGamDry=heavy"), "Input file line 30: 'heavy' is not a number."},
        {replaced("[SOIL]\r\nZand", "[SOIL]\r\nZa\x0Fnd"),
         "Input file line 26: the material name holds the control character U+000F, which no line of an input "
         "file may hold."},
        {replaced("      -20.00 : Pile tip level [m]", "      -20.00 : Pile tip [m]"),
         "Input file line 238: the setting 'Pile tip level' is missing."},
        // A value that is no number is named at its own line, not taken for a missing setting.
        {replaced("      -20.00 : Pile tip level [m]", "         nan : Pile tip level [m]"),
         "Input file line 243: 'nan' is not a number."},
        {replaced("      -20.00 : Pile tip level [m]", "         inf : Pile tip level [m]"),
         "Input file line 243: 'inf' is not a number."},
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

// A count says what follows it: one that says otherwise (a block given twice, a count that lies) is
// refused at its line, since the file written again would say another thing.
TEST(InputFileReader, RefusesACountThatDoesNotMatchWhatFollowsIt)
{
    const std::string file = fill_dfoundations_template(bearing_document());
    const auto refused = [](const std::string& text, const std::string& message) {
        try {
            read_input_file(text);
            ADD_FAILURE() << "no error for " << message;
        } catch (const ostrand::errors::ParsingError& error) {
            EXPECT_EQ(error.what(), message);
        }
    };
    // The first layer block of a profile given twice.
    const std::size_t second = file.find("Layer (2)\r\n");
    ASSERT_NE(second, std::string::npos);
    const std::size_t first = file.rfind("Layer (1)\r\n", second);
    const std::size_t count_line = file.rfind("\r\n", file.rfind(" : Number of layers", first)) + 2;
    const std::size_t layers = std::stoul(file.substr(count_line, file.find(" : ", count_line) - count_line));
    std::string twice = file;
    twice.insert(second, file.substr(first, second - first));
    // The count stands before the copy, on the line it had.
    const std::size_t count_at = static_cast<std::size_t>(
                                     std::count(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(count_line), '\n')) +
                                 1;
    refused(twice, "Input file line " + std::to_string(count_at) + ": the file says " + std::to_string(layers) +
                       " layers, but " + std::to_string(layers + 1) + " follow.");
    // A layer block that stands out of its place.
    std::string swapped = file;
    swapped.replace(swapped.find("Layer (2)\r\n"), 9, "Layer (3)");
    refused(swapped, "Input file line " + std::to_string(line_of(swapped, "Layer (3)")) +
                         ": 'Layer (3)' stands where 'Layer (2)' belongs.");
    // A count of a billion materials.
    const std::string materials = file.substr(file.find("[SOIL COLLECTION]\r\n") + 19, 24);
    const std::string count = materials.substr(0, materials.find('\r'));
    std::string lying = file;
    lying.replace(lying.find(count), count.size(), "1000000000 = number of items");
    refused(lying, "Input file line " + std::to_string(line_of(lying, "1000000000 = number")) +
                       ": the file says 1000000000 materials, but " +
                       std::to_string(bearing_document()["soils"].size()) + " follow.");
    // A table whose row count says otherwise.
    std::string rows = file;
    const std::string positions = "[POSITIONS - BEARING PILES]\r\n[TABLE]\r\n";
    rows.insert(rows.find(positions) + positions.size(), "DataCount=7\r\n");
    refused(rows, "Input file line " + std::to_string(line_of(rows, positions) + 1) + ": the table says DataCount=7, but " +
                      std::to_string(bearing_document()["piles"].size()) + " rows follow.");
}

// An editor's byte-order mark is no part of the first line; a character that Windows-1252 lacks is
// refused when the file is read, naming it, rather than written as '?'.
TEST(InputFileReader, ReadsAByteOrderMarkAndRefusesWhatWindows1252Lacks)
{
    const std::string file = fill_dfoundations_template(tension_document());
    const InputFileReading marked = read_input_file("\xEF\xBB\xBF" + file);
    EXPECT_EQ(written_again(marked), file);
    std::string polish = ostrand::foi::utf8_from_windows_1252(file);
    const std::size_t name = polish.find("[PROJECT NAME]\r\n") + 16;
    polish.insert(name, "\xC5\x81\xC3\xB3" "d\xC5\xBA");  // "Łódź"
    const InputFileReading reading = read_input_file(polish);
    ASSERT_EQ(reading.warnings.size(), 1u);
    EXPECT_EQ(reading.warnings[0].line, line_of(polish, "\xC5\x81"));
    EXPECT_NE(reading.warnings[0].message.find("U+0141"), std::string::npos) << reading.warnings[0].message;
    try {
        written_again(reading);
        ADD_FAILURE() << "no error";
    } catch (const ostrand::errors::InternalError& error) {
        EXPECT_NE(std::string(error.what()).find("U+0141"), std::string::npos) << error.what();
    }
}

namespace {

// A CPT from the shared fixtures, as GEF or as BRO XML.
ostrand::geo::GEFData added_cpt(bool bro)
{
    const fs::path root(DFOUNDATIONS_FIXTURES_DIR);
    if (!bro) return ostrand::geo::GEFData::from_file(root / "gef" / "CPT000000003688_IMBRO_A.gef");
    return ostrand::geo::GEFData::from_bro_xml(read_file(root / "bro" / "CPT000000155283.xml"), "BRO");
}

// A pile and a profile (with the CPT and the first profile's layers) added to a model read from a file.
template <class Model>
void add_pile_and_profile(Model& model, const json& document, const ostrand::geo::GEFData& cpt);

template <>
void add_pile_and_profile(BearingPilesModel& model, const json& document, const ostrand::geo::GEFData& cpt)
{
    std::vector<ProfileLayer> layers;
    for (const json& layer : document["profiles"][0]["layers"])
        layers.emplace_back(layer["top_level"].get<double>(), layer["material"].get<std::string>());
    model.import_profile(cpt, layers, 10.0, 20.0, -1.0, -15.0, 1.0, -2.0, -3.0, 0.0,
                         {.name = "Added CPT", .manual_ground_level = layers.front().top_level()});
    model.create_pile("Added", 1.0, 2.0, 0.0, 0.0, 500.0, 400.0);
}

template <>
void add_pile_and_profile(TensionPilesModel& model, const json& document, const ostrand::geo::GEFData& cpt)
{
    std::vector<ProfileLayer> layers;
    for (const json& layer : document["profiles"][0]["layers"])
        layers.emplace_back(layer["top_level"].get<double>(), layer["material"].get<std::string>());
    model.import_profile(cpt, layers, 10.0, 20.0, -1.0, -15.0, -2.0,
                         {.name = "Added CPT", .manual_ground_level = layers.front().top_level()});
    model.create_pile("Added", 1.0, 2.0, 0.0);
}

template <class Model>
std::string saved_with_pile_and_profile(const std::string& file, const json& document, bool bro)
{
    Model model = Model::from_input_file(file);
    add_pile_and_profile(model, document, added_cpt(bro));
    return std::get<ostrand::core::BytesIO>(model.generate_input_file()).getvalue();
}

}  // namespace

// The road of an engineer: open a file, add a pile and a CPT, save. The file comes back in its own
// layout, with its profiles, piles, sections and lines as they were, and the two added.
TEST(InputFileReader, SavesAModelReadFromAFileWithNothingChangedButWhatWasAdded)
{
    const std::vector<FixtureFile> files = fixture_input_files();
    if (files.empty()) GTEST_SKIP() << "no fixtures";
    bool bro = false;
    for (const FixtureFile& fixture : files) {
        SCOPED_TRACE(fixture.path.string());
        const std::string file = with_crlf(read_file(fixture.path));
        const InputFileReading before = read_input_file(file);
        ASSERT_EQ(before.model_error, "");
        bro = !bro;
        const std::string saved =
            before.document["model_type"] == 0
                ? saved_with_pile_and_profile<BearingPilesModel>(file, before.document, bro)
                : saved_with_pile_and_profile<TensionPilesModel>(file, before.document, bro);
        const InputFileReading after = read_input_file(saved);
        EXPECT_EQ(after.layout, before.layout);
        EXPECT_EQ(after.model_error, "");
        json document = after.document;
        ASSERT_EQ(document["profiles"].size(), before.document["profiles"].size() + 1);
        EXPECT_EQ(document["profiles"].back()["name"], "Added CPT");
        EXPECT_EQ(document["piles"].back()["name"], "Added");
        document["profiles"].erase(document["profiles"].size() - 1);
        document["piles"].erase(document["piles"].size() - 1);
        EXPECT_EQ(document, before.document) << json::diff(before.document, document).dump().substr(0, 2000);
        EXPECT_EQ(after.extras, before.extras) << json::diff(before.extras, after.extras).dump().substr(0, 2000);
    }
}
