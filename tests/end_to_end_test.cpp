// The whole road on one machine: a model becomes an input file through the embedded platform's
// template service, runs as a job on its local worker (a stand-in for the D-Foundations console
// program), and the output file the job wrote is read back into numbers and tables.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "ostrand/external/dfoundations/analysis.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"
#include "ostrand/platform.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/external/dfoundations/output.hpp"
#include "support/embedded_platform_guard.hpp"
#include "support/scratch_folder.hpp"

namespace {

using namespace ostrand::external::dfoundations;

// The output file that ships with the examples, standing in for D-Foundations' answer.
const std::filesystem::path example_output =
    std::filesystem::path(DFOUNDATIONS_TEST_DATA_DIR).parent_path().parent_path() / "examples" / "data" /
    "quay_wall_verification.fod";

// The quay wall's CPT, pile type and first pile, under the given calculation options.
BearingPilesModel quay_wall(const BearingPilesCalculationOptions& options)
{
    BearingPilesModel model(ConstructionSequence::CPT_EXCAVATION_INSTALL, options, -1.0);
    model.create_profile(
        "CPT-01", {ProfileLayer(0.0, "Clay, clean, moderate"), ProfileLayer(-12.0, "Sand, clean, moderate")}, 0.0, 0.0,
        {{0.0, 0.5}, {-12.0, 1.0}, {-12.1, 15.0}, {-25.0, 20.0}}, -1.0, -17.5, 1.0, -1.0, -12.0, 0.05);
    model.create_pile_type("Prefab 400", RectPile(0.4, 0.4), PileType::PREFAB_CONCRETE, PileSlipLayer::NONE);
    model.create_pile("P1", 0.0, 0.0, -1.0, 0.0, 900.0, 700.0);
    return model;
}

BearingPilesModel quay_wall()
{
    BearingPilesModel model = quay_wall(BearingPilesCalculationOptions(
        CalculationType::COMPLETE_CALCULATION, false,
        {.trajectory_begin_end_interval = Trajectory{-15.0, -20.0, 0.5}, .cpt_test_level = -17.5}));
    model.create_pile("P2", 2.0, 0.0, -1.0, 0.0, 900.0, 700.0);
    return model;
}

TEST(EndToEnd, AModelIsCalculatedAndItsOutputFileRead)
{
    const test_support::ScratchFolder scratch;
    // The stand-in refuses anything that does not start like a D-Foundations input file, keeps a
    // copy of what it was given and writes the output file beside it, as D-Foundations does.
    const auto console =
        scratch.script("dfoundations-console.sh", "head -n 1 \"$1\" | grep -q '^INPUT FILE FOR D-FOUNDATIONS' || "
                                                  "{ echo 'not a D-Foundations input file' >&2; exit 3; }\n"
                                                  "cp \"$1\" '" +
                                                      (scratch / "received.foi").string() +
                                                      "'\n"
                                                      "cp '" +
                                                      example_output.string() + "' \"${1%.foi}.fod\"\n");
    const test_support::EmbeddedPlatformGuard platform("'" + console.string() + "'");

    const InputFile input = quay_wall().generate_input_file(Metadata({.title_1 = "Quay wall"}));
    const std::string input_bytes = std::get<ostrand::core::BytesIO>(input).getvalue();
    DFoundationsAnalysis analysis(std::get<ostrand::core::BytesIO>(input));
    analysis.execute(std::chrono::seconds(30));

    EXPECT_EQ(test_support::read(scratch / "received.foi"), input_bytes);
    EXPECT_NE(input_bytes.find("'P2'\r\n"), std::string::npos);
    EXPECT_NE(input_bytes.find("\r\nQuay wall\r\n"), std::string::npos);
    const auto output = analysis.get_output_file();
    ASSERT_TRUE(output.has_value());
    const std::string fod = std::get<ostrand::core::BytesIO>(*output).getvalue();
    EXPECT_EQ(fod, test_support::read(example_output));

    const auto parser = OutputFileParser::create(ostrand::core::StringIO(fod));
    EXPECT_EQ(parser->class_name(), "VerificationParserV19");
    const CalculationParameters parameters = parser->calculation_parameters();
    EXPECT_EQ(parameters.keys(),
              (std::vector<std::string>{"Ksi3Used", "Ksi4Used", "GammaBUsed", "GammaSUsed", "IsKsi3Used"}));
    EXPECT_EQ(std::get<double>(parameters.at("Ksi3Used")), 1.39);
    EXPECT_EQ(std::get<bool>(parameters.at("IsKsi3Used")), true);

    const TableMap tables = std::get<TableMap>(parser->results());
    EXPECT_EQ(tables.keys(), (std::vector<std::string>{"CPTS", "MAX SHAFT AND POINT", "NEN AVERAGE PILE FACTORS"}));
    const auto& cpts = std::get<DataTable>(tables.at("CPTS"));
    EXPECT_EQ(cpts.row_count(), 2u);
    EXPECT_EQ(std::get<DataTable::RealColumn>(cpts.column("PPN")), (DataTable::RealColumn{-17.5, -17.5}));
    const auto& shaft_and_point = std::get<DataTable>(tables.at("MAX SHAFT AND POINT"));
    EXPECT_EQ(std::get<DataTable::TextColumn>(shaft_and_point.column("Grenstoestand")).at(1), "GT2");
    EXPECT_EQ(std::get<DataTable::RealColumn>(shaft_and_point.column("MaxShaft")).at(0), 1712.84);
}

// Without the D-Foundations console program the road runs on the open calculation core: the
// analysis computes an indication of the bearing capacity, and its output file reads like
// D-Foundations' own, with the numbers the core gives for the model directly.
TEST(EndToEnd, TheOpenCalculationCoreComputesAnIndicationWithoutAConsoleProgram)
{
    const test_support::EmbeddedPlatformGuard platform;
    ostrand::set_worker_engine(ostrand::WorkerEngine::in_process);
    const BearingPilesModel model =
        quay_wall(BearingPilesCalculationOptions(CalculationType::INDICATION_BEARING_CAPACITY, false,
                                                 {.trajectory_begin_end_interval = Trajectory{-13.0, -16.0, 0.5}}));

    DFoundationsAnalysis analysis(model.generate_input_file());
    analysis.execute(std::chrono::seconds(30));
    ostrand::set_worker_engine(std::nullopt);
    const auto output = analysis.get_output_file();
    ASSERT_TRUE(output.has_value());
    const OutputFile file = read_output_file(std::get<ostrand::core::BytesIO>(*output).getvalue());

    const CalculationResults direct = calculate(model);
    ASSERT_EQ(direct.pile_types.size(), 1u);
    ASSERT_EQ(direct.iteration_count, 7);
    const std::vector<PileView> views = piles(file);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].name, "Prefab 400");
    const DataTable& rows = views[0].tables.at(0)->data;
    ASSERT_EQ(rows.row_count(), 7u);
    for (std::size_t r = 0; r < rows.row_count(); ++r) {
        EXPECT_EQ(rows.real_column("Level")[r], direct.pile_types[0].iterations[r].level);
        EXPECT_EQ(rows.int_column("RcD")[r], std::lround(direct.pile_types[0].iterations[r].rc_d));
    }
    // Deeper in the sand the pile bears more.
    EXPECT_GT(direct.pile_types[0].iterations.back().rc_d, direct.pile_types[0].iterations.front().rc_d);
}

}  // namespace
