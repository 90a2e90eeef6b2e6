// Turning whole models into input files through the platform's template service.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_test_support.hpp"

using namespace model_test;
using ostrand::errors::InternalError;
using ostrand::errors::ModelError;

namespace {

BearingPilesModel whole_bearing_model()
{
    BearingPilesModel model(ConstructionSequence::INSTALL_CPT_EXCAVATION, bearing_options(), -1.5,
                            {.reduction_cone_resistance = 2.5});
    model.create_material("Veen", SoilType::PEAT, 10.0, 10.5, 15.0, {.color = ostrand::core::Color(90, 60, 30)});
    model.create_profile("CPT-A", {ProfileLayer(0.0, "Veen"), ProfileLayer(-3.0, "BSand, clean, loose", 0.5, 1.0, 1.2)},
                         100.0, 200.0, {{0.2, 0.8, 0.01}, {-5.0, 12.5, 0.1}}, -0.8, -18.0, 1.0, -3.0, -12.0, 0.05,
                         {.cpt_rule = CPTRule::CUR});
    ostrand::geo::GEFData gef;
    gef.name = "CPT-B";
    gef.elevation = {-100.0, -5000.0};
    gef.qc = {1.0, 15.0};
    gef.ground_level_wrt_reference = 250.0;
    model.import_profile(gef, {ProfileLayer(0.0, "Veen")}, 110.0, 200.0, -0.8, -18.0, 1.0, -3.0, -12.0, 0.05);
    model.create_pile_type("Prefab", RectPile(0.4, 0.4), PileType::PREFAB_CONCRETE, PileSlipLayer::NONE,
                           {.material = PileMaterial::CONCRETE});
    model.create_pile("1", 0.0, 0.0, -1.0, 2.0, 800.0, 600.0);
    model.create_pile("2", 3.0, 0.0, -1.0, 2.0, 750.0, 550.0);
    return model;
}

TensionPilesModel whole_tension_model()
{
    TensionPilesModel model = tension_model();
    model.create_material("Klei", SoilType::CLAY, 16.0, 17.0, 22.5, {.apply_tension = false});
    model.create_profile("CPT-A", {ProfileLayer(0.0, "Klei")}, 0.0, 0.0, {{0.0, 1.0}, {-10.0, 20.0}}, -1.0, -15.0,
                         -4.0);
    model.create_pile_type("Screw", RoundPile(0.5), PileType::SCREW_WITH_GROUT,
                           PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::CONCRETE);
    model.create_pile("T1", 5.0, 5.0, -0.5, {.load_max_min = std::pair{300.0, -120.0}});
    return model;
}

}  // namespace

TEST(InputFile, AWholeBearingModelGoesThroughTheTemplateService)
{
    const BearingPilesModel model = whole_bearing_model();
    const Metadata metadata({.file_name = "haven", .company = "Deltares"});
    RecordingPlatformGuard platform;

    const InputFile result = model.generate_input_file(metadata);

    ASSERT_TRUE(std::holds_alternative<ostrand::core::BytesIO>(result));
    const auto& stream = std::get<ostrand::core::BytesIO>(result);
    EXPECT_EQ(stream.getvalue(), platform->served);
    EXPECT_EQ(stream.tell(), 0u);
    EXPECT_EQ(platform->calls, (std::vector<std::string>{"upload", "urls", "post", "download"}));
    ASSERT_EQ(platform->uploads.size(), 1u);
    EXPECT_EQ(platform->uploads[0], model._generate_input_text(metadata));
    EXPECT_EQ(json::parse(platform->uploads[0]), model._generate_input(metadata));
    EXPECT_EQ(platform->path, "filldfoundationstemplate/v2/jobs/");
    EXPECT_EQ(platform->timeout, std::chrono::seconds(60));
    EXPECT_EQ(platform->payload.dump(), R"({"input_url":"https://temp/input","upload_url":"https://temp/upload",)"
                                        R"("upload_data":"upload-data"})");
    EXPECT_EQ(platform->downloaded_url, "https://temp/download");

    const json document = json::parse(platform->uploads[0]);
    EXPECT_EQ(document["profiles"].size(), 2u);
    EXPECT_EQ(document["profiles"][1]["name"], "CPT-B");
    EXPECT_EQ(document["profiles"][1]["cpt"]["ground_level"], 0.25);
    EXPECT_EQ(document["reduction_cone_resistance"], 2.5);
    EXPECT_EQ(document["soils"].size(), 57u);
}

TEST(InputFile, AWholeTensionModelComesBackAsAFileWhenAsked)
{
    const TensionPilesModel model = whole_tension_model();
    RecordingPlatformGuard platform;
    platform->served = "tension input";

    const InputFile result = model.generate_input_file(std::nullopt, {.as_file = true});

    ASSERT_TRUE(std::holds_alternative<ostrand::core::File>(result));
    EXPECT_EQ(std::get<ostrand::core::File>(result).getvalue_binary(), "tension input");
    const json document = json::parse(platform->uploads.at(0));
    EXPECT_EQ(document["model_type"], 1);
    EXPECT_EQ(document["metadata"], Metadata()._serialize());
    EXPECT_EQ(document["piles"][0]["load_max_min"], json::parse("[300.0, -120.0]"));
    // The model is unchanged: a second call sends the same document.
    model.generate_input_file();
    EXPECT_EQ(platform->uploads.at(1), platform->uploads.at(0));
}

TEST(InputFile, TheLayoutOf25IsAskedForByOneMemberAtTheEndOfTheDocument)
{
    const TensionPilesModel model = whole_tension_model();
    const Metadata metadata({.file_name = "haven"});
    RecordingPlatformGuard platform;

    model.generate_input_file(metadata, {.layout = 19});
    model.generate_input_file(metadata, {.layout = 25});

    ASSERT_EQ(platform->uploads.size(), 2u);
    EXPECT_EQ(platform->uploads[0], model._generate_input_text(metadata));
    json asked = model._generate_input(metadata);
    asked["layout"] = 25;
    EXPECT_EQ(json::parse(platform->uploads[1]), asked);
    EXPECT_TRUE(platform->uploads[1].ends_with(R"(, "layout": 25})")) << platform->uploads[1];
}

TEST(InputFile, AnUnknownLayoutIsRefusedBeforeAnythingIsSent)
{
    RecordingPlatformGuard platform;
    for (const int version : {0, 18, 20, 2025}) {
        try {
            whole_bearing_model().generate_input_file(std::nullopt, {.layout = version});
            ADD_FAILURE() << "no error for " << version;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), "The input file layout must be 19 (D-Foundations 19.x), 23 "
                                                 "(D-Foundations 23.x) or 25 (D-Foundations 25.1), not " +
                                                     std::to_string(version));
        }
    }
    EXPECT_TRUE(platform->calls.empty());
    EXPECT_THROW(input_file_from_document("{}", {.layout = 7}), std::invalid_argument);
    EXPECT_TRUE(platform->calls.empty());
}

TEST(InputFile, AnIncompleteModelNeverReachesThePlatformAndTheFirstMissingPartIsNamed)
{
    RecordingPlatformGuard platform;
    const auto message_of = [](const detail::Model& model) -> std::string {
        try {
            model.generate_input_file();
        } catch (const ModelError& error) {
            return error.what();
        }
        return "no error";
    };
    BearingPilesModel model = bearing_model({.create_default_materials = false});
    EXPECT_EQ(message_of(model), "Invalid model: create or import at least 1 profile.");
    model.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    model.create_pile("A1", 0.0, 0.0, 0.0, 0.0, 1.0, 1.0);
    model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
    EXPECT_EQ(message_of(model), "Invalid model: create or import at least 1 profile.");

    TensionPilesModel tension = tension_model({.create_default_materials = false});
    tension.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    tension.create_profile("P1", layers({"Sand"}), 0.0, 0.0, rows(), -1.0, -20.0, -2.0);
    tension.create_pile("A1", 0.0, 0.0, 0.0);
    EXPECT_EQ(message_of(tension), "Invalid model: create at least 1 pile type.");
    TensionPilesModel no_pile = tension_model({.create_default_materials = false});
    no_pile.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    no_pile.create_profile("P1", layers({"Sand"}), 0.0, 0.0, rows(), -1.0, -20.0, -2.0);
    no_pile.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER,
                             PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, PileMaterial::CONCRETE);
    EXPECT_EQ(message_of(no_pile), "Invalid model: create at least 1 pile.");
    EXPECT_TRUE(platform->calls.empty());
}

TEST(InputFile, ATemplateFailureBecomesTheGeneralErrorWithItsCause)
{
    BearingPilesModel model = bearing_model();
    complete(model);
    RecordingPlatformGuard platform;
    platform->endpoint_fails = true;
    try {
        model.generate_input_file();
        FAIL() << "no error";
    } catch (const ModelError&) {
        FAIL() << "the general error is not a ModelError";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Input file could not be generated, please check your model");
        try {
            std::rethrow_if_nested(error);
            FAIL() << "no cause attached";
        } catch (const InternalError& cause) {
            EXPECT_STREQ(cause.what(), "template service failed");
        }
    }
    EXPECT_EQ(platform->calls, (std::vector<std::string>{"upload", "urls", "post"}));
}

TEST(InputFile, OtherPlatformErrorsPassUnchanged)
{
    BearingPilesModel model = bearing_model();
    complete(model);
    RecordingPlatformGuard platform;
    platform->upload_fails = true;
    try {
        model.generate_input_file();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "upload refused");
    }
}

TEST(InputFile, TheTemporaryLocationsMustBeExactlyThree)
{
    BearingPilesModel model = bearing_model();
    complete(model);
    const struct {
        std::vector<std::string> locations;
        const char* message;
    } cases[] = {
        {{"a", "b"}, "not enough values to unpack (expected 3, got 2)"},
        {{}, "not enough values to unpack (expected 3, got 0)"},
        {{"a", "b", "c", "d"}, "too many values to unpack (expected 3)"},
    };
    for (const auto& c : cases) {
        RecordingPlatformGuard platform;
        platform->locations = c.locations;
        try {
            model.generate_input_file();
            ADD_FAILURE() << "no error";
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(platform->calls, (std::vector<std::string>{"upload", "urls"}));
    }
}
