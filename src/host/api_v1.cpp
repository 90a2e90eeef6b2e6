#include "ostrand/api_v1.hpp"

#include "ostrand/platform.hpp"

namespace ostrand::api_v1 {

std::string API::_upload_temporary_file(core::BytesIO& stream)
{
    return platform().upload_temporary_file(stream.read());
}

std::vector<std::string> API::_generate_temporary_file_urls()
{
    return platform().generate_temporary_file_urls();
}

}  // namespace ostrand::api_v1
