// Week, month and year bars with split adjustment, the gap fill and the future periods.
#include "market/PeriodBars.h"
#include "MarketTestSupport.h"
#include "market/Splits.h"

#include <gtest/gtest.h>

namespace tavora::market {
namespace {

using test::Day;
using test::flat;
using test::makeDays;

struct Periods {
    KeisenList day, week, month, year;
    PricedRange range;
    explicit Periods(const std::vector<Day>& days) : day(makeDays(days)) {
        range = AggregatePeriods(day, week, month, year);
    }
};

// Expected bar: date, open, high, low, close ("" = absent), volume and split text.
struct Bar {
    const char* date;
    const char* open;
    const char* high;
    const char* low;
    const char* close;
    std::int64_t volume;
    const char* split;
};

void expectBars(const KeisenList& list, const std::vector<Bar>& newestFirst, const char* what) {
    ASSERT_EQ(list.size(), newestFirst.size()) << what;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const KeisenElm& b = list[i];
        const Bar& e = newestFirst[i];
        SCOPED_TRACE(std::string(what) + " bar " + std::to_string(i));
        EXPECT_EQ(b.date, e.date);
        EXPECT_EQ(b.openText(), e.open);
        EXPECT_EQ(b.highText(), e.high);
        EXPECT_EQ(b.lowText(), e.low);
        EXPECT_EQ(b.closeText(), e.close);
        EXPECT_EQ(b.volume, e.volume);
        EXPECT_EQ(b.split, e.split);
    }
}

TEST(PeriodBarsTest, AWeekAcrossFirstJanuaryGivesTwoBarsWithTrueExtremes) {
    Periods p({{"2024-12-30", 100.25, 101.75, 99.5, 100.5, 10},
               {"2024-12-31", 100.5, 103.125, 100.0, 102.0, 20},
               {"2025-01-02", 102.0, 102.5, 98.25, 99.0, 30},
               {"2025-01-03", 99.0, 104.33, 98.5, 104.0, 40}});
    expectBars(p.week,
               {{"2025-01-02", "102.00", "104.33", "98.25", "104.00", 70, ""},
                {"2024-12-30", "100.25", "103.12", "99.50", "102.00", 30, ""}},
               "week");
    expectBars(p.month,
               {{"2025-01-02", "102.00", "104.33", "98.25", "104.00", 70, ""},
                {"2024-12-30", "100.25", "103.12", "99.50", "102.00", 30, ""}},
               "month");
    EXPECT_EQ(p.year.size(), 2u);
    EXPECT_EQ(p.range.newestDateNumber, 20250103);
}

TEST(PeriodBarsTest, SplitsTwoThenThreeDivideEveryOlderDay) {
    // Ratio 2 on 2024-03-05, ratio 3 on 2024-03-07; volumes stay as stored.
    Periods p({flat("2024-03-04", 600, 1), flat("2024-03-05", 600, 2, "2"), flat("2024-03-06", 600, 3),
               flat("2024-03-07", 600, 4, "3"), flat("2024-03-08", 600, 5)});
    const std::vector<std::pair<const char*, const char*>> closes{{"2024-03-08", "600.00"},
                                                                  {"2024-03-07", "600.00"},
                                                                  {"2024-03-06", "200.00"},
                                                                  {"2024-03-05", "200.00"},
                                                                  {"2024-03-04", "100.00"}};
    for (std::size_t i = 0; i < closes.size(); ++i) {
        EXPECT_EQ(p.day[i].date, closes[i].first);
        EXPECT_EQ(p.day[i].closeText(), closes[i].second) << closes[i].first;
        EXPECT_EQ(p.day[i].openText(), closes[i].second) << closes[i].first;
        EXPECT_EQ(p.day[i].volume, static_cast<std::int64_t>(5 - i));
    }
    // One week holds both splits: the newer 3, then 3 / 2.
    expectBars(p.week, {{"2024-03-04", "100.00", "600.00", "100.00", "600.00", 15, "1.50"}}, "week");
}

TEST(PeriodBarsTest, MonthBarsShowOneSplitAsItsRatioAndTwoAsTheirQuotient) {
    Periods p({flat("2024-04-10", 100), flat("2024-04-11", 100, 100, "2"), flat("2024-05-08", 100, 100, "2"),
               flat("2024-05-20", 100, 100, "3"), flat("2024-05-21", 100)});
    ASSERT_EQ(p.month.size(), 2u);
    EXPECT_EQ(p.month[0].split, "1.50");
    EXPECT_EQ(p.month[1].split, "2");
    // April lies before both May splits (÷6), and its first day before its own split (÷12).
    EXPECT_EQ(p.month[1].openText(), "8.33");
    EXPECT_EQ(p.month[1].closeText(), "16.67");
}

TEST(PeriodBarsTest, DaysOfOneWeekAndMonthNumberInDifferentYearsAreSeparateBars) {
    // Week 9 of March in both years, with no day between them.
    Periods p({flat("2020-03-02", 10, 1), flat("2021-03-01", 30, 2)});
    const std::vector<Bar> expected = {{"2021-03-01", "30.00", "30.00", "30.00", "30.00", 2, ""},
                                       {"2020-03-02", "10.00", "10.00", "10.00", "10.00", 1, ""}};
    expectBars(p.week, expected, "week");
    expectBars(p.month, expected, "month");
    expectBars(p.year, expected, "year");
}

TEST(PeriodBarsTest, GapsBetweenPricedDaysAreFilledWithZeros) {
    Periods p({flat("2024-06-03", 10),
               {"2024-06-04", std::nullopt, 12.0, std::nullopt, std::nullopt, 0},
               flat("2024-06-05", 11),
               {"2024-06-06", {}, {}, {}, {}, 0}});
    FillGaps(p.day, p.range);
    // The future-like day after the newest priced day is left alone.
    EXPECT_FALSE(p.day[0].open);
    EXPECT_EQ(p.day[2].openText(), "0.00");
    EXPECT_EQ(p.day[2].highText(), "12.00");
    EXPECT_EQ(p.day[2].lowText(), "0.00");
    EXPECT_EQ(p.day[2].noData, 1);
    EXPECT_EQ(p.day[1].noData, 0);
    EXPECT_EQ(p.day[3].noData, 0);
}

TEST(PeriodBarsTest, FutureMonthsAndYearsFollowTheNewestBar) {
    Periods p({flat("2024-11-05", 10)});
    AppendFuturePeriods(p.month, p.year);
    ASSERT_EQ(p.month.size(), 61u);
    EXPECT_EQ(p.month[59].date, "2024-12-01");
    EXPECT_EQ(p.month[58].date, "2025-01-01");
    EXPECT_EQ(p.month[0].date, "2029-11-01");
    EXPECT_FALSE(p.month[0].open);
    ASSERT_EQ(p.year.size(), 101u);
    EXPECT_EQ(p.year[99].date, "2025-01-01");
    EXPECT_EQ(p.year[0].date, "2124-01-01");

    KeisenList emptyMonth, emptyYear;
    AppendFuturePeriods(emptyMonth, emptyYear);
    EXPECT_TRUE(emptyMonth.empty());
    EXPECT_TRUE(emptyYear.empty());
}

TEST(PeriodBarsTest, WeeksOfFutureDaysOnlyHoldNoValuesAfterEmptying) {
    // Priced up to Friday 2024-05-10; two weeks of calendar days follow without prices.
    std::vector<Day> days{flat("2024-05-09", 10), flat("2024-05-10", 11)};
    for (const char* d : {"2024-05-13", "2024-05-14", "2024-05-20", "2024-05-21"})
        days.push_back({d, {}, {}, {}, {}, 0});
    Periods p(days);
    ASSERT_EQ(p.week.size(), 3u);
    // The older future week closed without prices and got zeros; the newest has high/close 0.
    EXPECT_EQ(p.week[1].openText(), "0.00");
    EXPECT_EQ(p.week[0].highText(), "0.00");
    EmptyBarsAfterLastPrice(p.week, p.range);
    EmptyBarsAfterLastPrice(p.month, p.range);
    for (std::size_t i : {0u, 1u}) {
        EXPECT_FALSE(p.week[i].open || p.week[i].high || p.week[i].low || p.week[i].close) << i;
    }
    EXPECT_EQ(p.week[2].closeText(), "11.00");
    EXPECT_EQ(p.month[0].closeText(), "11.00");
}

TEST(PeriodBarsTest, WithoutAnyPriceEveryPeriodBarIsEmptied) {
    Periods p({{"2024-05-13", {}, {}, {}, {}, 0}, {"2024-05-20", {}, {}, {}, {}, 0}});
    EXPECT_TRUE(p.range.empty());
    EmptyBarsAfterLastPrice(p.week, p.range);
    for (const auto& bar : p.week)
        EXPECT_FALSE(bar.open || bar.high || bar.low || bar.close);
}

TEST(SplitsTest, MarksSplitDaysAndSkipsUnusableRatios) {
    KeisenList day = makeDays(
        {flat("2024-01-04", 10), flat("2024-01-05", 10), flat("2024-01-09", 10), flat("2024-01-10", 10)});
    const BunkatsuList splits{{"2024-01-05", "2"},
                              {"2024-01-09", "0"},
                              {"2024-01-10", "-2"},
                              {"2024-01-04", "abc"},
                              {"2023-12-01", "5"}};
    std::vector<std::string> skipped;
    ApplySplits(splits, day, &skipped);
    EXPECT_EQ(day.findByDate("2024-01-05")->split, "2");
    for (const char* d : {"2024-01-04", "2024-01-09", "2024-01-10"})
        EXPECT_TRUE(day.findByDate(d)->split.empty()) << d;
    EXPECT_EQ(skipped.size(), 3u);

    KeisenList week, month, year;
    AggregatePeriods(day, week, month, year);
    EXPECT_EQ(day.findByDate("2024-01-04")->closeText(), "5.00");
    EXPECT_EQ(day.findByDate("2024-01-05")->closeText(), "10.00");
}

TEST(SplitsTest, ParsesRatios) {
    struct Case {
        const char* text;
        std::optional<double> ratio;
    };
    for (const Case& c : {Case{"2", 2.0}, Case{" 1.5 ", 1.5}, Case{"0.5", 0.5}, Case{"0", {}}, Case{"-3", {}},
                          Case{"", {}}, Case{"2x", {}}, Case{"nan", {}}, Case{"inf", {}}})
        EXPECT_EQ(parseSplitRatio(c.text), c.ratio) << c.text;
}

} // namespace
} // namespace tavora::market
