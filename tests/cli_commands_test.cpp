// The run and input commands of the dfoundations program, run as a user would.
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/program_run.hpp"
#include "support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

using test_support::Finished;

class Commands : public ::testing::Test {
protected:
    // Runs the program with `arguments` (already quoted for the shell) and the environment `settings`.
    Finished program(const std::string& arguments, const std::string& settings = "") const
    {
        const std::string command = "env -u DFOUNDATIONS_CONSOLE DFOUNDATIONS_STORE='" + (scratch / "store").string() +
                                    "' " + settings + " '" DFOUNDATIONS_CLI "' " + arguments + " > '" +
                                    (scratch / "out.txt").string() + "' 2> '" + (scratch / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        return {test_support::exit_status(status), test_support::read(scratch / "out.txt"),
                test_support::read(scratch / "err.txt")};
    }
    std::string quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

    test_support::ScratchFolder scratch;
};

TEST_F(Commands, RunWritesTheOutputFileNextToTheInputOrWhereAsked)
{
    const auto console = scratch.script("console.sh", "cp \"$1\" result.fod\n");
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const std::string settings = "DFOUNDATIONS_CONSOLE=" + quoted(console);

    Finished run = program("run " + quoted(input), settings);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::read(scratch / "model.fod"), "[INPUT FILE]\n[END OF INPUT FILE]\n");

    run = program("run " + quoted(input) + " -o " + quoted(scratch / "elsewhere.fod") + " --timeout 30", settings);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::read(scratch / "elsewhere.fod"), "[INPUT FILE]\n[END OF INPUT FILE]\n");
}

TEST_F(Commands, RunOfSeveralFilesWritesEachOutputAndReportsEachFailureWithItsPath)
{
    const auto console = scratch.script(
        "console.sh", "grep -q bad \"$1\" && { echo 'Error: a bad model' >&2; exit 2; }\ncp \"$1\" result.fod\n");
    const std::string settings = "DFOUNDATIONS_CONSOLE=" + quoted(console);
    std::string inputs;
    for (const char* name : {"a", "bad", "b", "c"}) {
        const std::string text = std::string("[INPUT FILE]\n") + name + "\n[END OF INPUT FILE]\n";
        inputs += " " + quoted(scratch.write(std::string(name) + ".foi", text));
    }
    inputs += " " + quoted(scratch / "missing.foi");

    const Finished run = program("run" + inputs + " -o " + quoted(scratch / "out"), settings);
    EXPECT_EQ(run.status, 2) << run.err;  // the worst file's: one could not be read
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_EQ(test_support::read(scratch / "out" / (std::string(name) + ".fod")),
                  std::string("[INPUT FILE]\n") + name + "\n[END OF INPUT FILE]\n");
    }
    EXPECT_FALSE(fs::exists(scratch / "out" / "bad.fod"));
    EXPECT_NE(run.err.find("dfoundations run: " + (scratch / "bad.foi").string() + ": Error: a bad model"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("dfoundations run: " + (scratch / "missing.foi").string() + ": Cannot read"),
              std::string::npos);
    EXPECT_NE(run.err.find("dfoundations run: 5 files, 3 written, 2 failed\n"), std::string::npos) << run.err;

    // Beside each input by default; two inputs that would write one output are refused before any runs.
    EXPECT_EQ(program("run" + inputs.substr(0, inputs.find(" '" + (scratch / "missing.foi").string())), settings)
                  .status,
              1);
    EXPECT_TRUE(fs::exists(scratch / "c.fod"));
    fs::create_directories(scratch / "other");
    const auto twin = scratch.write("other/a.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const Finished twins = program("run " + quoted(scratch / "a.foi") + " " + quoted(twin) + " -o " +
                                       quoted(scratch / "twins"), settings);
    EXPECT_EQ(twins.status, 1);
    EXPECT_NE(twins.err.find("would write the same output file"), std::string::npos) << twins.err;
}

TEST_F(Commands, RunReportsFailuresOnStandardErrorWithANonZeroStatus)
{
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const auto fails = scratch.script("fails.sh", "echo 'Error: no piles' >&2\nexit 2\n");
    const auto hangs = scratch.script("hangs.sh", "sleep 30\n");
    const struct {
        std::string arguments;
        std::string settings;
        std::string message;
        int status = 1;
    } cases[] = {
        {"run " + quoted(input), "",
         "dfoundations run: The open calculation core does not compute this model; it covers Bearing Piles (EC7-NL)"},
        {"run --engine console " + quoted(input), "",
         "dfoundations run: No D-Foundations console program is configured: set the environment"},
        {"run --engine core " + quoted(input), "DFOUNDATIONS_CONSOLE=" + quoted(fails),
         "dfoundations run: The open calculation core does not compute this model"},
        {"run " + quoted(input), "DFOUNDATIONS_CONSOLE=" + quoted(fails), "dfoundations run: Error: no piles\n"},
        {"run " + quoted(input) + " --timeout 1", "DFOUNDATIONS_CONSOLE=" + quoted(hangs),
         "dfoundations run: The calculation did not finish within the time-out"},
        {"run " + quoted(scratch / "missing.foi"), "DFOUNDATIONS_CONSOLE=" + quoted(fails),
         "dfoundations run: Cannot read '" + (scratch / "missing.foi").string() + "': No such file or directory.", 2},
    };
    for (const auto& c : cases) {
        const Finished run = program(c.arguments, c.settings);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
    }
    EXPECT_FALSE(fs::exists(scratch / "model.fod"));
}

// The open calculation core computes an indication without any console program, and its output file
// reads like D-Foundations' own.
TEST_F(Commands, RunComputesWithTheCoreAndReadReadsItsOutput)
{
    const fs::path input = fs::path(DFOUNDATIONS_FIXTURES_DIR) / "core" / "v19" / "bm1-10.foi";
    if (!fs::exists(input)) GTEST_SKIP() << "no development pair " << input;
    Finished run = program("run " + quoted(input) + " -o " + quoted(scratch / "bm1-10.fod"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(test_support::read(scratch / "bm1-10.fod").find("NOT by D-Foundations"), std::string::npos);
    run = program("read " + quoted(scratch / "bm1-10.fod"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("ITERATION RESULTS"), std::string::npos) << run.out.substr(0, 2000);
}

// The folders in `folder` whose names begin with `prefix`.
std::vector<fs::path> folders_named(const fs::path& folder, const std::string& prefix)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_directory() && entry.path().filename().string().rfind(prefix, 0) == 0)
            found.push_back(entry.path());
    return found;
}

TEST_F(Commands, RunKeepsWhatTheConsoleWroteInAFolderOfItsOwnAndReplacesNothing)
{
    // The console writes files named like the user's own: its input copy and an error file.
    const auto console = scratch.script("console.sh", "echo 'No licence found' > model.err\ncp \"$1\" model.foi\n");
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const auto own_err = scratch.write("model.err", "the user's own\n");
    const Finished run = program("run " + quoted(input), "DFOUNDATIONS_CONSOLE=" + quoted(console));
    EXPECT_EQ(run.status, 1);
    const auto kept = folders_named(scratch.path(), "model.run-");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(run.err, "dfoundations run: D-Foundations wrote no .fod output file. It wrote, kept for reading in " +
                           kept[0].string() + ": model.err model.foi\n");
    EXPECT_EQ(test_support::read(kept[0] / "model.err"), "No licence found\n");
    EXPECT_EQ(test_support::read(input), "[INPUT FILE]\n[END OF INPUT FILE]\n");
    EXPECT_EQ(test_support::read(own_err), "the user's own\n");
    EXPECT_EQ(run.out.rfind(R"({"error":{"type":"Error","message":"D-Foundations wrote no .fod output file.)", 0), 0u)
        << run.out;
}

TEST_F(Commands, RunToStandardOutputLeavesNothingInTheWorkingFolder)
{
    const auto console = scratch.script("console.sh", "echo 'No licence found' > calculation.err\n");
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    fs::create_directories(scratch / "work");
    fs::create_directories(scratch / "tmp");
    const std::string command = "cd " + quoted(scratch / "work") + " && TMPDIR=" + quoted(scratch / "tmp") +
                                " DFOUNDATIONS_CONSOLE=" + quoted(console) + " '" DFOUNDATIONS_CLI "' run " +
                                quoted(input) + " -o - > /dev/null 2> " + quoted(scratch / "err.txt");
    EXPECT_EQ(test_support::exit_status(std::system(command.c_str())), 1);
    EXPECT_TRUE(fs::is_empty(scratch / "work"));
    const auto kept = folders_named(scratch / "tmp", "dfoundations-run-");
    ASSERT_EQ(kept.size(), 1u) << test_support::read(scratch / "err.txt");
    EXPECT_EQ(test_support::read(kept[0] / "calculation.err"), "No licence found\n");
}

TEST_F(Commands, RunRefusesAnOutputThatIsNoneOrAmbiguous)
{
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const auto old_output = scratch.write("model.fod", "an earlier output\n");
    const struct {
        std::string script;
        std::string message;
    } cases[] = {
        {"head -c 3000 /dev/urandom | tr -d '[]' > input.fod\n",
         "dfoundations run: D-Foundations wrote a .fod file that is no output file ("},
        // A sparse file: refused by its size, before anything of it is read.
        {"truncate -s 1100M big.fod\n",
         "dfoundations run: The worker could not run the job: D-Foundations wrote big.fod of 1153433600 bytes, more "
         "than the 1 GiB this worker takes back.\n"},
        {"cp \"$1\" a.fod\ncp \"$1\" b.fod\n",
         "dfoundations run: The job wrote more than one file ending in .fod (a.fod, b.fod); which one is the output "
         "cannot be told.\n"},
    };
    for (const auto& c : cases) {
        const auto console = scratch.script("console.sh", c.script);
        const Finished run = program("run " + quoted(input), "DFOUNDATIONS_CONSOLE=" + quoted(console));
        EXPECT_EQ(run.status, 1) << c.script;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(test_support::read(old_output), "an earlier output\n");
    }
}

TEST_F(Commands, RunRefusesATimeoutOfZeroInFewWords)
{
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const Finished run = program("run " + quoted(input) + " --timeout 0");
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.err.find("--timeout: Value 0 not in range 1 to 2147483647"), std::string::npos) << run.err;
    EXPECT_LT(run.err.size(), 300u) << run.err;
}

// On a terminal (here the pseudo-terminal of script(1)) the run shows how long it has waited, and
// clears that line when it is done; elsewhere it prints nothing of the kind.
TEST_F(Commands, RunShowsTheElapsedTimeOnATerminal)
{
    if (std::system("command -v script > /dev/null") != 0) GTEST_SKIP() << "no script(1) for a terminal";
    const auto console = scratch.script("console.sh", "sleep 2\ncp \"$1\" result.fod\n");
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    const auto runner = scratch.script("runner.sh", "DFOUNDATIONS_CONSOLE=" + quoted(console) +
                                                        " '" DFOUNDATIONS_CLI "' run " + quoted(input) + "\n");
    const std::string command = "script -qec " + quoted(runner) + " /dev/null > " + quoted(scratch / "terminal.txt");
    // A file that is no output file fails the run, which does not matter here: only the wait does.
    (void)std::system(command.c_str());
    const std::string shown = test_support::read(scratch / "terminal.txt");
    EXPECT_NE(shown.find("\rdfoundations run: waiting for D-Foundations, 0:01"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << shown;

    const Finished plain = program("run " + quoted(input), "DFOUNDATIONS_CONSOLE=" + quoted(console));
    EXPECT_EQ(plain.err.find("waiting for"), std::string::npos) << plain.err;
}

// A stopped run ends the console and what it started (a zombie left to a parent that does not reap
// it counts as ended), and leaves no job folder behind.
TEST_F(Commands, RunStoppedBySignalEndsTheConsoleGroupAndRemovesItsJobFolder)
{
    const auto pids = scratch / "pids";
    const auto console = scratch.script("console.sh", "sleep 60 &\necho $$ $! > " + quoted(pids) + ".new\nmv " +
                                                          quoted(pids) + ".new " + quoted(pids) + "\nwait\n");
    const auto input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
    fs::create_directories(scratch / "tmp");
    for (const std::string signal : {"INT", "TERM", "HUP"}) {
        fs::remove(pids);
        const std::string command =
            "TMPDIR=" + quoted(scratch / "tmp") + " DFOUNDATIONS_CONSOLE=" + quoted(console) +
            " '" DFOUNDATIONS_CLI "' run " + quoted(input) + " 2> " + quoted(scratch / "err.txt") + " & program=$!\n" +
            "while [ ! -s " + quoted(pids) + " ]; do sleep 0.05; done\n" + "kill -" + signal +
            " $program\nwait $program\nstatus=$?\n" + "for i in $(seq 100); do\n  alive=no\n  for pid in $(cat " +
            quoted(pids) + "); do grep -qs '^State:[[:space:]]*[^Z]' /proc/$pid/status && alive=yes; done\n" +
            "  [ $alive = no ] && exit $status\n  sleep 0.05\ndone\nexit 99\n";
        const auto script = scratch.script("stop.sh", command);
        const int status = test_support::exit_status(std::system(("'" + script.string() + "'").c_str()));
        EXPECT_EQ(status, 128 + (signal == "INT" ? SIGINT : signal == "TERM" ? SIGTERM : SIGHUP)) << signal;
        EXPECT_TRUE(fs::is_empty(scratch / "tmp")) << signal;
        EXPECT_EQ(test_support::read(scratch / "err.txt"),
                  "dfoundations run: stopped by SIG" + signal + "; the D-Foundations console program was ended.\n");
    }
}

TEST_F(Commands, InputReportsADocumentTheTemplateCannotUse)
{
    const auto not_json = scratch.write("broken.json", "{\"model_type\": ");
    Finished run = program("input " + quoted(not_json));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("dfoundations input: The model document is not JSON: ", 0), 0u) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["error"]["type"], "ValueError") << run.out;

    run = program("input " + quoted(scratch / "missing.json") + " -o " + quoted(scratch / "model.foi"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("dfoundations input: Cannot read ", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(scratch / "model.foi"));
}

TEST_F(Commands, InputReportsAStoreItCannotWriteAsAFileFailure)
{
    const Finished example = program("input --example bearing");
    ASSERT_EQ(example.status, 0) << example.err;
    const auto document = scratch.write("bearing.json", example.out);
    const auto not_a_folder = scratch.write("occupied", "a file where the store should be");
    // The program's own settings come first in program(); a later assignment wins.
    const Finished run = program("input " + quoted(document) + " -o " + quoted(scratch / "bearing.foi"),
                                 "DFOUNDATIONS_STORE=" + quoted(not_a_folder / "store"));
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(run.err.rfind("dfoundations input: Cannot create the store " + (not_a_folder / "store").string(), 0), 0u)
        << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(scratch / "bearing.foi"));
}

TEST_F(Commands, InputTakesBackTheExamplesItPrints)
{
    for (const std::string kind : {"bearing", "tension"}) {
        Finished run = program("input --example " + kind);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto document = scratch.write(kind + ".json", run.out);
        EXPECT_EQ(nlohmann::json::parse(run.out)["model_type"], kind == "bearing" ? 0 : 1);

        run = program("input " + quoted(document) + " -o " + quoted(scratch / (kind + ".foi")));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(test_support::read(scratch / (kind + ".foi")).find("[END OF PROFILES]"), std::string::npos);
    }
    EXPECT_EQ(program("input --example pile").status, 64);
    EXPECT_EQ(program("input").status, 64);
}

TEST_F(Commands, InputWritesTheLayoutAskedForOrNamedByTheDocument)
{
    const Finished example = program("input --example tension");
    ASSERT_EQ(example.status, 0) << example.err;
    const auto plain = scratch.write("plain.json", example.out);
    nlohmann::ordered_json asking = nlohmann::ordered_json::parse(example.out);
    asking["layout"] = 25;
    const auto asks_25 = scratch.write("asks_25.json", asking.dump());
    const struct {
        std::string arguments;
        std::string version_line;
    } cases[] = {
        {quoted(plain), "D-Foundations=1015"},
        {quoted(plain) + " --layout 19", "D-Foundations=1015"},
        {quoted(plain) + " --layout 25", "D-Foundations=1033"},
        {"--layout 25 " + quoted(plain), "D-Foundations=1033"},
        {quoted(asks_25), "D-Foundations=1033"},
        {quoted(asks_25) + " --layout 19", "D-Foundations=1015"},
    };
    for (const auto& c : cases) {
        const Finished run = program("input " + c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments << ": " << run.err;
        EXPECT_NE(run.out.find("\r\n" + c.version_line + "\r\n"), std::string::npos) << c.arguments;
        EXPECT_EQ(run.err, "") << c.arguments;
    }

    const Finished unknown = program("input " + quoted(plain) + " --layout 24");
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("--layout"), std::string::npos) << unknown.err;
    // The earlier spelling still works, with a note that it is going away.
    const Finished old_spelling = program("input " + quoted(plain) + " --version 25");
    EXPECT_EQ(old_spelling.status, 0) << old_spelling.err;
    EXPECT_NE(old_spelling.out.find("\r\nD-Foundations=1033\r\n"), std::string::npos);
    EXPECT_NE(old_spelling.err.find("--version is now called --layout"), std::string::npos) << old_spelling.err;
    // The program's own --version is still the program's.
    const Finished version = program("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("dfoundations ", 0), 0u) << version.out;
}

TEST_F(Commands, InputRefusesADocumentTheModelRefusesAndWritesNothing)
{
    Finished example = program("input --example bearing");
    nlohmann::ordered_json document = nlohmann::ordered_json::parse(example.out);
    document["piles"][0]["name"] = std::string(5000, 'p');
    const std::string levels(200000, '[');
    const struct {
        std::string text;
        std::string type;
        std::string message;
    } cases[] = {
        {document.dump(), "ModelError", "Name of pile can be max. 10 characters long"},
        {"{\"a\": " + levels + std::string(200000, ']') + ", \"b\": 0}", "ValueError",
         "The model document is nested too deeply: arrays and objects within each other are allowed 64 levels deep"},
    };
    for (const auto& c : cases) {
        const auto path = scratch.write("refused.json", c.text);
        const Finished run = program("input " + quoted(path) + " -o " + quoted(scratch / "refused.foi"));
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.err, "dfoundations input: " + c.message + "\n");
        const nlohmann::json error = nlohmann::json::parse(run.out)["error"];
        EXPECT_EQ(error["type"], c.type);
        EXPECT_EQ(error["message"], c.message);
        EXPECT_FALSE(fs::exists(scratch / "refused.foi"));
    }
}

}  // namespace

TEST_F(Commands, FoiPrintsADocumentThatInputTurnsIntoTheSameFile)
{
    const fs::path fixture = fs::path(DFOUNDATIONS_FIXTURES_DIR) / "foi" / "bm3-1.foi";
    if (!fs::exists(fixture)) GTEST_SKIP() << "no fixture " << fixture;
    Finished run = program("foi " + quoted(fixture) + " -o " + quoted(scratch / "bm3-1.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    run = program("input " + quoted(scratch / "bm3-1.json") + " -o " + quoted(scratch / "again.foi"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::read(scratch / "again.foi"), test_support::read(fixture));

    // A file the model refuses (a pile name longer than 10 characters) is still printed, with a note
    // of why `input` will refuse it.
    run = program("input --example tension");
    const auto example = scratch.write("tension.json", run.out);
    run = program("input " + quoted(example) + " -o " + quoted(scratch / "tension.foi"));
    ASSERT_EQ(run.status, 0) << run.err;
    std::string text = test_support::read(scratch / "tension.foi");
    text.replace(text.find("'T1'"), 4, "'Pile 12345678'");
    const auto refused = scratch.write("refused.foi", text);
    run = program("foi " + quoted(refused));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(nlohmann::json::parse(run.out)["model_type"], 1);
    EXPECT_NE(run.err.find("note: the model operations refuse this model"), std::string::npos) << run.err;

    const auto not_an_input_file = scratch.write("notes.foi", "just text\n");
    run = program("foi " + quoted(not_an_input_file));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Input file line 1: the file has no [INPUT DATA]"), std::string::npos);
}
