#include "external/dfoundations/output/text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace ostrand::external::dfoundations::detail {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Length of the whitespace character at `at`, 0 when there is none.
std::size_t whitespace_length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(at);
    if (is_blank(static_cast<char>(c)) || (c >= 0x1C && c <= 0x1F)) return 1;
    if (c == 0xC2 && at + 1 < text.size() && (byte(at + 1) == 0x85 || byte(at + 1) == 0xA0)) return 2;
    if (at + 2 >= text.size()) return 0;
    const unsigned c1 = byte(at + 1), c2 = byte(at + 2);
    if (c == 0xE1 && c1 == 0x9A && c2 == 0x80) return 3;  // OGHAM SPACE MARK
    if (c == 0xE2 && c1 == 0x80 && (c2 <= 0x8A || c2 == 0xA8 || c2 == 0xA9 || c2 == 0xAF)) return 3;
    if (c == 0xE2 && c1 == 0x81 && c2 == 0x9F) return 3;  // MEDIUM MATHEMATICAL SPACE
    if (c == 0xE3 && c1 == 0x80 && c2 == 0x80) return 3;  // IDEOGRAPHIC SPACE
    return 0;
}

// The power of ten of the leading digit of an unsigned decimal number, roughly: enough to tell a
// number too large for a double from one too small.
long decimal_magnitude(std::string_view digits)
{
    const std::size_t mark = digits.find_first_of("eE");
    const std::string_view mantissa = digits.substr(0, mark);
    long magnitude = 0;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return std::numeric_limits<long>::min();
    magnitude = first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point);
    if (mark != std::string_view::npos) {
        std::string_view exponent = digits.substr(mark + 1);
        const bool negative = exponent.front() == '-';
        if (exponent.front() == '+' || exponent.front() == '-') exponent.remove_prefix(1);
        long value = 0;
        for (char c : exponent) value = std::min(value * 10 + (c - '0'), 1'000'000'000L);
        magnitude += negative ? -value : value;
    }
    return magnitude;
}

}  // namespace

std::string_view trim_blanks(std::string_view text)
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

NumberShape number_shape(std::string_view text)
{
    text = trim_blanks(text);
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t digits = 0;
    while (at < text.size() && is_digit(text[at])) ++at, ++digits;
    bool integer = true;
    if (at < text.size() && text[at] == '.') {
        integer = false;
        ++at;
        while (at < text.size() && is_digit(text[at])) ++at, ++digits;
    }
    if (digits == 0) return {};
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        integer = false;
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        std::size_t exponent = 0;
        while (at < text.size() && is_digit(text[at])) ++at, ++exponent;
        if (exponent == 0) return {};
    }
    if (at != text.size()) return {};
    return {true, integer};
}

double parse_real(std::string_view text)
{
    const std::string_view trimmed = trim_blanks(text);
    if (!number_shape(trimmed).number) {
        throw std::invalid_argument("could not convert string to float: '" + std::string(text) + "'");
    }
    return read_number(trimmed);
}

double read_number(std::string_view number)
{
    std::string_view digits = trim_blanks(number);
    const bool negative = digits.front() == '-';
    if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
    double value = 0.0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as a reader of decimal text would.
        value = decimal_magnitude(digits) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int64_t parse_integer(std::string_view text)
{
    std::string_view trimmed = trim_blanks(text);
    const NumberShape shape = number_shape(trimmed);
    if (!shape.number || !shape.integer) {
        throw std::invalid_argument("invalid literal for int() with base 10: '" + std::string(text) + "'");
    }
    if (trimmed.front() == '+') trimmed.remove_prefix(1);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc()) throw std::out_of_range("integer out of range: '" + std::string(text) + "'");
    return value;
}

std::vector<std::string_view> split_at(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + separator.size();
    }
    parts.push_back(text.substr(from));
    return parts;
}

std::vector<std::string_view> split_whitespace(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < text.size()) {
        if (std::size_t blank = whitespace_length(text, at)) {
            at += blank;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && whitespace_length(text, end) == 0) ++end;
        fields.push_back(text.substr(at, end - at));
        at = end;
    }
    return fields;
}

}  // namespace ostrand::external::dfoundations::detail
