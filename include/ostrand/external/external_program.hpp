// Jobs on a worker of the platform: the base class of a program run, the map of the worker's error
// messages and the retrieval of result files.
#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ostrand/core.hpp"
#include "ostrand/platform.hpp"

namespace ostrand::external::external_program {

// The host error types a worker message can map to.
enum class ErrorType { MODEL_ERROR, PARSING_ERROR, INTERNAL_ERROR, EXECUTION_ERROR };

// Throws the host error of `type` built from `message`.
[[noreturn]] void raise_error(ErrorType type, const std::string& message);

// A program run as a job on a worker. A subclass names the program and writes the job content;
// execute() sends the job, waits for it and keeps its result.
//
// The job document is one JSON object: {"program": <identifier>, "version": <version>, "content": C}.
// With _multipart_job_content() true, C is an object whose members _write_job_content writes (for
// instance "body": "<Base64>"); otherwise _write_job_content writes C itself, one JSON value.
class ExternalProgram {
public:
    // @param program  the program's identifier on the worker, e.g. "dfoundations"
    // @param version  the version of the job format
    ExternalProgram(std::string program, int version);
    virtual ~ExternalProgram() = default;

    // Runs the job, waiting at most `timeout`. A failure reported by the worker goes to
    // _handle_execution_error; when that returns, errors::ExecutionError carries the worker's message.
    // @param timeout  the longest wait [s]
    // @throws errors::ExecutionError with D-Foundations' message when the run fails, or the error the
    //         worker's message maps to (e.g. errors::ModelError)
    // @throws errors::NotImplementedError when the input is text, not bytes or a File
    // @python timeout is a number of seconds (a ValueError when negative or not finite).
    void execute(std::chrono::seconds timeout);

    // The program's identifier on the worker, e.g. "dfoundations".
    const std::string& program() const { return program_; }
    // The version of the job format.
    int version() const { return version_; }

    // The files of the finished job: file name to bytes (empty before a successful execute()).
    // @python a dict of file name to bytes
    const ResultContent& _get_result_content() const { return result_; }

protected:
    ExternalProgram(const ExternalProgram&) = default;
    ExternalProgram& operator=(const ExternalProgram&) = default;

    // The class flag: whether the job content is a set of members (true) or one JSON value.
    virtual bool _multipart_job_content() const { return false; }
    // Writes the job content to the text sink `w`.
    virtual void _write_job_content(std::ostream& w) = 0;
    // Called with the worker's message when the job failed; may raise an error of its own.
    virtual void _handle_execution_error(const std::string& message);

    // Writes the bytes of `stream` from its current position to the end to `w`, Base64-encoded
    // unless `base64_encoding` is false. The stream's position is left where it was, so a job can
    // be sent again; a closed stream raises std::invalid_argument.
    static void _write_file_content_to_file(std::ostream& w, const core::BytesIO& stream, bool base64_encoding = true);

private:
    std::string program_;
    int version_;
    ResultContent result_;
};

// A user message and an error type (absent: no error of its own) for a message of the D-Series
// worker, or absent when the message is not in the map.
std::optional<std::pair<std::string, std::optional<ErrorType>>> _dseries_exception_map(std::string_view worker_message);

// The result file whose name ends with `extension` (letter case ignored), as an in-memory byte
// stream, or absent. When several match, errors::ExecutionError names them: which one is the
// output cannot be told.
std::optional<core::BytesIO> _get_dseries_file_body(const ResultContent& result, std::string_view extension);

}  // namespace ostrand::external::external_program
