#include "analysis/ValueText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace tavora::analysis;

namespace {

std::string printf2(double v) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string format2(double v) {
    char buf[kValueTextSize];
    const std::size_t n = FormatValue2(v, buf, sizeof buf - 1);
    return std::string(buf, n);
}

TEST(ValueTextTest, FormatsLikePrintfAtTheRoundingBoundaries) {
    // Half-sums of prices end in 5 in the third decimal; their binary value decides.
    const double cases[] = {0.0,     -0.0,       1.005, 1.015,  1.115,       2.675,      1237.5,
                            100.015, 0.125,      0.375, -0.001, -1.005,      123456.785, 99.995,
                            9.995,   1e14 + 0.5, 1e15,  1e20,   0.004999999, 0.005,      28.835};
    for (double v : cases)
        EXPECT_EQ(format2(v), printf2(v)) << v;
}

TEST(ValueTextTest, FormatsLikePrintfOverManyPriceLikeValues) {
    unsigned seed = 7;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        // Prices in tenths of a yen to a million, halved as the half-value computations do.
        const double a = static_cast<double>(seed % 10000000) / 100.0;
        seed = seed * 1664525u + 1013904223u;
        const double b = static_cast<double>(seed % 10000000) / 100.0;
        const double v = (a + b) * 0.5;
        ASSERT_EQ(format2(v), printf2(v)) << v;
        ASSERT_EQ(format2(-v), printf2(-v)) << -v;
    }
}

TEST(ValueTextTest, TooLongForTheBufferGivesNothing) {
    char buf[kValueTextSize];
    EXPECT_EQ(FormatValue2(1e40, buf, sizeof buf - 1), 0u);
}

TEST(ValueTextTest, ParsesAsAtofDoes) {
    const char* texts[] = {"",      "0.00", "1237.50", "-0.01",           "100.02",           "基準線",
                           "12abc", " 7.5", "1e3",     "123456789012.34", "12345678901234.56"};
    for (const char* t : texts)
        EXPECT_EQ(ParseValueText(t), std::atof(t)) << t;
}

} // namespace
