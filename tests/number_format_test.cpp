#include "ostrand/external/dfoundations/number_format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

using ostrand::external::dfoundations::format_number;

TEST(NumberFormat, RealsReadBackWithAtLeastOneDecimal)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.3, "0.3"},
        {2.0, "2.0"},
        {9.5, "9.5"},
        {1e-05, "1e-05"},
        {0.0001, "0.0001"},
        {987000000.0, "987000000.0"},
        {1e16, "1e+16"},
        {1e15, "1000000000000000.0"},
        {-0.1, "-0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1.5e16, "1.5e+16"},
        {1.234e-7, "1.234e-07"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {123456.789, "123456.789"},
        {1e100, "1e+100"},
        {5e-324, "5e-324"},
        {0.256082, "0.256082"},
        {-15.1, "-15.1"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {std::nan(""), "nan"},
        // Around the edges of the quick road for values of up to 15 significant digits.
        {9.999999999999999e-05, "9.999999999999999e-05"},
        {0.00010000000000000002, "0.00010000000000000002"},
        {999999999999999.9, "999999999999999.9"},
        {123456789012345.0, "123456789012345.0"},
        {99999999999999.98, "99999999999999.98"},
        {12.0, "12.0"},
        {0.001, "0.001"},
        {-1.2345e-4, "-0.00012345"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_number(c.value), c.text) << c.text;
}

// Whatever road a number takes, its text reads back to it with as few digits as the shortest
// round-trip form has.
TEST(NumberFormat, EveryRealReadsBackWithTheShortestDigits)
{
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> decimals(0, 12);
    std::uniform_int_distribution<std::int64_t> mantissa(-99'999'999, 99'999'999);
    const auto significant_digits = [](const std::string& text) {
        std::size_t count = 0, first = text.find_first_of("123456789"), end = text.find('e');
        if (end == std::string::npos) end = text.size();
        std::size_t last = text.find_last_of("123456789", end);
        for (std::size_t i = first; i <= last; ++i) count += text[i] != '.';
        return count;
    };
    for (int i = 0; i < 200000; ++i) {
        const double value = i % 2 ? std::bit_cast<double>(random())
                                   : static_cast<double>(mantissa(random)) / std::pow(10.0, decimals(random));
        if (!std::isfinite(value) || value == 0.0) continue;
        const std::string text = format_number(value);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
        char shortest[64];
        char* end = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific).ptr;
        ASSERT_EQ(significant_digits(text),
                  significant_digits(std::string(shortest, static_cast<std::size_t>(end - shortest))))
            << text;
    }
}

TEST(NumberFormat, IntegersArePlain)
{
    EXPECT_EQ(format_number(std::int64_t{150}), "150");
    EXPECT_EQ(format_number(std::int64_t{-3}), "-3");
}
