#include "framework/Dates.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

using namespace tavora::framework;

namespace {

struct ShiftCase {
    const char* date;
    int amount;
    const char* expected;
};

TEST(DatesTest, MonthShiftClampsTheDayToTheTargetMonth) {
    const ShiftCase cases[] = {
        {"2026-05-31", -3, "2026-02-28"}, {"2024-05-31", -3, "2024-02-29"},
        {"2026-01-31", 1, "2026-02-28"},  {"2026-03-15", -15, "2024-12-15"},
        {"2026/12/09", 1, "2027-01-09"},  {"2026-12-09", 0, "2026-12-09"},
        {"2026-02-30", -1, ""},           {"not a date", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDayOfDifferMonth(c.date, c.amount), c.expected) << c.date << " " << c.amount;
}

TEST(DatesTest, DayShiftCrossesMonthsYearsAndLeapDays) {
    const ShiftCase cases[] = {
        {"2026-12-31", 1, "2027-01-01"},    {"2024-03-01", -1, "2024-02-29"},
        {"2023-03-01", -1, "2023-02-28"},   {"1969-12-31", 1, "1970-01-01"},
        {"2026-01-01", -365, "2025-01-01"}, {"2000-02-28", 1, "2000-02-29"},
        {"1900-02-28", 1, "1900-03-01"},    {"2026-13-01", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDayOfDifferDay(c.date, c.amount), c.expected) << c.date << " " << c.amount;
}

TEST(DatesTest, DateTextConversions) {
    EXPECT_EQ(ConvertCarenderToInt("2026-12-09"), 20261209);
    EXPECT_EQ(ConvertCarenderToInt("2026/12/09"), 20261209);
    EXPECT_EQ(ConvertCarenderToInt("2026/1/9"), 0);
    EXPECT_EQ(ConvertCarenderToInt("20261209"), 20261209);
    EXPECT_EQ(ConvertCarenderToInt("20261309"), 0);
    EXPECT_EQ(ConvertCarenderToInt(""), 0);
    EXPECT_EQ(ConvertCarenderToInt("2026-12"), 0);
    EXPECT_EQ(RemoveHyfunCarender("2026-12-09"), "20261209");

    EXPECT_EQ(splitDate("2026/12/09"), (YmdDate{2026, 12, 9}));
    EXPECT_EQ(splitDate("2026-12"), (YmdDate{2026, 12, 0}));
    EXPECT_EQ(splitDate("99999999999999-1-2").month, 1); // an absurd year does not overflow
    EXPECT_EQ(dateNumber(2026, 12, 9), 20261209);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
}

// Every date read from a file or a database goes through parseDate: only a real day written
// with a four-digit year and two-digit month and day passes.
TEST(DatesTest, TheStrictReaderTakesOnlyRealFixedWidthDates) {
    struct Case {
        const char* text;
        std::optional<YmdDate> expected;
    };
    const Case cases[] = {
        {"2026-12-09", YmdDate{2026, 12, 9}},
        {"2026/12/09", YmdDate{2026, 12, 9}},
        {"2024-02-29", YmdDate{2024, 2, 29}},
        {"0001-01-01", YmdDate{1, 1, 1}},
        {"9999-12-31", YmdDate{9999, 12, 31}},
        {"2026-02-29", std::nullopt},       // not a leap year
        {"2026-1-09", std::nullopt},        // month of one digit
        {"20271231", std::nullopt},         // no separators: once read as the year 20,271,231
        {"1969-99999999-1", std::nullopt},  // once overflowed the week key
        {"20271231-01-01", std::nullopt},
        {"0000-01-01", std::nullopt},
        {"2026-12/09", std::nullopt},
        {"2026-12-09x", std::nullopt},
        {" 2026-12-09", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-00-10", std::nullopt},
        {"2026-12-00", std::nullopt},
        {"+026-12-09", std::nullopt},
        {"2026-1２-09", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseDate(c.text), c.expected) << c.text;
        EXPECT_EQ(canonicalDate(c.text), c.expected ? formatDate(*c.expected) : "") << c.text;
    }
}

// The arithmetic must agree with strftime("%W") of the local date at midnight for every day.
TEST(DatesTest, AnOverrideOfTodayThatIsNoDateIsNamed) {
    for (const char* bad :
         {"2026-13-45", "yesterday", "2026-02-30", "20261208", "2026-12-08 ", "\x1b]0;x\x07"}) {
        tavora::test::ScopedEnv env("TAVORA_TODAY", bad);
        const std::string problem = todayOverrideProblem();
        EXPECT_NE(problem.find("TAVORA_TODAY"), std::string::npos) << bad;
        EXPECT_NE(problem.find("YYYY-MM-DD"), std::string::npos) << bad;
    }
    for (const char* good : {"2026-12-08", "2024/02/29", ""}) {
        tavora::test::ScopedEnv env("TAVORA_TODAY", good);
        EXPECT_EQ(todayOverrideProblem(), "") << good;
    }
    tavora::test::ScopedEnv unset("TAVORA_TODAY", std::nullopt);
    EXPECT_EQ(todayOverrideProblem(), "");
}

TEST(DatesTest, WeekKeyAgreesWithStrftimeFrom1970) {
    long long first = daysFromCivil(1970, 1, 1), last = daysFromCivil(2040, 12, 31);
    for (long long n = first; n <= last; ++n) {
        YmdDate d = civilFromDays(n);
        std::tm tm{};
        tm.tm_year = d.year - 1900;
        tm.tm_mon = d.month - 1;
        tm.tm_mday = d.day;
        tm.tm_isdst = -1;
        std::time_t t = std::mktime(&tm);
        char buf[8];
        std::strftime(buf, sizeof buf, "%W", std::localtime(&t));
        ASSERT_EQ(weekKey(d.year, d.month, d.day), std::atoi(buf)) << formatDate(d);
    }
}

TEST(DatesTest, WeekKeyRestartsOnFirstJanuaryAndSeparatesNeighbouringWeeks) {
    EXPECT_EQ(weekKey(2025, 12, 31), 52);
    EXPECT_EQ(weekKey(2026, 1, 1), 0); // a Thursday: week 0 until the first Monday
    EXPECT_EQ(weekKey(2026, 1, 4), 0);
    EXPECT_EQ(weekKey(2026, 1, 5), 1);

    // 1965-06-07 is a Monday: the week up to Sunday 06-13 shares one key, its neighbours differ.
    int key = GetWeekNum1970(19650607);
    for (int day = 8; day <= 13; ++day)
        EXPECT_EQ(GetWeekNum1970(19650600 + day), key) << day;
    EXPECT_NE(GetWeekNum1970(19650606), key);
    EXPECT_NE(GetWeekNum1970(19650614), key);
    EXPECT_EQ(weekKey(1965, 6, 10), key);
    EXPECT_EQ(GetWeekNum1970(19600101), 0);
    EXPECT_EQ(GetWeekNum1970(19591231), GetWeekNum1970(19591228));
    EXPECT_NE(weekKey(1969, 12, 29), weekKey(1970, 1, 5));
}

TEST(DatesTest, TodayHonoursTheOverride) {
    const char* saved = std::getenv("TAVORA_TODAY");
    std::string keep = saved ? saved : "";
    setenv("TAVORA_TODAY", "2026-05-31", 1);
    EXPECT_EQ(todayDate(), "2026-05-31");
    EXPECT_EQ(GetDayOfDifferMonth(todayDate(), -3), "2026-02-28");

    setenv("TAVORA_TODAY", "garbage", 1); // ignored: falls back to the local date
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    EXPECT_EQ(todayDate(), formatDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));

    if (saved)
        setenv("TAVORA_TODAY", keep.c_str(), 1);
    else
        unsetenv("TAVORA_TODAY");
}

} // namespace
