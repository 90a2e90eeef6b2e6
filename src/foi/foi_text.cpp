#include "foi/foi_text.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "foi/document_node.hpp"
#include "text/utf8.hpp"

namespace ostrand::foi {

namespace {

std::string print(const char* format, int width, int decimals, double value)
{
    const int size = std::snprintf(nullptr, 0, format, width, decimals, value);
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, width, decimals, value);
    text.pop_back();
    return text;
}

bool only_zero_digits(std::string_view digits)
{
    for (const char c : digits)
        if (c >= '1' && c <= '9') return false;
    return true;
}

// The code points 0x80-0x9F of Windows-1252, indexed from 0x80; 0 marks the five unused positions.
constexpr std::array<char32_t, 32> windows_1252_high = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<char> windows_1252(char32_t code_point)
{
    if ((code_point >= 0x20 && code_point < 0x7F) || (code_point >= 0xA0 && code_point <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(code_point));
    for (std::size_t i = 0; i < windows_1252_high.size(); ++i)
        if (windows_1252_high[i] != 0 && windows_1252_high[i] == code_point)
            return static_cast<char>(static_cast<unsigned char>(0x80 + i));
    return std::nullopt;
}

std::string hex_code_point(char32_t code_point)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code_point));
    return text;
}

// `value` with `decimals` (0 to 9) digits after the point, rounded as printf rounds (half to even),
// from the exact binary value by integer arithmetic: much faster than the general rounding. Returns
// the end of the digits written to `buffer` (room for 64), or nullptr for a value it leaves to that
// rounding (very large or very small, subnormal, infinite or not a number).
char* exact_fixed(char* buffer, double value, int decimals)
{
    __extension__ typedef unsigned __int128 Wide;
    if (decimals < 0 || decimals > 9) return nullptr;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return nullptr;
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int exponent = biased - 1075;  // value = mantissa * 2^exponent
    if (exponent > 10 || exponent < -100) return nullptr;
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    Wide scaled = static_cast<Wide>(mantissa) * scale;
    Wide units = 0;
    if (exponent >= 0) {
        units = scaled << exponent;
    } else {
        const int shift = -exponent;
        units = scaled >> shift;  // shift <= 100
        const Wide rest = scaled - (units << shift);
        const Wide half = static_cast<Wide>(1) << (shift - 1);
        if (rest > half || (rest == half && (units & 1) != 0)) ++units;
    }
    char digits[48];
    int count = 0;
    while (units > UINT64_MAX) {
        digits[count++] = static_cast<char>('0' + static_cast<int>(units % 10));
        units /= 10;
    }
    // The common case in 64 bits, whose division by ten is a multiplication.
    for (auto narrow = static_cast<std::uint64_t>(units); count == 0 || narrow != 0; narrow /= 10)
        digits[count++] = static_cast<char>('0' + static_cast<int>(narrow % 10));
    while (count <= decimals) digits[count++] = '0';
    char* out = buffer;
    if ((bits >> 63) != 0) *out++ = '-';
    for (int i = count - 1; i >= 0; --i) {
        *out++ = digits[i];
        if (i == decimals && decimals > 0) *out++ = '.';
    }
    return out;
}

}  // namespace

void append_fixed(std::string& text, double value, int width, int decimals)
{
    char buffer[400];  // the widest double in fixed notation, with the decimals asked for here
    char* end = exact_fixed(buffer, value, decimals);
    if (end == nullptr) {
        const auto printed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        if (printed.ec != std::errc()) {
            text.append(print("%*.*f", width, decimals, value));
            return;
        }
        end = printed.ptr;
    }
    std::string_view printed(buffer, static_cast<std::size_t>(end - buffer));
    // A value that rounds to zero is zero: no minus sign.
    if (printed.front() == '-' && only_zero_digits(printed)) printed.remove_prefix(1);
    if (static_cast<int>(printed.size()) < width) text.append(static_cast<std::size_t>(width) - printed.size(), ' ');
    text.append(printed);
}

std::string fixed(double value, int width, int decimals)
{
    std::string text;
    append_fixed(text, value, width, decimals);
    return text;
}

std::string column(double value, int width, int decimals)
{
    std::string text = fixed(value, width, decimals);
    if (text.front() != ' ') text.insert(0, 1, ' ');
    return text;
}

std::string padded(std::int64_t value, int width)
{
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) >= width) return digits;
    return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

std::string scientific(double value, int width)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3E", value);
    std::string text = buffer;
    // printf writes at least two exponent digits; D-Foundations writes four.
    const auto sign = text.find_first_of("+-", text.find('E'));
    std::string exponent = text.substr(sign + 1);
    while (exponent.size() < 4) exponent.insert(0, 1, '0');
    text = text.substr(0, sign + 1) + exponent;
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string line_text(std::string_view text, const DocumentNode& source)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code_point;
        const std::size_t length = text::decode_utf8(text, at, code_point);
        if (length == 0) source.fail("is not valid UTF-8.");
        at += length;
        if (code_point < 0x20 || code_point == 0x7F)
            source.fail("contains the control character " + hex_code_point(code_point) +
                        ", which cannot stand on a line of a D-Foundations input file.");
        const auto encoded = windows_1252(code_point);
        if (!encoded)
            source.fail("contains the character " + hex_code_point(code_point) +
                        ", which a D-Foundations input file (Windows-1252) cannot hold.");
        result.push_back(*encoded);
    }
    return result;
}

std::string utf8_from_windows_1252(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
            continue;
        }
        char32_t code_point = byte;
        if (byte < 0xA0 && windows_1252_high[byte - 0x80] != 0) code_point = windows_1252_high[byte - 0x80];
        if (code_point < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        } else {
            text.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
            text.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        }
        text.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
    return text;
}

std::string unencodable_character(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        char32_t code_point;
        const std::size_t length = text::decode_utf8(text, at, code_point);
        if (length == 0) return "a byte that is no UTF-8";
        at += length;
        const bool unused_position = code_point >= 0x80 && code_point < 0xA0 && windows_1252_high[code_point - 0x80] == 0;
        if (code_point >= 0x80 && !unused_position && !windows_1252(code_point)) return hex_code_point(code_point);
    }
    return {};
}

std::string windows_1252_from_utf8(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code_point;
        const std::size_t length = text::decode_utf8(text, at, code_point);
        if (length == 0) {
            bytes.push_back('?');
            ++at;
            continue;
        }
        at += length;
        if (code_point < 0x80) {
            bytes.push_back(static_cast<char>(code_point));
        } else if (code_point < 0xA0 && windows_1252_high[code_point - 0x80] == 0) {
            bytes.push_back(static_cast<char>(static_cast<unsigned char>(code_point)));
        } else {
            const auto encoded = windows_1252(code_point);
            bytes.push_back(encoded ? *encoded : '?');
        }
    }
    return bytes;
}

void FoiText::line(std::string_view text)
{
    text_.append(text);
    text_.append("\r\n");
}

void FoiText::line(std::initializer_list<std::string_view> pieces)
{
    for (const std::string_view piece : pieces) text_.append(piece);
    text_.append("\r\n");
}

void FoiText::setting(std::string_view value, std::string_view caption)
{
    text_.append(value);
    text_.append(" : ");
    text_.append(caption);
    text_.append("\r\n");
}

}  // namespace ostrand::foi
