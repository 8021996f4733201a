// tavora-cli codes and bars, run as the user runs them, over a fresh application root that
// the bundled data fills on the first start.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using RunResult = tavora::test::CliRun;

class MarketCommandsTest : public ::testing::Test {
protected:
    RunResult run(const std::string& args) {
        return tavora::test::runCli(dir.path(), args, "TAVORA_TODAY=2026-12-09");
    }

    tavora::test::TempDir dir;
};

TEST_F(MarketCommandsTest, ListsAndSearchesTheCatalogue) {
    const RunResult all = run("codes");
    ASSERT_EQ(all.status, 0) << all.err;
    const auto lines = all.lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "0001 日経平均株価");
    EXPECT_EQ(lines[2], "DJI NYダウ");

    const RunResult hits = run("codes 自動車");
    ASSERT_EQ(hits.status, 0) << hits.err;
    EXPECT_EQ(hits.out, "1008 サンプル自動車\n");
    const RunResult digits = run("codes 100");
    EXPECT_EQ(digits.lines().size(), 9u); // 1001 to 1009
    EXPECT_EQ(run("codes 見当たらない").out, "");
}

TEST_F(MarketCommandsTest, PrintsTheBarsOfEachPeriodOldestFirst) {
    const RunResult days = run("bars 1007");
    ASSERT_EQ(days.status, 0) << days.err;
    const auto d = days.lines();
    ASSERT_GT(d.size(), 3000u);
    EXPECT_EQ(
        d[0],
        "date,open,high,low,close,volume,split,nodata,転換線,基準線,遅行スパン,先行スパン1,先行スパン2");
    bool splitSeen = false;
    for (const auto& line : d)
        if (line.rfind("2012-10-01,", 0) == 0)
            splitSeen = line.find(",2,0,") != std::string::npos;
    EXPECT_TRUE(splitSeen);
    // The last rows are future market days without prices.
    EXPECT_EQ(d.back().substr(10, 13), ",,,,,0,,0,,,,");

    const RunResult months = run("bars 1007 --period m");
    ASSERT_EQ(months.status, 0) << months.err;
    const auto m = months.lines();
    std::string october2012, april2021;
    for (const auto& line : m) {
        if (line.rfind("2012-10-", 0) == 0)
            october2012 = line;
        if (line.rfind("2021-04-", 0) == 0)
            april2021 = line;
    }
    EXPECT_NE(october2012.find(",2,"), std::string::npos) << october2012;
    EXPECT_NE(april2021.find(",3,"), std::string::npos) << april2021;
    EXPECT_EQ(run("bars 1007 --period y").lines().back().substr(0, 10), "2127-01-01");
}

TEST_F(MarketCommandsTest, RefusesUnknownCodesAndBadArguments) {
    const RunResult unknown = run("bars 9999");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("9999"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_EQ(run("bars").status, 2);
    EXPECT_EQ(run("bars 1007 --period q").status, 2);
    EXPECT_EQ(run("codes a b").status, 2);
}

} // namespace
