// The platform that serves everything on this machine, with no network.
#pragma once

#include "ostrand/platform.hpp"

namespace ostrand::host {

class EmbeddedPlatform : public Platform {
public:
    std::string upload_temporary_file(const std::string& bytes) override;
    std::vector<std::string> generate_temporary_file_urls() override;
    void post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                                std::chrono::seconds timeout) override;
    std::string download(const std::string& url) override;
    JobOutcome execute_job(const std::string& job_document, std::chrono::seconds timeout) override;
};

}  // namespace ostrand::host
