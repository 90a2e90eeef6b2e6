// A fresh folder for one test, removed afterwards, and stand-in programs written into it.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace test_support {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "dfoundations-test-XXXXXX").string();
        if (!::mkdtemp(name.data())) throw std::runtime_error("cannot create a scratch folder");
        path_ = name;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    std::filesystem::path write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return path_ / name;
    }
    // A shell script that stands in for a program.
    std::filesystem::path script(const std::string& name, const std::string& body) const
    {
        const auto path = write(name, "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }

private:
    std::filesystem::path path_;
};

inline std::string read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace test_support
