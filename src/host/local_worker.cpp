#include "host/local_worker.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include <nlohmann/json.hpp>

#include "host/base64.hpp"
#include "host/temporary_store.hpp"
#include "host/worker_engines.hpp"

extern char** environ;

namespace ostrand::host {

namespace fs = std::filesystem;

namespace {
constexpr const char* input_name = "input.foi";
constexpr std::size_t message_tail = 2000;
constexpr std::uintmax_t max_result_bytes = std::uintmax_t{1} << 30;  // no output file comes near 1 GiB

// What the caller's wait check threw, carried past the worker's own error handling so that it
// reaches the caller unchanged once the program and its folder are gone.
struct WaitStopped {
    std::exception_ptr cause;
};

// A job's folder: `run/` is the program's working folder, the logs lie beside it. Removed at the end.
class JobFolder {
public:
    JobFolder()
    {
        std::string name = (fs::temp_directory_path() / "dfoundations-job-XXXXXX").string();
        if (!::mkdtemp(name.data()))
            throw std::runtime_error(std::string("cannot create a job folder: ") + std::strerror(errno));
        root_ = name;
        fs::create_directory(run());
    }
    ~JobFolder()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;

    fs::path run() const { return root_ / "run"; }
    fs::path log(const char* name) const { return root_ / name; }

private:
    fs::path root_;
};

// A child process that leads its own process group; the whole group is killed if it is still there
// when this object goes away.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    ~Child()
    {
        if (!reaped_) {
            ::kill(-pid_, SIGKILL);
            while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Waits until the program ends or `deadline` passes; the exit status, or absent on time-out.
    std::optional<int> wait_until(std::chrono::steady_clock::time_point deadline)
    {
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            siginfo_t info{};
            // WNOWAIT keeps the ended program a zombie, so its group id cannot be reused while the
            // rest of the group (whatever the program left running) is killed.
            const int waited = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
            if (waited != 0 && errno != EINTR)
                throw std::runtime_error(std::string("cannot wait for the program: ") + std::strerror(errno));
            if (waited == 0 && info.si_pid == pid_) {
                ::kill(-pid_, SIGKILL);
                int status = 0;
                while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
                reaped_ = true;
                return status;
            }
            if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
            try {
                check_job_wait();
            } catch (...) {
                throw WaitStopped{std::current_exception()};
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
    }

private:
    pid_t pid_;
    bool reaped_ = false;
};

class SpawnSettings {
public:
    SpawnSettings(const JobFolder& folder)
    {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        stdout_ = folder.log("stdout.log").string();
        stderr_ = folder.log("stderr.log").string();
        run_ = folder.run().string();
        posix_spawn_file_actions_addopen(&actions_, 1, stdout_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions_, 2, stderr_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addchdir_np(&actions_, run_.c_str());
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes_, &signals);
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&attributes_, &signals);
        posix_spawnattr_setpgroup(&attributes_, 0);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
    std::string stdout_, stderr_, run_;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The last `message_tail` bytes of a log, without surrounding blanks; a long log is not read whole.
std::string tail_of(const fs::path& log)
{
    std::ifstream in(log, std::ios::binary | std::ios::ate);
    if (!in) return "";
    const auto size = static_cast<std::size_t>(in.tellg());
    const std::size_t start = size > message_tail ? size - message_tail : 0;
    in.seekg(static_cast<std::streamoff>(start));
    const std::string text = trimmed({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    return start > 0 && !text.empty() ? "..." + text : text;
}

// What the program said last: the end of its standard error, else of its standard output.
std::string output_tail(const JobFolder& folder)
{
    std::string tail = tail_of(folder.log("stderr.log"));
    return tail.empty() ? tail_of(folder.log("stdout.log")) : tail;
}

// "15 (SIGTERM, Terminated)": the number, and the name a person looks up.
std::string signal_text(int signal)
{
    std::string text = std::to_string(signal);
    const char* abbreviation = ::sigabbrev_np(signal);
    const char* description = ::strsignal(signal);
    if (abbreviation != nullptr)
        text += std::string(" (SIG") + abbreviation + (description ? std::string(", ") + description : "") + ")";
    return text;
}

std::string failure_message(int status, const JobFolder& folder)
{
    std::string tail = output_tail(folder);
    if (WIFSIGNALED(status)) {
        // A crash or a kill says nothing on its own output: the signal is the news, the tail the context.
        const std::string stopped = "D-Foundations was stopped by signal " + signal_text(WTERMSIG(status)) + ".";
        return tail.empty() ? stopped : stopped + "\n" + tail;
    }
    if (!tail.empty()) return tail;
    return "D-Foundations stopped with exit status " + std::to_string(WEXITSTATUS(status)) + ".";
}

ResultContent collect_results(const fs::path& run)
{
    ResultContent result;
    for (const auto& entry : fs::directory_iterator(run)) {
        const std::string name = entry.path().filename().string();
        if (name == input_name || !entry.is_regular_file() || entry.is_symlink()) continue;
        if (entry.file_size() > max_result_bytes)
            throw std::runtime_error("D-Foundations wrote " + name + " of " + std::to_string(entry.file_size()) +
                                     " bytes, more than the 1 GiB this worker takes back.");
        result.emplace(name, read_file(entry.path()));
    }
    return result;
}

// The input file carried by a job document, or absent when the document is not a D-Foundations job.
std::optional<std::string> input_of(const std::string& job_document, std::string& error)
{
    const auto job = nlohmann::json::parse(job_document, nullptr, false);
    if (!job.is_object()) {
        error = worker_message::no_input;
        return std::nullopt;
    }
    const auto program = job.value("program", nlohmann::json());
    const auto version = job.value("version", nlohmann::json());
    if (program != "dfoundations" || version != 1) {
        error = "No worker here runs the program " + program.dump() + " version " + version.dump() + ".";
        return std::nullopt;
    }
    const auto content = job.value("content", nlohmann::json());
    const auto body = content.is_object() ? content.value("body", nlohmann::json()) : nlohmann::json();
    auto input = body.is_string() ? base64_decode(body.get<std::string>()) : std::nullopt;
    if (!input) error = worker_message::no_input;
    return input;
}

JobOutcome failed(std::string message) { return {std::move(message), {}}; }

// Computes the job with the in-process engine. When the worker fell back on it for want of a console
// program, a refusal says how to configure one too.
JobOutcome run_in_process(const InProcessEngine& engine, const std::string& input, bool fallback)
{
    try {
        ResultContent result = engine(input);
        if (result.empty()) return failed(worker_message::no_output);
        return {std::nullopt, std::move(result)};
    } catch (const std::exception& problem) {
        std::string message = problem.what();
        if (fallback)
            message += " No D-Foundations console program is configured either: set the environment variable "
                       "DFOUNDATIONS_CONSOLE to the command that runs it.";
        return failed(message);
    }
}

JobOutcome run(const std::vector<std::string>& command, const std::string& input, std::chrono::seconds timeout)
{
    JobFolder folder;
    const fs::path input_path = folder.run() / input_name;
    write_file_atomically(input_path, input);

    std::vector<std::string> words = command;
    words.push_back(input_path.string());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const SpawnSettings settings(folder);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pid_t pid = 0;
    if (const int error =
            ::posix_spawnp(&pid, argv[0], settings.actions(), settings.attributes(), argv.data(), environ))
        return failed("Cannot start the D-Foundations console program '" + command.front() +
                      "': " + std::strerror(error) + ".");

    Child child(pid);
    const auto status = child.wait_until(deadline);
    if (!status) return failed(worker_message::timed_out);
    if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0) return failed(failure_message(*status, folder));

    ResultContent result = collect_results(folder.run());
    if (result.empty()) {
        const std::string tail = output_tail(folder);
        return failed(tail.empty() ? std::string(worker_message::no_output)
                                   : std::string(worker_message::no_output) + "\n" + tail);
    }
    return {std::nullopt, std::move(result)};
}
}  // namespace

std::vector<std::string> split_command(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (in_word) words.push_back(std::move(word));
            word.clear();
            in_word = false;
            continue;
        }
        in_word = true;
        if (c == '\\') {
            if (++i == command.size()) throw std::invalid_argument("it ends with a backslash");
            word += command[i];
        } else if (c == '\'') {
            const auto end = command.find('\'', i + 1);
            if (end == std::string::npos) throw std::invalid_argument("a single quote is not closed");
            word += command.substr(i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i == command.size()) throw std::invalid_argument("a double quote is not closed");
                if (command[i] == '"') break;
                if (command[i] == '\\' && i + 1 < command.size() &&
                    (command[i + 1] == '"' || command[i + 1] == '\\' || command[i + 1] == '$' || command[i + 1] == '`'))
                    ++i;
                word += command[i];
            }
        } else {
            word += c;
        }
    }
    if (in_word) words.push_back(std::move(word));
    return words;
}

JobOutcome run_dfoundations_job(const std::string& job_document, std::chrono::seconds timeout,
                                const std::optional<std::string>& console)
{
    std::string error;
    const auto input = input_of(job_document, error);
    if (!input) return failed(error);

    const char* configured = std::getenv("DFOUNDATIONS_CONSOLE");
    const std::string command_text = console ? *console : configured ? configured : "";
    std::vector<std::string> command;
    try {
        command = split_command(command_text);
    } catch (const std::invalid_argument& problem) {
        return failed("The D-Foundations console command '" + command_text + "' cannot be read: " + problem.what() +
                      ".");
    }
    std::string engine_error;
    const std::optional<WorkerEngine> engine = chosen_worker_engine(engine_error);
    if (!engine) return failed(engine_error);
    const bool use_console = *engine == WorkerEngine::console || (*engine == WorkerEngine::automatic && !command.empty());
    if (!use_console) {
        const InProcessEngine in_process = in_process_engine();
        if (in_process) return run_in_process(in_process, *input, *engine == WorkerEngine::automatic);
        if (*engine == WorkerEngine::in_process) return failed(worker_message::no_core);
    }
    if (command.empty()) return failed(worker_message::no_console);

    try {
        return run(command, *input, timeout);
    } catch (const WaitStopped& stopped) {
        std::rethrow_exception(stopped.cause);
    } catch (const std::exception& problem) {
        return failed(std::string("The worker could not run the job: ") + problem.what());
    }
}

}  // namespace ostrand::host
