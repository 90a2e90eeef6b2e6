#include <signal.h>

#include <fstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/embedded_platform.hpp"
#include "host/local_worker.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"
#include "ostrand/platform.hpp"
#include "support/scratch_folder.hpp"

namespace {

using namespace ostrand;
using external::dfoundations::DFoundationsAnalysis;
namespace fs = std::filesystem;

// Whether process `pid` is gone (or only a zombie waiting for a parent that does not reap).
bool gone(const std::string& pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const auto state = line.find(") ");
    return state != std::string::npos && line[state + 2] == 'Z';
}

class LocalWorker : public ::testing::Test {
protected:
    // Job folders go to a temporary folder of this test alone, so that what is left behind shows.
    void SetUp() override
    {
        fs::create_directory(job_root);
        ::setenv("TMPDIR", job_root.c_str(), 1);
    }
    bool job_folders_left() const { return !fs::is_empty(job_root); }

    void use_console(std::optional<std::string> console)
    {
        set_platform(std::make_shared<host::EmbeddedPlatform>(
            host::EmbeddedPlatformOptions{.store = scratch / "store", .console = std::move(console)}));
    }
    void TearDown() override
    {
        set_platform(nullptr);
        ::unsetenv("TMPDIR");
    }

    // Runs an analysis of `input` and returns the ExecutionError's message ("" when it succeeded).
    std::string failure_of(DFoundationsAnalysis& analysis, std::chrono::seconds timeout = std::chrono::seconds(30))
    {
        try {
            analysis.execute(timeout);
        } catch (const errors::ExecutionError& error) {
            return error.what();
        }
        return "";
    }

    test_support::ScratchFolder scratch;
    fs::path job_root = scratch / "tmp";
};

TEST_F(LocalWorker, RunsTheProgramOnTheInputFileAndCollectsWhatItWrote)
{
    // Writes the input back as the output file, and a log beside it; words of the command stay whole.
    const auto program = scratch.script("d foundations.sh", R"(
[ "$1" = "--mode=batch x" ] || { echo "wrong first word: $1" >&2; exit 9; }
cp "$2" "$(basename "$2" .foi).fod"
echo "calculated" > calculation.log
echo "all done"
)");
    use_console("'" + program.string() + "' \"--mode=batch x\"");

    const std::string input("[INPUT]\n\0\xff binary safe\r\n", 24);
    DFoundationsAnalysis analysis(core::File::from_data(input));
    EXPECT_EQ(failure_of(analysis), "");

    EXPECT_EQ(analysis._get_result_content(),
              (ResultContent{{"calculation.log", "calculated\n"}, {"input.fod", input}}));
    EXPECT_EQ(std::get<core::BytesIO>(*analysis.get_output_file()).getvalue(), input);
    EXPECT_FALSE(job_folders_left());
}

TEST_F(LocalWorker, AFailedRunReportsWhatTheProgramSaid)
{
    const struct {
        const char* body;
        const char* message;
    } cases[] = {
        {"echo 'Error: the input file is not valid' >&2\necho noise\nexit 3\n", "Error: the input file is not valid"},
        {"echo 'Only on standard output'\nexit 1\n", "Only on standard output"},
        {"exit 4\n", "D-Foundations stopped with exit status 4."},
        {"kill -TERM $$\n", "D-Foundations was stopped by signal 15 (SIGTERM, Terminated)."},
        {"echo 'no license found' >&2\n", "D-Foundations wrote no output file.\nno license found"},
        {"true\n", "D-Foundations finished without writing an output file; please check the input file."},
    };
    for (const auto& c : cases) {
        use_console(scratch.script("fails.sh", c.body).string());
        DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
        EXPECT_EQ(failure_of(analysis), c.message) << c.body;
        EXPECT_FALSE(analysis.get_output_file().has_value());
    }
    // Of a long complaint only the end is kept.
    use_console(scratch.script("talks.sh", "head -c 5000 /dev/zero | tr '\\0' x >&2\necho END >&2\nexit 1\n").string());
    DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
    EXPECT_EQ(failure_of(analysis), "..." + std::string(1996, 'x') + "END");
    EXPECT_FALSE(job_folders_left());
}

TEST_F(LocalWorker, AHangingProgramIsStoppedWithItsWholeGroupAtTheTimeOut)
{
    const auto pid_file = scratch / "helper.pid";
    use_console(scratch.script("hangs.sh", "sleep 60 &\necho $! > '" + pid_file.string() + "'\nwait\n").string());

    DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
    EXPECT_EQ(
        failure_of(analysis, std::chrono::seconds(1)),
        "The calculation did not finish within the time-out and was stopped; allow more time or simplify the model.");

    const std::string helper = test_support::read(pid_file);
    ASSERT_FALSE(helper.empty());
    bool helper_gone = false;
    for (int i = 0; i < 200 && !helper_gone; ++i, usleep(10000))
        helper_gone = gone(helper.substr(0, helper.find('\n')));
    EXPECT_TRUE(helper_gone) << "the program's helper outlived the job";
    EXPECT_FALSE(job_folders_left());
}

TEST_F(LocalWorker, WithoutAConsoleProgramTheUserLearnsHowToSetOne)
{
    ::unsetenv("DFOUNDATIONS_CONSOLE");
    use_console(std::nullopt);
    set_worker_engine(WorkerEngine::console);
    DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
    EXPECT_EQ(
        failure_of(analysis),
        "No D-Foundations console program is configured: set the environment variable DFOUNDATIONS_CONSOLE to the "
        "command that runs it (the input file's path is appended to it).");

    use_console("   ");
    EXPECT_NE(failure_of(analysis).find("DFOUNDATIONS_CONSOLE"), std::string::npos);
    set_worker_engine(std::nullopt);
}

// Without a console program the worker falls back on the open calculation core; what the core does
// not compute is refused naming what it covers, and how to configure the console.
TEST_F(LocalWorker, WithoutAConsoleProgramTheCoreComputesWhatItCovers)
{
    ::unsetenv("DFOUNDATIONS_CONSOLE");
    use_console(std::nullopt);
    DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
    const std::string refusal = failure_of(analysis);
    EXPECT_NE(refusal.find("it covers Bearing Piles (EC7-NL), Preliminary Design, Indication bearing capacity"),
              std::string::npos) << refusal;
    EXPECT_NE(refusal.find("DFOUNDATIONS_CONSOLE"), std::string::npos) << refusal;

    // Asked for by the environment even when a console is configured.
    const auto console = scratch.script("console.sh", "cp \"$1\" out.fod\n");
    use_console(console.string());
    ::setenv("DFOUNDATIONS_ENGINE", "core", 1);
    EXPECT_EQ(failure_of(analysis).rfind("The open calculation core does not compute this model", 0), 0u);
    ::setenv("DFOUNDATIONS_ENGINE", "abacus", 1);
    EXPECT_EQ(failure_of(analysis), "The environment variable DFOUNDATIONS_ENGINE is 'abacus'; it takes console or core.");
    ::unsetenv("DFOUNDATIONS_ENGINE");
    EXPECT_EQ(failure_of(analysis), "");
}

TEST_F(LocalWorker, TheConsoleProgramComesFromTheEnvironment)
{
    const auto program = scratch.script("env.sh", "cp \"$1\" out.fod\n");
    ::setenv("DFOUNDATIONS_CONSOLE", program.c_str(), 1);
    use_console(std::nullopt);
    DFoundationsAnalysis analysis(core::BytesIO("from env"));
    EXPECT_EQ(failure_of(analysis), "");
    ::unsetenv("DFOUNDATIONS_CONSOLE");
    EXPECT_EQ(std::get<core::BytesIO>(*analysis.get_output_file()).getvalue(), "from env");
}

TEST_F(LocalWorker, CommandsThatCannotRunAreReported)
{
    const auto not_executable = scratch.write("plain.txt", "echo hi\n");
    const struct {
        std::string console;
        std::string message;
    } cases[] = {
        {(scratch / "missing").string(), "Cannot start the D-Foundations console program '" +
                                             (scratch / "missing").string() + "': No such file or directory."},
        {not_executable.string(),
         "Cannot start the D-Foundations console program '" + not_executable.string() + "': Permission denied."},
        {"'unterminated",
         "The D-Foundations console command ''unterminated' cannot be read: a single quote is not closed."},
    };
    for (const auto& c : cases) {
        use_console(c.console);
        DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
        EXPECT_EQ(failure_of(analysis), c.message);
    }
}

TEST_F(LocalWorker, NoShellSeesTheCommandOrTheInputPath)
{
    const auto marker = scratch / "injected";
    const auto program = scratch.script("args.sh", "printf '%s\\n' \"$@\" > args.fod\n");
    use_console("'" + program.string() + "' '$(touch " + marker.string() + ")' ';' '`id`'");
    DFoundationsAnalysis analysis(core::BytesIO("[INPUT]"));
    EXPECT_EQ(failure_of(analysis), "");
    const std::string args = std::get<core::BytesIO>(*analysis.get_output_file()).getvalue();
    EXPECT_EQ(args.rfind("$(touch " + marker.string() + ")\n;\n`id`\n", 0), 0u) << args;
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(LocalWorker, JobsOfOtherProgramsOrWithoutInputAreRefused)
{
    EXPECT_EQ(host::run_dfoundations_job(R"({"program": "dsettlement", "version": 1, "content": {"body": ""}})",
                                         std::chrono::seconds(5), "/bin/true")
                  .error,
              R"(No worker here runs the program "dsettlement" version 1.)");
    for (const char* job : {"not json", R"({"program": "dfoundations", "version": 1})",
                            R"({"program": "dfoundations", "version": 1, "content": {"body": "%%%"}})"}) {
        EXPECT_EQ(host::run_dfoundations_job(job, std::chrono::seconds(5), "/bin/true").error,
                  "The job holds no readable input file.");
    }
}

TEST(CommandWords, AreSplitLikeAShellWouldWithoutRunningOne)
{
    using Words = std::vector<std::string>;
    const struct {
        const char* command;
        Words words;
    } cases[] = {
        {"dfoundations", {"dfoundations"}},
        {"  wine   C:\\\\DF\\\\console.exe  /b ", {"wine", "C:\\DF\\console.exe", "/b"}},
        {"'/opt/D Foundations/console' -x", {"/opt/D Foundations/console", "-x"}},
        {"\"/opt/D \\\"F\\\"/c\" a\\ b", {"/opt/D \"F\"/c", "a b"}},
        {"'' x", {"", "x"}},
        {"a$HOME;b|c", {"a$HOME;b|c"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(host::split_command(c.command), c.words) << c.command;
    for (const char* bad : {"'open", "\"open", "trailing\\"})
        EXPECT_THROW(host::split_command(bad), std::invalid_argument) << bad;
}

}  // namespace
