// Opening a code end to end: rows from a real SQLite file, calendar, splits, four periods,
// analysis graph lists and their values, the stored scale, cancellation.
#include "chart/OpenChart.h"
#include "chart/BarsCsv.h"
#include "chart/TodayBar.h"
#include "framework/Dates.h"
#include "market/PriceDatabase.h"
#include "support/IchimokuDefinitions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

namespace tavora::chart {
namespace {

// The bars, rows and calendars the cases build come from the market floor.
using namespace market;

class OpenChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(PriceDatabase::open(db, dir.str()), 0);
        // 60 trading days (Monday to Friday) from Monday 2024-01-08 to Friday 2024-03-29.
        std::vector<PriceRow> rows;
        int n = 0;
        for (long long d = framework::daysFromCivil(2024, 1, 8); n < 60; ++d) {
            const auto ymd = framework::civilFromDays(d);
            if (framework::dayOfWeek(ymd.year, ymd.month, ymd.day) % 6 == 0)
                continue;
            const double base = 1000 + 10 * n + (n % 3) * 0.25;
            rows.push_back(
                {"1234", framework::formatDate(ymd), base, base + 15, base - 5, base + 5, 100 + n});
            dates.push_back(framework::formatDate(ymd));
            ++n;
        }
        rows.push_back({"9999", "2024-01-08", 1.0, 1.0, 1.0, 1.0, 1});
        ASSERT_TRUE(PriceDatabase(db).write(rows).ok());
        // The calendar lists the priced days and two more weeks.
        std::string calendar;
        for (const auto& d : dates)
            calendar += d + "\r\n";
        for (const char* d : {"2024-04-01", "2024-04-02", "2024-04-03", "2024-04-04", "2024-04-05",
                              "2024-04-08", "2024-04-09", "2024-04-10", "2024-04-11", "2024-04-12"})
            calendar += std::string(d) + "\r\n";
        tavora::test::writeFile(dir / "marketday_jpn.csv", calendar);

        input.priceDb = &db;
        input.code = "1234";
        input.calendarPath = (dir / "marketday_jpn.csv").string();
        input.definitions = test::ichimokuDefinitions();
    }

    tavora::test::TempDir dir;
    framework::ZSqlElement db;
    std::vector<std::string> dates;
    OpenChartInput input;
};

TEST_F(OpenChartTest, BuildsFourPeriodsWithFutureBarsAndGraphValues) {
    const ChartSeries s = OpenChart(input);
    ASSERT_FALSE(s.cancelled);
    const auto& day = s.period(ChartPeriod::Day);
    ASSERT_EQ(day.bars.size(), 70u);
    EXPECT_EQ(day.bars[0].date, "2024-04-12");
    EXPECT_FALSE(day.bars[0].open);
    EXPECT_EQ(day.bars[10].date, "2024-03-29");
    EXPECT_EQ(s.priced.newestDateNumber, 20240329);

    ASSERT_EQ(day.graphs.size(), 5u);
    for (std::size_t g = 0; g < day.graphs.size(); ++g)
        EXPECT_EQ(day.graphs[g].count(), day.bars.size());
    // 転換線 at the newest priced bar: highest high and lowest low of the last nine days.
    double hi = 0, lo = 1e9;
    for (std::size_t i = 10; i < 19; ++i) {
        hi = std::max(hi, *day.bars[i].high);
        lo = std::min(lo, *day.bars[i].low);
    }
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.2f", (hi + lo) * 0.5);
    EXPECT_EQ(day.graphs[0].value(10), expected);
    EXPECT_NE(day.bars[10].analysis.find(std::string("転換線 ") + expected + "\r\n"), std::string::npos);
    // 先行スパン1 of the newest priced bar stands 25 bars later, on the calendar's days: only ten
    // exist, so the newest value placed is that of the 15th-newest priced bar.
    EXPECT_TRUE(day.graphs[3].hasValue(0));

    const auto& week = s.period(ChartPeriod::Week);
    // 12 priced weeks and two weeks of future days only.
    ASSERT_EQ(week.bars.size(), 14u);
    for (std::size_t i : {0u, 1u}) {
        EXPECT_FALSE(week.bars[i].open || week.bars[i].high || week.bars[i].low || week.bars[i].close) << i;
        for (std::size_t g = 0; g < week.graphs.size(); ++g) {
            if (g != 3 && g != 4) { // the leading spans are placed ahead onto future weeks
                EXPECT_FALSE(week.graphs[g].hasValue(i)) << g;
            }
        }
    }
    EXPECT_EQ(week.bars[2].date, "2024-03-25");
    EXPECT_EQ(week.bars[2].closeText(), day.bars[10].closeText());

    const auto& month = s.period(ChartPeriod::Month);
    ASSERT_EQ(month.bars.size(), 4u + kFutureMonths);
    EXPECT_EQ(month.bars[kFutureMonths].date, "2024-04-01");
    EXPECT_FALSE(month.bars[kFutureMonths].open);
    EXPECT_EQ(month.bars[kFutureMonths + 1].date, "2024-03-01");
    EXPECT_EQ(s.period(ChartPeriod::Year).bars.size(), 1u + kFutureYears);
    EXPECT_FALSE(s.scaleStored);
    EXPECT_EQ(s.scale, chart::CodeScale{});
}

TEST_F(OpenChartTest, ACodeWithoutRowsLeavesEveryListEmpty) {
    input.code = "0000";
    const ChartSeries s = OpenChart(input);
    EXPECT_FALSE(s.cancelled);
    for (ChartPeriod p : kAllPeriods) {
        EXPECT_TRUE(s.period(p).bars.empty()) << periodLetter(p);
        for (std::size_t g = 0; g < s.period(p).graphs.size(); ++g)
            EXPECT_EQ(s.period(p).graphs[g].count(), 0u);
    }
    EXPECT_TRUE(s.priced.empty());
}

TEST_F(OpenChartTest, AdjustsForSplitsAndLogsUnusableOnes) {
    input.splits = {{"2024-03-01", "2"}, {"2024-02-01", "0"}};
    const ChartSeries s = OpenChart(input);
    const auto& day = s.period(ChartPeriod::Day).bars;
    const KeisenElm* split = nullptr;
    for (const auto& b : day)
        if (b.date == "2024-03-01")
            split = &b;
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->split, "2");
    const KeisenElm& before = day[day.indexOf(*split) + 1];
    EXPECT_EQ(before.date, "2024-02-29");
    // Day 38 (0-based) of the generated series: 1000 + 380 + 0.5, halved.
    EXPECT_EQ(before.openText(), "690.25");
    ASSERT_EQ(s.log.size(), 1u);
    EXPECT_NE(s.log[0].find("1234"), std::string::npos);
    EXPECT_NE(s.log[0].find("2024-02-01"), std::string::npos);
    EXPECT_EQ(s.period(ChartPeriod::Month).bars[kFutureMonths + 1].split, "2");
}

// Stored rows as another program may have left them: dates that are no real day never reach
// the period builders (one once overflowed the week key), volumes never wrap in a period.
TEST_F(OpenChartTest, RowsWithoutARealDateAreSkippedAndVolumesNeverWrap) {
    ASSERT_EQ(framework::SQL_exec(db,
                                  "INSERT INTO kabukadb VALUES"
                                  "('1234','1969-99999999-1',1,1,1,1,1),"
                                  "('1234','20271231',1,1,1,1,1),"
                                  "('1234','2024-02-30',1,1,1,1,1),"
                                  "('1234','2024/04/01',1,1,1,1,1);"
                                  "UPDATE kabukadb SET volume=9223372036854775000 WHERE code='1234' AND "
                                  "date IN ('2024-03-27','2024-03-28');"
                                  "UPDATE kabukadb SET volume=-7 WHERE code='1234' AND date='2024-03-29';"),
              0)
        << db.lastError();
    const ChartSeries s = OpenChart(input);
    const auto& day = s.period(ChartPeriod::Day).bars;
    for (const auto& bar : day) {
        EXPECT_TRUE(framework::parseDate(bar.date)) << bar.date;
        EXPECT_GE(bar.volume, 0) << bar.date;
    }
    // Stored dates sort as text, so a slashed one would stand out of order: skipped as well.
    EXPECT_EQ(day[10].date, "2024-03-29");
    EXPECT_EQ(day[10].volume, 0); // a negative volume reads as none
    ASSERT_EQ(s.log.size(), 4u);
    EXPECT_NE(s.log[0].find("\"1969-99999999-1\""), std::string::npos) << s.log[0];
    for (ChartPeriod p : kAllPeriods) {
        for (const auto& bar : s.period(p).bars) {
            EXPECT_GE(bar.volume, 0) << periodLetter(p) << " " << bar.date;
            EXPECT_LT(bar.year, 10000) << periodLetter(p) << " " << bar.date;
        }
    }
    // The week of 2024-03-25 holds the two huge days: its volume stays at the largest value.
    const auto& week = s.period(ChartPeriod::Week).bars;
    const auto w =
        std::find_if(week.begin(), week.end(), [](const KeisenElm& b) { return b.date == "2024-03-25"; });
    ASSERT_NE(w, week.end());
    EXPECT_EQ(w->volume, INT64_MAX);
}

TEST_F(OpenChartTest, ReadsTheStoredScale) {
    framework::ZSqlElement scales;
    ASSERT_EQ(framework::SQL_Open(scales, ":memory:"), 0);
    ASSERT_EQ(framework::SQL_exec(
                  scales, "CREATE TABLE graphdata_tb (code TEXT PRIMARY KEY, d_x_haba_p TEXT, d_y_ichimemori "
                          "TEXT, w_x_haba_p TEXT, w_y_ichimemori TEXT, m_x_haba_p TEXT, m_y_ichimemori TEXT, "
                          "y_x_haba_p TEXT, y_y_ichimemori TEXT, sonota1 TEXT, sonota2 TEXT, sonota3 TEXT, "
                          "sonota4 TEXT);"
                          "INSERT INTO graphdata_tb VALUES ('1234','4','6','5','7','6','8','7','9','100','',"
                          "'300',NULL);"),
              0);
    input.scaleDb = &scales;
    const ChartSeries s = OpenChart(input);
    EXPECT_TRUE(s.scaleStored);
    EXPECT_EQ(s.scale.pitch, (std::array<int, 4>{4, 5, 6, 7}));
    EXPECT_EQ(s.scale.tick, (std::array<int, 4>{6, 7, 8, 9}));
    EXPECT_EQ(s.scale.fixedGrid, (std::array<int, 4>{100, 0, 300, 0}));
}

TEST_F(OpenChartTest, ACancelledOpeningIsMarked) {
    std::atomic<bool> cancel{true};
    EXPECT_TRUE(OpenChart(input, &cancel).cancelled);
    cancel = false;
    EXPECT_FALSE(OpenChart(input, &cancel).cancelled);
}

// As the desktop runs it: openings on worker threads, each with its own connection, told to
// stop from this thread while they run. A stopped one is marked; the last one completes.
// (scripts/test --tsan runs this under ThreadSanitizer.)
TEST_F(OpenChartTest, OpeningsOnWorkersStopWhenTold) {
    const std::string path = (dir / "kabuka.db").string();
    std::vector<std::thread> workers;
    std::vector<std::shared_ptr<std::atomic<bool>>> flags;
    std::vector<ChartSeries> results(4);
    for (std::size_t k = 0; k < results.size(); ++k) {
        flags.push_back(std::make_shared<std::atomic<bool>>(false));
        workers.emplace_back([&, k, cancel = flags.back()] {
            framework::ZSqlElement own;
            ASSERT_EQ(framework::SQL_Open(own, path), 0);
            OpenChartInput in = input;
            in.priceDb = &own;
            results[k] = OpenChart(in, cancel.get());
        });
        if (k + 1 < results.size())
            flags.back()->store(true); // replaced by the next one
    }
    for (auto& w : workers)
        w.join();
    for (std::size_t k = 0; k + 1 < results.size(); ++k) {
        if (!results[k].cancelled) { // it may have finished before it was told
            EXPECT_EQ(results[k].period(ChartPeriod::Day).bars.size(), 70u);
        }
    }
    EXPECT_FALSE(results.back().cancelled);
    EXPECT_EQ(results.back().period(ChartPeriod::Day).bars.size(), 70u);
}

TEST_F(OpenChartTest, WritesBarsAsCsvOldestFirstWithOneColumnPerGraph) {
    input.splits = {{"2024-03-01", "2"}};
    const ChartSeries s = OpenChart(input);
    std::ostringstream out;
    WriteBarsCsv(s.period(ChartPeriod::Day), out);
    std::istringstream in(out.str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 71u);
    EXPECT_EQ(
        lines[0],
        "date,open,high,low,close,volume,split,nodata,転換線,基準線,遅行スパン,先行スパン1,先行スパン2");
    // The oldest day, halved by the split: only the lagging span has a value there, the close
    // of day 25 (1255.25 halved).
    EXPECT_EQ(lines[1], "2024-01-08,500.00,507.50,497.50,502.50,100,,0,,,627.62,,");
    const std::string& splitDay = lines[1 + 38 + 1];
    EXPECT_EQ(splitDay.substr(0, splitDay.find(",0,")), "2024-03-01,1390.00,1405.00,1385.00,1395.00,139,2");
    // The newest future day carries leading span 1 of day 44, 25 days earlier: 転換線 over days
    // 36-44 is (1455.50 + 677.50) / 2 = 1066.50 and 基準線 over days 19-44 is (1455.50 + 592.625)
    // / 2, written "1024.06"; their mean is 1045.28. Leading span 2 starts only at day 77.
    EXPECT_EQ(lines.back(), "2024-04-12,,,,,0,,0,,,,1045.28,");
}

TEST_F(OpenChartTest, MergesTodaysPricesIntoTheDayAndItsPeriods) {
    ChartSeries s = OpenChart(input);
    EXPECT_FALSE(MergeTodayPrices(s, {"2024-03-29", 1, 2, 1, 2, 5})); // already priced
    EXPECT_FALSE(MergeTodayPrices(s, {"2024-05-01", 1, 2, 1, 2, 5})); // not a bar of the chart
    ASSERT_TRUE(MergeTodayPrices(s, {"2024-04-01", 1600, 1700.5, 1590, 1650, 777}));
    const auto& day = s.period(ChartPeriod::Day);
    const KeisenElm& today = day.bars[9];
    ASSERT_EQ(today.date, "2024-04-01");
    EXPECT_EQ(today.closeText(), "1650.00");
    EXPECT_TRUE(day.graphs[0].hasValue(9)); // 転換線 carries on with the new bar
    EXPECT_NE(today.analysis.find("転換線 "), std::string::npos);

    // The week and month of 2024-04-01 held no prices: they take today's.
    const auto& week = s.period(ChartPeriod::Week);
    EXPECT_EQ(week.bars[1].date, "2024-04-01");
    EXPECT_EQ(week.bars[1].openText(), "1600.00");
    EXPECT_EQ(week.bars[1].volume, 777);
    EXPECT_TRUE(week.graphs[0].hasValue(1));
    EXPECT_EQ(s.period(ChartPeriod::Month).bars[kFutureMonths].closeText(), "1650.00");
    // The year had prices: its high rises, its volume grows and its close is today's.
    const KeisenElm& year = s.period(ChartPeriod::Year).bars[kFutureYears];
    EXPECT_EQ(year.highText(), "1700.50");
    EXPECT_EQ(year.closeText(), "1650.00");
    EXPECT_EQ(year.lowText(), "995.00");
    EXPECT_EQ(s.priced.newestDateNumber, 20240401);
}

TEST_F(OpenChartTest, TodaysPricesWidenThePricedWeekMonthAndYearThatHoldToday) {
    // Today is Wednesday 2024-03-27: Monday and Tuesday of its week are priced, today is not yet.
    ASSERT_EQ(framework::SQL_exec(db, "DELETE FROM kabukadb WHERE date >= '2024-03-27';"), 0);
    ChartSeries s = OpenChart(input);
    auto periodBar = [&](ChartPeriod p, const char* date) -> KeisenElm* {
        for (auto& bar : s.period(p).bars)
            if (bar.date == date)
                return &bar;
        return nullptr;
    };
    struct Before {
        ChartPeriod period;
        KeisenElm* bar;
        KeisenElm was;
    };
    std::vector<Before> periods;
    for (auto [p, date] :
         {std::pair{ChartPeriod::Week, "2024-03-25"}, std::pair{ChartPeriod::Month, "2024-03-01"},
          std::pair{ChartPeriod::Year, "2024-01-08"}}) {
        KeisenElm* bar = periodBar(p, date);
        ASSERT_TRUE(bar && bar->open) << date;
        periods.push_back({p, bar, *bar});
    }
    const TodayPrices today{"2024-03-27", 1500, 9000.5, 10.25, 1555.5, 3797444701LL};
    ASSERT_TRUE(MergeTodayPrices(s, today));
    for (const auto& b : periods) {
        SCOPED_TRACE(periodLetter(b.period));
        EXPECT_EQ(b.bar->open, b.was.open);             // the period opened earlier
        EXPECT_EQ(b.bar->high, std::optional(9000.5));  // widened up
        EXPECT_EQ(b.bar->low, std::optional(10.25));    // widened down
        EXPECT_EQ(b.bar->close, std::optional(1555.5)); // today's close
        EXPECT_EQ(b.bar->volume, b.was.volume + 3797444701LL);
    }
    // A second answer for the same day changes nothing: today is priced now.
    EXPECT_FALSE(MergeTodayPrices(s, today));
    EXPECT_EQ(periods[0].bar->volume, periods[0].was.volume + 3797444701LL);
}

} // namespace
} // namespace tavora::chart
