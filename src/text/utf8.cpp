#include "text/utf8.hpp"

namespace ostrand::text {

namespace {
bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
}  // namespace

std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code_point)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        code_point = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code_point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code_point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code_point = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!is_continuation(byte(i))) return 0;
        code_point = (code_point << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
    if (code_point < minimum || surrogate || code_point > 0x10FFFF) return 0;
    return length;
}

std::size_t code_point_count(std::string_view text)
{
    std::size_t count = 0;
    char32_t code_point;
    for (std::size_t at = 0; at < text.size(); ++count) {
        const std::size_t length = decode_utf8(text, at, code_point);
        at += length == 0 ? 1 : length;
    }
    return count;
}

bool is_valid_utf8(std::string_view text)
{
    char32_t code_point;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = decode_utf8(text, at, code_point);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string utf8_or_latin1(std::string bytes)
{
    if (is_valid_utf8(bytes)) return bytes;
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
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

std::string displayable(std::string_view text)
{
    std::string shown;
    char32_t code_point;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = decode_utf8(text, at, code_point);
        if (length == 0) {
            shown += "\xEF\xBF\xBD";
            ++at;
        } else {
            shown.append(text.substr(at, length));
            at += length;
        }
    }
    return shown;
}

}  // namespace ostrand::text
