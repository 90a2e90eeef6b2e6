#include "host/worker_engines.hpp"

#include <cstdlib>
#include <mutex>

namespace ostrand {

namespace {
std::mutex engines_mutex;
InProcessEngine installed_engine;
std::optional<WorkerEngine> chosen_engine;
}  // namespace

InProcessEngine set_in_process_engine(InProcessEngine engine)
{
    std::lock_guard lock(engines_mutex);
    installed_engine.swap(engine);
    return engine;
}

bool has_in_process_engine()
{
    std::lock_guard lock(engines_mutex);
    return static_cast<bool>(installed_engine);
}

void set_worker_engine(std::optional<WorkerEngine> engine)
{
    std::lock_guard lock(engines_mutex);
    chosen_engine = engine;
}

namespace host {

std::optional<WorkerEngine> chosen_worker_engine(std::string& error)
{
    {
        std::lock_guard lock(engines_mutex);
        if (chosen_engine) return chosen_engine;
    }
    const char* variable = std::getenv("DFOUNDATIONS_ENGINE");
    const std::string value = variable != nullptr ? variable : "";
    if (value.empty()) return WorkerEngine::automatic;
    if (value == "console") return WorkerEngine::console;
    if (value == "core") return WorkerEngine::in_process;
    error = "The environment variable DFOUNDATIONS_ENGINE is '" + value + "'; it takes console or core.";
    return std::nullopt;
}

InProcessEngine in_process_engine()
{
    std::lock_guard lock(engines_mutex);
    return installed_engine;
}

}  // namespace host
}  // namespace ostrand
