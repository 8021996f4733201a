// What the print dialog and `tavora-cli print` refuse: ranges that print nothing.
#include "printing/RangeCheck.h"

#include "PrintTestSupport.h"

#include <gtest/gtest.h>

namespace tavora::printing {
namespace {

using market::ChartPeriod;
using test::BarSpec;
using test::snapshotWith;
using test::weekdays;

// Day bars with prices from 2026-11-02 to Friday 2026-12-04, then the coming market days of
// the calendar without prices up to 2027-01-29.
std::vector<BarSpec> pricesThenMarketDays() {
    std::vector<BarSpec> bars = weekdays(2026, 11, 2, 25);
    for (BarSpec b : weekdays(2026, 12, 7, 40)) {
        b.open = b.high = b.low = b.close = std::nullopt;
        b.volume = 0;
        bars.push_back(b);
    }
    return bars;
}

TEST(RangeCheck, RefusesRangesWithoutPricesAndStartsAfterTheEnd) {
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, pricesThenMarketDays());
    const PeriodSnapshot& day = snap.period(ChartPeriod::Day);
    ASSERT_EQ(day.bars.back().date, "2027-01-29");
    struct Case {
        YearMonth start, end;
        RangeFault fault;
    };
    const Case cases[] = {
        {{}, {}, RangeFault::None},
        {{2026, 1}, {}, RangeFault::None},          // the dialog's start: runs on into the market days
        {{2026, 12}, {2027, 1}, RangeFault::None},  // some prices, then the coming days
        {{2026, 11}, {2026, 11}, RangeFault::None},
        {{2019, 5}, {2030, 1}, RangeFault::None},   // both ends beyond the bars
        {{2026, 12}, {2026, 11}, RangeFault::StartAfterEnd},
        {{2030, 1}, {2026, 1}, RangeFault::StartAfterEnd},
        {{2027, 1}, {}, RangeFault::NoPrices},      // only coming market days
        {{2027, 3}, {}, RangeFault::NoPrices},      // after every bar
        {{}, {2026, 10}, RangeFault::NoPrices},     // before the oldest bar
        {{2025, 1}, {2026, 10}, RangeFault::NoPrices},
    };
    for (const Case& c : cases) {
        const RangeCheck check = checkRange(day, c.start, c.end);
        EXPECT_EQ(check.fault, c.fault) << c.start.year << "-" << c.start.month << " " << c.end.year << "-"
                                        << c.end.month;
        EXPECT_EQ(check.ok(), c.fault == RangeFault::None);
        EXPECT_EQ(check.pricedFrom, "2026-11-02");
        EXPECT_EQ(check.pricedTo, "2026-12-04");
        // Whatever is refused has its reason in both languages; what passes has none.
        EXPECT_EQ(rangeRefusalText(check).empty(), check.ok());
        EXPECT_EQ(rangeRefusalTextJa(check).empty(), check.ok());
    }
}

TEST(RangeCheck, YearChartsCompareYearsAndAnEmptyChartHasNothing) {
    const PrintSnapshot snap =
        snapshotWith(ChartPeriod::Year, {BarSpec{"2014-07-01", 100, 120, 90, 110, 5},
                                         BarSpec{"2015-01-05", 110, 130, 100, 120, 5}});
    const PeriodSnapshot& year = snap.period(ChartPeriod::Year);
    EXPECT_TRUE(checkRange(year, {2015, 1}, {2015, 1}).ok());
    EXPECT_TRUE(checkRange(year, {2014, 1}, {2015, 1}).ok()); // the July bar counts for 2014
    EXPECT_EQ(checkRange(year, {2016, 1}, {2015, 1}).fault, RangeFault::StartAfterEnd);
    EXPECT_EQ(checkRange(year, {2016, 1}, {}).fault, RangeFault::NoPrices);

    const PeriodSnapshot& none = snap.period(ChartPeriod::Day); // no bars at all
    const RangeCheck empty = checkRange(none, {}, {});
    EXPECT_EQ(empty.fault, RangeFault::NoPrices);
    EXPECT_EQ(rangeRefusalText(empty), "nothing to print: the day chart has no prices");
    EXPECT_EQ(rangeRefusalTextJa(empty), "このグラフには株価がありません。印刷するものがありません。");
}

TEST(RangeCheck, TheReasonNamesTheMonthsAndWhereThePricesAre) {
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, pricesThenMarketDays());
    const PeriodSnapshot& day = snap.period(ChartPeriod::Day);
    struct Case {
        YearMonth start, end;
        std::string english, japanese;
    };
    const Case cases[] = {
        {{2026, 12},
         {2026, 6},
         "nothing to print: the range starts (2026-12) after it ends (2026-06)",
         "期間の開始（2026年12月）が終了（2026年06月）より後です。印刷するものがありません。"},
        {{2027, 3},
         {},
         "nothing to print: the day chart has no prices from 2027-03 on (its prices run from 2026-11-02 to "
         "2026-12-04)",
         "期間（2027年03月から）に株価がありません。株価があるのは2026-11-02から2026-12-04までです。"},
        {{},
         {2026, 10},
         "nothing to print: the day chart has no prices up to 2026-10 (its prices run from 2026-11-02 to "
         "2026-12-04)",
         "期間（2026年10月まで）に株価がありません。株価があるのは2026-11-02から2026-12-04までです。"},
        {{2025, 1},
         {2026, 10},
         "nothing to print: the day chart has no prices from 2025-01 to 2026-10 (its prices run from "
         "2026-11-02 to 2026-12-04)",
         "期間（2025年01月から2026年10月まで）に株価がありません。株価があるのは2026-11-02から2026-12-04までです。"},
    };
    for (const Case& c : cases) {
        const RangeCheck check = checkRange(day, c.start, c.end);
        EXPECT_EQ(rangeRefusalText(check), c.english);
        EXPECT_EQ(rangeRefusalTextJa(check), c.japanese);
    }
}

} // namespace
} // namespace tavora::printing
