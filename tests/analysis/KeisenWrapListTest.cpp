#include "analysis/KeisenWrapList.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace tavora::analysis;

namespace {

using Opt = std::optional<double>;
constexpr std::int64_t kNoExtreme = -1;

struct WindowCase {
    const char* what;
    bool max;
    int n;
    std::vector<Opt> prices;             // oldest first
    std::vector<std::int64_t> extremeAt; // feed number of the extreme after each bar, -1 none
};

class KeisenWrapListTest : public ::testing::TestWithParam<WindowCase> {};

template <class List>
std::vector<std::int64_t> feed(List& list, const WindowCase& c, std::vector<double>& values) {
    std::vector<std::int64_t> at;
    list.SetWindow(c.n);
    for (const Opt& p : c.prices) {
        list.AddBar(p);
        at.push_back(list.hasExtreme() ? list.extremeIndex() : kNoExtreme);
        values.push_back(list.hasExtreme() ? list.extremeValue() : -1.0);
    }
    return at;
}

TEST_P(KeisenWrapListTest, ExtremeIsTheOldestBestBarOfTheWindow) {
    const WindowCase& c = GetParam();
    std::vector<double> values;
    std::vector<std::int64_t> at;
    if (c.max) {
        KeisenWrapListMaxValue list;
        at = feed(list, c, values);
    } else {
        KeisenWrapListMinValue list;
        at = feed(list, c, values);
    }
    EXPECT_EQ(at, c.extremeAt);
    for (std::size_t i = 0; i < at.size(); ++i)
        if (at[i] != kNoExtreme) {
            EXPECT_EQ(values[i], c.prices[static_cast<std::size_t>(at[i])].value_or(0.0)) << "bar " << i;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, KeisenWrapListTest,
    ::testing::Values(
        WindowCase{"highNoneWhileFilling", true, 3, {Opt(4), Opt(6)}, {-1, -1}},
        // The 9 of bar 1 ties with bar 2 and wins; when it leaves, bar 2 holds the highest.
        WindowCase{"highTiesToOlderAndRescan",
                   true,
                   3,
                   {Opt(5), Opt(9), Opt(9), Opt(4), Opt(3), Opt(2)},
                   {-1, -1, 1, 1, 2, 3}},
        // A falling market: the extreme leaves the window at every bar.
        WindowCase{"highFallingEveryBar", true, 2, {Opt(9), Opt(8), Opt(7), Opt(6)}, {-1, 0, 1, 2}},
        WindowCase{"highAbsentCountsAsZero", true, 2, {Opt(), Opt(-1), Opt()}, {-1, 0, 2}},
        // Lows of 0 and absent lows never become the lowest.
        WindowCase{"lowSkipsZeros",
                   false,
                   3,
                   {Opt(3), Opt(0), Opt(3), Opt(5), Opt(0), Opt(), Opt(0)},
                   {-1, -1, 0, 2, 2, 3, -1}},
        WindowCase{"lowNewBarBecomesExtreme", false, 2, {Opt(7), Opt(6), Opt(8), Opt(2)}, {-1, 1, 1, 3}},
        WindowCase{"windowOfOneFollowsEveryBar", false, 1, {Opt(7), Opt(0), Opt(8)}, {0, -1, 2}},
        WindowCase{"windowOfZeroNeverHasExtreme", true, 0, {Opt(7), Opt(8)}, {-1, -1}},
        WindowCase{"negativeWindowNeverHasExtreme", false, -4, {Opt(7), Opt(8)}, {-1, -1}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(KeisenWrapListLong, MatchesAFullScanOverALongSeries) {
    // A deterministic zig-zag with plateaus and zero lows, against a brute-force scan.
    const int n = 7;
    KeisenWrapListMaxValue highs;
    KeisenWrapListMinValue lows;
    highs.SetWindow(n);
    lows.SetWindow(n);
    std::vector<double> h;
    std::vector<double> l;
    unsigned seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        h.push_back(static_cast<double>((seed >> 16) % 20));
        l.push_back((seed >> 8) % 5 == 0 ? 0.0 : static_cast<double>((seed >> 20) % 20));
        highs.AddBar(h.back());
        lows.AddBar(l.back());
        if (i + 1 < n)
            continue;
        std::int64_t bestH = i - n + 1;
        std::int64_t bestL = -1;
        for (int k = i - n + 1; k <= i; ++k) {
            if (h[k] > h[bestH])
                bestH = k;
            if (l[k] != 0.0 && (bestL < 0 || l[k] < l[bestL]))
                bestL = k;
        }
        ASSERT_EQ(highs.extremeIndex(), bestH) << i;
        ASSERT_EQ(lows.hasExtreme(), bestL >= 0) << i;
        if (bestL >= 0) {
            ASSERT_EQ(lows.extremeIndex(), bestL) << i;
        }
    }
}

} // namespace
