// The program's read command, run as a user runs it: documents that follow the schema in docs/,
// several files in the order given, and the parts a user asks for (--list, --values, --table).
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ostrand/external/dfoundations/output_file.hpp"

#include "support/json_schema.hpp"
#include "support/program_run.hpp"
#include "support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

fs::path fixtures() { return fs::path(DFOUNDATIONS_FIXTURES_DIR); }

class ReadCommand : public ::testing::Test {
protected:
    test_support::Finished program(const std::string& arguments) const
    {
        const std::string command = "'" DFOUNDATIONS_CLI "' " + arguments + " > " + quoted(scratch / "out.txt") +
                                    " 2> " + quoted(scratch / "err.txt");
        const int status = std::system(command.c_str());
        return {test_support::exit_status(status), test_support::read(scratch / "out.txt"),
                test_support::read(scratch / "err.txt")};
    }

    static const test_support::JsonSchema& schema()
    {
        static const test_support::JsonSchema checker(nlohmann::json::parse(test_support::read(
            fs::path(DFOUNDATIONS_TEST_DATA_DIR).parent_path().parent_path() / "docs" / "output_file.schema.json")));
        return checker;
    }

    // A small output file with one table whose cells need quoting in CSV.
    fs::path small_file() const
    {
        return scratch.write(
            "small.fod",
            "[DUMPFILE]\n[INPUT DATA]\n[VERSION EXTERNALS]\nDGSFoundationCalc.dll=25.1.0.2830\n"
            "[END OF VERSION EXTERNALS]\n[END OF INPUT DATA]\n[DUMPFILE OUTPUT]\n[RESULTS]\n   2 = Number of piles\n"
            "[PILES]\n[TABLE]\nDataCount=2\n[COLUMN INDICATION]\nIndex\nName\nLevel\n[END OF COLUMN "
            "INDICATION]\n[DATA]\n"
            "1 'Pile, \"north\"' -1.50\n2 'P2'\n[END OF DATA]\n[END OF TABLE]\n[END OF PILES]\n[END OF RESULTS]\n"
            "[END OF DUMPFILE OUTPUT]\n[END OF DUMPFILE]\n");
    }

    test_support::ScratchFolder scratch;
};

TEST_F(ReadCommand, DocumentsFollowTheSchemaInTheOrderGivenWithFailuresInTheirPlace)
{
    std::vector<fs::path> files{small_file(), scratch / "missing.fod", scratch.write("plain.txt", "no sections\n")};
    for (const char* folder : {"fod", "fod23", "fod25"}) {
        if (!fs::exists(fixtures() / folder)) continue;
        for (const auto& entry : fs::directory_iterator(fixtures() / folder)) files.push_back(entry.path());
    }
    std::string arguments = "read";
    for (const auto& file : files) arguments += " " + quoted(file);

    // The missing file makes the status 2 (a file could not be read); the other files are still read.
    const test_support::Finished run = program(arguments);
    EXPECT_EQ(run.status, 2);
    const auto documents = lines_of(run.out);
    ASSERT_EQ(documents.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto document = nlohmann::json::parse(documents[i]);
        EXPECT_EQ(document["file"], files[i].string());
        EXPECT_EQ(schema().mismatch(document), "") << files[i];
    }
    EXPECT_EQ(nlohmann::json::parse(documents[1])["error"]["type"], "FileError");
    EXPECT_EQ(nlohmann::json::parse(documents[2])["error"]["type"], "ParsingError");

    const auto first = json::parse(documents[0]);
    EXPECT_EQ(first["header"]["major_version"], 25);
    const json& table = first.at("items").at(2).at("items").at(0).at("items").at(1).at("items").at(0);
    EXPECT_EQ(table["path"], "DUMPFILE OUTPUT/RESULTS/PILES");
    EXPECT_EQ(table["columns"][2], (json{{"name", "Level"}, {"type", "real"}}));
    EXPECT_EQ(table["rows"][0], (json{1, "Pile, \"north\"", -1.5}));
    EXPECT_EQ(table["rows"][1], (json{2, "P2", nullptr}));
}

TEST_F(ReadCommand, ListAndValuesPrintOneTabSeparatedLineEach)
{
    const fs::path file = small_file();
    test_support::Finished run = program("read " + quoted(file) + " --list");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(lines_of(run.out), ElementsAre("DUMPFILE OUTPUT/RESULTS/PILES\t2\t3"));

    run = program("read " + quoted(file) + " --values");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(lines_of(run.out), ElementsAre("INPUT DATA/VERSION EXTERNALS\tDGSFoundationCalc.dll\t25.1.0.2830",
                                               "DUMPFILE OUTPUT/RESULTS\tNumber of piles\t2"));

    const fs::path real = fixtures() / "fod25" / "bm1-10.fod";
    if (!fs::exists(real)) GTEST_SKIP() << "no real output files at " << fixtures();
    run = program("read " + quoted(real) + " --list");
    const auto file_read = ostrand::external::dfoundations::read_output_file(test_support::read(real));
    const auto listed = lines_of(run.out);
    ASSERT_EQ(listed.size(), file_read.tables().size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const auto& table = *file_read.tables()[i];
        EXPECT_EQ(listed[i],
                  table.path + "\t" + std::to_string(table.row_count()) + "\t" + std::to_string(table.column_count()));
    }
}

TEST_F(ReadCommand, OneTableAsCsvOrJsonAndTheNearestPathsWhenItIsNotThere)
{
    const fs::path file = small_file();
    test_support::Finished run =
        program("read " + quoted(file) + " --table 'DUMPFILE OUTPUT/RESULTS/PILES' --format csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Index,Name,Level\n1,\"Pile, \"\"north\"\"\",-1.5\n2,P2,\n");

    run = program("read " + quoted(file) + " --table 'DUMPFILE OUTPUT/RESULTS/PILES'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["rows"][0][1], "Pile, \"north\"");

    run = program("read " + quoted(file) + " --table 'DUMPFILE OUTPUT/RESULTS/PILE'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("no table 'DUMPFILE OUTPUT/RESULTS/PILE'"));
    EXPECT_THAT(run.err, HasSubstr("  DUMPFILE OUTPUT/RESULTS/PILES\n"));
}

TEST_F(ReadCommand, RefusesOptionsThatDoNotGoTogether)
{
    const fs::path file = small_file();
    for (const std::string& arguments :
         {"read " + quoted(file) + " --list --values", "read " + quoted(file) + " " + quoted(file) + " --list",
          "read " + quoted(file) + " --format csv"}) {
        const test_support::Finished run = program(arguments);
        EXPECT_EQ(run.status, 64) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

}  // namespace
