// Core host types: in-memory streams, files, colours and the add-on endpoint.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace ostrand::core {

// An in-memory byte stream: bytes, a read position and an open/closed state.
class BytesIO {
public:
    // An empty stream.
    BytesIO() = default;
    // A stream over `bytes`, positioned at the start.
    explicit BytesIO(std::string bytes) : bytes_(std::move(bytes)) {}

    // Reads up to `count` bytes from the current position (all that is left by default).
    std::string read(std::size_t count = std::string::npos);
    // All the bytes, wherever the position is.
    const std::string& getvalue() const { return bytes_; }
    // Moves the read position (at most to the end).
    void seek(std::size_t position) { position_ = position < bytes_.size() ? position : bytes_.size(); }
    // The read position.
    std::size_t tell() const { return position_; }
    // Marks the stream closed; its bytes stay readable through getvalue().
    void close() { closed_ = true; }
    // Whether close() was called.
    bool closed() const { return closed_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
    bool closed_ = false;
};

// An in-memory text buffer holding decoded text (UTF-8). Reading gives the whole text.
class StringIO {
public:
    // An empty buffer.
    StringIO() = default;
    // A buffer holding `text` (UTF-8).
    explicit StringIO(std::string text) : text_(std::move(text)) {}

    // The whole text.
    const std::string& read() const { return text_; }
    // The whole text.
    const std::string& getvalue() const { return text_; }

private:
    std::string text_;
};

// A file of the platform: an immutable sequence of bytes.
class File {
public:
    // A file that holds exactly these bytes.
    static File from_data(std::string bytes);
    // The resource at `url`, fetched through the current platform.
    static File from_url(const std::string& url);

    // A fresh stream over the file's bytes; the caller closes it.
    std::unique_ptr<BytesIO> open_binary() const;
    // The whole content.
    // @python bytes
    const std::string& getvalue_binary() const { return *bytes_; }

private:
    explicit File(std::shared_ptr<const std::string> bytes) : bytes_(std::move(bytes)) {}
    std::shared_ptr<const std::string> bytes_;
};

// A colour. D-Foundations writes colours as one integer: red + 256 * green + 65536 * blue.
class Color {
public:
    // @param red, green, blue  0 to 255
    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue) : r_(red), g_(green), b_(blue) {}

    // White, the colour of a material that names none.
    static constexpr Color white() { return Color(255, 255, 255); }
    // The colour of a D-Foundations colour code. Out-of-range codes keep their lowest 24 bits.
    // @param code  red + 256 * green + 65536 * blue
    static constexpr Color from_deltares(std::int64_t code)
    {
        return Color(static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>((code >> 8) & 0xFF),
                     static_cast<std::uint8_t>((code >> 16) & 0xFF));
    }
    // The colour as D-Foundations writes it: red + 256 * green + 65536 * blue.
    constexpr std::int64_t deltares() const { return r_ + 256 * g_ + 65536 * b_; }

    // 0 to 255.
    constexpr std::uint8_t red() const { return r_; }
    // 0 to 255.
    constexpr std::uint8_t green() const { return g_; }
    // 0 to 255.
    constexpr std::uint8_t blue() const { return b_; }
    constexpr bool operator==(const Color&) const = default;

private:
    std::uint8_t r_, g_, b_;
};

// Posts `payload` to the platform's add-on `path`; returning means the job is done.
// A failure of the service raises errors::InternalError.
void _post_on_addon_endpoint(const std::string& path, const nlohmann::ordered_json& payload,
                             std::chrono::seconds timeout = std::chrono::seconds(60));

}  // namespace ostrand::core
