#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "store/api/Conversions.h"

using namespace store;

namespace {

std::string Num(double v, int digits, int format, int attributes,
                const IntlFormat* intl = nullptr) {
    const NumberFormat f{std::uint8_t(digits), std::uint8_t(format), std::uint8_t(attributes), 0};
    char buffer[41];
    std::size_t length = 0;
    const Status s = NumberToText(intl, &f, v, buffer, sizeof buffer, &length);
    EXPECT_EQ(s, kNoError) << v;
    EXPECT_EQ(length, std::string(buffer).size());
    return buffer;
}

} // namespace

TEST(NumberText, FormatsAndAttributes) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double v;
        int digits, format, attributes;
        const char* text;
    } cases[] = {
        // General, the formatters' default: 6 significant digits, whole part never rounded.
        {0, 6, 0, 0, "0"},
        {-0.0, 6, 0, 0, "0"},
        {42, 6, 0, 0, "42"},
        {-42, 6, 0, 0, "-42"},
        {3.14159265, 6, 0, 0, "3.14159"},
        {0.5, 6, 0, 0, "0.5"},
        {1234567.89, 6, 0, 0, "1234568"},
        {1234567.89, 6, 0, 1, "1,234,568"},
        {4000000000.0, 6, 0, 1, "4,000,000,000"},
        {999999999999999.0, 6, 0, 1, "999,999,999,999,999"},
        {1e15, 6, 0, 0, "1E+15"},
        {-1e15, 6, 0, 1, "-1E+15"},
        {1.5e300, 6, 0, 0, "1.5E+300"},
        {0.0001, 6, 0, 0, "0.0001"},
        {0.000012345, 6, 0, 0, "1.2345E-05"},
        {999999.5, 6, 0, 0, "1000000"}, // rounding that adds a digit
        {123, 0, 0, 0, "123"},
        {0.26, 0, 0, 0, "0.3"}, // 0 digits still shows one
        // Fixed.
        {3.14159, 2, 1, 0, "3.14"},
        {-1234.5, 2, 1, 1, "-1,234.50"},
        {-1234.5, 2, 1, 3, "(1,234.50)"},
        {-0.001, 2, 1, 0, "0.00"}, // rounds to zero: no sign
        {0, 0, 1, 0, "0"},
        {1e15, 2, 1, 0, "1.00E+15"},
        {100, 20, 1, 0, "100.000000000000000"}, // digits beyond 15 are capped
        // Scientific.
        {12345, 2, 2, 0, "1.23E+04"},
        {-0.00012, 1, 2, 2, "(1.2E-04)"},
        {0, 2, 2, 0, "0.00E+00"},
        // Currency: always punctuated.
        {1234.5, 2, 3, 0, "$1,234.50"},
        {-5, 2, 3, 0, "-$5.00"},
        {-5, 2, 3, 2, "($5.00)"},
        // Percent.
        {0.125, 1, 1, 4, "12.5%"},
        {-0.5, 6, 0, 6, "(50%)"},
        {123.456, 6, 0, 5, "12,345.6%"},
        // Values with no number at all.
        {std::nan(""), 6, 0, 0, "NaN"},
        {inf, 2, 1, 0, "Infinity"},
        {-inf, 2, 3, 2, "-Infinity"},
        {1e308, 6, 0, 4, "1E+308%"}, // times 100 would overflow: shown unscaled
    };
    for (const Case& c : cases)
        EXPECT_EQ(Num(c.v, c.digits, c.format, c.attributes), c.text)
            << c.v << " digits " << c.digits << " format " << c.format << " attrs " << c.attributes;
}

TEST(NumberText, SeparatorsFromSettings) {
    IntlFormat intl;
    intl.decimalSeparator = ',';
    intl.thousandSeparator = '.';
    EXPECT_EQ(Num(-1234567.25, 2, 1, 1, &intl), "-1.234.567,25");
    EXPECT_EQ(Num(1.5e20, 1, 2, 0, &intl), "1,5E+20");
}

TEST(NumberText, DefaultsBadFormatAndSmallBuffer) {
    char buffer[41];
    std::size_t length = 0;
    EXPECT_EQ(NumberToText(nullptr, nullptr, 1234567.0, buffer, sizeof buffer, &length), kNoError);
    EXPECT_STREQ(buffer, "1234567");
    const NumberFormat bad{6, 4, 0, 0};
    EXPECT_EQ(NumberToText(nullptr, &bad, 1, buffer, sizeof buffer, &length), kInvalidArgument);
    EXPECT_STREQ(buffer, "");
    char small[4];
    EXPECT_EQ(NumberToText(nullptr, nullptr, 123456.0, small, sizeof small, &length),
              kBufferTooSmall);
    EXPECT_STREQ(small, "123");
    EXPECT_EQ(NumberToText(nullptr, nullptr, 1, nullptr, 0, &length), kBufferTooSmall);
    EXPECT_EQ(length, 0u);
}
