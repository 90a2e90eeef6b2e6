#include "ostrand/api_v1.hpp"

#include "ostrand/platform.hpp"

namespace ostrand::api_v1 {

std::string API::_upload_temporary_file(core::BytesIO& stream)
{
    // A view of what is left, not a copy: model documents run to tens of megabytes.
    const std::string_view rest = std::string_view(stream.getvalue()).substr(stream.tell());
    std::string url = platform()->upload_temporary_file(rest);
    stream.seek(stream.getvalue().size());
    return url;
}

void API::_discard_temporary_file(const std::string& url) { platform()->discard_temporary_file(url); }

std::vector<std::string> API::_generate_temporary_file_urls() { return platform()->generate_temporary_file_urls(); }

}  // namespace ostrand::api_v1
