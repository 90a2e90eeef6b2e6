// A D-Foundations calculation run as a job on a worker of the platform.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "ostrand/core.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"
#include "ostrand/external/external_program.hpp"

namespace ostrand::external::dfoundations {

// The named options of DFoundationsAnalysis::get_output_file.
struct OutputFileOptions {
    bool as_file = false;  // return the platform File instead of a byte stream (Python: instead of bytes)
};

// Runs D-Foundations on an input file: construct it, call execute(timeout), then get_output_file().
class DFoundationsAnalysis : public external_program::ExternalProgram {
public:
    // The input file as the job holds it: a host File, or an in-memory byte stream that the caller
    // shares and that stays open. A text buffer or an empty stream pointer is accepted here but is no
    // input file: writing the job then raises errors::NotImplementedError (a caller with text encodes
    // it as UTF-8 bytes first).
    using JobInput = std::variant<core::File, std::shared_ptr<core::BytesIO>, core::StringIO>;

    // An output file as get_output_file returns it: a byte stream, or the platform's File.
    using OutputFile = std::variant<core::BytesIO, core::File>;

    // The input file as a model's generate_input_file() returns it.
    // @param input_file  the D-Foundations input file (.foi)
    // @python input_file is bytes (as generate_input_file returns it), str or a File.
    explicit DFoundationsAnalysis(InputFile input_file);
    explicit DFoundationsAnalysis(core::File input_file);
    // Takes the bytes of `input_file` over as a stream of its own.
    explicit DFoundationsAnalysis(core::BytesIO input_file);
    explicit DFoundationsAnalysis(JobInput input_file);

    // The output file with `extension` as a byte stream (or a File with `as_file`), or absent when
    // the finished job wrote no such file.
    // @param extension  the file's extension, letter case ignored: ".fod" for the output file
    // @returns the file, or absent (before execute(), or when D-Foundations wrote none)
    // @python Returns bytes (a File with as_file=True), or None.
    std::optional<OutputFile> get_output_file(const std::string& extension = ".fod",
                                              OutputFileOptions options = {}) const;

    // The input file the job runs.
    JobInput input_file;

protected:
    bool _multipart_job_content() const override { return true; }
    // Writes the member "body": "<Base64 of the input file>".
    void _write_job_content(std::ostream& w) override;
    // Raises the mapped host error for a worker message the map knows.
    void _handle_execution_error(const std::string& message) override;

    // The stream a File input is read from; it is closed once the body is written.
    virtual std::shared_ptr<core::BytesIO> _open_input_file(const core::File& file) const;
};

}  // namespace ostrand::external::dfoundations
