// Numbers and hex values in dumps are made without printf; their text must be the one printf
// gave, over many values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "output/GeneralNumber.h"
#include "output/StringWriter.h"
#include "store/api/Conversions.h"

namespace {

// The store's conversion in the dump's format (General, 6 digits, no separators), which
// formats through printf.
std::string StoreText(double value) {
    store::NumberFormat format;
    char text[64];
    std::size_t length = 0;
    EXPECT_EQ(store::NumberToText(nullptr, &format, value, text, sizeof text, &length), 0);
    return std::string(text, length);
}

std::string Fast(double value, int digits = 6) {
    char text[kGeneralNumberSize];
    return std::string(text, FormatGeneralNumber(value, digits, text));
}

std::vector<double> ManyDoubles() {
    std::vector<double> v = {0.0,
                             -0.0,
                             1.0,
                             -1.0,
                             0.5,
                             1.5,
                             2.5,
                             0.0001,
                             0.00001,
                             9.99995e-5,
                             1e15,
                             999999999999999.0,
                             1e15 - 1,
                             1e16,
                             123456789012345678.0,
                             999999.5,
                             9999995.0,
                             0.3333333333,
                             1e-300,
                             1e300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             4294967295.0,
                             -2147483648.0,
                             65535.0,
                             0.1,
                             0.2,
                             0.7,
                             1.0 / 3,
                             2.0 / 3};
    std::mt19937_64 random(17);
    for (int i = 0; i < 20000; ++i) {
        v.push_back(double(std::int64_t(random() >> (random() % 64))) * (i % 2 ? 1 : -1));
        v.push_back(double(random() % 1000000) / 1000.0);
        const int exponent = int(random() % 41) - 20;
        v.push_back(double(random() % 10000000) * std::pow(10.0, exponent));
        // Halves at every place, where rounding to even and away from zero part.
        v.push_back((double(random() % 2000000) + 0.5) * std::pow(10.0, exponent % 8));
        std::uint64_t bits = random();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (std::isfinite(d))
            v.push_back(d);
    }
    return v;
}

TEST(NumberText, GeneralFormatIsTheStoreConversionsText) {
    for (const double d : ManyDoubles())
        ASSERT_EQ(Fast(d), StoreText(d)) << "value " << std::hexfloat << d;
    EXPECT_EQ(Fast(std::nan("")), "NaN");
    EXPECT_EQ(Fast(-INFINITY), "-Infinity");
    EXPECT_EQ(Fast(INFINITY), "Infinity");
}

TEST(NumberText, GeneralFormatKnownTexts) {
    EXPECT_EQ(Fast(1.5), "1.5");
    EXPECT_EQ(Fast(-0.0), "0");
    EXPECT_EQ(Fast(1234567), "1234567"); // whole digits are never rounded away
    EXPECT_EQ(Fast(1.0 / 3), "0.333333");
    EXPECT_EQ(Fast(0.0001), "0.0001");
    EXPECT_EQ(Fast(0.00001), "1E-05");
    EXPECT_EQ(Fast(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(Fast(1e15), "1E+15");
    EXPECT_EQ(Fast(999999999999999.0), "999999999999999");
    EXPECT_EQ(Fast(1e300), "1E+300");
    EXPECT_EQ(Fast(2.0 / 3, 15), "0.666666666666667");
}

TEST(NumberText, WriterNumbersAndHexAreThePrintfTexts) {
    std::mt19937 random(5);
    std::vector<std::uint32_t> values = {
        0, 1, 9, 10, 15, 16, 255, 256, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
    for (int i = 0; i < 5000; ++i)
        values.push_back(random() >> (random() % 32));
    for (const std::uint32_t v : values) {
        CStringWriter w;
        w.Begin();
        w.Hex(std::int32_t(v));
        w.Space();
        w.Hex2(std::uint8_t(v));
        w.Space();
        w.Hex4(std::uint16_t(v));
        w.Space();
        w.Hex8(v);
        w.Space();
        w.HexL(v);
        w.Space();
        w.Number(double(v));
        w.Space();
        w.Number(-double(v) / 7);
        w.End();
        char expected[200];
        std::snprintf(expected, sizeof expected, "0x%X 0x%02X 0x%04X 0x%08lX 0x%lx %s %s", v,
                      unsigned(std::uint8_t(v)), unsigned(std::uint16_t(v)),
                      static_cast<unsigned long>(v), static_cast<unsigned long>(v),
                      StoreText(double(v)).c_str(), StoreText(-double(v) / 7).c_str());
        ASSERT_EQ(w.Result(), expected);
    }
}

} // namespace
