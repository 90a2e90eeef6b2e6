#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"
#include "ostrand/platform.hpp"
#include "report.hpp"

namespace dfoundations_cli {

namespace {

namespace fs = std::filesystem;

struct RunOptions {
    std::vector<std::string> inputs;
    std::string output;
    int timeout = 600;
    std::string engine;  // "core", "console" or empty: the console when one is configured, else the core
};

// ---- An interrupted run -----------------------------------------------------------------------
// SIGINT, SIGTERM and SIGHUP are noted while the job waits; the wait then ends by throwing, which
// stops the console with its whole process group and removes the job folder before the program
// ends by the same signal.

volatile std::sig_atomic_t stop_signal = 0;

extern "C" void note_stop_signal(int signal) { stop_signal = signal; }

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

struct Stopped {
    int signal;
};

class StopSignals {
public:
    StopSignals()
    {
        struct sigaction action {};
        action.sa_handler = note_stop_signal;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(STOP_SIGNALS); ++i) ::sigaction(STOP_SIGNALS[i], &action, &previous_[i]);
    }
    ~StopSignals()
    {
        for (std::size_t i = 0; i < std::size(STOP_SIGNALS); ++i) ::sigaction(STOP_SIGNALS[i], &previous_[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction previous_[std::size(STOP_SIGNALS)]{};
};

[[noreturn]] void end_by(int signal)
{
    std::cerr << "dfoundations run: stopped by SIG" << ::sigabbrev_np(signal)
              << "; the D-Foundations console program was ended.\n";
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

// "1:05" on standard error, rewritten in place about once a second while a terminal shows it.
class ElapsedTime {
public:
    ElapsedTime() : shown_(::isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {}
    ~ElapsedTime()
    {
        if (shown_ && seconds_ >= 0) std::cerr << "\r\033[K" << std::flush;
    }
    ElapsedTime(const ElapsedTime&) = delete;
    ElapsedTime& operator=(const ElapsedTime&) = delete;

    void update()
    {
        if (!shown_) return;
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_);
        if (seconds.count() == seconds_) return;
        seconds_ = seconds.count();
        std::cerr << "\rdfoundations run: waiting for D-Foundations, " << seconds_ / 60 << ':' << (seconds_ % 60) / 10
                  << seconds_ % 10 << std::flush;
    }

private:
    bool shown_;
    std::chrono::steady_clock::time_point start_;
    long long seconds_ = -1;
};

// Runs the analysis; a stop signal noted meanwhile ends the wait as Stopped. The elapsed time is
// shown for a single run only: a batch shows its progress instead.
void execute(ostrand::external::dfoundations::DFoundationsAnalysis& analysis, std::chrono::seconds timeout,
             bool show_elapsed = true)
{
    std::optional<ElapsedTime> elapsed;
    if (show_elapsed) elapsed.emplace();
    const auto previous = ostrand::set_job_wait_check([&elapsed] {
        if (stop_signal != 0) throw Stopped{stop_signal};
        if (elapsed) elapsed->update();
    });
    try {
        analysis.execute(timeout);
    } catch (...) {
        ostrand::set_job_wait_check(previous);
        throw;
    }
    ostrand::set_job_wait_check(previous);
    if (stop_signal != 0) throw Stopped{stop_signal};  // noted after the last look
}

// ---- What the console wrote besides an output file ----------------------------------------------

// A new folder of its own for what the console wrote when it gave no usable output file: beside
// the output path, or in the system's temporary folder when the output goes to standard output.
// Being new, nothing of the user's in it can be replaced.
fs::path new_leftovers_folder(const fs::path& target, bool to_standard_output)
{
    const fs::path parent = to_standard_output             ? fs::temp_directory_path()
                            : target.parent_path().empty() ? fs::path(".")
                                                           : target.parent_path();
    const std::string stem = to_standard_output ? std::string("dfoundations-run") : target.stem().string() + ".run";
    std::string name = (parent / (stem + "-XXXXXX")).string();
    if (!::mkdtemp(name.data()))
        throw FileError("Cannot create a folder for what D-Foundations wrote beside '" + target.string() +
                        "': " + std::strerror(errno) + ".");
    return name;
}

// Keeps every file of the job in a new folder and says where, after `message`.
[[noreturn]] void refuse_keeping(std::string message, const fs::path& target, bool to_standard_output,
                                 const ostrand::ResultContent& files)
{
    if (!files.empty()) {
        const fs::path folder = new_leftovers_folder(target, to_standard_output);
        message += " It wrote, kept for reading in " + folder.string() + ":";
        for (const auto& [name, bytes] : files) {
            write_output((folder / fs::path(name).filename()).string(), bytes);
            message += " " + fs::path(name).filename().string();
        }
    }
    throw std::runtime_error(message);
}

// A file that holds no section of an output file at all is no output of D-Foundations.
void check_output_file(const std::string& bytes)
{
    try {
        (void)ostrand::external::dfoundations::read_output_file(bytes);
    } catch (const ostrand::errors::ParsingError& problem) {
        throw std::runtime_error(std::string("D-Foundations wrote a .fod file that is no output file (") +
                                 problem.what() + ").");
    }
}

// Runs one input file and writes its output file to `target`.
void run_one(const std::string& input, const fs::path& target, bool to_standard_output, int timeout, bool batch)
{
    using ostrand::external::dfoundations::DFoundationsAnalysis;

    DFoundationsAnalysis analysis(ostrand::core::BytesIO(read_input(input)));
    execute(analysis, std::chrono::seconds(timeout), !batch);
    const auto output = analysis.get_output_file();
    if (!output)
        refuse_keeping("D-Foundations wrote no .fod output file.", target, to_standard_output,
                       analysis._get_result_content());
    const std::string& bytes = std::get<ostrand::core::BytesIO>(*output).getvalue();
    try {
        check_output_file(bytes);
    } catch (const std::runtime_error& problem) {
        refuse_keeping(problem.what(), target, to_standard_output, analysis._get_result_content());
    }
    write_output(target.string(), bytes, input);
}

int run(const RunOptions& options)
{
    const std::string& input = options.inputs.front();
    const bool to_standard_output = options.output == "-";
    const fs::path target = !options.output.empty() ? fs::path(options.output)
                            : input == "-"          ? fs::path("stdin.fod")
                                                    : fs::path(input).replace_extension(".fod");
    const StopSignals signals;
    try {
        run_one(input, target, to_standard_output, options.timeout, false);
    } catch (const Stopped& stopped) {
        end_by(stopped.signal);
    }
    return DONE;
}

// ---- Several input files ----------------------------------------------------------------------

// Where each output goes: beside its input, or into the folder -o names (made when missing).
// Two inputs that would write one output are refused before anything runs.
std::vector<fs::path> batch_targets(const RunOptions& options)
{
    if (!options.output.empty() && options.output != "-") fs::create_directories(options.output);
    std::vector<fs::path> targets;
    std::set<fs::path> taken;
    for (const std::string& input : options.inputs) {
        if (input == "-") throw std::invalid_argument("standard input (-) is one input file: run it on its own");
        fs::path target = fs::path(input).replace_extension(".fod");
        if (!options.output.empty()) target = fs::path(options.output) / target.filename();
        if (!taken.insert(fs::weakly_canonical(target)).second)
            throw std::invalid_argument("two input files would write the same output file " + target.string());
        targets.push_back(target);
    }
    return targets;
}

// What a batch shares between its workers and the thread that shows its progress.
class BatchProgress {
public:
    explicit BatchProgress(std::size_t total) : total_(total), shown_(::isatty(STDERR_FILENO) == 1) {}

    void finished(const std::string& input, int status, const std::string& message)
    {
        const std::lock_guard lock(mutex_);
        ++done_;
        worst_ = std::max(worst_, status);
        if (status != DONE) {
            ++failed_;
            clear_line();
            std::cerr << "dfoundations run: " << input << ": " << message << '\n';
        }
        show();
    }

    void show()
    {
        if (!shown_) return;
        std::cerr << "\rdfoundations run: " << done_ << " of " << total_ << " files, " << failed_ << " failed"
                  << std::flush;
        line_shown_ = true;
    }

    int summary()
    {
        const std::lock_guard lock(mutex_);
        clear_line();
        std::cerr << "dfoundations run: " << total_ << " files, " << done_ - failed_ << " written, " << failed_
                  << " failed\n";
        return worst_;
    }

private:
    void clear_line()
    {
        if (line_shown_) std::cerr << "\r\033[K";
        line_shown_ = false;
    }

    std::mutex mutex_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::size_t failed_ = 0;
    int worst_ = DONE;
    bool shown_;
    bool line_shown_ = false;
};

// The status and message of the error being handled, as a single run would report it.
std::pair<int, std::string> failure()
{
    try {
        throw;
    } catch (const FileError& error) {
        return {FILE_FAILED, error.what()};
    } catch (const ostrand::errors::StorageError& error) {
        return {FILE_FAILED, error.what()};
    } catch (const std::exception& error) {
        return {REFUSED, error.what()};
    }
}

// Runs every input file on all cores; a failing file is reported with its path and the others go
// on. The exit status is that of the worst file.
int run_many(const RunOptions& options)
{
    const std::vector<fs::path> targets = batch_targets(options);
    BatchProgress progress(options.inputs.size());
    const StopSignals signals;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < options.inputs.size() && stop_signal == 0; i = next++) {
            int status = DONE;
            std::string message;
            try {
                run_one(options.inputs[i], targets[i], false, options.timeout, true);
            } catch (const Stopped&) {
                return;
            } catch (...) {
                std::tie(status, message) = failure();
            }
            progress.finished(options.inputs[i], status, message);
        }
    };
    const std::size_t workers =
        std::min<std::size_t>(options.inputs.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < workers; ++i) threads.emplace_back(work);
    for (auto& thread : threads) thread.join();
    if (stop_signal != 0) end_by(stop_signal);
    return progress.summary();
}

}  // namespace

void add_run_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<RunOptions>();
    auto* command = app.add_subcommand(
        "run", "Run D-Foundations analyses of input files on this machine, with the D-Foundations console program "
               "(DFOUNDATIONS_CONSOLE names it) or the open calculation core (DFoundationsAnalysis::execute)");
    command
        ->add_option("FILE", options->inputs,
                     "D-Foundations input files (.foi; - for standard input); several run at once on all cores")
        ->required();
    command->add_option("-o,--output", options->output,
                        "Output file (default: FILE with the extension .fod; - for standard output); with several "
                        "FILEs a folder for their output files (default: beside each input)");
    command->add_option("--timeout", options->timeout, "Seconds to wait for D-Foundations (1 to 2147483647)")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()))
        ->capture_default_str();
    command->add_option("--engine", options->engine,
                        "console: the D-Foundations console program; core: the open calculation core, which computes "
                        "Bearing Piles, Preliminary Design, Indication bearing capacity (default: the console when "
                        "one is configured, else the core; DFOUNDATIONS_ENGINE sets it too)")
        ->check(CLI::IsMember({"core", "console"}));
    command->footer(EXIT_STATUS_TABLE);
    command->callback([options, &status] {
        if (options->engine == "core") ostrand::set_worker_engine(ostrand::WorkerEngine::in_process);
        if (options->engine == "console") ostrand::set_worker_engine(ostrand::WorkerEngine::console);
        status = run_reported("run", [&] { return options->inputs.size() == 1 ? run(*options) : run_many(*options); });
    });
}

}  // namespace dfoundations_cli
