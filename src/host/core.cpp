#include "ostrand/core.hpp"

#include <nlohmann/json.hpp>

#include "ostrand/platform.hpp"

namespace ostrand::core {

std::string BytesIO::read(std::size_t count)
{
    const std::size_t available = bytes_.size() - position_;
    const std::size_t taken = count < available ? count : available;
    std::string out = bytes_.substr(position_, taken);
    position_ += taken;
    return out;
}

File File::from_data(std::string bytes) { return File(std::make_shared<const std::string>(std::move(bytes))); }

File File::from_url(const std::string& url) { return from_data(platform()->download(url)); }

std::unique_ptr<BytesIO> File::open_binary() const { return std::make_unique<BytesIO>(*bytes_); }

void _post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                             std::chrono::seconds timeout)
{
    platform()->post_on_addon_endpoint(path, payload, timeout);
}

}  // namespace ostrand::core
