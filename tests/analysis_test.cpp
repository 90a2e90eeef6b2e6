#include "ostrand/external/dfoundations/analysis.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/platform.hpp"

namespace {

using namespace ostrand;
using external::dfoundations::DFoundationsAnalysis;
namespace ep = external::external_program;

// A platform whose worker answers every job with a set outcome and keeps the job it was sent.
class CannedWorker : public Platform {
public:
    explicit CannedWorker(JobOutcome outcome) : outcome_(std::move(outcome)) {}

    std::string upload_temporary_file(std::string_view) override { return ""; }
    std::vector<std::string> generate_temporary_file_urls() override { return {}; }
    void post_on_addon_endpoint(const std::string&, const nlohmann::ordered_json&, std::chrono::seconds) override {}
    std::string download(const std::string&) override { return ""; }
    JobOutcome execute_job(const std::string& job_document, std::chrono::seconds timeout) override
    {
        last_job = job_document;
        last_timeout = timeout;
        return outcome_;
    }

    std::string last_job;
    std::chrono::seconds last_timeout{};

private:
    JobOutcome outcome_;
};

// Exposes the hooks that the host calls, and keeps the stream it opens for a File input.
class OpenAnalysis : public DFoundationsAnalysis {
public:
    using DFoundationsAnalysis::_handle_execution_error;
    using DFoundationsAnalysis::_multipart_job_content;
    using DFoundationsAnalysis::_write_job_content;
    using DFoundationsAnalysis::DFoundationsAnalysis;

    std::string body()
    {
        std::ostringstream w;
        _write_job_content(w);
        return w.str();
    }

    mutable std::shared_ptr<core::BytesIO> opened;

protected:
    std::shared_ptr<core::BytesIO> _open_input_file(const core::File& file) const override
    {
        opened = DFoundationsAnalysis::_open_input_file(file);
        return opened;
    }
};

class WithWorker : public ::testing::Test {
protected:
    std::shared_ptr<CannedWorker> install(JobOutcome outcome)
    {
        auto worker = std::make_shared<CannedWorker>(std::move(outcome));
        set_platform(worker);
        return worker;
    }
    void TearDown() override { set_platform(nullptr); }
};

TEST(AnalysisJob, IsTheDFoundationsProgramVersionOneWithMultipartContent)
{
    OpenAnalysis analysis(core::File::from_data("x"));
    EXPECT_EQ(analysis.program(), "dfoundations");
    EXPECT_EQ(analysis.version(), 1);
    EXPECT_TRUE(analysis._multipart_job_content());
}

TEST(AnalysisJob, TheBodyIsTheBase64OfTheInputFile)
{
    const struct {
        std::string bytes;
        std::string body;
    } cases[] = {
        {"", R"("body": "")"},
        {"f", R"("body": "Zg==")"},
        {"fo", R"("body": "Zm8=")"},
        {"foo", R"("body": "Zm9v")"},
        {std::string("\0\xff\xfe\n", 4), R"("body": "AP/+Cg==")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenAnalysis(core::File::from_data(c.bytes)).body(), c.body);
        EXPECT_EQ(OpenAnalysis(std::make_shared<core::BytesIO>(c.bytes)).body(), c.body);
        EXPECT_EQ(OpenAnalysis(core::BytesIO(c.bytes)).body(), c.body);
    }
}

TEST(AnalysisJob, LargeInputsEncodeAcrossChunksWithoutInnerPadding)
{
    std::string bytes(200000, 'a');
    const std::string body = OpenAnalysis(core::BytesIO(bytes)).body();
    EXPECT_EQ(body.size(), 9 + (bytes.size() + 2) / 3 * 4 + 1);
    EXPECT_EQ(body.find('='), body.size() - 2);  // 200000 = 3 * 66666 + 2: one padding character, at the end
}

TEST(AnalysisJob, ACallersStreamStaysOpenAndKeepsItsPosition)
{
    auto stream = std::make_shared<core::BytesIO>("skipfoo");
    stream->seek(4);
    OpenAnalysis analysis(stream);
    EXPECT_EQ(analysis.body(), R"("body": "Zm9v")");
    EXPECT_FALSE(stream->closed());
    EXPECT_EQ(stream->tell(), 4u);
    EXPECT_EQ(analysis.body(), R"("body": "Zm9v")");  // the same job can be sent again
}

TEST(AnalysisJob, TheStreamOpenedFromAFileIsClosedAfterTheBody)
{
    OpenAnalysis analysis(core::File::from_data("foo"));
    analysis.body();
    ASSERT_TRUE(analysis.opened);
    EXPECT_TRUE(analysis.opened->closed());
}

TEST(AnalysisJob, TheStreamOpenedFromAFileIsClosedAlsoWhenWritingFails)
{
    // A sink that takes the key and then fails, in the middle of the Base64 text.
    class FullSink : public std::streambuf {
    protected:
        int_type overflow(int_type c) override
        {
            if (written_ == 9) return traits_type::eof();
            ++written_;
            return c;
        }

    private:
        int written_ = 0;
    } sink;
    std::ostream broken(&sink);
    broken.exceptions(std::ios::badbit);

    OpenAnalysis analysis(core::File::from_data("foo"));
    EXPECT_THROW(analysis._write_job_content(broken), std::ios::failure);
    ASSERT_TRUE(analysis.opened);
    EXPECT_TRUE(analysis.opened->closed());
}

TEST(AnalysisJob, OtherInputKindsAreNotImplementedAndWriteNothing)
{
    // A text buffer is no input file (text has to be encoded first), nor is a stream pointer to nothing.
    for (DFoundationsAnalysis::JobInput input : {DFoundationsAnalysis::JobInput(core::StringIO("[VERSION]")),
                                                 DFoundationsAnalysis::JobInput(std::shared_ptr<core::BytesIO>())}) {
        OpenAnalysis analysis(std::move(input));
        std::ostringstream w;
        try {
            analysis._write_job_content(w);
            ADD_FAILURE() << "no error";
        } catch (const errors::NotImplementedError& error) {
            EXPECT_STREQ(error.what(), "");
        }
        EXPECT_EQ(w.str(), "");
    }
}

TEST_F(WithWorker, ExecuteSendsTheJobDocumentAndKeepsTheResult)
{
    auto worker = install({std::nullopt, {{"input.fod", "output"}, {"input.err", "warnings"}}});
    DFoundationsAnalysis analysis(core::BytesIO("foo"));
    analysis.execute(std::chrono::seconds(42));

    EXPECT_EQ(worker->last_job, R"({"program": "dfoundations", "version": 1, "content": {"body": "Zm9v"}})");
    EXPECT_EQ(nlohmann::json::parse(worker->last_job)["content"]["body"], "Zm9v");
    EXPECT_EQ(worker->last_timeout, std::chrono::seconds(42));
    EXPECT_EQ(analysis._get_result_content().size(), 2u);
}

TEST_F(WithWorker, AModelsInputFileGoesStraightIntoAnAnalysis)
{
    auto worker = install({std::nullopt, {}});
    const external::dfoundations::InputFile bytes = core::BytesIO("foo");
    const external::dfoundations::InputFile file = core::File::from_data("foo");
    for (const auto& input : {bytes, file}) {
        DFoundationsAnalysis analysis(input);
        analysis.execute(std::chrono::seconds(1));
        EXPECT_EQ(nlohmann::json::parse(worker->last_job)["content"]["body"], "Zm9v");
    }
}

TEST_F(WithWorker, APlatformReplacedDuringItsOwnJobLivesUntilTheJobReturns)
{
    // The worker installs another platform while it runs, as a second thread of the program could.
    class SelfReplacing : public CannedWorker {
    public:
        SelfReplacing() : CannedWorker({std::nullopt, {{"input.fod", "kept"}}}) {}
        JobOutcome execute_job(const std::string& job_document, std::chrono::seconds timeout) override
        {
            set_platform(nullptr);
            return CannedWorker::execute_job(job_document, timeout);  // touches this platform's members
        }
    };
    set_platform(std::make_shared<SelfReplacing>());
    DFoundationsAnalysis analysis(core::BytesIO("foo"));
    analysis.execute(std::chrono::seconds(1));
    EXPECT_EQ(analysis._get_result_content().at("input.fod"), "kept");
}

TEST_F(WithWorker, ASinglePartProgramWritesTheWholeContent)
{
    class Settlement : public ep::ExternalProgram {
    public:
        Settlement() : ExternalProgram("dsettlement", 3) {}

    protected:
        void _write_job_content(std::ostream& w) override { w << "[1, 2]"; }
    } program;
    auto worker = install({std::nullopt, {}});
    program.execute(std::chrono::seconds(5));
    EXPECT_EQ(worker->last_job, R"({"program": "dsettlement", "version": 3, "content": [1, 2]})");
}

TEST_F(WithWorker, GetOutputFileGivesAStreamAFileOrNothing)
{
    install({std::nullopt, {{"input.FOD", "fod bytes"}, {"input.err", "err bytes"}}});
    DFoundationsAnalysis analysis(core::BytesIO("foo"));
    EXPECT_FALSE(analysis.get_output_file().has_value());  // nothing before the job ran
    analysis.execute(std::chrono::seconds(10));

    const auto stream = analysis.get_output_file();
    ASSERT_TRUE(stream.has_value());
    EXPECT_EQ(std::get<core::BytesIO>(*stream).getvalue(), "fod bytes");

    const auto file = analysis.get_output_file(".fod", {.as_file = true});
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(std::get<core::File>(*file).getvalue_binary(), "fod bytes");

    EXPECT_EQ(std::get<core::BytesIO>(*analysis.get_output_file(".err")).getvalue(), "err bytes");
    EXPECT_FALSE(analysis.get_output_file(".dfo").has_value());
    EXPECT_FALSE(analysis.get_output_file(".dfo", {.as_file = true}).has_value());
}

TEST_F(WithWorker, MappedWorkerMessagesRaiseTheirUserMessage)
{
    const std::string timed_out = "The job timed out.";
    const auto entry = ep::_dseries_exception_map(timed_out);
    ASSERT_TRUE(entry.has_value());
    install({timed_out, {}});
    DFoundationsAnalysis analysis(core::BytesIO("foo"));
    try {
        analysis.execute(std::chrono::seconds(1));
        FAIL() << "no error";
    } catch (const errors::ExecutionError& error) {
        EXPECT_EQ(error.what(), entry->first);
        EXPECT_NE(entry->first.find("time-out"), std::string::npos);
    }
}

TEST_F(WithWorker, UnmappedWorkerMessagesRaiseExecutionErrorWithTheMessage)
{
    install({"Error: soil layer 3 has no material", {}});
    DFoundationsAnalysis analysis(core::BytesIO("foo"));
    try {
        analysis.execute(std::chrono::seconds(1));
        FAIL() << "no error";
    } catch (const errors::ExecutionError& error) {
        EXPECT_STREQ(error.what(), "Error: soil layer 3 has no material");
    }
    EXPECT_FALSE(analysis.get_output_file().has_value());
}

TEST(AnalysisErrors, HandleExecutionErrorRaisesOnlyForMappedTypes)
{
    OpenAnalysis analysis(core::BytesIO(""));
    EXPECT_NO_THROW(analysis._handle_execution_error("anything else"));
    EXPECT_NO_THROW(analysis._handle_execution_error(""));
    EXPECT_THROW(analysis._handle_execution_error("The job holds no readable input file."), errors::InternalError);
    EXPECT_THROW(analysis._handle_execution_error("No D-Foundations console program is configured."),
                 errors::ExecutionError);
}

TEST(DSeriesFiles, AreFoundByExtensionIgnoringLetterCase)
{
    const ostrand::ResultContent result = {{"a.FOD", "A"}, {"log.txt", "L"}};
    EXPECT_EQ(ep::_get_dseries_file_body(result, ".fod")->getvalue(), "A");
    EXPECT_EQ(ep::_get_dseries_file_body(result, ".Txt")->getvalue(), "L");
    EXPECT_FALSE(ep::_get_dseries_file_body(result, ".foi").has_value());
    EXPECT_FALSE(ep::_get_dseries_file_body({}, ".fod").has_value());
    EXPECT_FALSE(ep::_get_dseries_file_body(result, "much longer than any name.fod").has_value());
}

TEST(DSeriesFiles, TwoWithTheExtensionAreAnErrorThatNamesThem)
{
    const ostrand::ResultContent result = {{"a.fod", "A"}, {"b.FOD", "B"}, {"log.txt", "L"}};
    try {
        (void)ep::_get_dseries_file_body(result, ".fod");
        FAIL() << "one of two output files was taken";
    } catch (const errors::ExecutionError& error) {
        EXPECT_STREQ(error.what(), "The job wrote more than one file ending in .fod (a.fod, b.FOD); which one is the "
                                   "output cannot be told.");
    }
}

TEST(RaiseError, ThrowsTheHostErrorOfEachType)
{
    EXPECT_THROW(ep::raise_error(ep::ErrorType::MODEL_ERROR, "m"), errors::ModelError);
    EXPECT_THROW(ep::raise_error(ep::ErrorType::PARSING_ERROR, "m"), errors::ParsingError);
    EXPECT_THROW(ep::raise_error(ep::ErrorType::INTERNAL_ERROR, "m"), errors::InternalError);
    EXPECT_THROW(ep::raise_error(ep::ErrorType::EXECUTION_ERROR, "m"), errors::ExecutionError);
}

}  // namespace
