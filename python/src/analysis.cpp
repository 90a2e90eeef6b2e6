// Running D-Foundations on an input file as a job of the platform. The job runs without the GIL; a
// lock of each analysis keeps a second thread from reading or starting it meanwhile.
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "bindings.hpp"
#include "ostrand/platform.hpp"

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

// An analysis and the lock that its job holds while it runs.
class Analysis {
public:
    explicit Analysis(DFoundationsAnalysis::JobInput input) : analysis_(std::move(input)) {}

    // Runs `use` on the analysis with the GIL released and the lock held.
    template <class Use>
    auto locked(Use use)
    {
        py::gil_scoped_release release;
        const std::lock_guard lock(mutex_);
        return use(analysis_);
    }

    const DFoundationsAnalysis& unlocked() const { return analysis_; }  // for what never changes

private:
    DFoundationsAnalysis analysis_;
    std::mutex mutex_;
};

// Whole seconds, rounded up; beyond about 30 years a wait is as good as endless.
std::chrono::seconds whole_seconds(double timeout)
{
    if (!std::isfinite(timeout) || timeout < 0) throw std::invalid_argument("timeout must be a number of seconds >= 0");
    return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(std::min(timeout, 1e9))));
}

// Lets Ctrl-C reach a job that waits without the GIL: the wait asks about every 50 ms whether a
// signal handler raised (KeyboardInterrupt, say); if so the job's program is ended and that
// exception is raised. Only the main thread sees signals; elsewhere the check finds nothing.
class SignalsEndTheWait {
public:
    SignalsEndTheWait()
        : previous_(ostrand::set_job_wait_check([] {
              py::gil_scoped_acquire gil;
              if (PyErr_CheckSignals() != 0) throw py::error_already_set();
          }))
    {
    }
    ~SignalsEndTheWait() { ostrand::set_job_wait_check(std::move(previous_)); }
    SignalsEndTheWait(const SignalsEndTheWait&) = delete;
    SignalsEndTheWait& operator=(const SignalsEndTheWait&) = delete;

private:
    ostrand::JobWaitCheck previous_;
};

}  // namespace

void bind_analysis(py::module_& module)
{
    py::class_<Analysis>(module, "DFoundationsAnalysis",
                         doc_of("DFoundationsAnalysis"))
        .def(py::init([](const py::object& input_file) { return std::make_unique<Analysis>(job_input(input_file)); }),
             py::arg("input_file"), doc_of("DFoundationsAnalysis::DFoundationsAnalysis"))
        .def_property_readonly("program", [](const Analysis& self) { return self.unlocked().program(); },
                               doc_of("external_program::ExternalProgram::program"))
        .def_property_readonly("version", [](const Analysis& self) { return self.unlocked().version(); },
                               doc_of("external_program::ExternalProgram::version"))
        .def(
            "execute",
            [](Analysis& self, double timeout) {
                const std::chrono::seconds limit = whole_seconds(timeout);
                const SignalsEndTheWait signals;
                self.locked([&](DFoundationsAnalysis& analysis) { analysis.execute(limit); });
            },
            py::arg("timeout"),
            doc_of("external_program::ExternalProgram::execute"))
        .def(
            "get_output_file",
            [](Analysis& self, const std::string& extension, bool as_file) -> py::object {
                auto file = self.locked([&](const DFoundationsAnalysis& analysis) {
                    return analysis.get_output_file(extension, {.as_file = as_file});
                });
                if (!file) return py::none();
                return file_object(std::move(*file));
            },
            py::arg("extension") = ".fod", py::kw_only(), py::arg("as_file") = false,
            doc_of("DFoundationsAnalysis::get_output_file"))
        .def(
            "_get_result_content",
            [](Analysis& self) {
                const ostrand::ResultContent content =
                    self.locked([](const DFoundationsAnalysis& analysis) { return analysis._get_result_content(); });
                py::dict files;
                for (const auto& [name, bytes] : content) files[py::str(name)] = py::bytes(bytes);
                return files;
            },
            doc_of("external_program::ExternalProgram::_get_result_content"));

    // The engine by the names the program's --engine takes.
    module.def(
        "set_worker_engine",
        [](const std::optional<std::string>& engine) {
            if (!engine) return ostrand::set_worker_engine(std::nullopt);
            if (*engine == "core") return ostrand::set_worker_engine(ostrand::WorkerEngine::in_process);
            if (*engine == "console") return ostrand::set_worker_engine(ostrand::WorkerEngine::console);
            if (*engine == "automatic") return ostrand::set_worker_engine(ostrand::WorkerEngine::automatic);
            throw std::invalid_argument("engine must be 'core', 'console', 'automatic' or None, not '" + *engine + "'");
        },
        py::arg("engine"), doc_of("set_worker_engine"));
}

}  // namespace dfoundations_python
