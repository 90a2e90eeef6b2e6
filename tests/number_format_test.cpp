#include "ostrand/external/dfoundations/number_format.hpp"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using ostrand::external::dfoundations::format_number;

TEST(NumberFormat, RealsReadBackWithAtLeastOneDecimal)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.3, "0.3"},          {2.0, "2.0"},           {9.5, "9.5"},       {1e-05, "1e-05"},
        {0.0001, "0.0001"},    {987000000.0, "987000000.0"}, {1e16, "1e+16"}, {1e15, "1000000000000000.0"},
        {-0.1, "-0.1"},        {0.1 + 0.2, "0.30000000000000004"}, {1.5e16, "1.5e+16"},
        {1.234e-7, "1.234e-07"}, {0.0, "0.0"},      {-0.0, "-0.0"},     {123456.789, "123456.789"},
        {1e100, "1e+100"},     {5e-324, "5e-324"},     {0.256082, "0.256082"}, {-15.1, "-15.1"},
        {std::numeric_limits<double>::infinity(), "inf"}, {std::nan(""), "nan"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_number(c.value), c.text) << c.text;
}

TEST(NumberFormat, IntegersArePlain)
{
    EXPECT_EQ(format_number(std::int64_t{150}), "150");
    EXPECT_EQ(format_number(std::int64_t{-3}), "-3");
}
