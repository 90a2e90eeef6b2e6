#include "text_encoding.hpp"

namespace dfoundations_cli {

bool is_valid_utf8(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        const unsigned char c = byte(at);
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (c < 0x80) {
            ++at;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;  // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            return false;
        }
        if (at + length > bytes.size()) return false;
        if (byte(at + 1) < low || byte(at + 1) > high) return false;
        for (std::size_t i = 2; i < length; ++i) {
            if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return false;
        }
        at += length;
    }
    return true;
}

std::string utf8_text(std::string bytes)
{
    if (is_valid_utf8(bytes)) return bytes;
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

}  // namespace dfoundations_cli
