// A model document read back through the model operations: what comes back unchanged, and what is
// refused with which error.
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_documents.hpp"
#include "model_test_support.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"

using namespace model_test;
using ostrand::errors::ModelError;

namespace {

std::string test_document(const std::string& name)
{
    std::ifstream in(std::filesystem::path(DFOUNDATIONS_TEST_DATA_DIR) / (name + "_model_document.json"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What reading `document` throws: the kind of error and its message.
std::string refusal(const std::function<void()>& read)
{
    try {
        read();
    } catch (const ModelError& error) {
        return std::string("ModelError: ") + error.what();
    } catch (const std::invalid_argument& error) {
        return std::string("invalid_argument: ") + error.what();
    } catch (const std::out_of_range& error) {
        return std::string("out_of_range: ") + error.what();
    }
    return "<no error>";
}

}  // namespace

TEST(ModelDocumentReader, WritesBackExactlyWhatTheModelOperationsWrote)
{
    const json documents[] = {
        bearing_document(),
        bearing_document(
            Metadata({.file_name = "C:\\quay.foi", .title_1 = "Kade", .current_date = true, .current_time = true})),
        tension_document(),
    };
    for (const json& document : documents) {
        const ModelDocument read = read_model_document(document);
        EXPECT_EQ(read._generate_input().dump(), document.dump());
        const std::string text = read._generate_input_text();
        EXPECT_EQ(read_model_document(text)._generate_input_text(), text);
    }
    EXPECT_TRUE(std::holds_alternative<TensionPilesModel>(read_model_document(tension_document()).model));
}

TEST(ModelDocumentReader, KeepsTheDateAndTimeTheDocumentWasStampedWith)
{
    json document = bearing_document();
    document["metadata"]["date"] = "29/02/2020";
    document["metadata"]["time"] = "07:05:09";
    EXPECT_EQ(read_model_document(document)._generate_input()["metadata"], document["metadata"]);
    document["metadata"]["date"] = "01/01/1900";
    EXPECT_EQ(read_model_document(document)._generate_input()["metadata"], document["metadata"]);
}

// None of the benchmark documents is one the model operations write: each is refused at the first
// member they cannot produce.
TEST(ModelDocumentReader, RefusesTheBenchmarkDocumentsWhereTheOperationsWriteOtherwise)
{
    const struct {
        const char* name;
        const char* refusal;
    } cases[] = {
        // The manual cone-resistance reduction is no value a caller can give.
        {"bm1-10", "invalid_argument: Model document: reduction_cone_resistance must be a number: the model takes "
                   "no other reduction value (currently \"manual\")"},
        // Soils in name order, own materials among an older standard set: all are own materials, and
        // the own soil "Gravel" carries a colour code beyond the 24 bits a colour holds.
        {"bm1-13", "invalid_argument: Model document: soils.Gravel.color must be a colour code from 0 to 16777215 "
                   "(currently 536870911)"},
        // Tension options cannot carry a relative rotation.
        {"bm3-1", "invalid_argument: Model document: calculation_options.max_allowed_relative_rotation_sls is 33, "
                  "which the model operations do not write: from this document they write 300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusal([&] { read_model_document(test_document(c.name)); }), c.refusal) << c.name;
    }
}

TEST(ModelDocumentReader, RefusesWhatTheModelOperationsRefuseWithTheirOwnErrors)
{
    const struct {
        const char* what;
        std::function<void(json&)> change;
        std::string refusal;
    } cases[] = {
        {"a pile name of 5000 characters", [](json& d) { d["piles"][0]["name"] = std::string(5000, 'p'); },
         "ModelError: Name of pile can be max. 10 characters long"},
        {"100000 piles",
         [](json& d) {
             const json pile = d["piles"][0];
             for (int i = 0; i < 100000; ++i) {
                 d["piles"].push_back(pile);
                 d["piles"].back()["name"] = "Q" + std::to_string(i);
             }
         },
         "ModelError: Maximum number of piles reached (200)"},
        {"an empty CPT", [](json& d) { d["profiles"][0]["cpt"]["measurements"] = json::array(); },
         "out_of_range: Profile 'P1' has no measurement rows: a CPT needs at least 1 row, starting with its level"},
        {"an empty imported CPT", [](json& d) { d["profiles"][1]["cpt"]["measurements"] = json::array(); },
         "invalid_argument: Model document: profiles[1].cpt.measurements must hold at least 1 row"},
        {"a colour of -1", [](json& d) { d["soils"]["Sand"]["color"] = -1; },
         "invalid_argument: Model document: soils.Sand.color must be a colour code from 0 to 16777215 (currently -1)"},
        {"a metadata date that is not a date", [](json& d) { d["metadata"]["date"] = "not a date"; },
         "invalid_argument: Model document: metadata.date must be a date written dd/mm/yyyy (currently \"not a "
         "date\")"},
        {"a day that is not in the calendar", [](json& d) { d["metadata"]["date"] = "29/02/2021"; },
         "invalid_argument: Model document: metadata.date must be a date written dd/mm/yyyy (currently "
         "\"29/02/2021\")"},
        {"a date the clock cannot reach", [](json& d) { d["metadata"]["date"] = "01/01/0950"; },
         "invalid_argument: Model document: metadata.date must be a date from 1678 to 2262, the years the clock "
         "reaches (currently \"01/01/0950\")"},
        {"a title of 51 characters", [](json& d) { d["metadata"]["title_1"] = std::string(51, 't'); },
         "ModelError: Maximum amount of characters for title is 50 (51)."},
        {"a layer on an unknown material", [](json& d) { d["profiles"][0]["layers"][0]["material"] = "Rock"; },
         "ModelError: Material with name 'Rock' does not exist (layer 1)."},
        {"a second pile type under a verification",
         [](json& d) {
             d["calculation_options"]["calculation_type"] = 1;
             d["calculation_options"]["cpt_test_level"] = -2.0;
         },
         "ModelError: Cannot create more than 1 pile type in combination with calculation of type 'Verification'"},
        {"a wall as thick as half the diameter", [](json& d) { d["pile_types"][1]["shape"]["data"][1][0] = 0.0; },
         "ModelError: 'wall_thickness' must be smaller than half of 'external_diameter' (currently 0.25 >= 0.25)"},
        {"a member of the wrong kind", [](json& d) { d["piles"][1]["x"] = "3"; },
         "invalid_argument: Model document: piles[1].x must be a number (currently \"3\")"},
        {"a member that is missing", [](json& d) { d["piles"][0].erase("y"); },
         "invalid_argument: Model document: piles[0].y is missing"},
        {"a member no model writes", [](json& d) { d["piles"][0]["colour"] = 1; },
         "invalid_argument: Model document: piles[0].colour is not a member of a model document"},
        {"a value the operations derive otherwise", [](json& d) { d["soils"]["Sand"]["cohesion"] = 5.0; },
         "invalid_argument: Model document: soils.Sand.cohesion is 5.0, which the model operations do not write: "
         "from this document they write 0.0"},
        {"a caption of another shape", [](json& d) { d["pile_types"][0]["shape"]["data"][0][1] = "Width [m)"; },
         "invalid_argument: Model document: pile_types[0].shape.data[0][1] is \"Width [m)\", which the model "
         "operations do not write: from this document they write \"Diameter [m)\""},
        {"an unknown soil type", [](json& d) { d["soils"]["Sand"]["soil_type"] = 7; },
         "invalid_argument: Model document: soils.Sand.soil_type must be a value of SoilType, 0 to 4 (currently 7)"},
        {"an unknown model type", [](json& d) { d["model_type"] = 2; },
         "invalid_argument: Model document: model_type must be 0 (Bearing Piles) or 1 (Tension Piles) (currently 2)"},
        {"no document at all", [](json& d) { d = json::array(); },
         "invalid_argument: Model document: the document must be an object (currently an array)"},
    };
    for (const auto& c : cases) {
        json document = bearing_document();
        c.change(document);
        EXPECT_EQ(refusal([&] { read_model_document(document); }), c.refusal) << c.what;
    }
}

TEST(ModelDocumentReader, KeepsTheLayoutADocumentAsksForApartFromTheModel)
{
    const json model_written = tension_document();
    EXPECT_EQ(read_model_document(model_written).layout, std::nullopt);
    // "input_file_version" is the member's name in documents of earlier releases.
    for (const char* member : {"layout", "input_file_version"}) {
        for (const int layout : {19, 25}) {
            json document = model_written;
            document[member] = layout;
            const ModelDocument read = read_model_document(document);
            EXPECT_EQ(read.layout, layout);
            EXPECT_EQ(read._generate_input(), model_written);
        }
    }

    json document = model_written;
    document["layout"] = 25;
    RecordingPlatformGuard platform;
    read_model_document(document).generate_input_file({.layout = 25});
    EXPECT_EQ(json::parse(platform->uploads.at(0)), document);

    for (const json& refused : {json(20), json("25"), json(25.0), json(nullptr)}) {
        document["layout"] = refused;
        EXPECT_EQ(refusal([&] { read_model_document(document); }),
                  "invalid_argument: Model document: layout must be 19, 23 or 25 (currently " + refused.dump() + ")");
    }
    document["layout"] = 25;
    document["input_file_version"] = 23;
    EXPECT_EQ(refusal([&] { read_model_document(document); }),
              "invalid_argument: Model document: input_file_version must be the layout that 'layout' names "
              "(currently 23)");
}

TEST(ModelDocumentReader, LeavesTheRulesOfACompleteModelToInputFileGeneration)
{
    const struct {
        const char* member;
        const char* message;
    } cases[] = {
        {"profiles", "Invalid model: create or import at least 1 profile."},
        {"pile_types", "Invalid model: create at least 1 pile type."},
        {"piles", "Invalid model: create at least 1 pile."},
    };
    for (const auto& c : cases) {
        json document = tension_document();
        document[c.member] = json::array();
        const ModelDocument read = read_model_document(document);
        EXPECT_EQ(read._generate_input().dump(), document.dump()) << "an incomplete model is still a model";
        RecordingPlatformGuard platform;
        EXPECT_EQ(refusal([&] { read.generate_input_file(); }), std::string("ModelError: ") + c.message);
        EXPECT_TRUE(platform->calls.empty());
    }
}

TEST(ModelDocumentReader, RefusesATextNestedTooDeeplyBeforeParsingIt)
{
    const std::size_t levels = 200000;
    const std::string deep = "{\"a\": " + std::string(levels, '[') + std::string(levels, ']') + ", \"b\": 0}";
    const std::string nested_error = "invalid_argument: The model document is nested too deeply: arrays and objects "
                                     "within each other are allowed 64 levels deep";
    EXPECT_EQ(refusal([&] { read_model_document(deep); }), nested_error);
    EXPECT_EQ(refusal([&] { read_model_document(std::string(65, '[')); }), nested_error);
    EXPECT_EQ(refusal([&] { read_model_document(std::string(64, '[') + std::string(64, ']')); }),
              "invalid_argument: Model document: the document must be an object (currently an array)");

    // A document given as JSON is walked only as deep as a model document goes.
    json deep_member = json::array();
    for (std::size_t level = 0; level < levels; ++level) deep_member = json::array({std::move(deep_member)});
    json deep_document = bearing_document();
    deep_document["piles"][0]["x"] = std::move(deep_member);
    EXPECT_EQ(refusal([&] { read_model_document(deep_document); }),
              "invalid_argument: Model document: piles[0].x must be a number (currently an array)");

    // Brackets inside texts are no nesting.
    json document = tension_document();
    document["metadata"]["company"] = std::string(100, '[') + "\\\"{";
    EXPECT_EQ(read_model_document(document.dump())._generate_input().dump(), document.dump());

    EXPECT_EQ(refusal([&] {
                  read_model_document("{\"model_type\": ");
              }).rfind("invalid_argument: The model document is not JSON: ", 0),
              0u);
}
