// The program's parse command, run as a user runs it, on the small files in tests/data.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::ordered_json;

struct ProgramRun {
    std::string out;
    int status = -1;
};

// Runs the program; standard error is dropped unless `with_errors`, which mixes it into `out`.
ProgramRun dfoundations(const std::string& arguments, bool with_errors = false)
{
    const std::string command = std::string(DFOUNDATIONS_BINARY_DIR) + "/bin/dfoundations " + arguments +
                                (with_errors ? " 2>&1" : " 2>/dev/null");
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string data_file(const std::string& name)
{
    return "'" + std::string(DFOUNDATIONS_TEST_DATA_DIR) + "/" + name + "'";
}

json error(const std::string& type, const std::string& message)
{
    return json{{"error", {{"type", type}, {"message", message}}}};
}

TEST(ParseCommand, PrintsParserParametersAndTables)
{
    const ProgramRun run = dfoundations("parse " + data_file("verification_v19.fod"));
    ASSERT_EQ(run.status, 0);
    const json output = json::parse(run.out);
    EXPECT_EQ(output["parser"], "VerificationParserV19");
    EXPECT_EQ(output["calculation_parameters"].dump(),
              R"({"Ksi3Used":1.39,"Ksi4Used":1.39,"GammaBUsed":1.2,"GammaSUsed":1.2,"IsKsi3Used":true})");
    const json& results = output["results"];
    EXPECT_EQ(
        results.dump().substr(0, 130),
        R"({"CPTS":{"index":{"0":1,"1":2},"PPN":{"0":-15.0,"1":-15.5},"HNK":{"0":-5.0,"1":-5.2},"CptName":{"0":"'CPT 1'","1":"'CPT 2'"}},"MAX)");
    EXPECT_TRUE(results["MAX SHAFT AND POINT"]["MaxPoint"]["2"].is_null());
    EXPECT_NE(run.out.find(R"("PPN":{"0":-15.0,)"), std::string::npos);  // reals keep their point
}

TEST(ParseCommand, ReportsFailingPartsBesideTheOthers)
{
    struct Case {
        const char* file;
        const char* failing;
        json expected;
    };
    const Case cases[] = {
        {"bearing_v17.fod", "results",
         error("ParsingError", "'results' for parser of model type 'Bearing Piles', calculation type 'Preliminary "
                               "Design'is not (yet) implemented for version v17.")},
        {"verification_v19_four_parameters.fod", "calculation_parameters",
         error("ValueError", "not enough values to unpack (expected 5, got 4)")},
        {"tension_v17_huge_pile_number.fod", "results",
         error("OutOfRange", "integer out of range: '   99999999999999999999'")},
    };
    for (const Case& c : cases) {
        const ProgramRun run = dfoundations("parse " + data_file(c.file));
        ASSERT_EQ(run.status, 0) << c.file;
        const json output = json::parse(run.out);
        EXPECT_EQ(output[c.failing], c.expected) << c.file;
        const char* other = std::string(c.failing) == "results" ? "calculation_parameters" : "results";
        EXPECT_FALSE(output[other].contains("error")) << c.file;
    }
}

TEST(ParseCommand, FailsWhenTheFileIsNotRecognisedOrNotReadable)
{
    const ProgramRun unrecognised = dfoundations("parse " + data_file("no_version.fod"));
    EXPECT_EQ(unrecognised.status, 1);
    EXPECT_EQ(json::parse(unrecognised.out),
              error("ParsingError", "Could not extract version number ([VERSION EXTERNALS]) from the output file."));

    for (const char* unreadable : {"no such file.fod", "."}) {  // "." is the data folder itself
        const ProgramRun missing = dfoundations("parse " + data_file(unreadable));
        EXPECT_EQ(missing.status, 2) << unreadable;
        EXPECT_EQ(missing.out, "") << unreadable;
    }
}

TEST(ParseCommand, ReadsLatin1WhenTheFileIsNotUtf8)
{
    const ProgramRun run = dfoundations("parse " + data_file("verification_v19_latin1.fod"));
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(json::parse(run.out)["results"]["CPTS"]["CptName"]["1"], "'Sondering \xc3\xa9'");
}

TEST(ParseCommand, PrintsOneTableAsCsv)
{
    const ProgramRun run =
        dfoundations("parse " + data_file("verification_v19.fod") + " --table 'MAX SHAFT AND POINT' --format csv");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "CptIndex,Grenstoestand,MaxShaft,MaxPoint\r\n1,GT1B,2094.398,885.663\r\n1,GT2,2094.398,885.663\r\n"
              "2,GT1B,1980.5,\r\n");
    EXPECT_EQ(dfoundations("parse --help").status, 0);
}

TEST(ParseCommand, SelectsEveryTableByNameAndListsThemWhenTheNameIsNotThere)
{
    const ProgramRun missing = dfoundations("parse " + data_file("verification_v19.fod") + " --table NONE", true);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out,
              "dfoundations parse: the file has no table 'NONE'; its tables are: 'CPTS', 'MAX SHAFT AND POINT'\n");

    // Version 17 Tension Piles tables go by section, CPT and pile type, and their number from 1.
    const ProgramRun tension = dfoundations("parse " + data_file("tension_v17.fod") +
                                            " --table 'TENSION RESULTS/CPT 1/Pile type A/1' --format csv");
    EXPECT_EQ(tension.status, 0);
    EXPECT_EQ(tension.out.rfind("Level,Rt;d,Ksi\r\n-15.0,1061.7,1.39\r\n", 0), 0u);
}

TEST(ProgramUsage, WrongUsageIs64AndTheVersionIsZero)
{
    EXPECT_EQ(dfoundations("parse " + data_file("verification_v19.fod") + " --format csv").status, 64);
    EXPECT_EQ(dfoundations("").status, 64);
    EXPECT_EQ(dfoundations("parse --no-such-option x").status, 64);
    const ProgramRun version = dfoundations("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("dfoundations ", 0), 0u);
}

}  // namespace
