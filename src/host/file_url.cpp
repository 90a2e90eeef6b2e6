#include "host/file_url.hpp"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace {
bool is_unreserved(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string percent_decode(const std::string& text, const std::string& url)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hex_value(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
        if (high < 0 || low < 0) throw std::invalid_argument("Malformed percent escape in the URL '" + url + "'.");
        const char c = static_cast<char>(high * 16 + low);
        if (c == '\0') throw std::invalid_argument("The URL '" + url + "' names a path with a NUL character.");
        out += c;
        i += 2;
    }
    return out;
}
}  // namespace

std::string file_url(const std::filesystem::path& path)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path.string()) {
        if (is_unreserved(c)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 15];
        }
    }
    return url;
}

std::filesystem::path path_of_file_url(const std::string& url)
{
    const auto colon = url.find(':');
    if (colon == std::string::npos) throw std::invalid_argument("'" + url + "' is not a URL.");
    const std::string scheme = lower(url.substr(0, colon));
    if (scheme != "file")
        throw errors::NotImplementedError("Only file:// URLs can be read on this machine, not '" + url + "'.");
    if (url.compare(colon, 3, "://") != 0) throw std::invalid_argument("'" + url + "' is not a file:// URL.");
    const std::string rest = url.substr(colon + 3);
    const auto slash = rest.find('/');
    const std::string host = lower(rest.substr(0, slash));
    if (!host.empty() && host != "localhost")
        throw errors::NotImplementedError("Only local file:// URLs can be read on this machine, not '" + url + "'.");
    if (slash == std::string::npos) throw std::invalid_argument("The URL '" + url + "' names no path.");
    // A query or a fragment is no part of the path.
    const std::string encoded_path = rest.substr(slash, rest.find_first_of("?#", slash) - slash);
    return std::filesystem::path(percent_decode(encoded_path, url));
}

}  // namespace ostrand::host
