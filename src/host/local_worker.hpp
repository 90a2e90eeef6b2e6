// The embedded worker: runs the D-Foundations console program of one job in a folder of its own.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "ostrand/platform.hpp"

namespace ostrand::host {

// The worker's own messages for failures that are not the program's words.
namespace worker_message {
inline constexpr const char* timed_out = "The job timed out.";
inline constexpr const char* no_console = "No D-Foundations console program is configured.";
inline constexpr const char* no_output = "D-Foundations wrote no output file.";
inline constexpr const char* no_input = "The job holds no readable input file.";
inline constexpr const char* no_core = "No calculation engine runs in this process.";
}  // namespace worker_message

// Splits a command into words the way a shell would for plain words, blanks, quotes ('...', "...")
// and backslash escapes, but without running a shell: nothing else is special. An unterminated
// quote or a trailing backslash raises std::invalid_argument.
std::vector<std::string> split_command(const std::string& command);

// Runs a D-Foundations job: `job_document` is the JSON text that ExternalProgram::execute writes.
// The engine is the one chosen (set_worker_engine, $DFOUNDATIONS_ENGINE): by default the console
// program when one is configured, else the in-process engine (the open calculation core), else it fails.
// `console` is the command that runs D-Foundations (absent: $DFOUNDATIONS_CONSOLE); the input
// file's path is appended to it as one more word. The program runs in a fresh folder, as the leader
// of its own process group, for at most `timeout`; then the whole group is killed. Every file the
// program leaves in its folder becomes part of the result. Failures come back as the outcome's error.
JobOutcome run_dfoundations_job(const std::string& job_document, std::chrono::seconds timeout,
                                const std::optional<std::string>& console);

}  // namespace ostrand::host
