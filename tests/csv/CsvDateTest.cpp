#include "csv/CsvDate.h"

#include <gtest/gtest.h>

using tavora::csv::normalizeCsvDate;

namespace {

TEST(CsvDateTest, EveryAcceptedFormLandsOnOneKey) {
    const char* const forms[] = {
        "2026-01-05",
        "2026-1-5",
        "2026/1/5",
        "2026/01/05",
        "2026年1月5日",
        "2026年01月05日",
        "20260105",
        "２０２６－０１－０５", // full-width digits and hyphen-minus
        "2026―01―05",           // horizontal bar
        "2026−1−5",             // minus sign
        "2026／1／5",           // full-width slash
        "  2026-01-05\t",       // blanks around
        "　2026/1/5　",         // ideographic spaces
        "2026/01/05 15:00",     // a time of day is dropped
        "2026-01-05T15:00:00",
        "2026-01-05 09:00:00.000",
        "20260105 15:00",
        "2026年1月5日 15時00分",
        "2026年1月5日15時00分00秒",
    };
    for (const char* form : forms) {
        const auto date = normalizeCsvDate(form);
        ASSERT_TRUE(date.has_value()) << form;
        EXPECT_EQ(*date, "2026-01-05") << form;
    }
}

TEST(CsvDateTest, CellsThatAreNotRealDaysAreRefused) {
    const char* const cells[] = {
        "",           "-",           "日付",          "2026-02-30",        "2026/13/1",   "2025-02-29",
        "26/1/5",     "2026-1",      "2026-1-5-",     "2026/01-05",        "2026-001-05", "202601055",
        "2026010",    "2026-01-05x", "2026/1/5 noon", "2026年1月5日 午後", "2026-01-05T", "１２３",
        "2026.01.05", "0000-01-05",  "+2026-01-05",
    };
    for (const char* cell : cells)
        EXPECT_FALSE(normalizeCsvDate(cell).has_value()) << cell;
}

TEST(CsvDateTest, LeapDaysAndYearEnds) {
    EXPECT_EQ(normalizeCsvDate("2024/2/29"), "2024-02-29");
    EXPECT_EQ(normalizeCsvDate("20001231"), "2000-12-31");
    EXPECT_EQ(normalizeCsvDate("1999年12月31日"), "1999-12-31");
    EXPECT_FALSE(normalizeCsvDate("19000229"));
}

} // namespace
