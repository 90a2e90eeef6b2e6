// How the program reads its input files and writes its output files, whatever stands at the path.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/program_run.hpp"
#include "support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

using test_support::Finished;

class ProgramFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        input = scratch.write("model.foi", "[INPUT FILE]\n[END OF INPUT FILE]\n");
        console = "DFOUNDATIONS_CONSOLE=" + quoted(scratch.script("console.sh", "cp \"$1\" result.fod\n"));
    }

    // Runs `before` and then the program with `arguments` in one shell, standard output and error to files.
    Finished shell(const std::string& arguments, const std::string& before = "", const std::string& out = "") const
    {
        const std::string command = before + " env DFOUNDATIONS_STORE=" + quoted(scratch / "store") + " " + console +
                                    " '" DFOUNDATIONS_CLI "' " + arguments + " > " +
                                    (out.empty() ? quoted(scratch / "out.txt") : out) + " 2> " +
                                    quoted(scratch / "err.txt");
        const int status = std::system(("/bin/sh -c " + quoted_for_shell(command)).c_str());
        return {test_support::exit_status(status), test_support::read(scratch / "out.txt"),
                test_support::read(scratch / "err.txt")};
    }
    static std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }
    static std::string quoted_for_shell(const std::string& text)
    {
        std::string quoted = "'";
        for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }
    static mode_t mode_of(const fs::path& path)
    {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 07777;
    }

    test_support::ScratchFolder scratch;
    fs::path input;
    std::string console;
};

TEST_F(ProgramFiles, ANewFileGetsTheModeTheUmaskAllowsAndAnOldOneKeepsItsOwn)
{
    const Finished fresh = shell("run " + quoted(input) + " -o " + quoted(scratch / "new.fod"), "umask 027;");
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(mode_of(scratch / "new.fod"), 0640u);

    const auto old = scratch.write("old.fod", "old");
    ::chmod(old.c_str(), 0604);
    const Finished replaced = shell("run " + quoted(input) + " -o " + quoted(old), "umask 077;");
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(test_support::read(old), "[INPUT FILE]\n[END OF INPUT FILE]\n");
    EXPECT_EQ(mode_of(old), 0604u);
}

TEST_F(ProgramFiles, ASymbolicLinkWritesItsTarget)
{
    const auto target = scratch.write("target.fod", "old");
    fs::create_symlink(target, scratch / "link.fod");
    const Finished run = shell("run " + quoted(input) + " -o " + quoted(scratch / "link.fod"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(scratch / "link.fod"));
    EXPECT_EQ(test_support::read(target), "[INPUT FILE]\n[END OF INPUT FILE]\n");
}

TEST_F(ProgramFiles, AFifoIsWrittenThroughNotReplaced)
{
    const auto fifo = scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Finished run = shell("run " + quoted(input) + " -o " + quoted(fifo) + "; status=$?; wait; exit $status",
                               "cat " + quoted(fifo) + " > " + quoted(scratch / "read.txt") + " &");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(test_support::read(scratch / "read.txt"), "[INPUT FILE]\n[END OF INPUT FILE]\n");
}

TEST_F(ProgramFiles, TheInputFileIsNeverTheOutput)
{
    fs::create_symlink(input, scratch / "same.foi");
    for (const fs::path& output : {input, scratch / "same.foi"}) {
        const Finished run = shell("run " + quoted(input) + " -o " + quoted(output));
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("it is the input file"), std::string::npos) << run.err;
        EXPECT_EQ(test_support::read(input), "[INPUT FILE]\n[END OF INPUT FILE]\n");
    }
}

TEST_F(ProgramFiles, AFailedWriteOfStandardOutputIsAFailure)
{
    const std::string data = std::string(DFOUNDATIONS_TEST_DATA_DIR) + "/";
    for (const std::string& arguments : {"parse " + quoted(data + "verification_v19.fod"),
                                         "gef " + quoted(data + "gef_voids.gef"), "run " + quoted(input) + " -o -"}) {
        const Finished run = shell(arguments, "", "/dev/full");
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("cannot write to standard output"), std::string::npos) << run.err;
    }
}

TEST_F(ProgramFiles, StandardInputIsReadForADashAndHugeInputsAreRefused)
{
    const std::string data = std::string(DFOUNDATIONS_TEST_DATA_DIR) + "/";
    const Finished piped = shell("parse - < " + quoted(data + "verification_v19.fod"));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out.rfind(R"({"parser":"VerificationParserV19")", 0), 0u);

    // A sparse file: large to the program, nothing on the disk.
    const auto huge = scratch / "huge.fod";
    fs::resize_file(scratch.write("huge.fod", ""), (std::uintmax_t{1} << 30) + 1);
    const Finished refused = shell("parse " + quoted(huge));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("larger than 1 GiB"), std::string::npos) << refused.err;
}

}  // namespace

namespace {

TEST(ExamplePrograms, ReportAFileAsWrittenOnlyWhenItWas)
{
    const std::string program = std::string(DFOUNDATIONS_BINARY_DIR) + "/bin/example_bearing_model";
    if (!std::filesystem::exists(program)) GTEST_SKIP() << "the examples are not built";
    test_support::ScratchFolder scratch;
    const std::string gef = std::string(DFOUNDATIONS_TEST_DATA_DIR) + "/../../examples/data/cpt_w01.gef";
    const std::string command = "DFOUNDATIONS_STORE='" + (scratch / "store").string() + "' '" + program + "' '" +
                                (scratch / "no folder" / "model.foi").string() + "' '" + gef + "' > '" +
                                (scratch / "out.txt").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string said = test_support::read(scratch / "out.txt");
    EXPECT_EQ(said.find("wrote "), std::string::npos) << said;
    EXPECT_NE(said.find("cannot write"), std::string::npos) << said;
}

}  // namespace
