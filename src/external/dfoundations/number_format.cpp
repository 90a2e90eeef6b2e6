#include "ostrand/external/dfoundations/number_format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace ostrand::external::dfoundations {

namespace {

struct Decimal {
    bool negative;
    std::string digits;  // significant digits, no leading or trailing zeros beyond the first
    int exponent;        // value = 0.d1d2d3... * 10^(exponent + 1), i.e. d1 sits at 10^exponent
};

Decimal shortest_decimal(double value)
{
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
    (void)ec;
    std::string text(buffer.data(), end);  // e.g. "-1.2345e-05"
    Decimal d{false, {}, 0};
    std::size_t i = 0;
    if (text[i] == '-') {
        d.negative = true;
        ++i;
    }
    const std::size_t e = text.find('e');
    for (; i < e; ++i)
        if (text[i] != '.') d.digits += text[i];
    d.exponent = std::atoi(text.c_str() + e + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

std::string fixed(const Decimal& d)
{
    std::string out;
    const int point = d.exponent + 1;  // digits before the point
    const int count = static_cast<int>(d.digits.size());
    if (point <= 0) {
        out = "0." + std::string(static_cast<std::size_t>(-point), '0') + d.digits;
    } else if (point >= count) {
        out = d.digits + std::string(static_cast<std::size_t>(point - count), '0') + ".0";
    } else {
        out = d.digits.substr(0, static_cast<std::size_t>(point)) + "." + d.digits.substr(static_cast<std::size_t>(point));
    }
    return out;
}

std::string scientific(const Decimal& d)
{
    std::string out = d.digits.substr(0, 1);
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    const int magnitude = std::abs(d.exponent);
    out += d.exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
    return out;
}

}  // namespace

std::string format_number(double value)
{
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0.0) return std::signbit(value) ? "-0.0" : "0.0";
    const Decimal d = shortest_decimal(value);
    const std::string body = (d.exponent >= -4 && d.exponent < 16) ? fixed(d) : scientific(d);
    return d.negative ? "-" + body : body;
}

std::string format_number(std::int64_t value)
{
    return std::to_string(value);
}

}  // namespace ostrand::external::dfoundations
