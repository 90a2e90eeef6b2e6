// Output files gathered into one table per calculation kind, with names where the files have indices.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ostrand/external/dfoundations/summary.hpp"

#include "support/scratch_folder.hpp"

namespace {

using namespace ostrand::external::dfoundations;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;

namespace fs = std::filesystem;

const fs::path FIXTURES(DFOUNDATIONS_FIXTURES_DIR);

const SummaryTable* kind(const std::vector<SummaryTable>& tables, const std::string& name)
{
    for (const SummaryTable& table : tables) {
        if (table.calculation == name) return &table;
    }
    return nullptr;
}

TEST(Summary, GathersEveryKindOfRealFileUnderItsOwnNameWithNamesForIndices)
{
    const std::vector<std::string> names = {"fod25/bm1-10.fod", "fod/bm1-10.fod", "fod25/bm3-2.fod",
                                            "fod25/Tutorial-4c.fod", "fod25/bm1-1b.fod", "fod25/bm4-1.fod"};
    for (const auto& name : names) {
        if (!fs::exists(FIXTURES / name)) GTEST_SKIP() << "no real output files at " << FIXTURES;
    }
    std::vector<OutputFile> files;
    for (const auto& name : names) files.push_back(read_output_file(test_support::read(FIXTURES / name)));
    std::vector<NamedOutputFile> named;
    for (std::size_t i = 0; i < names.size(); ++i) named.push_back({names[i], &files[i]});

    const std::vector<SummaryTable> tables = summary(named);
    std::vector<std::string> kinds;
    for (const SummaryTable& table : tables) kinds.push_back(table.calculation);
    // In the order of first appearance; bm1-1b prints no name for its kind, and bm4-1 (Shallow
    // Foundations) keeps a kind of its own although its codes are those of bm1-1b.
    EXPECT_THAT(kinds, ElementsAre("Preliminary Design, Indication bearing capacity",
                                   "Tension piles CUR method, Indication bearing capacity", "Verification, Design",
                                   "Verification, Complete", "Shallow Foundations (EC7-NL), Verification, Complete"));
    const DataTable& verification = kind(tables, kinds[3])->data;
    EXPECT_EQ(verification.row_count(), 1u);
    EXPECT_THAT(verification.column_names(), IsSupersetOf({"pile_type", "wd1B", "Fs_tot_d_1B"}));

    // Two versions of bm1-10: 28 pile types x 1 CPT x 2 levels each.
    const DataTable& preliminary = kind(tables, kinds[0])->data;
    EXPECT_EQ(preliminary.row_count(), 2u * 28u * 2u);
    EXPECT_THAT(preliminary.column_names(),
                IsSupersetOf({"file", "calculation", "pile_type", "BetaFactor", "SFactor", "cpt", "Level", "RbCalMax",
                              "RsCalMax", "RcNetD", "AlphaPGem", "Ksi3Used"}));
    for (const char* pointer : {"IterationIndex", "CptIndex", "CptName"}) {
        EXPECT_THAT(preliminary.column_names(), ::testing::Not(::testing::Contains(pointer)));
    }
    EXPECT_EQ(preliminary.text_column("file")[0], "fod25/bm1-10.fod");
    EXPECT_EQ(preliminary.text_column("cpt")[0], "CPT 1");
    EXPECT_EQ(preliminary.int_column("RsCalMax")[0], 2272);  // 25.1 rules; 2416 in version 19
    EXPECT_EQ(preliminary.int_column("RsCalMax")[2 * 28], 2416);
    EXPECT_DOUBLE_EQ(preliminary.real_column("Level")[1], -17.0);

    const DataTable& tension = kind(tables, kinds[1])->data;
    EXPECT_THAT(tension.column_names(), IsSupersetOf({"table", "pile_group", "pile_type", "cpt", "Depth"}));
    EXPECT_GT(tension.row_count(), 0u);
    for (const auto& type : tension.text_column("pile_type")) EXPECT_TRUE(type && !type->empty());

    const DataTable& design = kind(tables, kinds[2])->data;
    EXPECT_EQ(design.row_count(), 21u);
    EXPECT_THAT(design.column_names(), IsSupersetOf({"iteration", "depth"}));
}

TEST(Summary, IsEmptyForNoFilesAndWritesItsTablesAsJson)
{
    EXPECT_TRUE(summary({}).empty());
    const std::string text = "[VERSION EXTERNALS]\nDGSFoundationCalc.dll=25.1.0.1\n[END OF VERSION EXTERNALS]\n"
                             "[DUMPFILE OUTPUT]\n[PRELIMINARY DESIGN RESULTS]\n"
                             "2 : Dump for option Preliminary Design, Indication bearing capacity\n"
                             "[PILE]\nPileName = P\nBetaFactor = 1.00\nSFactor = 0.84\n[ITERATION RESULTS]\n[TABLE]\n"
                             "DataCount=1\n[COLUMN INDICATION]\nIterationIndex\nCptIndex\nLevel\nRbCalMax\nCptName\n"
                             "[END OF COLUMN INDICATION]\n[DATA]\n  1   1   -16.00      886 'CPT 1'\n[END OF DATA]\n"
                             "[END OF TABLE]\n[END OF ITERATION RESULTS]\n[END OF PILE]\n"
                             "[END OF PRELIMINARY DESIGN RESULTS]\n[END OF DUMPFILE OUTPUT]\n";
    const OutputFile file = read_output_file(text);
    const auto tables = summary({{"one.fod", &file}});
    ASSERT_EQ(tables.size(), 1u);
    const auto json = nlohmann::json::parse(to_json(tables[0]));
    EXPECT_EQ(json["calculation"], "Preliminary Design, Indication bearing capacity");
    EXPECT_EQ(json["rows"][0], nlohmann::json::parse(R"(["one.fod", "Preliminary Design, Indication bearing capacity",
                                                          "P", 1.0, 0.84, "CPT 1", -16.0, 886])"));
    EXPECT_EQ(json["columns"][7], nlohmann::json::parse(R"({"name": "RbCalMax", "type": "integer"})"));
}

}  // namespace
