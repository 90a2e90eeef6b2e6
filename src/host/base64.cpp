#include "host/base64.hpp"

#include <array>
#include <cstdint>

namespace ostrand::host {

namespace {
constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> make_decoding_table()
{
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (std::size_t i = 0; i < alphabet.size(); ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}
constexpr auto decoding_table = make_decoding_table();

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string base64_encode(std::string_view bytes)
{
    std::string out((bytes.size() + 2) / 3 * 4, '=');
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
    std::size_t i = 0;
    std::size_t o = 0;
    for (; i + 3 <= bytes.size(); i += 3, o += 4) {
        const std::uint32_t n = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out[o] = alphabet[n >> 18 & 63];
        out[o + 1] = alphabet[n >> 12 & 63];
        out[o + 2] = alphabet[n >> 6 & 63];
        out[o + 3] = alphabet[n & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const std::uint32_t n = byte(i) << 16 | (rest == 2 ? byte(i + 1) << 8 : 0);
        out[o] = alphabet[n >> 18 & 63];
        out[o + 1] = alphabet[n >> 12 & 63];
        if (rest == 2) out[o + 2] = alphabet[n >> 6 & 63];
    }
    return out;
}

std::optional<std::string> base64_decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t buffer = 0;
    int bits = 0;
    std::size_t symbols = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (is_blank(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = decoding_table[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0) return std::nullopt;  // a foreign character, or data after padding
        buffer = (buffer << 6 | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
        bits += 6;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    if (symbols % 4 == 1 || padding > 2 || (padding > 0 && (symbols + padding) % 4 != 0)) return std::nullopt;
    return out;
}

}  // namespace ostrand::host
