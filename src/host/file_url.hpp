// file:// URLs of local paths, percent-encoded both ways.
#pragma once

#include <filesystem>
#include <string>

namespace ostrand::host {

// The file:// URL of the absolute path `path`.
std::string file_url(const std::filesystem::path& path);
// The local path that a file:// URL names ("file:///p" or "file://localhost/p").
// Another scheme or a remote host raises errors::NotImplementedError; a malformed URL (a bad
// percent escape, an encoded NUL, a relative path) raises std::invalid_argument.
std::filesystem::path path_of_file_url(const std::string& url);

}  // namespace ostrand::host
