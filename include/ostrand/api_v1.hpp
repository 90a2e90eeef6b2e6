// The platform API client: temporary-file upload and temporary locations.
#pragma once

#include <string>
#include <vector>

#include "ostrand/core.hpp"

namespace ostrand::api_v1 {

class API {
public:
    API() = default;

    // Uploads the stream's remaining bytes and returns their URL.
    std::string _upload_temporary_file(core::BytesIO& stream);
    // Upload URL, upload data and download URL of a fresh temporary slot.
    std::vector<std::string> _generate_temporary_file_urls();
};

}  // namespace ostrand::api_v1
