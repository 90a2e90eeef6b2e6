#include "ostrand/external/dfoundations/analysis.hpp"

#include <ostream>

#include "external/dfoundations/calculation/core_engine.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::external::dfoundations {

namespace {
constexpr const char* program_identifier = "dfoundations";
constexpr int program_version = 1;

// Closes a stream the job opened itself when the body is done, also when writing it failed.
class ClosingGuard {
public:
    explicit ClosingGuard(std::shared_ptr<core::BytesIO> stream) : stream_(std::move(stream)) {}
    ~ClosingGuard()
    {
        if (stream_) stream_->close();
    }
    ClosingGuard(const ClosingGuard&) = delete;
    ClosingGuard& operator=(const ClosingGuard&) = delete;

private:
    std::shared_ptr<core::BytesIO> stream_;
};
}  // namespace

DFoundationsAnalysis::DFoundationsAnalysis(JobInput input_file)
    : ExternalProgram(program_identifier, program_version),
      input_file(std::move(input_file))
{
    // Without a console program the worker computes what the open calculation core covers.
    calculation::install_core_engine();
}

DFoundationsAnalysis::DFoundationsAnalysis(core::BytesIO input_file)
    : DFoundationsAnalysis(JobInput(std::make_shared<core::BytesIO>(std::move(input_file))))
{
}

DFoundationsAnalysis::DFoundationsAnalysis(core::File input_file)
    : DFoundationsAnalysis(JobInput(std::move(input_file)))
{
}

DFoundationsAnalysis::DFoundationsAnalysis(InputFile input_file)
    : DFoundationsAnalysis(
          std::holds_alternative<core::File>(input_file)
              ? JobInput(std::get<core::File>(std::move(input_file)))
              : JobInput(std::make_shared<core::BytesIO>(std::get<core::BytesIO>(std::move(input_file)))))
{
}

std::shared_ptr<core::BytesIO> DFoundationsAnalysis::_open_input_file(const core::File& file) const
{
    return file.open_binary();
}

void DFoundationsAnalysis::_write_job_content(std::ostream& w)
{
    std::shared_ptr<core::BytesIO> source;
    std::shared_ptr<core::BytesIO> opened;
    if (const auto* file = std::get_if<core::File>(&input_file)) {
        opened = _open_input_file(*file);
        source = opened;
    } else if (const auto* stream = std::get_if<std::shared_ptr<core::BytesIO>>(&input_file)) {
        source = *stream;
    }
    if (!source) throw errors::NotImplementedError();

    const ClosingGuard guard(opened);
    w << "\"body\": \"";
    _write_file_content_to_file(w, *source, true);
    w << '"';
}

void DFoundationsAnalysis::_handle_execution_error(const std::string& message)
{
    // A message the map does not know counts as no message and no error type.
    const auto entry = external_program::_dseries_exception_map(message);
    if (entry && entry->second) external_program::raise_error(*entry->second, entry->first);
}

auto DFoundationsAnalysis::get_output_file(const std::string& extension, OutputFileOptions options) const
    -> std::optional<OutputFile>
{
    auto body = external_program::_get_dseries_file_body(_get_result_content(), extension);
    if (!body) return std::nullopt;
    if (options.as_file) return core::File::from_data(body->getvalue());
    return std::move(*body);
}

}  // namespace ostrand::external::dfoundations
