// The engine the embedded worker computes a job with, as set by the program or the environment.
#pragma once

#include <optional>
#include <string>

#include "ostrand/platform.hpp"

namespace ostrand::host {

// The engine chosen: set_worker_engine, else $DFOUNDATIONS_ENGINE ("console" or "core"), else automatic.
// A value of the variable it does not know sets `error` and gives nullopt.
std::optional<WorkerEngine> chosen_worker_engine(std::string& error);
// A copy of the installed in-process engine (empty when none is).
InProcessEngine in_process_engine();

}  // namespace ostrand::host
