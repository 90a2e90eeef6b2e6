// The model document: its members and their order, and the JSON text it is sent as.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_test_support.hpp"

using namespace model_test;
using ostrand::errors::ModelError;

namespace {

std::vector<std::string> keys(const json& object)
{
    std::vector<std::string> result;
    for (auto member = object.begin(); member != object.end(); ++member) result.push_back(member.key());
    return result;
}

}  // namespace

TEST(ModelDocument, HasItsMembersInOrderWithTheModelTypeFirstAndTheMetadataLast)
{
    const std::vector<std::string> members{"model_type",
                                           "construction_sequence",
                                           "calculation_options",
                                           "excavation_level",
                                           "cone_resistance_reduction_type",
                                           "reduction_cone_resistance",
                                           "soil_names",
                                           "soils",
                                           "profiles",
                                           "pile_types",
                                           "piles",
                                           "metadata"};
    BearingPilesModel bearing = bearing_model();
    complete(bearing);
    const json document = bearing._generate_input();
    EXPECT_EQ(keys(document), members);
    EXPECT_EQ(document["model_type"], 0);
    EXPECT_EQ(document["construction_sequence"], 1);
    EXPECT_EQ(document["calculation_options"], bearing_options()._serialize());
    EXPECT_EQ(document["excavation_level"], -1.0);
    EXPECT_EQ(document["metadata"], Metadata()._serialize());
    EXPECT_EQ(document["profiles"], bearing.profiles());
    EXPECT_EQ(document["pile_types"], bearing.pile_types());
    EXPECT_EQ(document["piles"], bearing.piles());

    const json tension = tension_model()._generate_input(Metadata({.company = "Deltares"}));
    EXPECT_EQ(keys(tension), members);
    EXPECT_EQ(tension["model_type"], 1);
    EXPECT_EQ(tension["metadata"]["company"], "Deltares");
}

TEST(ModelDocument, WritesTheReductionValueAsGiven)
{
    const struct {
        ModelOptions options;
        int type;
        const char* text;
    } cases[] = {
        {{}, 0, R"("cone_resistance_reduction_type": 0, "reduction_cone_resistance": 0, )"},
        {{.reduction_cone_resistance = 5},
         1,
         R"("cone_resistance_reduction_type": 1, "reduction_cone_resistance": 5, )"},
        {{.reduction_cone_resistance = 5.0},
         1,
         R"("cone_resistance_reduction_type": 1, "reduction_cone_resistance": 5.0, )"},
    };
    for (const auto& c : cases) {
        const BearingPilesModel model = bearing_model(c.options);
        EXPECT_EQ(model._generate_input()["cone_resistance_reduction_type"], c.type);
        EXPECT_NE(model._generate_input_text().find(c.text), std::string::npos) << c.text;
    }
}

TEST(ModelDocument, SortsSoilNamesByCharacterCodeAndKeepsSoilsInRegistrationOrder)
{
    BearingPilesModel model = bearing_model({.create_default_materials = false});
    for (const char* name : {"sand", "Zand", "\xC3\x89tang", "Clay", "clay"}) {
        model.create_material(name, SoilType::SAND, 17.0, 19.0, 30.0);
    }
    const json document = model._generate_input();
    EXPECT_EQ(document["soil_names"], json::parse(R"(["Clay", "Zand", "clay", "sand", "\u00c9tang"])"));
    EXPECT_EQ(keys(document["soils"]), (std::vector<std::string>{"sand", "Zand", "\xC3\x89tang", "Clay", "clay"}));

    const json empty = bearing_model({.create_default_materials = false})._generate_input();
    EXPECT_EQ(empty["soil_names"], json::array());
    EXPECT_EQ(empty["soils"], json::object());
}

TEST(ModelDocumentText, ReadsBackAsExactlyTheDocument)
{
    BearingPilesModel model = bearing_model({.reduction_cone_resistance = 3});
    complete(model);
    model.create_material("Klei \xE2\x80\x9Cvast\xE2\x80\x9D", SoilType::CLAY, 15.0, 16.0, 20.0);
    model.create_profile("Sondering \xF0\x9F\x98\x80", layers({"Sand", "Klei \xE2\x80\x9Cvast\xE2\x80\x9D"}), 1.5, 2.5,
                         {{0.1 + 0.2, 1e-05}, {-1e16, 987000000.0, 0.0001}, {}}, -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
    model.create_pile_type("PT2", HollowPile(0.5, 12.0), PileType::CLOSED_STEEL, PileSlipLayer::BITUMEN,
                           {.slip_layer_adhesion = 2.5});
    model.create_pile("A2", -1.0, 2.0, 0.0, 0.0, 500.0, 400.0);
    const Metadata metadata({.title_1 = "Tab\there", .location = "Caf\xC3\xA9 \"de Pijl\"\n\\"});

    const std::string text = model._generate_input_text(metadata);
    EXPECT_EQ(json::parse(text), model._generate_input(metadata));
    for (unsigned char byte : text) ASSERT_LT(byte, 0x80) << "the text is ASCII only";
}

TEST(ModelDocumentText, UsesCommaSpaceAndColonSpaceAndPythonStyleEscapes)
{
    BearingPilesModel model = bearing_model({.create_default_materials = false});
    model.create_material("A", SoilType::SAND, 17.0, 19.0, 30.0);
    const std::string start = R"({"model_type": 0, "construction_sequence": 1, "calculation_options": {)";
    const std::string text = model._generate_input_text();
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_NE(text.find(R"("soil_names": ["A"], "soils": {"A": {"color": 16777215, "soil_type": 1, "gam_dry": 17.0, )"),
              std::string::npos);
    EXPECT_NE(text.find(R"("profiles": [], "pile_types": [], "piles": [], "metadata": {)"), std::string::npos);

    const struct {
        const char* raw;
        const char* escaped;
    } cases[] = {
        {"caf\xC3\xA9", R"("caf\u00e9")"},
        {"\xF0\x9F\x98\x80", R"("\ud83d\ude00")"},
        {"\xE2\x82\xAC", R"("\u20ac")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
        {"\x1f\x7f", R"("\u001f\u007f")"},
        {"/<>", R"("/<>")"},
    };
    for (const auto& c : cases) {
        const std::string company_text =
            bearing_model({.create_default_materials = false})._generate_input_text(Metadata({.company = c.raw}));
        EXPECT_NE(company_text.find(std::string(R"("company": )") + c.escaped + ", "), std::string::npos) << c.escaped;
    }
}

TEST(ModelDocumentText, RefusesANonFiniteNumberAndSaysWhereItIs)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    {
        BearingPilesModel model = bearing_model();
        complete(model);
        model.create_profile("P2", layers({"Sand"}), 0.0, 0.0, {{0.5, 1.0}, {0.4, 2.0}, {0.3, nan}}, -1.0, -20.0, 1.0,
                             -0.5, -10.0, 0.1);
        try {
            model._generate_input_text();
            FAIL() << "a NaN was written";
        } catch (const ModelError& error) {
            EXPECT_STREQ(error.what(), "Invalid model: the number at profile 'P2', cpt measurements row 3 value 2 "
                                       "is nan; only finite numbers can be written.");
        }
        RecordingPlatformGuard platform;
        EXPECT_THROW(model.generate_input_file(), ModelError);
        EXPECT_TRUE(platform->calls.empty()) << "nothing may be uploaded";
    }
    const auto message_of = [](const detail::Model& model) -> std::string {
        try {
            model._generate_input_text();
        } catch (const ModelError& error) {
            return error.what();
        }
        return "no error";
    };
    BearingPilesModel model = BearingPilesModel(ConstructionSequence::CPT_EXCAVATION_INSTALL, bearing_options(), inf);
    EXPECT_EQ(message_of(model),
              "Invalid model: the number at excavation_level is inf; only finite numbers can be written.");
    BearingPilesModel piles = bearing_model();
    piles.create_pile("A1", 0.0, -inf, 0.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(message_of(piles),
              "Invalid model: the number at pile 'A1', y is -inf; only finite numbers can be written.");
    BearingPilesModel materials = bearing_model({.create_default_materials = false});
    materials.create_material("Sand", SoilType::SAND, nan, 19.0, 30.0);
    EXPECT_EQ(message_of(materials),
              "Invalid model: the number at material 'Sand', gam_dry is nan; only finite numbers can be written.");
    BearingPilesModel layered = bearing_model({.create_default_materials = false});
    layered.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    layered.create_profile("P1", {ProfileLayer(0.0, "Sand"), ProfileLayer(nan, "Sand")}, 0.0, 0.0, rows(), -1.0, -20.0,
                           1.0, -0.5, -10.0, 0.1);
    EXPECT_EQ(message_of(layered), "Invalid model: the number at profile 'P1', layer 2 top_level is nan; "
                                   "only finite numbers can be written.");
}

TEST(ModelDocumentText, RefusesMalformedUtf8AndShowsItAsReplacementCharacters)
{
    const struct {
        std::string name;
        const char* shown;
    } cases[] = {
        {"Sand\xFF", "Sand\xEF\xBF\xBD"},                          // a byte that never occurs in UTF-8
        {"Sand\xC3", "Sand\xEF\xBF\xBD"},                          // a sequence cut short
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // an overlong form
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
    };
    for (const auto& c : cases) {
        BearingPilesModel model = bearing_model({.create_default_materials = false});
        model.create_material(c.name, SoilType::SAND, 17.0, 19.0, 30.0);
        try {
            model._generate_input_text();
            ADD_FAILURE() << "malformed UTF-8 was written";
        } catch (const ModelError& error) {
            EXPECT_EQ(error.what(),
                      "Invalid model: the text at material '" + std::string(c.shown) + "', name is not valid UTF-8.");
        }
    }
    BearingPilesModel model = bearing_model();
    complete(model);
    model.create_pile("A\x80", 0.0, 0.0, 0.0, 0.0, 1.0, 1.0);
    RecordingPlatformGuard platform;
    EXPECT_THROW(model.generate_input_file(), ModelError);
    EXPECT_TRUE(platform->calls.empty());
}
