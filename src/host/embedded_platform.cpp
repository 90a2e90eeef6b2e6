#include "host/embedded_platform.hpp"

#include <nlohmann/json.hpp>

#include "foi/input_file_writer.hpp"
#include "host/file_url.hpp"
#include "host/local_worker.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace {
TemplateFiller default_template()
{
    return [](const nlohmann::ordered_json& document) { return foi::fill_dfoundations_template(document); };
}
}  // namespace

EmbeddedPlatform::EmbeddedPlatform(EmbeddedPlatformOptions options)
    : store_(options.store ? TemporaryStore(*options.store) : TemporaryStore::from_environment()),
      fill_template_(options.fill_template ? std::move(options.fill_template) : default_template()),
      console_(std::move(options.console))
{
    // Files of roads that ended without discarding them (a crash, a killed program) go after a day.
    store_.drop_older_than(std::chrono::hours(24));
}

std::string EmbeddedPlatform::upload_temporary_file(std::string_view bytes) { return store_.put(bytes); }

std::vector<std::string> EmbeddedPlatform::generate_temporary_file_urls()
{
    TemporarySlot slot = store_.new_slot();
    return {std::move(slot.upload_url), std::move(slot.upload_data), std::move(slot.download_url)};
}

void EmbeddedPlatform::post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                                              std::chrono::seconds)
{
    if (path != template_endpoint) throw errors::InternalError("The platform has no add-on endpoint '" + path + "'.");
    serve_template_job(payload, store_, fill_template_);
}

std::string EmbeddedPlatform::download(const std::string& url) { return read_file(path_of_file_url(url)); }

void EmbeddedPlatform::discard_temporary_file(const std::string& url) { store_.discard(url); }

JobOutcome EmbeddedPlatform::execute_job(const std::string& job_document, std::chrono::seconds timeout)
{
    return run_dfoundations_job(job_document, timeout, console_);
}

}  // namespace ostrand::host
