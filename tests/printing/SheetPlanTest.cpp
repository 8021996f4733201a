// Laying a print out over sheets: geometry, sheet counts, the step entries, the range, the
// bottom price and the volume scale.
#include "printing/SheetPlan.h"
#include "printing/DocumentName.h"
#include "printing/SheetDrawing.h"

#include "PrintTestSupport.h"

#include <gtest/gtest.h>

namespace tavora::printing {
namespace {

using market::ChartPeriod;
using test::BarSpec;
using test::snapshotWith;
using test::weekdays;

TEST(SheetGeometry, A4GridIsCentredAndSwapsOnItsSide) {
    const SheetGeometry up = sheetGeometry(Orientation::Portrait);
    EXPECT_EQ(up.sheet, (framework::Size{794, 1123}));
    EXPECT_EQ(up.columns, 250);
    EXPECT_EQ(up.rows, 350);
    EXPECT_EQ(up.left, 22); // (794 - 750) / 2
    EXPECT_EQ(up.right, 772);
    EXPECT_EQ(up.top, 36); // (1123 - 1050) / 2
    EXPECT_EQ(up.bottom, 1086);

    const SheetGeometry side = sheetGeometry(Orientation::Landscape);
    EXPECT_EQ(side.sheet, (framework::Size{1123, 794}));
    EXPECT_EQ(side.columns, 350);
    EXPECT_EQ(side.rows, 250);
    EXPECT_EQ(side.left, 36);
    EXPECT_EQ(side.top, 22);
    EXPECT_EQ(side.right, 1086);
    EXPECT_EQ(side.bottom, 772);
}

TEST(SheetPlan, SheetCountFollowsBarWidthAndOrientation) {
    struct Case {
        int bars;
        int cells;
        Orientation orientation;
        int sheets;
    };
    const Case cases[] = {
        {125, 2, Orientation::Portrait, 1},   {126, 2, Orientation::Portrait, 2},
        {250, 1, Orientation::Portrait, 1},   {251, 1, Orientation::Portrait, 2},
        {175, 2, Orientation::Landscape, 1},  {176, 2, Orientation::Landscape, 2},
        {350, 1, Orientation::Landscape, 1},  {351, 1, Orientation::Landscape, 2},
        {2450, 2, Orientation::Portrait, 20}, {0, 2, Orientation::Portrait, 1},
    };
    for (const Case& c : cases) {
        PrintChoices choices;
        choices.barCells = c.cells;
        choices.orientation = c.orientation;
        const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2020, 1, 6, c.bars));
        const SheetInput in = makeSheetInput(snap, choices, false);
        EXPECT_EQ(in.range.count(), std::size_t(c.bars));
        EXPECT_EQ(in.sheets, c.sheets) << c.bars << " bars, " << c.cells << " cells";
    }
}

TEST(SheetPlan, EachSheetStartsAFullSheetOfBarsLater) {
    BarRange range{10, 400, false};
    EXPECT_EQ(sheetFirstBar(range, 1, 2, 250), 10u);
    EXPECT_EQ(sheetFirstBar(range, 2, 2, 250), 135u);
    EXPECT_EQ(sheetFirstBar(range, 3, 1, 250), 510u);
    EXPECT_EQ(sheetFirstBar(range, 2, 2, 350), 185u);
}

TEST(SheetPlan, StepEntriesSurroundTheGridInterval) {
    struct Case {
        ChartPeriod period;
        std::int64_t grid;
        std::vector<std::int64_t> entries;
        std::int64_t step;
    };
    const Case cases[] = {
        {ChartPeriod::Day, 1000, {5000, 2000, 1000, 500, 200}, 1000},
        {ChartPeriod::Day, 1000000, {1000000, 100000, 50000}, 1000000},
        {ChartPeriod::Day, 50, {200, 100, 50}, 50},
        {ChartPeriod::Week, 10000, {40000, 20000, 10000, 2000, 1000}, 10000},
        // Intervals the table lacks take their place in it.
        {ChartPeriod::Day, 5, {100, 50, 5}, 5},
        {ChartPeriod::Month, 4000, {20000, 10000, 4000, 2000, 1000}, 4000},
        // No scale yet (0) or a damaged one: 1000 rather than a division by zero.
        {ChartPeriod::Day, 0, {5000, 2000, 1000, 500, 200}, 1000},
        {ChartPeriod::Year, -20, {10000, 2000, 1000, 400, 200}, 1000},
    };
    for (const Case& c : cases) {
        const StepChoices s = stepChoices(c.period, c.grid);
        EXPECT_EQ(s.entries, c.entries) << c.grid;
        EXPECT_EQ(s.step, c.step) << c.grid;
    }
}

TEST(SheetPlan, RangeRunsFromTheStartMonthToTheEndMonth) {
    // Weekdays from 2025-11-03 to early 2026-02.
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 11, 3, 70));
    const PeriodSnapshot& day = snap.period(ChartPeriod::Day);
    struct Case {
        YearMonth start, end;
        std::string first, last;
        bool empty;
    };
    const Case cases[] = {
        {{2025, 12}, {2026, 1}, "2025-12-01", "2026-01-30", false},
        {{}, {}, "2025-11-03", day.bars.back().date, false},
        {{2025, 12}, {}, "2025-12-01", day.bars.back().date, false},
        {{2019, 5}, {2030, 1}, "2025-11-03", day.bars.back().date, false}, // no bar: the ends
        {{2026, 1}, {2025, 12}, "", "", true},                             // start after the end
        {{2026, 3}, {}, "", "", true},                                     // start after the newest bar
        {{}, {2025, 10}, "", "", true},                                    // end before the oldest bar
        {{2025, 10}, {2025, 11}, "2025-11-03", "2025-11-28", false},       // start before the oldest bar
    };
    for (const Case& c : cases) {
        const BarRange r = printRange(day, c.start, c.end);
        ASSERT_EQ(r.empty, c.empty) << c.first;
        if (c.empty) {
            EXPECT_EQ(r.count(), 0u);
            continue;
        }
        EXPECT_EQ(day.bars[r.first].date, c.first);
        EXPECT_EQ(day.bars[r.last].date, c.last);
    }
    // An empty range prints one sheet (of grid only, see SheetDrawingTest).
    PrintChoices choices;
    choices.start = {2026, 1};
    choices.end = {2025, 12};
    EXPECT_EQ(makeSheetInput(snap, choices, false).sheets, 1);
}

TEST(SheetPlan, AMonthWithoutBarsStartsAtTheNextBarAndEndsAtTheBarBefore) {
    // No bars in December 2025 (a gap in the history).
    std::vector<BarSpec> bars = weekdays(2025, 11, 3, 20); // to 2025-11-28
    for (const BarSpec& b : weekdays(2026, 1, 5, 20))
        bars.push_back(b);
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, bars);
    const PeriodSnapshot& day = snap.period(ChartPeriod::Day);
    BarRange r = printRange(day, {2025, 12}, {});
    ASSERT_FALSE(r.empty);
    EXPECT_EQ(day.bars[r.first].date, "2026-01-05"); // not the whole history
    r = printRange(day, {}, {2025, 12});
    ASSERT_FALSE(r.empty);
    EXPECT_EQ(day.bars[r.last].date, "2025-11-28"); // not up to the newest bar
    EXPECT_TRUE(printRange(day, {2025, 12}, {2025, 12}).empty);
}

TEST(SheetPlan, YearChartsMatchTheYearAlone) {
    // A code listed in July: its first year bar is dated in July, not January.
    const PrintSnapshot snap =
        snapshotWith(ChartPeriod::Year, {BarSpec{"2014-07-01", 100, 120, 90, 110, 5},
                                         BarSpec{"2015-01-05", 110, 130, 100, 120, 5},
                                         BarSpec{"2016-01-04", 120, 150, 110, 140, 5}});
    const BarRange r = printRange(snap.period(ChartPeriod::Year), {2014, 1}, {2015, 1});
    EXPECT_EQ(r.first, 0u);
    EXPECT_EQ(r.last, 1u);
}

// Day bars up to Friday 2026-12-04, then the market days of the calendar without prices.
std::vector<BarSpec> barsClosingAt(double close) {
    std::vector<BarSpec> bars = weekdays(2026, 11, 2, 25); // to 2026-12-04
    bars.back().close = close;
    for (const char* future : {"2026-12-07", "2026-12-08", "2026-12-09"})
        bars.push_back(BarSpec{future, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0});
    return bars;
}

TEST(SheetPlan, LowestIsTheReferenceCloseLessThreeStepsUpright) {
    ASSERT_EQ(barsClosingAt(15400)[24].date, "2026-12-04");
    struct Case {
        std::string anchor; // Sunday, a future market day, a day past every bar
        Orientation orientation;
        ChartPeriod period;
        std::int64_t lowest;
    };
    const Case cases[] = {
        {"2026-12-04", Orientation::Portrait, ChartPeriod::Day, 12000},
        // The bar at or after a Sunday or a future day has no close: the newest bar before
        // it that has one is taken instead of a close of 0.
        {"2026-12-06", Orientation::Portrait, ChartPeriod::Day, 12000},
        {"2026-12-08", Orientation::Portrait, ChartPeriod::Day, 12000},
        {"2030-01-01", Orientation::Portrait, ChartPeriod::Day, 12000},
        {"2026-12-06", Orientation::Landscape, ChartPeriod::Day, 13000}, // 250 rows: two steps
        {"2026-12-06", Orientation::Portrait, ChartPeriod::Week, 12000},
        {"2026-12-06", Orientation::Portrait, ChartPeriod::Month, 0},
        {"2026-12-06", Orientation::Portrait, ChartPeriod::Year, 0},
    };
    for (const Case& c : cases) {
        const PrintSnapshot snap = snapshotWith(c.period, barsClosingAt(15400), c.anchor);
        PrintChoices choices;
        choices.period = c.period;
        choices.orientation = c.orientation;
        choices.step = 1000;
        EXPECT_EQ(lowestPrice(snap, choices, sheetGeometry(c.orientation)), c.lowest) << c.anchor;
    }
    EXPECT_EQ(lowestCandidates(12000, 1000),
              (std::vector<std::int64_t>{19000, 18000, 17000, 16000, 15000, 14000, 13000, 12000, 11000, 10000,
                                         9000, 8000, 7000, 6000, 5000}));
    EXPECT_EQ(lowestCandidates(2000, 1000),
              (std::vector<std::int64_t>{9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000, 0}));
}

TEST(SheetPlan, LowestUsesTheEndMonthAndNeverGoesBelowZero) {
    PrintSnapshot snap = snapshotWith(ChartPeriod::Day, barsClosingAt(15400));
    PeriodSnapshot& day = snap.period(ChartPeriod::Day);
    PrintChoices choices;
    choices.step = 1000;
    choices.end = {2026, 11}; // the last day of November: the bar of 11-30
    day.bars[20].close = 52300.0;
    ASSERT_EQ(day.bars[20].date, "2026-11-30");
    EXPECT_EQ(lowestPrice(snap, choices, sheetGeometry(Orientation::Portrait)), 49000);

    // A close below three steps would put the bottom line below 0.
    PrintSnapshot cheap = snapshotWith(ChartPeriod::Day, barsClosingAt(1500));
    EXPECT_EQ(lowestPrice(cheap, PrintChoices{}, sheetGeometry(Orientation::Portrait)), 0);
    // No bar with a close at all: 0 as well.
    PrintSnapshot none = snapshotWith(
        ChartPeriod::Day, {BarSpec{"2026-12-07", std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0}});
    EXPECT_EQ(lowestPrice(none, PrintChoices{}, sheetGeometry(Orientation::Portrait)), 0);
    // A step of 0 counts as 1000.
    PrintChoices zeroStep;
    zeroStep.step = 0;
    EXPECT_EQ(lowestPrice(snapshotWith(ChartPeriod::Day, barsClosingAt(15400)), zeroStep,
                          sheetGeometry(Orientation::Portrait)),
              12000);
    // Without a code nothing is computed.
    EXPECT_EQ(lowestPrice(PrintSnapshot{}, PrintChoices{}, sheetGeometry(Orientation::Portrait)),
              std::nullopt);
}

TEST(SheetPlan, VolumeUnitIsAtLeastOneAndSixtyFourBit) {
    EXPECT_EQ(volumeUnit(0), 0); // no volume: no lines
    EXPECT_EQ(volumeUnit(-5), 0);
    EXPECT_EQ(volumeUnit(1), 1);
    EXPECT_EQ(volumeUnit(149), 1);
    EXPECT_EQ(volumeUnit(300), 2);
    EXPECT_EQ(volumeUnit(15'000'000'000'000LL), 100'000'000'000LL);
}

TEST(DocumentName, TitleAndPdfNameOfTheCode) {
    EXPECT_EQ(documentTitle("極東電機", ChartPeriod::Day), "極東電機日足");
    EXPECT_EQ(proposedPdfName("極東電機", ChartPeriod::Week), "極東電機週足.pdf");
    EXPECT_EQ(proposedPdfName("A/B\nC\t\x7f"
                              "D",
                              ChartPeriod::Month),
              "ABCD月足.pdf");
    EXPECT_EQ(proposedPdfName("../..", ChartPeriod::Year), "....年足.pdf");
    EXPECT_EQ(proposedPdfName("", ChartPeriod::Day), "日足.pdf");
}

} // namespace
} // namespace tavora::printing
