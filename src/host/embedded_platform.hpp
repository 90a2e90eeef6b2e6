// The platform that serves everything on this machine, with no network: temporary files in a local
// store, file:// downloads, the D-Foundations template endpoint in-process, and analysis jobs run
// by a local worker as child processes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "host/template_service.hpp"
#include "host/temporary_store.hpp"
#include "ostrand/platform.hpp"

namespace ostrand::host {

struct EmbeddedPlatformOptions {
    // The store of temporary files; absent: $DFOUNDATIONS_STORE, else <temp>/dfoundations-store-<uid>.
    std::optional<std::filesystem::path> store = {};
    // Fills the D-Foundations template; absent: fill_dfoundations_template.
    TemplateFiller fill_template = {};
    // The command that runs the D-Foundations console program; absent: $DFOUNDATIONS_CONSOLE, read
    // when a job starts.
    std::optional<std::string> console = {};
};

class EmbeddedPlatform : public Platform {
public:
    explicit EmbeddedPlatform(EmbeddedPlatformOptions options = {});

    std::string upload_temporary_file(std::string_view bytes) override;
    std::vector<std::string> generate_temporary_file_urls() override;
    // Serves "filldfoundationstemplate/v2/jobs/" at once, on the caller's thread; the template is
    // filled in-process, so `timeout` has nothing to bound. Any other path raises errors::InternalError.
    void post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                                std::chrono::seconds timeout) override;
    // Reads file:// URLs only: see path_of_file_url for the errors.
    std::string download(const std::string& url) override;
    // Removes a file of this store; URLs of anything else are left alone.
    void discard_temporary_file(const std::string& url) override;
    JobOutcome execute_job(const std::string& job_document, std::chrono::seconds timeout) override;

    const std::filesystem::path& store_folder() const { return store_.folder(); }

private:
    TemporaryStore store_;
    TemplateFiller fill_template_;
    std::optional<std::string> console_;
};

}  // namespace ostrand::host
