// The one seam between the SDK façade and whatever platform serves it. The library only calls the
// façade (core, api_v1, external_program); a program or a test may install another platform.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace ostrand {

// Files a finished job produced: file name to bytes.
using ResultContent = std::map<std::string, std::string>;

// What a worker job came back with.
struct JobOutcome {
    std::optional<std::string> error;  // the worker's message when the job failed
    ResultContent result;              // the files the job wrote
};

// A platform that serves the SDK: temporary files, the add-on endpoint, downloads and worker jobs.
// The embedded one works on this machine without a network; set_platform installs another.
class Platform {
public:
    virtual ~Platform() = default;

    // Stores `bytes` as a temporary file and returns the URL where it can be read back.
    virtual std::string upload_temporary_file(std::string_view bytes) = 0;
    // A fresh temporary slot: upload URL, upload data, download URL (exactly three on a sound platform).
    virtual std::vector<std::string> generate_temporary_file_urls() = 0;
    // Serves an add-on job; failures raise errors::InternalError.
    virtual void post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                                        std::chrono::seconds timeout) = 0;
    // The bytes at `url`.
    virtual std::string download(const std::string& url) = 0;
    // Lets go of a temporary file that is no longer needed. A platform that cleans up by itself
    // keeps this default, which does nothing.
    virtual void discard_temporary_file(const std::string& /*url*/) {}
    // Runs a worker job described by the JSON text `job_document` (as ExternalProgram::execute writes
    // it), waiting at most `timeout`. A failed job comes back with the worker's message as `error`.
    virtual JobOutcome execute_job(const std::string& job_document, std::chrono::seconds timeout) = 0;
};

// A check that a job waiting on this thread runs about every 50 ms, for instance to show the time
// or to notice Ctrl-C. Whatever it throws ends the wait: the job's program is stopped with its whole
// process group, the job's folder is removed, and the exception reaches the caller of execute().
using JobWaitCheck = std::function<void()>;
// Installs `check` for the calling thread (an empty one removes it) and returns the one it replaces.
JobWaitCheck set_job_wait_check(JobWaitCheck check);
// Runs the calling thread's check, when it has one.
void check_job_wait();

// The platform in use; the embedded one unless another was installed. The pointer keeps it alive
// for the call even when another one is installed meanwhile.
std::shared_ptr<Platform> platform();
// Installs `replacement` (nullptr restores the embedded platform) and returns the one it replaces.
std::shared_ptr<Platform> set_platform(std::shared_ptr<Platform> replacement);

// ---- The engines of the embedded worker ----
// The worker computes a D-Foundations job with the console program ($DFOUNDATIONS_CONSOLE) or with an
// engine in this process that a library installed (the dfoundations library installs its open
// calculation core when an analysis is made).

// A calculation in this process: the input file's bytes in, the files it writes (name to bytes) out.
// It throws a std::exception to refuse an input file; the exception's message becomes the job's error.
using InProcessEngine = std::function<ResultContent(const std::string& input_file)>;

// Which program the embedded worker computes a job with.
enum class WorkerEngine {
    automatic,   // the console program when one is configured, else the in-process engine
    console,     // the console program only
    in_process,  // the in-process engine only
};

// Installs the in-process engine (an empty function removes it) and returns the one it replaces.
InProcessEngine set_in_process_engine(InProcessEngine engine);
// Whether an in-process engine is installed.
bool has_in_process_engine();
// Chooses the engine of the embedded worker; absent (the default) reads $DFOUNDATIONS_ENGINE
// ("console" or "core"), and automatic when that is not set.
void set_worker_engine(std::optional<WorkerEngine> engine);

}  // namespace ostrand
