#include "ostrand/platform.hpp"

#include <mutex>
#include <utility>

#include "host/embedded_platform.hpp"

namespace ostrand {

namespace {
std::mutex platform_mutex;
thread_local JobWaitCheck job_wait_check;
std::shared_ptr<Platform>& installed()
{
    static std::shared_ptr<Platform> current = std::make_shared<host::EmbeddedPlatform>();
    return current;
}
}  // namespace

std::shared_ptr<Platform> platform()
{
    std::lock_guard lock(platform_mutex);
    return installed();
}

std::shared_ptr<Platform> set_platform(std::shared_ptr<Platform> replacement)
{
    std::lock_guard lock(platform_mutex);
    if (!replacement) replacement = std::make_shared<host::EmbeddedPlatform>();
    installed().swap(replacement);
    return replacement;
}

JobWaitCheck set_job_wait_check(JobWaitCheck check)
{
    std::swap(job_wait_check, check);
    return check;
}

void check_job_wait()
{
    if (job_wait_check) job_wait_check();
}

}  // namespace ostrand
