#include "files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <utility>

namespace dfoundations_cli {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& what, const std::string& path, int error)
{
    throw FileError(what + " '" + path + "': " + std::strerror(error) + ".");
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor()
    {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    int release() { return std::exchange(descriptor_, -1); }

private:
    int descriptor_;
};

[[noreturn]] void too_large(const std::string& path)
{
    throw FileError("Cannot read '" + path + "': it is larger than 1 GiB, the most this program reads.");
}

std::string read_all(int descriptor, const std::string& path)
{
    std::string bytes;
    struct stat status {};
    const bool known = ::fstat(descriptor, &status) == 0;
    if (known && S_ISDIR(status.st_mode)) fail("Cannot read", path, EISDIR);
    if (known && S_ISREG(status.st_mode)) {
        if (static_cast<std::uintmax_t>(status.st_size) > MAX_INPUT_BYTES) too_large(path);
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0) return bytes;
        if (count < 0) {
            if (errno == EINTR) continue;
            fail("Cannot read", path, errno);
        }
        if (bytes.size() + static_cast<std::size_t>(count) > MAX_INPUT_BYTES) too_large(path);
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

void write_all(int descriptor, std::string_view bytes, const std::string& path)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            fail("Cannot write", path, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

bool same_file(const std::string& a, const std::string& b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The file a path finally names: symbolic links followed, also when the last target does not exist yet.
std::string resolved(const std::string& path)
{
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::absolute(path), error);
    return error ? path : target.string();
}

mode_t new_file_mode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void replace_atomically(const std::string& path, std::string_view bytes, mode_t mode)
{
    const fs::path target(path);
    std::string aside = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    Descriptor descriptor(::mkstemp(aside.data()));
    if (descriptor.get() < 0) fail("Cannot create a file beside", path, errno);
    try {
        write_all(descriptor.get(), bytes, path);
        if (::fchmod(descriptor.get(), mode) != 0) fail("Cannot write", path, errno);
        if (::close(descriptor.release()) != 0) fail("Cannot write", path, errno);
        if (::rename(aside.c_str(), path.c_str()) != 0) fail("Cannot write", path, errno);
    } catch (...) {
        ::unlink(aside.c_str());
        throw;
    }
}

}  // namespace

std::string read_input(const std::string& path)
{
    if (path == "-") return read_all(STDIN_FILENO, "standard input");
    Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (descriptor.get() < 0) fail("Cannot read", path, errno);
    return read_all(descriptor.get(), path);
}

void write_standard_output(std::string_view text)
{
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout) throw FileError("Cannot write to standard output: the stream is closed or the disk is full.");
}

void write_output(const std::string& path, std::string_view bytes, const std::string& input_path)
{
    if (path.empty() || path == "-") return write_standard_output(bytes);
    if (!input_path.empty() && input_path != "-" && same_file(path, input_path))
        throw FileError("Refusing to write '" + path + "': it is the input file; choose another output path.");
    const std::string target = resolved(path);
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) fail("Cannot write", path, EISDIR);
        if (!S_ISREG(status.st_mode)) {
            // A FIFO, a terminal or a device: write into it, as a shell redirection would.
            Descriptor descriptor(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
            if (descriptor.get() < 0) fail("Cannot write", path, errno);
            write_all(descriptor.get(), bytes, path);
            if (::close(descriptor.release()) != 0) fail("Cannot write", path, errno);
            return;
        }
        return replace_atomically(target, bytes, status.st_mode & 07777);
    }
    if (errno != ENOENT) fail("Cannot write", path, errno);
    replace_atomically(target, bytes, new_file_mode());
}

}  // namespace dfoundations_cli
