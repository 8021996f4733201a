// Future market days from the calendar files, and the choice of calendar.
#include "MarketTestSupport.h"
#include "market/MarketCalendar.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::market {
namespace {

using test::flat;
using test::makeDays;

struct CalendarCase {
    const char* name;
    std::string calendar;           // file bytes
    std::vector<const char*> added; // dates inserted, newest first
};

class AppendMarketDaysTest : public ::testing::TestWithParam<CalendarCase> {};

TEST_P(AppendMarketDaysTest, InsertsEmptyBarsBetweenHeadAndNewestBar) {
    const CalendarCase& c = GetParam();
    tavora::test::TempDir dir;
    const auto path = dir / "marketday_jpn.csv";
    tavora::test::writeFile(path, c.calendar);
    // The newest priced day is Friday 2024-05-10.
    KeisenList day = makeDays({flat("2024-05-09", 10), flat("2024-05-10", 11)});
    const std::size_t added = AppendMarketDays(day, path.string());
    ASSERT_EQ(added, c.added.size());
    ASSERT_EQ(day.size(), 2 + c.added.size());
    for (std::size_t i = 0; i < c.added.size(); ++i) {
        EXPECT_EQ(day[i].date, c.added[i]);
        EXPECT_FALSE(day[i].open || day[i].high || day[i].low || day[i].close);
        EXPECT_EQ(day[i].volume, 0);
    }
    EXPECT_EQ(day[c.added.size()].date, "2024-05-10");
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, AppendMarketDaysTest,
    ::testing::Values(
        CalendarCase{"FridayToTheNextWeek",
                     "2024-05-08\r\n2024-05-09\r\n2024-05-10\r\n2024-05-13\r\n2024-05-14\r\n2024-05-15\r\n"
                     "2024-05-16\r\n2024-05-17\r\n",
                     {"2024-05-17", "2024-05-16", "2024-05-15", "2024-05-14", "2024-05-13"}},
        CalendarCase{"EndsEarlier", "2024-05-08\n2024-05-09\n", {}},
        CalendarCase{"EndsOnTheNewestDay", "2024-05-09\n2024-05-10\n", {}},
        CalendarCase{"ExtraFieldsSlashesAndBlankLines",
                     "2024-05-10,金\n2024/05/13,月\n\n2024-05-14,火\n\n",
                     {"2024-05-14", "2024-05-13"}},
        // Lines whose first field is not a real date are skipped wherever they stand.
        CalendarCase{"NotRealDatesAreSkipped",
                     "2024-05-10\n2024-05-13\n2024-5-14\n2024-05-15\n2024-02-30\n20271231,\n",
                     {"2024-05-15", "2024-05-13"}},
        // A file out of order (a later year's days before these, a repeated day) keeps the
        // days that run forward from its end, so the bars never run backwards.
        CalendarCase{"OutOfOrderLinesAreSkipped",
                     "2024-05-10\n2024-05-13\n2025-01-06\n2024-05-14\n2024-05-15\n2024-05-15\n2024-05-16\n",
                     {"2024-05-16", "2024-05-15", "2024-05-14", "2024-05-13"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarketCalendarTest, AppendsNothingWithoutBarsOrWithoutAFile) {
    tavora::test::TempDir dir;
    tavora::test::writeFile(dir / "cal.csv", "2030-01-04\n");
    KeisenList empty;
    EXPECT_EQ(AppendMarketDays(empty, (dir / "cal.csv").string()), 0u);
    EXPECT_TRUE(empty.empty());
    KeisenList day = makeDays({flat("2024-05-10", 11)});
    EXPECT_EQ(AppendMarketDays(day, (dir / "missing.csv").string()), 0u);
    EXPECT_EQ(day.size(), 1u);
}

// An eight-digit line appended to the calendar once became a bar of the year 20,271,231 whose
// date number overflowed; it is now skipped, and the log says which line it was.
TEST(MarketCalendarTest, AnEightDigitLineIsSkippedAndLogged) {
    tavora::test::TempDir dir;
    const auto path = (dir / "marketday_jpn.csv").string();
    tavora::test::writeFile(path, "2024-05-10\r\n2024-05-13\r\n20271231,\r\n");
    KeisenList day = makeDays({flat("2024-05-10", 11)});
    std::vector<std::string> skipped;
    EXPECT_EQ(AppendMarketDays(day, path, &skipped), 1u);
    EXPECT_EQ(day.newest()->date, "2024-05-13");
    EXPECT_EQ(day.newest()->dateNumber(), 20240513);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_NE(skipped[0].find("\"20271231\""), std::string::npos) << skipped[0];
    EXPECT_NE(skipped[0].find(path), std::string::npos) << skipped[0];
}

TEST(MarketCalendarTest, UsIndicesUseTheUsCalendar) {
    struct Case {
        const char* market;
        const char* path;
    };
    for (const Case& c : {Case{"米国指数", "/m/marketday_usa.csv"}, Case{"東証指数", "/m/marketday_jpn.csv"},
                          Case{"海外指数", "/m/marketday_jpn.csv"}, Case{"名証", "/m/marketday_jpn.csv"}}) {
        CodeElm entry;
        entry.market = c.market;
        EXPECT_EQ(ChooseCalendar(entry, "/m"), c.path) << c.market;
    }
}

TEST(MarketCalendarTest, BundledCalendarsReachPastTheSamplePrices) {
    for (const char* name : {"marketday_jpn.csv", "marketday_usa.csv"}) {
        KeisenList day = makeDays({flat("2024-12-27", 10)});
        const auto path = std::string(TAVORA_DATA_DIR) + "/marketday/" + name;
        EXPECT_GT(AppendMarketDays(day, path), 200u) << name;
        EXPECT_GE(day.newest()->dateNumber(), 20271229) << name;
    }
}

} // namespace
} // namespace tavora::market
