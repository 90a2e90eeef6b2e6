// The texts the embedded platform takes from outside: Base64 bodies, file:// URLs, console commands
// and job documents. None may crash it; Base64 that decodes must encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "host/base64.hpp"
#include "host/file_url.hpp"
#include "host/local_worker.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto bytes = ostrand::host::base64_decode(text)) {
        const auto again = ostrand::host::base64_decode(ostrand::host::base64_encode(*bytes));
        if (!again || *again != *bytes) std::abort();
    }
    try {
        ostrand::host::path_of_file_url(text);
    } catch (const std::exception&) {
    }
    try {
        ostrand::host::split_command(text);
    } catch (const std::invalid_argument&) {
    }
    // With no console program configured, a job is read but never run.
    ostrand::host::run_dfoundations_job(text, std::chrono::seconds(1), std::string());
    return 0;
}
