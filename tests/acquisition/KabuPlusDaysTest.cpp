// Which days the KABU+ download asks for, from a real calendar file.
#include "acquisition/KabuPlusDays.h"

#include "framework/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::acquisition {
namespace {

std::vector<std::string> texts(const DownloadDays& days) {
    std::vector<std::string> out;
    for (const auto& d : days.days)
        out.push_back(compactDate(d));
    return out;
}

class KabuPlusDaysTest : public ::testing::Test {
protected:
    void writeCalendar(const std::string& utf8) {
        test::writeFile(m_calendar, framework::ConvUTFtoSJIS(utf8).text);
    }
    test::TempDir m_dir;
    std::string m_calendar = (m_dir / "marketday_jpn.csv").string();
};

TEST_F(KabuPlusDaysTest, TakesTheDaysAfterTheLastStoredFromTheAnchorUpToToday) {
    // Out of order on purpose, with a repeated day.
    writeCalendar("2025-12-08\n2025-12-09\n2025-12-10\n2026-12-04\n2026-12-07\n2026-12-08\n2026-12-09\n"
                  "2026-12-10\n2026-12-11\n2026-12-14\n2026-12-03\n2026-12-08\n");
    const std::string anchor = "2025-12-09", today = "2026-12-10";
    const struct {
        const char* what;
        std::optional<std::string> lastStored;
        std::vector<std::string> expected;
    } cases[] = {
        {"nothing stored: from the anchor itself",
         std::nullopt,
         {"20251209", "20251210", "20261203", "20261204", "20261207", "20261208", "20261209", "20261210"}},
        {"stored up to a day", std::string("2026-12-07"), {"20261208", "20261209", "20261210"}},
        {"stored long ago: the anchor bounds",
         std::string("2024-05-01"),
         {"20251209", "20251210", "20261203", "20261204", "20261207", "20261208", "20261209", "20261210"}},
        {"stored up to today", std::string("2026-12-10"), {}},
        {"stored beyond today", std::string("2026-12-14"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto days = chooseDownloadDays(m_calendar, c.lastStored, anchor, today);
        ASSERT_TRUE(days.ok()) << days.error;
        EXPECT_EQ(texts(days), c.expected);
        EXPECT_EQ(days.badRows, 0u);
    }
}

TEST_F(KabuPlusDaysTest, SkipsAndCountsRowsThatAreNotExactlyADate) {
    writeCalendar("日付,曜日\n2026-12-07,月\n2026/12/08\n20261209\n2026-12-1\n2026-02-30\n../../x\n"
                  " 2026-12-10\n2026-12-10x\n\n2026-12-11\n");
    const auto days = chooseDownloadDays(m_calendar, std::nullopt, "2026-01-01", "2026-12-31");
    ASSERT_TRUE(days.ok()) << days.error;
    EXPECT_EQ(texts(days), (std::vector<std::string>{"20261207", "20261211"}));
    EXPECT_EQ(days.badRows, 9u);
}

TEST_F(KabuPlusDaysTest, AMissingCalendarIsAnErrorNotNothingToFetch) {
    const auto days = chooseDownloadDays(m_calendar, std::nullopt, "2026-01-01", "2026-12-31");
    EXPECT_FALSE(days.ok());
    EXPECT_NE(days.error.find("marketday_jpn.csv"), std::string::npos) << days.error;
    EXPECT_TRUE(days.days.empty());
}

TEST(KabuPlusPaths, BuildTheServiceAddressAndTheLocalName) {
    const framework::YmdDate day{2026, 1, 5};
    EXPECT_EQ(
        kabuPlusUrl("https://csvex.com/", day),
        "https://csvex.com/kabu.plus/csv/japan-all-stock-prices/daily/japan-all-stock-prices_20260105.csv");
    EXPECT_EQ(kabuPlusFileName(day), "japan-all-stock-prices_20260105.csv");
}

} // namespace
} // namespace tavora::acquisition
