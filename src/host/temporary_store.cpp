#include "host/temporary_store.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "host/file_url.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::host {

namespace fs = std::filesystem;

namespace {
std::string system_message(int error) { return std::strerror(error); }

[[noreturn]] void fail(const std::string& what, int error)
{
    throw errors::StorageError(what + ": " + system_message(error) + ".");
}

// The folder a path names, without a trailing separator.
fs::path folder_path(const fs::path& path)
{
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal;
}

bool is_store_name(const std::string& name)
{
    return name.size() == 32 && name.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// ".<store name>.XXXXXX": a file being written beside its final name, left behind only by a
// program that was killed halfway.
bool is_aside_name(const std::string& name)
{
    constexpr std::size_t size = 1 + 32 + 1 + 6;
    return name.size() == size && name.front() == '.' && name[33] == '.' && is_store_name(name.substr(1, 32));
}

void write_all(int descriptor, std::string_view bytes, const fs::path& path)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("Cannot write " + path.string(), errno);
        written += static_cast<std::size_t>(n);
    }
}
}  // namespace

std::string random_name()
{
    static constexpr char digits[] = "0123456789abcdef";
    std::random_device source;  // the kernel's random source, not a seeded generator
    std::string name;
    for (int word = 0; word < 4; ++word) {
        std::uint32_t value = source();
        for (int i = 0; i < 8; ++i, value >>= 4) name += digits[value & 15];
    }
    return name;
}

void write_file_atomically(const fs::path& target, std::string_view bytes)
{
    std::string aside_name = ".";  // hidden, and never a name the store hands out
    aside_name += target.filename().string();
    aside_name += ".XXXXXX";
    std::string aside = (target.parent_path() / aside_name).string();
    const int descriptor = ::mkstemp(aside.data());
    if (descriptor < 0) fail("Cannot create a file in " + target.parent_path().string(), errno);
    try {
        write_all(descriptor, bytes, aside);
    } catch (...) {
        ::close(descriptor);
        ::unlink(aside.c_str());
        throw;
    }
    if (::close(descriptor) != 0) {  // closed even when it fails: never closed twice
        const int error = errno;
        ::unlink(aside.c_str());
        fail("Cannot write " + aside, error);
    }
    if (::rename(aside.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(aside.c_str());
        fail("Cannot store " + target.string(), error);
    }
}

std::string read_file(const fs::path& path)
{
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) fail("Cannot read " + path.string(), EISDIR);
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) fail("Cannot read " + path.string(), errno);
    // Read in one piece of the file's size: growing a string as it comes would take twice as much.
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) fail("Cannot read " + path.string(), errno);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    // A file that grew meanwhile: the rest as it comes.
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) fail("Cannot read " + path.string(), errno);
    return bytes;
}

TemporaryStore::TemporaryStore(fs::path folder, bool must_be_private)
    : folder_(folder_path(fs::absolute(folder))),
      must_be_private_(must_be_private)
{
}

TemporaryStore TemporaryStore::from_environment()
{
    const char* configured = std::getenv("DFOUNDATIONS_STORE");
    if (configured && *configured) return TemporaryStore(configured);
    return TemporaryStore(fs::temp_directory_path() / ("dfoundations-store-" + std::to_string(::getuid())), true);
}

void TemporaryStore::ensure_folder() const
{
    if (!must_be_private_) {
        std::error_code error;
        fs::create_directories(folder_, error);
        if (error)
            throw errors::StorageError("Cannot create the store " + folder_.string() + ": " + error.message() + ".");
        return;
    }
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST)
        fail("Cannot create the store " + folder_.string(), errno);
    struct stat status {};
    if (::lstat(folder_.c_str(), &status) != 0) fail("Cannot use the store " + folder_.string(), errno);
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0)
        throw errors::StorageError("The store " + folder_.string() +
                                   " is not a private folder of this user; set DFOUNDATIONS_STORE to another folder.");
}

std::string TemporaryStore::put(std::string_view bytes)
{
    ensure_folder();
    const fs::path target = folder_ / random_name();
    write_file_atomically(target, bytes);
    return file_url(target);
}

TemporarySlot TemporaryStore::new_slot()
{
    const std::string name = random_name();
    return {file_url(folder_ / ""), nlohmann::json{{"key", name}}.dump(), file_url(folder_ / name)};
}

void TemporaryStore::fill_slot(const std::string& upload_url, const std::string& upload_data, const std::string& bytes)
{
    if (folder_path(path_of_file_url(upload_url)) != folder_)
        throw std::invalid_argument("The upload URL '" + upload_url + "' is not this machine's store.");
    const auto data = nlohmann::json::parse(upload_data, nullptr, false);
    const auto key = data.is_object() ? data.find("key") : data.end();
    if (key == data.end() || !key->is_string() || !is_store_name(key->get<std::string>()))
        throw std::invalid_argument("The upload data '" + upload_data + "' names no slot of this store.");
    ensure_folder();
    write_file_atomically(folder_ / key->get<std::string>(), bytes);
}

void TemporaryStore::discard(const std::string& download_url) const
{
    fs::path path;
    try {
        path = path_of_file_url(download_url);
    } catch (const std::exception&) {
        return;
    }
    if (folder_path(path.parent_path() / "") != folder_ || !is_store_name(path.filename().string())) return;
    std::error_code ignored;
    fs::remove(path, ignored);
}

void TemporaryStore::drop_older_than(std::chrono::seconds age) const
{
    std::error_code error;
    if (!fs::is_directory(folder_, error)) return;
    const auto limit = fs::file_time_type::clock::now() - age;
    for (fs::directory_iterator entry(folder_, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        const std::string name = entry->path().filename().string();
        if (!(is_store_name(name) || is_aside_name(name)) || !entry->is_regular_file(ignored)) continue;
        const auto written = entry->last_write_time(ignored);
        if (!ignored && written < limit) fs::remove(entry->path(), ignored);
    }
}

}  // namespace ostrand::host
