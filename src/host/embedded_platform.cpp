#include "embedded_platform.hpp"

#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace {
[[noreturn]] void unavailable(const std::string& what)
{
    throw errors::InternalError("The embedded platform does not offer " + what + " yet.");
}
}  // namespace

std::string EmbeddedPlatform::upload_temporary_file(const std::string&) { unavailable("temporary files"); }
std::vector<std::string> EmbeddedPlatform::generate_temporary_file_urls() { unavailable("temporary files"); }
void EmbeddedPlatform::post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json&,
                                              std::chrono::seconds)
{
    unavailable("the endpoint " + path);
}
std::string EmbeddedPlatform::download(const std::string&) { unavailable("downloads"); }
JobOutcome EmbeddedPlatform::execute_job(const std::string&, std::chrono::seconds) { unavailable("jobs"); }

}  // namespace ostrand::host
