#include "foi/input_file_writer.hpp"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "foi/foi_reader.hpp"
#include "foi/foi_text.hpp"
#include "foi_comparison.hpp"
#include "ostrand/errors.hpp"

namespace {

using nlohmann::ordered_json;
using ostrand::foi::fill_dfoundations_template;
using namespace foi_comparison;

ordered_json model_document(const std::string& name)
{
    return ordered_json::parse(
        read_file(std::filesystem::path(DFOUNDATIONS_TEST_DATA_DIR) / (name + "_model_document.json")));
}

struct FixtureCase {
    std::string name;
    std::vector<KnownDifference> differences;
};

// The document has no Belgian soil type (used only by Belgian calculations): the file gives a material
// added to a model the type of a new D-Foundations material, 1, where the benchmark's author chose others.
// Nor does it say whether a pile type's name was typed or proposed by D-Foundations; a model's pile types
// are always named by their caller.
const std::vector<FixtureCase> fixture_cases = {
    {"bm1-10",
     {{"[SOIL COLLECTION]", "SoilBelgianSoilType=0", "SoilBelgianSoilType=1"},
      {"[TYPES - BEARING PILES]", " 0 : Program defined name", " 1 : User defined name"}}},
    {"bm1-13",
     {{"[SOIL COLLECTION]", "SoilBelgianSoilType=0", "SoilBelgianSoilType=1"},
      {"[SOIL COLLECTION]", "SoilBelgianSoilType=3", "SoilBelgianSoilType=1"}}},
    {"bm3-1", {{"[SOIL COLLECTION]", "SoilBelgianSoilType=2", "SoilBelgianSoilType=1"}}},
};

std::string case_name(const testing::TestParamInfo<FixtureCase>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
}

// The input file of `document` against the benchmark's file in the fixture folder `folder`.
void expect_matches(const FixtureCase& fixture, const std::string& folder, const ordered_json& document)
{
    const std::filesystem::path fixture_path = foi_comparison::fixture_path(fixture.name, folder);
    if (!std::filesystem::exists(fixture_path)) GTEST_SKIP() << "no fixture " << fixture_path;
    expect_matches_fixture(fill_dfoundations_template(document), read_file(fixture_path), fixture.differences);
}

class FixtureComparison : public testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureComparison, MatchesDFoundationsSectionBySection)
{
    expect_matches(GetParam(), "foi", model_document(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Benchmarks, FixtureComparison, testing::ValuesIn(fixture_cases), case_name);

// --- the layout of D-Foundations 25.1 ---------------------------------------------------------------

// The benchmark's document asking for the 25.1 layout, without the Belgian standard materials
// ("BClay, clean, weak" and the like), which D-Foundations 25.1 drops when it reads a 19.x file and
// which no layer of these benchmarks uses.
ordered_json document_25(const std::string& name)
{
    ordered_json document = model_document(name);
    const auto belgian = [](const std::string& material) {
        return material.size() > 1 && material[0] == 'B' && std::isupper(static_cast<unsigned char>(material[1]));
    };
    ordered_json soils = ordered_json::object();
    for (const auto& [material, soil] : document["soils"].items())
        if (!belgian(material)) soils[material] = soil;
    ordered_json names = ordered_json::array();
    for (const auto& material : document["soil_names"])
        if (!belgian(material.get<std::string>())) names.push_back(material);
    document["soils"] = soils;
    document["soil_names"] = names;
    document["layout"] = 25;
    return document;
}

// Why the generated files differ from those of D-Foundations 25.1:
// - 25.1 gives every material its least undrained shear strength, 0.01, when it reads a 19.x file;
//   the writer keeps the document's own where that is more (the standard clays, loams and peats).
// - bm1-10: the document does not say whether a pile type's name was typed or proposed by
//   D-Foundations; a model's pile types are always named by their caller.
// - bm3-1: D-Foundations 25.1 wrote it in build 2814; the writer names build 2830, which wrote the
//   others.
const KnownDifference least_cu_25 = {"[SOIL COLLECTION]", "SoilCu=0.01", "SoilCu=*"};
const std::vector<FixtureCase> fixture_cases_25 = {
    {"bm1-10", {least_cu_25, {"[TYPES - BEARING PILES]", " 0 : Program defined name", " 1 : User defined name"}}},
    {"bm1-13", {least_cu_25}},
    {"bm3-1",
     {least_cu_25,
      {HEADER, "CREATED BY : D-Foundations version 25.1.0.2814", "CREATED BY : D-Foundations version 25.1.0.2830"},
      {"[VERSION EXTERNALS]", "DGSFoundationCalc.dll=25.1.0.2814", "DGSFoundationCalc.dll=25.1.0.2830"}}},
};

class FixtureComparison25 : public testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureComparison25, MatchesDFoundations25SectionBySection)
{
    expect_matches(GetParam(), "foi25", document_25(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Benchmarks, FixtureComparison25, testing::ValuesIn(fixture_cases_25), case_name);

// The value line of section `name` among the items of one CPT of an input file.
std::string cpt_value(std::span<const ostrand::foi::FoiItem> cpt, std::string_view name)
{
    for (const ostrand::foi::FoiItem& item : cpt)
        if (item.kind == ostrand::foi::ItemKind::section && item.name == name && !item.items.empty())
            return std::string(item.items.front().text);
    ADD_FAILURE() << "no [" << name << "]";
    return "0";
}

// The measured rows of one CPT of an input file.
ordered_json cpt_rows(std::span<const ostrand::foi::FoiItem> cpt)
{
    ordered_json rows = ordered_json::array();
    for (const ostrand::foi::FoiItem& item : cpt) {
        if (item.kind != ostrand::foi::ItemKind::section || item.name != "MEASURED DATA") continue;
        for (const ostrand::foi::FoiItem* row : item.section("TABLE")->table().rows) {
            std::istringstream values{std::string(row->text)};
            ordered_json numbers = ordered_json::array();
            for (double value = 0.0; values >> value;) numbers.push_back(value);
            rows.push_back(numbers);
        }
    }
    return rows;
}

// bm1-1b has three CPTs (bm3-8a the same three): the document takes their names, places, ground levels
// and rows from the file D-Foundations 25.1 wrote, and its CPT list must come out line for line.
TEST(FillDFoundationsTemplate, WritesSeveralCptsAsDFoundations25Does)
{
    const std::filesystem::path fixture = foi_comparison::fixture_path("bm1-1b", "foi25");
    if (!std::filesystem::exists(fixture)) GTEST_SKIP() << "no fixture " << fixture;
    const std::string expected = read_file(fixture);
    const ostrand::foi::FoiFile file = ostrand::foi::read_foi(expected);
    const ostrand::foi::FoiItem* cpts = file.find_section("NUMBER OF CPTS");
    ASSERT_NE(cpts, nullptr);

    ordered_json document = document_25("bm1-13");
    const ordered_json first = document["profiles"][0];
    document["profiles"] = ordered_json::array();
    for (const auto cpt : cpts->blocks()) {
        ordered_json profile = first;
        profile["name"] = cpt_value(cpt, "CPTNAME");
        profile["x"] = std::stod(cpt_value(cpt, "XLOCAL"));
        profile["y"] = std::stod(cpt_value(cpt, "YLOCAL"));
        profile["cpt"]["ground_level"] = std::stod(cpt_value(cpt, "GROUNDLEVEL"));
        profile["cpt"]["measurements"] = cpt_rows(cpt);
        document["profiles"].push_back(profile);
    }
    ASSERT_EQ(document["profiles"].size(), 3u);

    const auto cpt_list = [](const std::string& text) {
        const std::vector<std::string> lines = split_lines(text);
        const auto begin = std::find(lines.begin(), lines.end(), "[CPT LIST]");
        return std::vector<std::string>(begin, std::find(begin, lines.end(), "[END OF CPT LIST]"));
    };
    const std::vector<std::string> theirs = cpt_list(expected);
    ASSERT_FALSE(theirs.empty());
    EXPECT_THAT(cpt_list(fill_dfoundations_template(document)), testing::ElementsAreArray(theirs));
}

// --- broken documents -------------------------------------------------------------------------------

const ordered_json removed(ordered_json::value_t::discarded);

struct BrokenDocument {
    const char* document;  // which model document to start from
    const char* pointer;   // the member to change, or to remove when the value is `removed`
    ordered_json value;
    const char* message;
};

void apply(ordered_json& document, const BrokenDocument& broken)
{
    const ordered_json::json_pointer pointer(broken.pointer);
    if (broken.value.is_discarded()) {
        ordered_json& parent = document[pointer.parent_pointer()];
        if (parent.is_array())
            parent.erase(std::stoul(pointer.back()));
        else
            parent.erase(pointer.back());
    } else {
        document[pointer] = broken.value;
    }
}

TEST(FillDFoundationsTemplate, NamesWhatIsWrongWithABrokenDocument)
{
    const BrokenDocument cases[] = {
        {"bm1-13", "/metadata", removed, "The model document has no member 'metadata'."},
        {"bm1-13", "/calculation_options/xi3", removed, "The model document has no member 'calculation_options.xi3'."},
        {"bm1-13", "/model_type", 2, "'model_type' in the model document has the unknown model type code 2."},
        {"bm1-13", "/model_type", "0", "'model_type' in the model document must be an integer (found string)."},
        {"bm1-13", "/construction_sequence", 0,
         "'construction_sequence' in the model document has the unknown construction sequence code 0."},
        {"bm1-13", "/soils/Clay, clean, moderate/gam_dry", "21",
         "'soils[\"Clay, clean, moderate\"].gam_dry' in the model document must be a number (found string)."},
        {"bm1-13", "/soils/Gravel/use_tension", 1,
         "'soils.Gravel.use_tension' in the model document must be a boolean (found number)."},
        {"bm1-13", "/soils/Gravel/soil_type", 5,
         "'soils.Gravel.soil_type' in the model document has the unknown soil type code 5."},
        {"bm1-13", "/soil_names/0", "Bedrock",
         "'soil_names[0]' in the model document names the material 'Bedrock', which 'soils' does not hold."},
        {"bm3-1", "/soil_names/7", "Undetermined",
         "'soil_names[7]' in the model document lists the material 'Undetermined' a second time."},
        {"bm3-1", "/soil_names/7", removed, "'soil_names' in the model document lacks the material 'zand' of 'soils'."},
        {"bm1-13", "/soils", ordered_json::array(), "'soils' in the model document must be an object (found array)."},
        {"bm1-13", "/profiles/0/layers/1/material", "Zand",
         "'profiles[0].layers[1].material' in the model document names the material 'Zand', which 'soils' does not "
         "hold."},
        {"bm1-13", "/profiles/0/cpt/measurements/3", ordered_json::array({-7.0, 10.0, 0.1}),
         "'profiles[0].cpt.measurements[3]' in the model document has 3 values, the rows before it 2."},
        {"bm1-13", "/profiles/0/cpt/measurements/0", ordered_json::array({0.0}),
         "'profiles[0].cpt.measurements[0]' in the model document has 1 values; a measurement row has 2 to 5."},
        {"bm1-13", "/profiles/0/cpt/rule", 4,
         "'profiles[0].cpt.rule' in the model document has the unknown CPT rule code 4."},
        {"bm1-13", "/profiles/0/name", "CPT\n1",
         "'profiles[0].name' in the model document contains the control character U+000A, which cannot stand on a "
         "line of a D-Foundations input file."},
        {"bm1-13", "/metadata/title_1", "Check \u2713",
         "'metadata.title_1' in the model document contains the character U+2713, which a D-Foundations input file "
         "(Windows-1252) cannot hold."},
        {"bm1-13", "/cone_resistance_reduction_type", 3,
         "'cone_resistance_reduction_type' in the model document has the unknown cone resistance reduction type code "
         "3."},
        {"bm1-13", "/reduction_cone_resistance", "2 m",
         "'reduction_cone_resistance' in the model document must be a number (found string)."},
        {"bm1-13", "/pile_types/0/config/pile_type/0", 42,
         "'pile_types[0].config.pile_type[0]' in the model document has the unknown pile type code 42."},
        {"bm1-13", "/pile_types/0/config/slip_layer", 0,
         "'pile_types[0].config.slip_layer' in the model document must be an array (found number)."},
        {"bm1-13", "/pile_types/0/config/slip_layer", ordered_json::array({4, "User defined"}),
         "'pile_types[0].config.slip_layer_adhesion' in the model document must be a number (found null)."},
        {"bm1-13", "/pile_types/0/shape/num", 12,
         "'pile_types[0].shape.num' in the model document has the unknown pile shape code 12."},
        {"bm1-13", "/pile_types/0/shape/num", 0,
         "'pile_types[0].shape.data' in the model document has 2 dimensions; a 'Round pile' has 1."},
        {"bm1-13", "/piles/1/name", "Pos '2'",
         "'piles[1].name' in the model document contains an apostrophe, which ends a pile name in the input file."},
        {"bm1-13", "/calculation_options/cpt_test_level", nullptr,
         "'calculation_options.cpt_test_level' in the model document must be a number (found null)."},
        {"bm1-13", "/calculation_options/max_allowed_relative_rotation_sls", 0,
         "'calculation_options.max_allowed_relative_rotation_sls' in the model document must not be zero: the allowed "
         "rotation is 1 divided by it."},
        {"bm1-13", "/calculation_options/main_calculation_type", 0,
         "'calculation_options.main_calculation_type' in the model document is 0, but calculation type 1 belongs to "
         "main calculation type 1."},
        {"bm1-13", "/pile_types", ordered_json::array(),
         "'pile_types' in the model document is empty; a verification needs its pile type."},
        {"bm3-1", "/calculation_options/net_bearing_capacity", 1.5,
         "'calculation_options.net_bearing_capacity' in the model document must be an integer (found number)."},
        {"bm3-1", "/calculation_options/trajectory_begin_end_interval", ordered_json::array({-1.0, -15.1}),
         "'calculation_options.trajectory_begin_end_interval' in the model document must be [begin, end, interval] "
         "or null."},
        {"bm3-1", "/pile_types/0/config/material", ordered_json::array({3, "User defined material type"}),
         "'pile_types[0].config.material_property' in the model document must be a number (found null)."},
        {"bm3-1", "/pile_types/0/config/type_clay_loam_peat", ordered_json::array({1}),
         "'pile_types[0].config.type_clay_loam_peat' in the model document must be a pair [code, text] (found 1 "
         "values)."},
        {"bm3-1", "/piles/0/load_max_min", ordered_json::array({5.0}),
         "'piles[0].load_max_min' in the model document must be a pair [maximum, minimum] or null."},
        {"bm1-13", "/layout", "25", "'layout' in the model document must be 19, 23 or 25 (found string)."},
        {"bm1-13", "/layout", 20,
         "'layout' in the model document is 20; the input file layouts are 19 (D-Foundations 19.x), 23 "
         "(D-Foundations 23.x) and 25 (D-Foundations 25.1)."},
        {"bm3-1", "/input_file_version", 25.0,
         "'input_file_version' in the model document is 25.0; the input file layouts are 19 (D-Foundations 19.x), 23 "
         "(D-Foundations 23.x) and 25 (D-Foundations 25.1)."},
        // What the 25.1 layout cannot hold, or holds otherwise.
        {"bm1-13 (25)", "/pile_types/0/config/use_pre_2016", true,
         "'pile_types[0].config.use_pre_2016' in the model document is true, but D-Foundations 25.1 has no pre-2016 "
         "alpha factors; write the 19 layout."},
        {"bm3-1 (25)", "/calculation_options/suppress_qciii_reduction", true,
         "'calculation_options.suppress_qciii_reduction' in the model document is true, but D-Foundations 25.1 "
         "cannot suppress the qcIII reduction; write the 19 layout."},
        {"bm1-13 (25)", "/soils/Gravel/e0", -1.0,
         "'soils.Gravel.e0' in the model document must be above -1: the compression ratio divides by 1 + e0."},
        {"bm1-13 (25)", "/calculation_options/max_allowed_relative_rotation_sls", 300.5,
         "'calculation_options.max_allowed_relative_rotation_sls' in the model document must be an integer (found "
         "number)."},
        {"bm1-13 (25)", "/calculation_options/max_allowed_relative_rotation_str_geo", 0,
         "'calculation_options.max_allowed_relative_rotation_str_geo' in the model document must not be zero: the "
         "allowed rotation is 1 divided by it."},
    };
    const std::map<std::string, ordered_json> documents = {{"bm1-13", model_document("bm1-13")},
                                                           {"bm3-1", model_document("bm3-1")},
                                                           {"bm1-13 (25)", document_25("bm1-13")},
                                                           {"bm3-1 (25)", document_25("bm3-1")}};
    {
        ordered_json document = documents.at("bm3-1");
        document["excavation_level"] = std::numeric_limits<double>::infinity();
        EXPECT_THAT([&] { fill_dfoundations_template(document); },
                    testing::ThrowsMessage<ostrand::errors::InternalError>(testing::StrEq(
                        "'excavation_level' in the model document must be a finite number (found inf).")));
    }
    for (const BrokenDocument& broken : cases) {
        ordered_json document = documents.at(broken.document);
        apply(document, broken);
        try {
            fill_dfoundations_template(document);
            ADD_FAILURE() << "no error for " << broken.pointer;
        } catch (const ostrand::errors::InternalError& error) {
            EXPECT_STREQ(error.what(), broken.message) << broken.pointer;
        }
    }
}

TEST(FillDFoundationsTemplate, RefusesADocumentThatIsNoObject)
{
    EXPECT_THAT([] { fill_dfoundations_template(ordered_json::array()); },
                testing::ThrowsMessage<ostrand::errors::InternalError>(
                    testing::StrEq("The model document must be an object (found array).")));
}

// --- what the fixtures do not show ----------------------------------------------------------------------

std::vector<std::string> generated_lines(const ordered_json& document)
{
    return split_lines(fill_dfoundations_template(document));
}

TEST(FillDFoundationsTemplate, WritesUserDefinedChoicesWithTheirValues)
{
    ordered_json bearing = model_document("bm1-13");
    auto& config = bearing["pile_types"][0]["config"];
    config["slip_layer"] = {4, "User defined"};
    config["slip_layer_adhesion"] = 12.5;
    config["qciii_reduction"] = 30.0;
    config["overrule_tip_shape_factor"] = 0.8;
    config["as_prefab"] = true;
    EXPECT_THAT(
        generated_lines(bearing),
        testing::IsSupersetOf({" 4 : Slip Layer = User defined", "       12.50 : Characteristic adhesion [kN/m2)",
                               "0 : Factor beta overruled = FALSE", "1 : Factor s overruled = TRUE",
                               "        0.80 : Factor s user defined", "0 : User Defined piletype as Overig = FALSE",
                               "1 : Use manual reduction for qc;III = TRUE", " 30.00 : Reduction percentage qc;III"}));

    ordered_json tension = model_document("bm3-1");
    tension["pile_types"][0]["config"]["material"] = {3, "User defined material type"};
    tension["pile_types"][0]["config"]["material_property"] = 24.0;
    tension["piles"][0]["load_max_min"] = {150.0, -50.0};
    EXPECT_THAT(generated_lines(tension),
                testing::IsSupersetOf(
                    {" 3 : Material = User defined material type", "       24.00 : Unit weigth pile material [kN/m3)",
                     " 2.000E+0007 : Elasticity modulus [kN/m2)",
                     "     1      0.00      0.00      0.00 1    150.00    -50.00      0.00      0.00 '1'"}));
}

TEST(FillDFoundationsTemplate, KeepsABlankBeforeEveryFieldOfAPileRowWhateverItsSize)
{
    // UTM coordinates fill the ten characters of a coordinate; a larger x would run into the index.
    ordered_json bearing = model_document("bm1-13");
    bearing["piles"][0]["x"] = 612345.005;
    bearing["piles"][0]["y"] = 5812345.0;
    ordered_json tension = model_document("bm3-1");
    tension["piles"][0]["x"] = 123456789.0;
    tension["piles"][0]["load_max_min"] = {1234567.5, -1234567.5};
    EXPECT_THAT(generated_lines(bearing),
                testing::Contains("     1 612345.01 5812345.00     -5.00     20.00   1800.00   1400.00 'Pos (1)'"));
    EXPECT_THAT(
        generated_lines(tension),
        testing::Contains("     1 123456789.00      0.00      0.00 1 1234567.50 -1234567.50      0.00      0.00 '1'"));
}

TEST(FillDFoundationsTemplate, SeparatesSeveralCptsAsDFoundationsDoes)
{
    ordered_json document = model_document("bm1-13");
    for (const char* name : {"CPT 2", "CPT 3"}) {
        ordered_json profile = document["profiles"][0];
        profile["name"] = name;
        document["profiles"].push_back(profile);
    }
    std::vector<std::string> list;
    bool in_list = false;
    for (const std::string& line : generated_lines(document)) {
        in_list = in_list || line == "[CPT LIST]";
        if (in_list && (line.rfind("---", 0) == 0 || line.rfind("[NEXT OF", 0) == 0 || line == "[CPTNAME]"))
            list.push_back(line);
        if (line == "[END OF CPT LIST]") break;
    }
    EXPECT_THAT(list,
                testing::ElementsAre("--------------------------------------", "[CPTNAME]", "[NEXT OF NUMBER OF CPTS]",
                                     "[CPTNAME]", "[NEXT OF NUMBER OF CPTS]", "[CPTNAME]"));
}

TEST(FillDFoundationsTemplate, WritesAUserDefinedBearingPileType)
{
    ordered_json document = model_document("bm1-13");
    auto& config = document["pile_types"][0]["config"];
    config["pile_type"] = {25, "User defined (vibrating)"};
    config["type_sand_gravel"] = {27, "User defined"};
    config["factor_sand_gravel"] = 1.2;
    config["type_clay_loam_peat"] = {0,
                                     "alpha_s clay/loam/peat according to table 7.f, art. 7.6.2.3 NEN 9997-1:2016 (i)"};
    config["type_p"] = {0, "Prefabricated concrete pile"};
    config["load_settlement_curve"] = 1;
    config["material"] = {3, "User defined material type"};
    config["material_property"] = 3.0e7;
    const auto lines = generated_lines(document);
    const auto type = std::find(lines.begin(), lines.end(), "25 : Pile type = User defined (vibrating)");
    ASSERT_NE(type, lines.end());
    EXPECT_THAT(std::vector<std::string>(type, type + 9),
                testing::ElementsAre("25 : Pile type = User defined (vibrating)",
                                     "27 : Pile type for execution factor sand/gravel = User defined",
                                     "      1.2000 : Execution factor sand/gravel [-)",
                                     " 0 : Pile type for execution factor clay/loam/peat = alpha_s clay/loam/peat "
                                     "according to table 7.f, art. 7.6.2.3 NEN 9997-1:2016 (i)",
                                     " 0 : Pile type for pile class factor = Prefabricated concrete pile",
                                     " 1 : Pile type for load-settlement curve = 2",
                                     " 3 : Material = User defined material type",
                                     " 3.000E+0007 : Elasticity modulus [kN/m2)", " 0 : Slip Layer = None"));
}

TEST(FillDFoundationsTemplate, WritesThe19LayoutUnlessTheDocumentAsksFor25)
{
    ordered_json document = model_document("bm3-1");
    const std::string absent = fill_dfoundations_template(document);
    document["layout"] = 19;
    EXPECT_EQ(fill_dfoundations_template(document), absent);
    document["layout"] = 25;
    EXPECT_THAT(generated_lines(document), testing::Contains("D-Foundations=1033"));

    // Documents of earlier releases call the member "input_file_version".
    document.erase("layout");
    document["input_file_version"] = 25;
    EXPECT_THAT(generated_lines(document), testing::Contains("D-Foundations=1033"));
    document["layout"] = 19;
    EXPECT_THROW(fill_dfoundations_template(document), ostrand::errors::InternalError);
}

TEST(FillDFoundationsTemplate, WritesAUserDefinedPileTypeInThe25Layout)
{
    // As 25.1 writes them: the user-defined types numbered 28 to 30, the factors before the installation
    // method, their units still closed with ")".
    ordered_json bearing = document_25("bm1-13");
    auto& config = bearing["pile_types"][0]["config"];
    config["pile_type"] = {26, "User defined (low vibrating)"};
    config["type_sand_gravel"] = {11, "Continuous flight auger pile"};
    config["type_clay_loam_peat"] = {1, "User defined"};
    config["factor_clay_loam_peat"] = 0.9;
    config["type_p"] = {27, "User defined"};
    config["factor_pile_class"] = 0.7;
    config["load_settlement_curve"] = 2;
    config["material"] = {3, "User defined material type"};
    config["material_property"] = 3.0e7;
    const auto lines = generated_lines(bearing);
    const auto type = std::find(lines.begin(), lines.end(), "29 : Pile type = User defined (low vibrating)");
    ASSERT_NE(type, lines.end());
    EXPECT_THAT(std::vector<std::string>(type, type + 12),
                testing::ElementsAre(
                    "29 : Pile type = User defined (low vibrating)",
                    "11 : Pile type for execution factor sand/gravel = B7-Continuous flight auger pile",
                    " 1 : Pile type for execution factor clay/silt/peat = User defined",
                    "      0.9000 : Execution factor clay/silt/peat [-)",
                    "30 : Pile type for pile class factor = User defined", "      0.7000 : Pile class factor [-)",
                    " 2 : Pile type for load-settlement curve = 3", " 3 : Material = User defined material type",
                    " 3.000E+0007 : Elasticity modulus [kN/m2]", " 0 : Installation method = Automatic",
                    " 0 : Slip Layer = None", " 1 : Shape = Rectangular pile"));

    ordered_json tension = document_25("bm3-1");
    tension["pile_types"][0]["config"]["material"] = {3, "User defined material type"};
    tension["pile_types"][0]["config"]["material_property"] = 24.0;
    EXPECT_THAT(generated_lines(tension),
                testing::IsSupersetOf({"       24.00 : Unit weight pile material [kN/m3]",
                                       " 2.000E+0007 : Elasticity modulus [kN/m2]",
                                       "        0.00 : Unit weight filling material [kN/m3]"}));
}

TEST(FillDFoundationsTemplate, WritesAPreliminaryDesignWithEveryProfileAndPileType)
{
    ordered_json document = model_document("bm1-13");
    auto& options = document["calculation_options"];
    options["main_calculation_type"] = 0;
    options["calculation_type"] = 4;
    options["net_bearing_capacity"] = 1200;
    options["trajectory_begin_end_interval"] = nullptr;
    ordered_json second = document["pile_types"][0];
    second["name"] = "Rect 300x500 b";
    document["pile_types"].push_back(second);
    const auto lines = generated_lines(document);
    const auto design = std::find(lines.begin(), lines.end(), "[PRELIMINARY DESIGN]");
    ASSERT_NE(design, lines.end());
    EXPECT_THAT(std::vector<std::string>(design, design + 11),
                testing::ElementsAre("[PRELIMINARY DESIGN]", "    0.00 : Trajectory begin [m]",
                                     "    0.00 : Trajectory end [m]", "    1.00 : Trajectory interval [m]",
                                     "    1200 : Net bearing capacity [kN]",
                                     "1 : Number of Profiles selected for calculation", "0 : CPT 1",
                                     "2 : Number of PileTypes selected for calculation", "0 : Rect 300x500 prefab",
                                     "1 : Rect 300x500 b", "[END OF PRELIMINARY DESIGN]"));
}

TEST(FillDFoundationsTemplate, WritesGefColumnsAndVoidValues)
{
    ordered_json document = model_document("bm1-13");
    auto& cpt = document["profiles"][0]["cpt"];
    cpt["measurements"] = {{0.0, 1.5, 0.012, 987000000.0, 0.8}, {-0.02, 1.75, 0.0135, 987000000.0, 0.77}};
    cpt["x"] = 155000.5;
    cpt["excavation_depth"] = 1.2;
    cpt["imported"] = true;
    const auto lines = generated_lines(document);
    EXPECT_THAT(lines, testing::IsSupersetOf({"     155000.500", "  987654321.000", "          1.200", "0 : True"}));
    const auto columns = std::find(lines.begin(), lines.end(), "[COLUMN INDICATION]");
    ASSERT_NE(columns, lines.end());
    EXPECT_THAT(std::vector<std::string>(columns, columns + 10),
                testing::ElementsAre("[COLUMN INDICATION]", "z", "qc", "rw", "ws", "GEFFrict", "[END OF COLUMN INDICATION]",
                                     "[DATA]",
                                     "       0.000        1.500        0.012000 987000000.000000        0.800000",
                                     "      -0.020        1.750        0.013500 987000000.000000        0.770000"));
}

TEST(FillDFoundationsTemplate, WritesTextInWindows1252)
{
    ordered_json document = model_document("bm3-1");
    document["metadata"]["title_2"] = "Grond onder de caf\u00e9 \u20ac";
    const std::string text = fill_dfoundations_template(document);
    EXPECT_NE(text.find("Grond onder de caf\xE9 \x80\r\n"), std::string::npos);
}

TEST(FillDFoundationsTemplate, TakesTheMaterialsInTheDocumentsOrder)
{
    // bm3-1 registered "zand" first; a plain json keeps its members in name order, which puts it last.
    const ordered_json document = model_document("bm3-1");
    EXPECT_THAT(generated_lines(document), testing::Contains("    0 : Material = zand"));
    EXPECT_THAT(split_lines(fill_dfoundations_template(nlohmann::json(document))),
                testing::Contains("    7 : Material = zand"));
}

TEST(FoiText, WritesNumbersInFixedWidths)
{
    using namespace ostrand::foi;
    EXPECT_EQ(fixed(-15.0, 8, 2), "  -15.00");
    EXPECT_EQ(fixed(0.5100, 12, 4), "      0.5100");
    EXPECT_EQ(fixed(1.0 / 300.0, 12, 6), "    0.003333");
    EXPECT_EQ(fixed(-0.001, 12, 2), "        0.00");
    EXPECT_EQ(fixed(-0.0004, 0, 3), "0.000");
    EXPECT_EQ(fixed(0.0045, 0, 7), "0.0045000");
    EXPECT_EQ(fixed(100000.0, 8, 2), "100000.00");
    EXPECT_EQ(fixed(987000000.0, 15, 6), "987000000.000000");
    EXPECT_EQ(padded(28, 5), "   28");
    EXPECT_EQ(padded(-1, 5), "   -1");
    EXPECT_EQ(padded(123456, 4), "123456");
    EXPECT_EQ(scientific(2.0e7, 12), " 2.000E+0007");
    EXPECT_EQ(scientific(-1.5e-3, 0), "-1.500E-0003");
}

// The decimals are those of the exact binary value rounded half to even, as printf rounds it, also
// for ties, values beyond 2^53 and values too small for any decimal.
TEST(FoiText, RoundsNumbersAsPrintfDoes)
{
    using ostrand::foi::fixed;
    const double values[] = {0.125,  0.375, 2.5,     3.5,    0.0005, 0.0015,  1.0005,   -2.675,
                             1e-30,  1e15,  9.1e15,  2e19,   -1e25,  5e-324, 0.1 + 0.2, 2047.9999999995,
                             1.5e-7, 987654321.0, -0.02 * 4999, 1.5 + 0.001 * 4999};
    for (const double value : values) {
        for (int decimals = 0; decimals <= 9; ++decimals) {
            char buffer[400];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
            std::string printed(buffer, end);
            if (printed.front() == '-' && printed.find_first_of("123456789") == std::string::npos) printed.erase(0, 1);
            EXPECT_EQ(fixed(value, 0, decimals), printed) << value << " with " << decimals << " decimals";
        }
    }
}

}  // namespace
