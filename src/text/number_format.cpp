#include "text/number_format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace ostrand::text {

namespace {

char* copy(char* out, const char* text)
{
    const std::size_t size = std::strlen(text);
    std::memcpy(out, text, size);
    return out + size;
}

// The shortest round-trip digits of a finite, non-zero magnitude and the power of ten of the first.
struct Digits {
    char text[24];
    int count;
    int exponent;
};

Digits shortest_digits(double magnitude)
{
    char scientific[MAX_NUMBER_TEXT];
    const char* end =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific).ptr;
    Digits d{};
    const char* p = scientific;
    d.text[d.count++] = *p++;
    if (*p == '.')
        for (++p; *p != 'e'; ++p) d.text[d.count++] = *p;
    ++p;  // 'e'
    const bool negative_exponent = *p == '-';
    ++p;  // sign
    std::from_chars(p, end, d.exponent);
    if (negative_exponent) d.exponent = -d.exponent;
    while (d.count > 1 && d.text[d.count - 1] == '0') --d.count;
    return d;
}

char* write_fixed(char* out, const Digits& d)
{
    const int point = d.exponent + 1;  // digits in front of the point
    if (point <= 0) {
        out = copy(out, "0.");
        std::memset(out, '0', static_cast<std::size_t>(-point));
        out += -point;
        std::memcpy(out, d.text, static_cast<std::size_t>(d.count));
        return out + d.count;
    }
    if (point >= d.count) {
        std::memcpy(out, d.text, static_cast<std::size_t>(d.count));
        out += d.count;
        std::memset(out, '0', static_cast<std::size_t>(point - d.count));
        out += point - d.count;
        return copy(out, ".0");
    }
    std::memcpy(out, d.text, static_cast<std::size_t>(point));
    out += point;
    *out++ = '.';
    std::memcpy(out, d.text + point, static_cast<std::size_t>(d.count - point));
    return out + (d.count - point);
}

char* write_scientific(char* out, const Digits& d)
{
    *out++ = d.text[0];
    if (d.count > 1) {
        *out++ = '.';
        std::memcpy(out, d.text + 1, static_cast<std::size_t>(d.count - 1));
        out += d.count - 1;
    }
    *out++ = 'e';
    *out++ = d.exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(d.exponent);
    if (magnitude < 10) *out++ = '0';
    return std::to_chars(out, out + 4, magnitude).ptr;
}

constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t FIFTEEN_DIGITS = 1'000'000'000'000'000;

// Two decimal digits for each value below 100.
constexpr char DIGIT_PAIRS[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// Writes the decimal digits of `value` so that they end at `end`; returns where they begin.
char* digits_ending_at(char* end, std::uint64_t value)
{
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--end = DIGIT_PAIRS[pair + 1];
        *--end = DIGIT_PAIRS[pair];
    }
    if (value >= 10) {
        const auto pair = static_cast<std::size_t>(value) * 2;
        *--end = DIGIT_PAIRS[pair + 1];
        *--end = DIGIT_PAIRS[pair];
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

// Drops up to `decimals` trailing zeros from `mantissa`, in steps of 8, 4, 2 and 1 digits.
void strip_trailing_zeros(std::uint64_t& mantissa, int& decimals)
{
    constexpr struct {
        int digits;
        std::uint64_t power;
    } steps[] = {{8, 100'000'000}, {4, 10'000}, {2, 100}, {1, 10}};
    for (const auto& step : steps) {
        if (decimals >= step.digits && mantissa % step.power == 0) {
            mantissa /= step.power;
            decimals -= step.digits;
        }
    }
}

// The quick road for a magnitude from 1e-4 to 1e15 whose shortest form has at most 15 significant
// digits, as measured values mostly have. Any decimal of at most 15 significant digits is the only
// one of its length that reads back to its double, so when the 15-digit rounding of the magnitude
// reads back exactly, that rounding without its trailing zeros is the shortest form. Returns
// nullptr when the magnitude needs the general road.
char* write_short_fixed(char* out, double magnitude)
{
    if (!(magnitude >= 1e-4 && magnitude < 1e15)) return nullptr;
    const int binary_exponent = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    // floor(log10(2^binary_exponent)): the decimal exponent or one below it.
    const int decimal_exponent = (binary_exponent * 78913) >> 18;
    int scale = 14 - decimal_exponent;  // 10^scale brings the magnitude to 15 digits
    std::uint64_t mantissa = static_cast<std::uint64_t>(magnitude * POWERS_OF_TEN[scale] + 0.5);
    if (mantissa >= FIFTEEN_DIGITS) {
        if (scale == 0) return nullptr;  // rounds up to 16 digits: 1e15 and beyond
        --scale;
        mantissa = static_cast<std::uint64_t>(magnitude * POWERS_OF_TEN[scale] + 0.5);
    }
    if (mantissa >= FIFTEEN_DIGITS || static_cast<double>(mantissa) / POWERS_OF_TEN[scale] != magnitude) {
        return nullptr;
    }
    int decimals = scale;
    strip_trailing_zeros(mantissa, decimals);

    char digits[24];
    char* const digits_end = digits + sizeof digits;
    const char* first = digits_ending_at(digits_end, mantissa);
    const int count = static_cast<int>(digits_end - first);
    if (count - 1 - decimals < -4) return nullptr;  // below 1e-4 after rounding: scientific
    if (decimals == 0) {
        while (first != digits_end) *out++ = *first++;
        *out++ = '.';
        *out++ = '0';
    } else if (count > decimals) {
        for (int i = count - decimals; i > 0; --i) *out++ = *first++;
        *out++ = '.';
        while (first != digits_end) *out++ = *first++;
    } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = decimals - count; i > 0; --i) *out++ = '0';
        while (first != digits_end) *out++ = *first++;
    }
    return out;
}

}  // namespace

char* write_number(char* out, double value)
{
    if (std::isnan(value)) return copy(out, "nan");
    if (std::isinf(value)) return copy(out, value < 0 ? "-inf" : "inf");
    if (std::signbit(value)) *out++ = '-';
    if (value == 0.0) return copy(out, "0.0");
    const double magnitude = std::fabs(value);
    if (char* end = write_short_fixed(out, magnitude)) return end;
    const Digits d = shortest_digits(magnitude);
    return (d.exponent >= -4 && d.exponent < 16) ? write_fixed(out, d) : write_scientific(out, d);
}

std::string format_number(double value)
{
    char text[MAX_NUMBER_TEXT];
    return std::string(text, write_number(text, value));
}

std::string format_number(std::int64_t value) { return std::to_string(value); }

}  // namespace ostrand::text
