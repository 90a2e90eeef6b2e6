// The platform API client: temporary-file upload and temporary locations.
#pragma once

#include <string>
#include <vector>

#include "ostrand/core.hpp"

namespace ostrand::api_v1 {

// The platform's API: temporary files for the model documents and input files the library passes on.
class API {
public:
    // A client of the current platform.
    API() = default;

    // Uploads the stream's remaining bytes and returns their URL.
    std::string _upload_temporary_file(core::BytesIO& stream);
    // Upload URL, upload data and download URL of a fresh temporary slot.
    std::vector<std::string> _generate_temporary_file_urls();
    // Lets the platform drop a temporary file once nothing needs it any more.
    void _discard_temporary_file(const std::string& url);
};

}  // namespace ostrand::api_v1
