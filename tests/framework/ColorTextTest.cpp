#include "framework/ColorText.h"

#include <gtest/gtest.h>

using namespace tavora::framework;

namespace {

TEST(ColorTextTest, RoundTripsAndReadsNonNumbersAsZero) {
    EXPECT_EQ(ConvertCRtoTCHAR(0xFCFCFC), "16579836");
    for (std::uint32_t c : {0x000000u, 0x0000FFu, 0xB76800u, 0xFFFFFFu, 0xFFFFFFFFu})
        EXPECT_EQ(ConvertTCHARtoCR(ConvertCRtoTCHAR(c)), c) << c;
    EXPECT_EQ(ConvertTCHARtoCR(" 255 "), 255u);

    for (const char* bad : {"", "abc", "12ab", "-1", "0x00FF", "4294967296", "1.5"})
        EXPECT_EQ(ConvertTCHARtoCR(bad), 0u) << bad;

    EXPECT_EQ(rgbColor(0x11, 0x22, 0x33), 0x332211u);
    EXPECT_EQ(redOf(0x332211), 0x11);
    EXPECT_EQ(blueOf(0x332211), 0x33);
}

} // namespace
