#include "ostrand/external/external_program.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "host/base64.hpp"
#include "host/local_worker.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::external::external_program {

void raise_error(ErrorType type, const std::string& message)
{
    switch (type) {
    case ErrorType::MODEL_ERROR: throw errors::ModelError(message);
    case ErrorType::PARSING_ERROR: throw errors::ParsingError(message);
    case ErrorType::INTERNAL_ERROR: throw errors::InternalError(message);
    case ErrorType::EXECUTION_ERROR: break;
    }
    throw errors::ExecutionError(message);
}

ExternalProgram::ExternalProgram(std::string program, int version) : program_(std::move(program)), version_(version) {}

void ExternalProgram::execute(std::chrono::seconds timeout)
{
    result_.clear();
    std::ostringstream job;
    job << "{\"program\": " << nlohmann::json(program_).dump() << ", \"version\": " << version_ << ", \"content\": ";
    if (_multipart_job_content()) {
        job << '{';
        _write_job_content(job);
        job << '}';
    } else {
        _write_job_content(job);
    }
    job << '}';

    JobOutcome outcome = platform()->execute_job(job.str(), timeout);
    if (outcome.error) {
        _handle_execution_error(*outcome.error);
        throw errors::ExecutionError(*outcome.error);
    }
    result_ = std::move(outcome.result);
}

void ExternalProgram::_handle_execution_error(const std::string&) {}

void ExternalProgram::_write_file_content_to_file(std::ostream& w, const core::BytesIO& stream, bool base64_encoding)
{
    if (stream.closed()) throw std::invalid_argument("I/O operation on closed file.");
    const std::string_view rest = std::string_view(stream.getvalue()).substr(stream.tell());
    if (!base64_encoding) {
        w.write(rest.data(), static_cast<std::streamsize>(rest.size()));
        return;
    }
    constexpr std::size_t chunk = 3 * 16384;  // a multiple of three: chunks encode without padding between them
    for (std::size_t at = 0; at < rest.size(); at += chunk) w << host::base64_encode(rest.substr(at, chunk));
}

std::optional<std::pair<std::string, std::optional<ErrorType>>> _dseries_exception_map(std::string_view worker_message)
{
    using Entry = std::pair<std::string, std::optional<ErrorType>>;
    static const std::map<std::string, Entry, std::less<>> map = {
        {host::worker_message::timed_out,
         {"The calculation did not finish within the time-out and was stopped; allow more time or simplify the model.",
          ErrorType::EXECUTION_ERROR}},
        {host::worker_message::no_console,
         {"No D-Foundations console program is configured: set the environment variable DFOUNDATIONS_CONSOLE to the "
          "command that runs it (the input file's path is appended to it).",
          ErrorType::EXECUTION_ERROR}},
        {host::worker_message::no_core,
         {"No calculation engine runs in this process: choose the console engine, or make a D-Foundations analysis "
          "first so that the library installs its open calculation core.",
          ErrorType::EXECUTION_ERROR}},
        {host::worker_message::no_output,
         {"D-Foundations finished without writing an output file; please check the input file.",
          ErrorType::EXECUTION_ERROR}},
        {host::worker_message::no_input, {"The analysis job holds no readable input file.", ErrorType::INTERNAL_ERROR}},
    };
    const auto found = map.find(worker_message);
    if (found == map.end()) return std::nullopt;
    return found->second;
}

std::optional<core::BytesIO> _get_dseries_file_body(const ResultContent& result, std::string_view extension)
{
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const auto ends_with_extension = [&](const std::string& name) {
        return name.size() >= extension.size() && std::equal(extension.begin(), extension.end(),
                                                             name.end() - static_cast<std::ptrdiff_t>(extension.size()),
                                                             [&](char a, char b) { return lower(a) == lower(b); });
    };
    const std::string* found = nullptr;
    std::size_t count = 0;
    std::string names;
    for (const auto& [name, bytes] : result) {
        if (!ends_with_extension(name)) continue;
        names += (count++ == 0 ? "" : ", ") + name;
        if (!found) found = &bytes;
    }
    if (!found) return std::nullopt;
    // Taking one of two would hand over an output that may not belong to the input.
    if (count > 1)
        throw errors::ExecutionError("The job wrote more than one file ending in " + std::string(extension) + " (" +
                                     names + "); which one is the output cannot be told.");
    return core::BytesIO(*found);
}

}  // namespace ostrand::external::external_program
