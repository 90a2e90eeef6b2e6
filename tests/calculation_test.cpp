// The open calculation core against D-Foundations' own results: every development pair (an input file
// and the output file D-Foundations 19.1, 23.1 or 25.1 computed from it) is computed, and every cell
// of the output is compared. Known differences are listed per file and column with their reason; the
// test fails when fewer cells match than listed.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ostrand/core.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

#include "support/scratch_folder.hpp"

namespace dfo = ostrand::external::dfoundations;
namespace fs = std::filesystem;

namespace {

fs::path core_fixtures() { return fs::path(DFOUNDATIONS_FIXTURES_DIR) / "core"; }

// Matched cells of one column out of the cells compared.
struct Count {
    int matched = 0;
    int total = 0;
};
using Counts = std::map<std::string, Count>;

void tally(Counts& counts, const std::string& column, bool match)
{
    Count& count = counts[column];
    ++count.total;
    if (match) ++count.matched;
}

// kN are printed rounded: a cell matches when our rounded value is within 1 of the printed one.
bool kn_match(double ours, double printed) { return std::abs(std::round(ours) - printed) <= 1.0; }
bool printed_match(double ours, double printed, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::abs(std::round(ours * scale) - std::round(printed * scale)) < 0.5;
}

const char* const KN_COLUMNS[] = {"RbCalMax", "RsCalMax", "RcCalMax", "RcD", "FNsfRep", "FNsfD", "RcNetD"};

double kn_value(const dfo::IterationResult& row, const std::string& column)
{
    if (column == "RbCalMax") return row.rb_cal_max;
    if (column == "RsCalMax") return row.rs_cal_max;
    if (column == "RcCalMax") return row.rc_cal_max;
    if (column == "RcD") return row.rc_d;
    if (column == "FNsfRep") return row.fnsf_rep;
    if (column == "FNsfD") return row.fnsf_d;
    return row.rc_net_d;
}

const dfo::OutputTable* table_named(const dfo::PileView& pile, const std::string& section)
{
    for (const dfo::OutputTable* table : pile.tables)
        if (table->name == section) return table;
    return nullptr;
}

// Compares the results with an output file, cell by cell.
Counts compare(const dfo::CalculationResults& results, const dfo::OutputFile& file)
{
    Counts counts;
    const std::vector<dfo::PileView> piles = dfo::piles(file);
    EXPECT_EQ(piles.size(), results.pile_types.size());
    for (std::size_t p = 0; p < std::min(piles.size(), results.pile_types.size()); ++p) {
        const dfo::PileView& view = piles[p];
        const dfo::PileTypeResults& ours = results.pile_types[p];
        tally(counts, "PileName", view.name == ours.pile_name);
        tally(counts, "BetaFactor", view.beta_factor && printed_match(ours.beta_factor, *view.beta_factor, 2));
        tally(counts, "SFactor", view.s_factor && printed_match(ours.s_factor, *view.s_factor, 2));
        const auto parameter = [&](const char* key, double value) {
            const auto found = view.calculation_parameters.find(key);
            tally(counts, key, found != nullptr && printed_match(value, *found, 4));
        };
        parameter("Ksi3Used", ours.parameters.ksi3_used);
        parameter("Ksi4Used", ours.parameters.ksi4_used);
        parameter("GammaBUsed", ours.parameters.gamma_b_used);
        parameter("GammaSUsed", ours.parameters.gamma_s_used);
        parameter("IsKsi3Used", ours.parameters.is_ksi3_used ? 1 : 0);

        if (const dfo::OutputTable* table = table_named(view, "ITERATION RESULTS")) {
            const dfo::DataTable& data = table->data;
            EXPECT_EQ(data.row_count(), ours.iterations.size()) << ours.pile_name;
            for (std::size_t r = 0; r < std::min(data.row_count(), ours.iterations.size()); ++r) {
                const dfo::IterationResult& row = ours.iterations[r];
                tally(counts, "IterationIndex", data.int_column("IterationIndex")[r] == row.iteration_index);
                tally(counts, "CptIndex", data.int_column("CptIndex")[r] == row.cpt_index);
                tally(counts, "Level", printed_match(row.level, data.real_column("Level")[r], 2));
                tally(counts, "Hmv", printed_match(row.hmv, data.real_column("Hmv")[r], 2));
                tally(counts, "CptName", data.text_column("CptName")[r] == row.cpt_name);
                for (const char* column : KN_COLUMNS) {
                    const auto& cells = data.column(column);
                    const double printed = std::holds_alternative<dfo::DataTable::IntColumn>(cells)
                                               ? static_cast<double>(std::get<dfo::DataTable::IntColumn>(cells)[r])
                                               : std::get<dfo::DataTable::RealColumn>(cells)[r];
                    const bool match = kn_match(kn_value(row, column), printed);
                    if (!match && std::getenv("DFOUNDATIONS_PRINT_CELLS") != nullptr)
                        std::cout << "  " << ours.pile_name << " cpt " << row.cpt_index << " at " << row.level << ' ' << column
                                  << ": " << kn_value(row, column) << " printed " << printed << '\n';
                    tally(counts, column, match);
                }
            }
        } else {
            ADD_FAILURE() << "no [ITERATION RESULTS] for " << ours.pile_name;
        }
        if (const dfo::OutputTable* table = table_named(view, "NEN AVERAGE PILE FACTORS")) {
            const dfo::DataTable& data = table->data;
            EXPECT_EQ(data.row_count(), ours.average_factors.size());
            for (std::size_t r = 0; r < std::min(data.row_count(), ours.average_factors.size()); ++r) {
                const dfo::AveragePileFactors& row = ours.average_factors[r];
                tally(counts, "AlphaSGemSg", printed_match(row.alpha_s_gem_sg, data.real_column("AlphaSGemSg")[r], 4));
                if (std::getenv("DFOUNDATIONS_PRINT_CELLS") != nullptr && !printed_match(row.alpha_s_gem_clp, data.real_column("AlphaSGemClp")[r], 4))
                    std::cout << "  " << ours.pile_name << " cpt " << row.cpt_index << " AlphaSGemClp " << row.alpha_s_gem_clp << " printed " << data.real_column("AlphaSGemClp")[r] << '\n';
                if (std::getenv("DFOUNDATIONS_PRINT_CELLS") != nullptr && !printed_match(row.alpha_s_gem_sg, data.real_column("AlphaSGemSg")[r], 4))
                    std::cout << "  " << ours.pile_name << " cpt " << row.cpt_index << " AlphaSGemSg " << row.alpha_s_gem_sg << " printed " << data.real_column("AlphaSGemSg")[r] << '\n';
                tally(counts, "AlphaSGemClp", printed_match(row.alpha_s_gem_clp, data.real_column("AlphaSGemClp")[r], 4));
                tally(counts, "AlphaPGem", printed_match(row.alpha_p_gem, data.real_column("AlphaPGem")[r], 4));
            }
        }
    }
    return counts;
}

std::string report(const std::string& pair, const Counts& counts)
{
    std::ostringstream text;
    text << pair << ':';
    for (const auto& [column, count] : counts) text << ' ' << column << ' ' << count.matched << '/' << count.total;
    return text.str();
}

}  // namespace

namespace {

struct Pair {
    std::string version;  // folder: v19, v23, v25
    std::string name;
};

const std::vector<Pair> PAIRS = {
    {"v19", "bm1-10"}, {"v19", "bm1-6a"}, {"v19", "bm1-16"}, {"v19", "bm1-11a"},
    {"v23", "bm1-10"}, {"v23", "bm1-6a"}, {"v23", "bm1-16"}, {"v23", "bm1-11a"}, {"v23", "Tutorial-1"},
    {"v25", "bm1-10"}, {"v25", "bm1-6a"}, {"v25", "bm1-16"}, {"v25", "bm1-11a"}, {"v25", "Tutorial-1"},
};

// The cells that do not match D-Foundations yet: pair, column, cells matched (at least) of the cells
// compared, and why. A column not listed matches on every cell.
struct KnownDifference {
    std::string pair;
    std::string column;
    int matched;
    int total;
    const char* reason;
};

const std::vector<KnownDifference> KNOWN_DIFFERENCES = {
    {"v19/bm1-10", "RbCalMax", 54, 56, "open-ended steel pipe with its tip in gravel: D-Foundations prints 142 kN, the plug rule is not known"},
    {"v19/bm1-10", "RcCalMax", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v19/bm1-10", "RcD", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v19/bm1-10", "RcNetD", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v19/bm1-10", "RsCalMax", 52, 56, "open-ended pipe in gravel (an inner friction of unknown length) and the grain-size factors of timber and steel sections"},
    {"v19/bm1-6a", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v19/bm1-16", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v19/bm1-11a", "RcCalMax", 24, 100, "follows RsCalMax"},
    {"v19/bm1-11a", "RcD", 24, 100, "follows RsCalMax"},
    {"v19/bm1-11a", "RcNetD", 24, 100, "follows RsCalMax"},
    {"v19/bm1-11a", "RsCalMax", 26, 100, "excavation reduction of sand and gravel: 2-12 kN (about 1 %) too low, the stress convention is not known"},
    {"v23/bm1-10", "RbCalMax", 54, 56, "open-ended steel pipe with its tip in gravel: D-Foundations prints 142 kN, the plug rule is not known"},
    {"v23/bm1-10", "RcCalMax", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v23/bm1-10", "RcD", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v23/bm1-10", "RcNetD", 52, 56, "follows RbCalMax and RsCalMax"},
    {"v23/bm1-10", "RsCalMax", 52, 56, "open-ended pipe in gravel (an inner friction of unknown length) and the grain-size factors of timber and steel sections"},
    {"v23/bm1-6a", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v23/bm1-16", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v23/bm1-11a", "RcCalMax", 24, 100, "follows RsCalMax"},
    {"v23/bm1-11a", "RcD", 24, 100, "follows RsCalMax"},
    {"v23/bm1-11a", "RcNetD", 24, 100, "follows RsCalMax"},
    {"v23/bm1-11a", "RsCalMax", 26, 100, "excavation reduction of sand and gravel: 2-12 kN (about 1 %) too low, the stress convention is not known"},
    {"v23/Tutorial-1", "AlphaSGemSg", 2, 4, "CPT 02 prints 0.0101 / 0.0061 for 0.010 / 0.006: a weighting not known"},
    {"v23/Tutorial-1", "RbCalMax", 117, 124, "Koppejan on the irregular CPT: 7 cells 2-7 kN off (one where D-Foundations' window reaches about 4.2 D_eq), not explained"},
    {"v23/Tutorial-1", "RcCalMax", 116, 124, "follows RbCalMax"},
    {"v23/Tutorial-1", "RcD", 119, 124, "follows RbCalMax"},
    {"v23/Tutorial-1", "RcNetD", 118, 124, "follows RbCalMax"},
    {"v25/bm1-10", "RbCalMax", 54, 56, "open-ended steel pipe with its tip in gravel: D-Foundations prints 142 kN, the plug rule is not known"},
    {"v25/bm1-10", "RcCalMax", 46, 56, "follows RbCalMax and RsCalMax"},
    {"v25/bm1-10", "RcD", 46, 56, "follows RbCalMax and RsCalMax"},
    {"v25/bm1-10", "RcNetD", 46, 56, "follows RbCalMax and RsCalMax"},
    {"v25/bm1-10", "RsCalMax", 46, 56, "open-ended pipe in gravel (an inner friction of unknown length) and the grain-size factors of timber and steel sections"},
    {"v25/bm1-6a", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v25/bm1-16", "AlphaSGemClp", 24, 50, "the weighting of the clay/loam/peat average (0.01324 computed, 0.0133 printed)"},
    {"v25/bm1-11a", "RcCalMax", 30, 100, "follows RsCalMax"},
    {"v25/bm1-11a", "RcD", 30, 100, "follows RsCalMax"},
    {"v25/bm1-11a", "RcNetD", 30, 100, "follows RsCalMax"},
    {"v25/bm1-11a", "RsCalMax", 32, 100, "excavation reduction of sand and gravel: 2-12 kN (about 1 %) too low, the stress convention is not known"},
    {"v25/Tutorial-1", "AlphaSGemSg", 2, 4, "CPT 02 prints 0.0101 / 0.0061 for 0.010 / 0.006: a weighting not known"},
    {"v25/Tutorial-1", "RbCalMax", 117, 124, "Koppejan on the irregular CPT: 7 cells 2-7 kN off (one where D-Foundations' window reaches about 4.2 D_eq), not explained"},
    {"v25/Tutorial-1", "RcCalMax", 116, 124, "follows RbCalMax"},
    {"v25/Tutorial-1", "RcD", 119, 124, "follows RbCalMax"},
    {"v25/Tutorial-1", "RcNetD", 118, 124, "follows RbCalMax"},
};

}  // namespace

class CalculationAgainstDFoundations : public ::testing::TestWithParam<Pair> {};

// Set DFOUNDATIONS_PRINT_CELLS to see every cell that differs.
TEST_P(CalculationAgainstDFoundations, MatchesItsOutputFileAsListed)
{
    const Pair& pair = GetParam();
    const std::string key = pair.version + "/" + pair.name;
    const fs::path base = core_fixtures() / pair.version / pair.name;
    if (!fs::exists(base.string() + ".foi")) GTEST_SKIP() << "no development pair " << base;
    const dfo::CalculationResults results = dfo::calculate(test_support::read(base.string() + ".foi"));
    EXPECT_EQ(results.rules, pair.version == "v25" ? dfo::PileFactorRules::RULES_2025 : dfo::PileFactorRules::RULES_2017);
    const dfo::OutputFile file = dfo::read_output_file(test_support::read(base.string() + ".fod"));
    const Counts counts = compare(results, file);
    std::cout << report(key, counts) << '\n';
    for (const auto& [column, count] : counts) {
        int expected = count.total;
        std::string reason;
        for (const KnownDifference& known : KNOWN_DIFFERENCES)
            if (known.pair == key && known.column == column) {
                expected = known.matched;
                reason = known.reason;
                EXPECT_EQ(count.total, known.total) << key << ' ' << column;
            }
        EXPECT_GE(count.matched, expected) << key << ' ' << column << ": " << reason;
    }
}

INSTANTIATE_TEST_SUITE_P(DevelopmentPairs, CalculationAgainstDFoundations, ::testing::ValuesIn(PAIRS),
                         [](const ::testing::TestParamInfo<Pair>& info) {
                             std::string name = info.param.version + "_" + info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The core's output file is read like D-Foundations' own: every cell it holds is the core's result as
// printed, by the whole-file reader and its views, and the banner says who computed it.
TEST(CoreOutputFile, ReadsBackCellForCellWithABannerThatIsNotDFoundations)
{
    if (!fs::exists(core_fixtures())) GTEST_SKIP() << "no development pairs at " << core_fixtures();
    for (const Pair& pair : {Pair{"v19", "bm1-16"}, Pair{"v23", "bm1-11a"}, Pair{"v25", "Tutorial-1"}}) {
        SCOPED_TRACE(pair.version + "/" + pair.name);
        const std::string input = test_support::read(core_fixtures() / pair.version / (pair.name + ".foi"));
        const dfo::CalculationResults results = dfo::calculate(input);
        const std::string written = dfo::write_output_file(results, input);
        const dfo::OutputFile file = dfo::read_output_file(written);
        EXPECT_TRUE(file.warnings().empty());
        for (const auto& [column, count] : compare(results, file)) EXPECT_EQ(count.matched, count.total) << column;
        EXPECT_EQ(file.header().model_code, 0);
        EXPECT_EQ(file.header().main_calculation_type, 0);
        EXPECT_EQ(file.header().sub_calculation_type, 2);
        EXPECT_NE(written.find("CREATED BY : " + std::string(dfo::CORE_PROGRAM_NAME)), std::string::npos);
        EXPECT_NE(written.find("NOT by D-Foundations"), std::string::npos);
        // The input data is echoed as the file states it (line ends aside).
        const auto without_cr = [](std::string text) { return std::erase(text, '\r'), text; };
        EXPECT_NE(without_cr(written).find(without_cr(input.substr(input.find("[INPUT DATA]"), 3000))), std::string::npos);
    }
}

// What the core does not compute is refused, naming what it computes.
TEST(CalculationCore, RefusesOtherModelsAndCalculationTypesNamingWhatItCovers)
{
    const fs::path verification = fs::path(DFOUNDATIONS_FIXTURES_DIR) / "foi" / "bm1-13.foi";
    const fs::path tension = fs::path(DFOUNDATIONS_FIXTURES_DIR) / "foi" / "bm3-1.foi";
    if (!fs::exists(verification) || !fs::exists(tension)) GTEST_SKIP() << "no input files";
    for (const fs::path& path : {verification, tension}) {
        try {
            dfo::calculate(test_support::read(path));
            ADD_FAILURE() << path << " was computed";
        } catch (const dfo::UnsupportedCalculation& error) {
            EXPECT_NE(std::string(error.what()).find(dfo::CORE_COVERS), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(dfo::calculate("no input file at all"), dfo::UnsupportedCalculation);
}

// A pile type whose factors the core does not know is refused rather than computed with guessed ones.
TEST(CalculationCore, RefusesAPileTypeItHasNoFactorsFor)
{
    const fs::path path = core_fixtures() / "v19" / "bm1-6a.foi";
    if (!fs::exists(path)) GTEST_SKIP() << "no development pair " << path;
    std::string input = test_support::read(path);
    const std::string prefab = " 0 : Pile type = Prefabricated concrete pile";
    ASSERT_NE(input.find(prefab), std::string::npos);
    input.replace(input.find(prefab), prefab.size(), "15 : Pile type = MV pile");
    try {
        dfo::calculate(input);
        ADD_FAILURE() << "computed with an unknown pile type";
    } catch (const dfo::UnsupportedCalculation& error) {
        EXPECT_NE(std::string(error.what()).find("'MV pile' of 'Rect 300x500 prefab'"), std::string::npos) << error.what();
    }
}

// The overruled factors of a model reach the design values: R_c;d = R_b/(xi gamma_b) + R_s/(xi gamma_s) and
// F_nk;d = gamma_fnk F_nk;rep; without overrules xi3 follows the number of CPTs.
TEST(CalculationCore, AppliesTheModelsOverruledFactors)
{
    const auto model_with = [](dfo::BearingPilesCalculationSettings settings) {
        settings.trajectory_begin_end_interval = dfo::Trajectory{-13.0, -15.0, 1.0};
        dfo::BearingPilesModel model(dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL,
                                     dfo::BearingPilesCalculationOptions(dfo::CalculationType::INDICATION_BEARING_CAPACITY,
                                                                         false, settings),
                                     0.0);
        for (const char* name : {"CPT-01", "CPT-02"})
            model.create_profile(name, {dfo::ProfileLayer(0.0, "Clay, clean, moderate"), dfo::ProfileLayer(-12.0, "Sand, clean, moderate")},
                                 0.0, 0.0, {{0.0, 0.5}, {-12.0, 1.0}, {-12.1, 15.0}, {-25.0, 20.0}}, -1.0, -17.5, 1.0, -5.0,
                                 -8.0, 0.05);
        model.create_pile_type("Prefab 400", dfo::RectPile(0.4, 0.4), dfo::PileType::PREFAB_CONCRETE, dfo::PileSlipLayer::NONE);
        model.create_pile("P1", 0.0, 0.0, 0.0, 0.0, 900.0, 700.0);
        return model;
    };
    const dfo::CalculationResults standard = dfo::calculate(model_with({}));
    EXPECT_DOUBLE_EQ(standard.pile_types[0].parameters.ksi3_used, 1.32);  // two CPTs
    EXPECT_DOUBLE_EQ(standard.pile_types[0].parameters.gamma_b_used, 1.2);

    const dfo::CalculationResults results =
        dfo::calculate(model_with({.xi3 = 1.1, .xi4 = 1.05, .gamma_b = 1.3, .gamma_s = 1.25, .gamma_fnk = 1.4}));
    const dfo::DesignParameters& p = results.pile_types[0].parameters;
    EXPECT_DOUBLE_EQ(p.ksi3_used, 1.1);
    EXPECT_DOUBLE_EQ(p.ksi4_used, 1.05);
    EXPECT_DOUBLE_EQ(p.gamma_b_used, 1.3);
    EXPECT_DOUBLE_EQ(p.gamma_s_used, 1.25);
    ASSERT_EQ(results.pile_types[0].iterations.size(), 6u);
    for (const dfo::IterationResult& row : results.pile_types[0].iterations) {
        EXPECT_NEAR(row.rc_d, row.rb_cal_max / (1.1 * 1.3) + row.rs_cal_max / (1.1 * 1.25), 1e-9);
        EXPECT_GT(row.fnsf_rep, 0.0);
        EXPECT_NEAR(row.fnsf_d, 1.4 * row.fnsf_rep, 1e-9);
        EXPECT_NEAR(row.rc_net_d, row.rc_d - row.fnsf_d, 1e-9);
    }
}

namespace {

// An indication of the bearing capacity at the one pile-tip level `tip`, for the small cases of a rule.
dfo::BearingPilesModel indication_model(double tip)
{
    dfo::BearingPilesCalculationSettings settings;
    settings.trajectory_begin_end_interval = dfo::Trajectory{tip, tip, 1.0};
    return dfo::BearingPilesModel(
        dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL,
        dfo::BearingPilesCalculationOptions(dfo::CalculationType::INDICATION_BEARING_CAPACITY, false, settings), 0.0);
}

}  // namespace

// Koppejan's critical depth is chosen on the part below the tip, ½(q_c;I + q_c;II): a thin weak band
// deep in the 0.7D-4D window, weaker in the total only because it caps q_c;III, does not govern when a
// shallower window is weaker below the tip.
TEST(CalculationCore, ChoosesKoppejansDepthBelowTheTip)
{
    dfo::BearingPilesModel model = indication_model(-10.0);
    // 5 MPa above the tip, 3 MPa from just above it to 0.4 m below it, then 10 MPa with a 0.1 m band of 0.5 MPa at
    // 1.4-1.5 m below the tip (inside 4 D_eq = 1.81 m of the 400 x 400 pile).
    const std::vector<std::vector<double>> cpt = {{0.0, 5.0},    {-9.95, 5.0},   {-9.951, 3.0},  {-10.4, 3.0},
                                                  {-10.401, 10.0}, {-11.4, 10.0}, {-11.401, 0.5}, {-11.5, 0.5},
                                                  {-11.501, 10.0}, {-20.0, 10.0}};
    model.create_profile("CPT-01", {dfo::ProfileLayer(0.0, "Sand, clean, moderate")}, 0.0, 0.0, cpt, -1.0, -10.0, 1.0, -1.0,
                         -1.0, 0.0);
    model.create_pile_type("Prefab 400", dfo::RectPile(0.4, 0.4), dfo::PileType::PREFAB_CONCRETE, dfo::PileSlipLayer::NONE);
    model.create_pile("P1", 0.0, 0.0, 0.0, 0.0, 900.0, 700.0);
    const dfo::CalculationResults results = dfo::calculate(model);
    ASSERT_EQ(results.pile_types[0].iterations.size(), 1u);
    // The 0.32-0.40 m windows are the weakest below the tip (3 MPa); q_c;III is then 3 MPa as well:
    // q_c;avg = 3 MPa. Minimising the whole expression would take the band's window (about 2.2 MPa).
    const double area = 0.16;
    const double alpha_p = results.pile_types[0].average_factors[0].alpha_p_gem;
    EXPECT_NEAR(results.pile_types[0].iterations[0].rb_cal_max, 1000.0 * area * alpha_p * 3.0, 0.5);
}

// alpha_s of clay follows the layer's cone resistance, the mean of the values measured in the layer: a
// clay layer measured mostly at 1 MPa, with one deeper point at 3 MPa, is a layer below 2 MPa over its
// whole thickness (0.020), although its depth-weighted mean (2.03 MPa) and its deeper points exceed 2.
TEST(CalculationCore, TakesAlphaSOfClayFromTheLayersMeasuredValues)
{
    dfo::BearingPilesModel model = indication_model(-5.0);
    const std::vector<std::vector<double>> cpt = {{0.0, 1.0}, {-0.1, 1.0}, {-0.2, 1.0}, {-0.3, 1.0},
                                                  {-4.9, 3.0}, {-5.0, 10.0}, {-20.0, 10.0}};
    model.create_profile("CPT-01", {dfo::ProfileLayer(0.0, "Clay, clean, moderate"), dfo::ProfileLayer(-5.0, "Sand, clean, moderate")},
                         0.0, 0.0, cpt, -1.0, -5.0, 1.0, 0.0, 0.0, 0.0);
    model.create_pile_type("Prefab 400", dfo::RectPile(0.4, 0.4), dfo::PileType::PREFAB_CONCRETE, dfo::PileSlipLayer::NONE);
    model.create_pile("P1", 0.0, 0.0, 0.0, 0.0, 900.0, 700.0);
    const dfo::CalculationResults results = dfo::calculate(model);
    ASSERT_EQ(results.pile_types[0].iterations.size(), 1u);
    // 1.6 m of perimeter x 0.020 x the integral of qc over the clay (0.3 + 4.6 x 2 + 0.1 x 6.5 MPa.m).
    EXPECT_NEAR(results.pile_types[0].iterations[0].rs_cal_max, 1000.0 * 1.6 * 0.020 * 10.15, 0.5);
    EXPECT_NEAR(results.pile_types[0].average_factors[0].alpha_s_gem_clp, 0.020, 1e-9);
}

// The negative skin friction acts on the mean perimeter over its zone: an enlarged base low in the zone
// drags as much as a straight pile with the same mean perimeter, not more for lying where the stresses
// are largest.
TEST(CalculationCore, DragsOnTheMeanPerimeterOfTheZone)
{
    dfo::BearingPilesModel model = indication_model(-8.0);
    model.create_profile("CPT-01", {dfo::ProfileLayer(0.0, "Clay, clean, moderate"), dfo::ProfileLayer(-12.0, "Sand, clean, moderate")},
                         0.0, 0.0, {{0.0, 1.0}, {-12.0, 1.0}, {-12.01, 15.0}, {-25.0, 15.0}}, -1.0, -8.0, 1.0, -10.0, -10.0, 0.05);
    // Shaft 1.6 m over 6 m and base 2.4 m over the lowest 2 m of the 8 m zone: 1.8 m on average.
    model.create_pile_type("Enlarged", dfo::RectEnlPile(0.6, 0.6, 2.0, 0.4, 0.4), dfo::PileType::PREFAB_CONCRETE,
                           dfo::PileSlipLayer::NONE);
    model.create_pile_type("Straight", dfo::RectPile(0.45, 0.45), dfo::PileType::PREFAB_CONCRETE, dfo::PileSlipLayer::NONE);
    model.create_pile("P1", 0.0, 0.0, 0.0, 0.0, 900.0, 700.0);
    const dfo::CalculationResults results = dfo::calculate(model);
    ASSERT_EQ(results.pile_types.size(), 2u);
    const double enlarged = results.pile_types[0].iterations.at(0).fnsf_rep;
    EXPECT_GT(enlarged, 0.0);
    EXPECT_NEAR(enlarged, results.pile_types[1].iterations.at(0).fnsf_rep, 1e-6 * enlarged);
}
