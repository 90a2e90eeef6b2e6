// Installs a fresh embedded platform, with its store in a scratch folder of its own, for the
// lifetime of the guard, and puts the previous platform back afterwards.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/embedded_platform.hpp"
#include "ostrand/platform.hpp"
#include "support/scratch_folder.hpp"

namespace test_support {

class EmbeddedPlatformGuard {
public:
    explicit EmbeddedPlatformGuard(std::optional<std::string> console = std::nullopt)
        : platform_(std::make_shared<ostrand::host::EmbeddedPlatform>(
              ostrand::host::EmbeddedPlatformOptions{.store = store_.path() / "store", .console = std::move(console)})),
          previous_(ostrand::set_platform(platform_))
    {
    }
    ~EmbeddedPlatformGuard() { ostrand::set_platform(previous_); }
    EmbeddedPlatformGuard(const EmbeddedPlatformGuard&) = delete;
    EmbeddedPlatformGuard& operator=(const EmbeddedPlatformGuard&) = delete;

    ostrand::host::EmbeddedPlatform& platform() const { return *platform_; }

private:
    ScratchFolder store_;
    std::shared_ptr<ostrand::host::EmbeddedPlatform> platform_;
    std::shared_ptr<ostrand::Platform> previous_;
};

}  // namespace test_support
