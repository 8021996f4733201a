#include "chart/ChartGeometry.h"

#include "ChartTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace tavora::chart {
namespace {

using market::ChartPeriod;
using test::BarSpec;
using test::buildBars;

struct BandCase {
    ChartPeriod period;
    int highest;
    int grid;
};

TEST(ChartGeometry, AutomaticGridIntervalAtBandEdges) {
    const std::vector<BandCase> cases{
        {ChartPeriod::Day, 100000, 20000}, {ChartPeriod::Day, 99999, 10000}, {ChartPeriod::Day, 150, 50},
        {ChartPeriod::Day, 149, 5},        {ChartPeriod::Day, 0, 5},         {ChartPeriod::Day, 3000000, 1000000},
        {ChartPeriod::Day, 2999999, 100000}, {ChartPeriod::Week, 60000, 20000}, {ChartPeriod::Week, 59999, 10000},
        {ChartPeriod::Week, 149, 10},      {ChartPeriod::Month, 18000, 10000}, {ChartPeriod::Month, 17999, 4000},
        {ChartPeriod::Month, 5000, 2000},  {ChartPeriod::Year, 3000000, 3000000}, {ChartPeriod::Year, 300, 400},
        {ChartPeriod::Year, 149, 100},     {ChartPeriod::Year, 14000, 10000},  {ChartPeriod::Year, 13999, 4000},
    };
    for (const BandCase& c : cases)
        EXPECT_EQ(automaticGridYen(c.period, c.highest), c.grid)
            << market::periodLetter(c.period) << " M=" << c.highest;
}

TEST(ChartGeometry, HighestHighStartsAtNewestPricedBarAndLooksAt1002Bars) {
    std::vector<BarSpec> bars;
    bars.push_back({"1990-01-01", 1, 99999, 1, 1});  // oldest: beyond the 1,002 bars
    for (int i = 0; i < 1002; ++i)
        bars.push_back({"2000-01-01", 1, 1234.9, 1, 1});
    bars.push_back({"2030-01-01", std::nullopt, 50000, std::nullopt, std::nullopt});  // future day
    market::KeisenList list;
    buildBars(list, bars);
    EXPECT_EQ(recentHighestHigh(list), 1234);
    EXPECT_EQ(highestHigh(list), 99999);

    market::KeisenList unpriced;
    buildBars(unpriced, {{"2030-01-01", std::nullopt, 500, std::nullopt, std::nullopt}});
    EXPECT_EQ(recentHighestHigh(unpriced), 0);
}

TEST(ChartGeometry, NewSeriesScaleAndPriceLimit) {
    market::KeisenList list;
    buildBars(list, {{"2024-01-04", 1000, 1234.5, 990, 1200}});
    GraphViewState vs = makeViewState(ChartPeriod::Day, "2024-01-04");
    vs.bars = &list;
    EXPECT_EQ(scaleNewSeries(vs, 0), "200");
    EXPECT_EQ(vs.grid_yen, 200);
    EXPECT_EQ(vs.high_limit_yen, 3400);
    EXPECT_EQ(vs.low_limit_yen, 0);
    EXPECT_DOUBLE_EQ(vs.pixel_to_yen, 200 / 250.0);
    // A fixed interval wins over the table.
    EXPECT_EQ(scaleNewSeries(vs, 10), "10");
    EXPECT_EQ(vs.high_limit_yen, 1340);
}

TEST(ChartGeometry, TickTwoWithGrid100IsOneYenPerRow) {
    GraphViewState vs;
    vs.grid_yen = 100;
    vs.y_ichimemori = 2;
    vs.recomputeScale();
    EXPECT_EQ(vs.five_ticks_px, 10);
    EXPECT_DOUBLE_EQ(vs.grid_px, 100.0);
    EXPECT_DOUBLE_EQ(vs.pixel_to_yen, 1.0);
    vs.bottom_yen = 500;
    EXPECT_DOUBLE_EQ(priceAtRow(vs, 400, 0), 900.0);
    EXPECT_EQ(rowOfPrice(vs, 400, 899.5), 0);   // 0.5 truncated toward zero
    EXPECT_EQ(rowOfPrice(vs, 400, 900.5), 0);   // -0.5 truncated toward zero
    EXPECT_EQ(rowOfPrice(vs, 400, 901.5), -1);
    EXPECT_EQ(rowOfPrice(vs, 400, 500), 400);
}

TEST(ChartGeometry, SliderStepsAndReverseMapping) {
    struct Case {
        double r;
        std::optional<int> pitch;
    };
    for (Case c : std::vector<Case>{{0.0, 2}, {0.049, 2}, {0.05, std::nullopt}, {0.07, std::nullopt}, {0.1, 3},
                                    {0.3, 7}, {0.7, 15}, {0.899, 17}, {0.9, 19}, {0.949, 19}, {0.95, 21}, {1.0, 21}})
        EXPECT_EQ(pitchForSlider(c.r), c.pitch) << c.r;
    for (int pitch : {2, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21})
        EXPECT_EQ(pitchForSlider(*sliderForPitch(pitch)), pitch);
    EXPECT_FALSE(sliderForPitch(4));

    for (int tick : {1, 2, 4, 5, 10})
        EXPECT_EQ(tickForSlider(*sliderForTick(tick)), tick);
    EXPECT_EQ(tickForSlider(0.19), 1);
    EXPECT_EQ(tickForSlider(0.8), 10);
    EXPECT_FALSE(sliderForTick(3));
}

TEST(ChartGeometry, HorizontalZoomAt007KeepsPitchAnd095Gives21) {
    market::KeisenList list;
    buildBars(list, test::weekdays(2024, 1, 1, 400));
    GraphViewState vs = makeViewState(ChartPeriod::Day, list.newest()->date);
    vs.bars = &list;
    vs.x_haba_p = 5;
    zoomHorizontally(vs, 0.07, 1000);
    EXPECT_EQ(vs.x_haba_p, 5);
    EXPECT_EQ(vs.prev_x_haba_p, 5);
    zoomHorizontally(vs, 0.95, 1000);
    EXPECT_EQ(vs.x_haba_p, 21);
    EXPECT_EQ(vs.prev_x_haba_p, 5);
    // Up to the newest bar at the right edge, and beyond to the newest (today's) bar's place
    // 30 pitches left of it.
    EXPECT_EQ(vs.hscroll.max, 400 - 1000 / 21 + 30);
    EXPECT_EQ(vs.start_bar, vs.hscroll.max);
}

TEST(ChartGeometry, BarColumnsAndNumbers) {
    market::KeisenList list;
    buildBars(list, test::weekdays(2024, 1, 1, 10));
    GraphViewState vs;
    vs.bars = &list;
    vs.start_bar = 3;
    vs.x_haba_p = 5;
    EXPECT_EQ(barAtColumn(vs, 0), 3);
    EXPECT_EQ(barAtColumn(vs, 14), 5);
    EXPECT_EQ(barAtColumn(vs, 39), 10);
    EXPECT_FALSE(barAtColumn(vs, 40));  // past the newest bar
    EXPECT_EQ(barLeft(vs, 5), 10);
    EXPECT_EQ(barCentre(vs, 5), 12);
    EXPECT_EQ(barByNumber(vs, 1)->date, "2024-01-01");
    EXPECT_EQ(barNumber(vs, *list.newest()), 10);
    EXPECT_EQ(dateNumberOf(vs, "2024-01-02"), 2);
    EXPECT_EQ(dateNumberOf(vs, "2024-01-06"), 0);
    EXPECT_EQ(barsBetween(vs, *barByNumber(vs, 2), *barByNumber(vs, 5)), 4);
    EXPECT_EQ(barsBetween(vs, *barByNumber(vs, 5), *barByNumber(vs, 2)), 0);
}

TEST(ChartGeometry, AfterLoadTheAnchorBarSits30PitchesFromTheRightAndTheCloseIsCentred) {
    market::KeisenList list;
    auto bars = test::weekdays(2024, 1, 1, 300, 2000);
    bars.back().close = 2100;  // the newest close
    buildBars(list, bars);
    GraphViewState vs = makeViewState(ChartPeriod::Day, bars[200].date);
    vs.bars = &list;
    vs.x_haba_p = 5;
    vs.y_ichimemori = 2;
    scaleNewSeries(vs, 0);
    const int w = 500, h = 400;
    positionAfterLoad(vs, w, h);
    EXPECT_EQ(barLeft(vs, 201), w - 30 * 5);
    EXPECT_NEAR(rowOfPrice(vs, h, 2100), h / 2, 1);
    EXPECT_EQ(vs.vscroll.max, verticalScrollMax(vs, h));
}

TEST(ChartGeometry, AnchorAfterTheSeriesPlacesTheNewestBar) {
    market::KeisenList list;
    buildBars(list, test::weekdays(2024, 1, 1, 300));
    GraphViewState vs = makeViewState(ChartPeriod::Day, "2099-01-01");
    vs.bars = &list;
    scaleNewSeries(vs, 0);
    positionAfterLoad(vs, 500, 400);
    EXPECT_EQ(vs.start_bar, 300 - 500 / 5 + 30); // the newest bar 30 pitches left of the edge
    EXPECT_EQ(vs.hscroll.max, vs.start_bar);
}

// Bars dated as the chart keeps them: `priced` bars, then `future` bars without prices. Day
// and week bars on consecutive weekdays from 2024-01-01; month and year bars from 2008 on,
// dated on their period's first trading day (future ones on its first day).
std::vector<test::BarSpec> periodBars(ChartPeriod period, int priced, int future) {
    std::vector<test::BarSpec> out;
    if (period == ChartPeriod::Day || period == ChartPeriod::Week) {
        out = test::weekdays(2024, 1, 1, priced + future);
    } else {
        for (int i = 0; i < priced + future; ++i) {
            char date[48];
            const int day = i < priced ? 4 : 1;
            if (period == ChartPeriod::Year)
                std::snprintf(date, sizeof date, "%04d-01-%02d", 2008 + i, day);
            else
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", 2008 + i / 12, i % 12 + 1, day);
            out.push_back({date, 1000, 1010, 990, 1005});
        }
    }
    for (std::size_t i = std::size_t(priced); i < out.size(); ++i)
        out[i].open = out[i].high = out[i].low = out[i].close = std::nullopt;
    return out;
}

// Opening any period places the bar of today's period 30 pitches left of the right edge, with
// the history to its left: also when the series with its future bars is shorter than the plot
// (the oldest bar then stands right of the left edge) and when few bars follow today's.
TEST(ChartGeometry, OpeningPlacesTodaysBar30PitchesFromTheRightEdge) {
    struct Case {
        ChartPeriod period;
        int priced, future;
        int todayIndex; // of the bar of today's period, oldest first
        std::string today;
        int pitch;
    };
    const int w = 1200, h = 600;
    const Case cases[] = {
        {ChartPeriod::Day, 600, 250, 602, "", 3},            // a year of future days
        {ChartPeriod::Day, 40, 10, 41, "", 5},               // shorter than the plot
        {ChartPeriod::Week, 300, 2, 299, "", 5},             // two bars after today's
        {ChartPeriod::Month, 228, 60, 227, "2026-12-11", 3}, // 2008-01 .. 2026-12, then 60 months
        {ChartPeriod::Year, 19, 100, 18, "2026-12-11", 3},   // 2008 .. 2026, then a century
        {ChartPeriod::Year, 19, 100, 18, "2026-12-11", 21},  // wide bars: the future is wider than the plot
    };
    for (const Case& c : cases) {
        auto spec = periodBars(c.period, c.priced, c.future);
        const std::string today = c.today.empty() ? spec[std::size_t(c.todayIndex)].date : c.today;
        SCOPED_TRACE(std::string(market::periodLetter(c.period)) + " " + std::to_string(c.priced) + "+" +
                     std::to_string(c.future) + " pitch " + std::to_string(c.pitch));
        market::KeisenList list;
        buildBars(list, spec);
        GraphViewState vs = makeViewState(c.period, today);
        vs.bars = &list;
        vs.x_haba_p = c.pitch;
        scaleNewSeries(vs, 0);
        positionAfterLoad(vs, w, h);
        const market::KeisenElm* placed = anchoredBar(vs);
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->date, spec[std::size_t(c.todayIndex)].date);
        const int k = c.todayIndex + 1;
        EXPECT_EQ(barLeft(vs, k), (w / c.pitch - 30) * c.pitch);
        EXPECT_EQ(vs.start_bar, vs.hscroll.pos);
        // Home's position and End's stay within the range.
        EXPECT_LE(vs.hscroll.min, 1);
        EXPECT_GE(vs.hscroll.max, 1);
        const auto end = newestPosition(vs, w);
        ASSERT_TRUE(end);
        EXPECT_GE(*end, vs.hscroll.min);
        EXPECT_LE(*end, vs.hscroll.max);
        // End: the newest priced bar where today's bar was placed.
        scrollHorizontally(vs, *end);
        EXPECT_EQ(barLeft(vs, c.priced), (w / c.pitch - 30) * c.pitch);
    }
}

TEST(ChartGeometry, YearChartIsNeverRecentred) {
    market::KeisenList list;
    buildBars(list, {{"2023-01-04", 1000, 3000, 900, 2500}, {"2024-01-04", 2500, 4000, 2400, 3900}});
    GraphViewState vs = makeViewState(ChartPeriod::Year, "2024-06-01");
    vs.bars = &list;
    scaleNewSeries(vs, 0);
    positionAfterLoad(vs, 500, 400);
    EXPECT_EQ(vs.bottom_yen, 0);
    EXPECT_EQ(vs.vscroll.pos, vs.vscroll.max);
}

TEST(ChartGeometry, VerticalScrollAndZoomKeepTheBottomPrice) {
    GraphViewState vs;
    vs.grid_yen = 100;
    vs.y_ichimemori = 2;
    vs.recomputeScale();
    vs.high_limit_yen = 2000;
    setVerticalRange(vs, 300);
    EXPECT_EQ(vs.vscroll.max, 2000 / 2 - 150);  // (2000 / 2) ticks less the plot's 150
    scrollVertically(vs, vs.vscroll.max);
    EXPECT_EQ(vs.bottom_yen, 0);
    scrollVertically(vs, vs.vscroll.max - 100);
    EXPECT_EQ(vs.bottom_yen, 200);
    zoomVertically(vs, 1.0, 300);
    EXPECT_EQ(vs.y_ichimemori, 10);
    EXPECT_DOUBLE_EQ(vs.prev_pixel_to_yen, 1.0);
    EXPECT_DOUBLE_EQ(vs.pixel_to_yen, 0.2);
    EXPECT_EQ(vs.vscroll.max, 1000 - 30);
    EXPECT_EQ(vs.bottom_yen, 200);
}

TEST(ChartGeometry, ChosenScaleIsStoredAsThePeriodsFixedInterval) {
    market::KeisenList list;
    buildBars(list, test::weekdays(2024, 1, 1, 20, 3000));
    GraphViewState vs = makeViewState(ChartPeriod::Week, "2024-01-01");
    vs.bars = &list;
    vs.y_ichimemori = 5;
    scaleNewSeries(vs, 0);
    CodeScale scale;
    chooseScale(vs, 10, scale, 400);
    EXPECT_EQ(vs.grid_yen, 10);
    EXPECT_EQ(scale.fixedGrid, (std::array<int, 4>{0, 10, 0, 0}));
    EXPECT_EQ(vs.high_limit_yen, 3005 + 100 + 5);  // smallest multiple of 10 not below 3,005 + 100
    EXPECT_NEAR(rowOfPrice(vs, 400, 3002), 200, 5);  // re-centred on the newest close
}

TEST(ChartGeometry, StoredScaleAppliesToItsPeriodAndIgnoresZero) {
    GraphViewState vs = makeViewState(ChartPeriod::Month, "2024-01-01");
    vs.grid_yen = 500;
    CodeScale scale;
    scale.pitch = {7, 7, 9, 7};
    scale.tick = {1, 1, 10, 1};
    applyCodeScale(vs, scale);
    EXPECT_EQ(vs.x_haba_p, 9);
    EXPECT_EQ(vs.y_ichimemori, 10);
    EXPECT_DOUBLE_EQ(vs.pixel_to_yen, 1.0);
    for (int bad : {0, -1, 22, 2147483647}) {
        scale.pitch[2] = bad;
        scale.tick[2] = bad;
        applyCodeScale(vs, scale);
        EXPECT_EQ(vs.x_haba_p, 9) << bad;
        EXPECT_EQ(vs.y_ichimemori, 10) << bad;
        EXPECT_EQ(vs.five_ticks_px, 50) << bad;
    }
}

TEST(ChartGeometry, RedrawIsFastOnlyWhileDragging) {
    EXPECT_EQ(redrawFor(ScrollSource::Drag), Redraw::Fast);
    EXPECT_EQ(redrawFor(ScrollSource::EdgeScroll), Redraw::Fast);
    EXPECT_EQ(redrawFor(ScrollSource::Wheel), Redraw::Full);
    EXPECT_EQ(redrawFor(ScrollSource::Other), Redraw::Full);
}

}  // namespace
}  // namespace tavora::chart

namespace tavora::chart {
namespace {

TEST(ChartGeometryKeys, NextPitchStepsThroughTheSlidersTable) {
    struct Case {
        int pitch;
        int direction;
        std::optional<int> next;
    };
    for (const Case& c : {Case{3, 1, 5}, Case{3, -1, 2}, Case{2, -1, std::nullopt}, Case{21, 1, std::nullopt},
                          Case{19, 1, 21}, Case{4, 1, 5}, Case{4, -1, 3}, Case{30, -1, 21}, Case{1, 1, 2}}) {
        EXPECT_EQ(nextPitch(c.pitch, c.direction), c.next) << c.pitch << " " << c.direction;
        if (c.next) { // every step lands on a place of the slider
            EXPECT_TRUE(sliderForPitch(*c.next).has_value());
        }
    }
}

// The bars in view fill the plot: the largest tick size at which their range fits inside the
// plot less a tenth above and below, centred; bars out of view do not count.
TEST(ChartGeometryKeys, FitPricesFillsThePlotWithTheBarsInView) {
    struct Case {
        double low, high; // of the bars in view
        int tick;         // expected
    };
    const int width = 200, height = 400; // 40 bars of pitch 5 in view; 320 usable rows
    for (const Case& c : {Case{1000, 1060, 10}, Case{1000, 1120, 5}, Case{1000, 1150, 4}, Case{1000, 1300, 2},
                          Case{1000, 1600, 1}, Case{500, 5000, 1}, Case{1000, 1000.5, 10}}) {
        std::vector<test::BarSpec> spec;
        for (int i = 0; i < 60; ++i) // 20 old bars far away, then the 40 in view
            spec.push_back(i < 20 ? test::BarSpec{"2023-01-02", 9000, 9900, 8000, 9500}
                                  : test::BarSpec{"2024-01-02", c.low + (c.high - c.low) / 4, c.high, c.low,
                                                  c.high - (c.high - c.low) / 4});
        spec.push_back(
            {"2030-01-01", std::nullopt, std::nullopt, std::nullopt, std::nullopt}); // a future day
        market::KeisenList list;
        test::buildBars(list, spec);
        GraphViewState vs = makeViewState(ChartPeriod::Day, "2024-06-01");
        vs.bars = &list;
        vs.x_haba_p = 5;
        scaleNewSeries(vs, 100); // grid 100 yen: a tick of t pixels is 2 / t yen per pixel
        vs.high_limit_yen = 20000;
        setHorizontalRange(vs, width);
        scrollHorizontally(vs, 21);
        ASSERT_TRUE(fitPricesToView(vs, width, height));
        EXPECT_EQ(vs.y_ichimemori, c.tick) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(vs.pixel_to_yen, 100.0 / (50 * c.tick));
        const int top = rowOfPrice(vs, height, c.high), bottom = rowOfPrice(vs, height, c.low);
        if (c.tick > 1 || c.high - c.low <= 320 * vs.pixel_to_yen) {
            EXPECT_GE(top, 0) << c.low;
            EXPECT_LE(bottom, height) << c.low;
        }
        EXPECT_NEAR((top + bottom) / 2.0, height / 2.0, c.tick + 1) << c.low; // centred
        if (c.tick < 10) { // the next larger tick would not fit
            constexpr int ticks[] = {1, 2, 4, 5, 10};
            const int larger =
                *std::find_if(std::begin(ticks), std::end(ticks), [&](int t) { return t > c.tick; });
            EXPECT_GT((c.high - c.low) * 50.0 * larger / 100.0, 320) << c.low;
        }
    }
    GraphViewState empty = makeViewState(ChartPeriod::Day, "2024-06-01");
    EXPECT_FALSE(fitPricesToView(empty, width, height));
}

} // namespace
} // namespace tavora::chart
