// Running D-Foundations on an input file as a job of the platform; the job runs without the GIL.
#include <chrono>
#include <cmath>
#include <memory>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using dfo::DFoundationsAnalysis;
using ostrand::core::BytesIO;
using ostrand::core::File;
using ostrand::core::StringIO;

// The input file as the job holds it. Text is kept as text: the job then refuses it as no input
// file, as the library does for a text buffer.
DFoundationsAnalysis::JobInput job_input(const py::object& input_file)
{
    if (py::isinstance<File>(input_file)) return input_file.cast<File>();
    const std::string bytes(view_bytes(input_file).bytes);
    if (py::isinstance<py::str>(input_file)) return StringIO(bytes);
    return std::make_shared<BytesIO>(bytes);
}

py::object file_object(DFoundationsAnalysis::OutputFile file)
{
    if (auto* stream = std::get_if<BytesIO>(&file)) return py::bytes(stream->getvalue());
    return py::cast(std::get<File>(std::move(file)));
}

std::chrono::seconds whole_seconds(double timeout)
{
    if (!std::isfinite(timeout) || timeout < 0) throw std::invalid_argument("timeout must be a number of seconds >= 0");
    return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(timeout)));
}

}  // namespace

void bind_analysis(py::module_& module)
{
    py::class_<DFoundationsAnalysis>(module, "DFoundationsAnalysis",
                                     "Runs D-Foundations on an input file: construct it, call execute(timeout), then "
                                     "get_output_file().")
        .def(py::init([](const py::object& input_file) {
                 return std::make_unique<DFoundationsAnalysis>(job_input(input_file));
             }),
             py::arg("input_file"), "The input file as bytes (as generate_input_file returns it) or a File.")
        .def_property_readonly("program", &DFoundationsAnalysis::program)
        .def_property_readonly("version", &DFoundationsAnalysis::version)
        .def(
            "execute",
            [](DFoundationsAnalysis& analysis, double timeout) {
                const std::chrono::seconds limit = whole_seconds(timeout);
                py::gil_scoped_release release;
                analysis.execute(limit);
            },
            py::arg("timeout"),
            "Runs the job, waiting at most `timeout` seconds. A failed run raises ExecutionError (or the error the "
            "worker's message maps to); a text input raises NotImplementedError.")
        .def(
            "get_output_file",
            [](const DFoundationsAnalysis& analysis, const std::string& extension, bool as_file) -> py::object {
                auto file = analysis.get_output_file(extension, {.as_file = as_file});
                if (!file) return py::none();
                return file_object(std::move(*file));
            },
            py::arg("extension") = ".fod", py::kw_only(), py::arg("as_file") = false,
            "The output file with `extension` as bytes (or a File with as_file), or None when the job wrote none.")
        .def(
            "_get_result_content",
            [](const DFoundationsAnalysis& analysis) {
                py::dict files;
                for (const auto& [name, bytes] : analysis._get_result_content()) files[py::str(name)] = py::bytes(bytes);
                return files;
            },
            "The files of the finished job: file name to bytes.");
}

}  // namespace dfoundations_python
