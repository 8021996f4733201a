// tavora-cli codes and bars, run as the user runs them, over a fresh application root that
// the bundled data fills on the first start.
#include "framework/Dates.h"
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
}

// The texts compare as the Home page's search box compares them: after width and case folding.
TEST_F(MarketCommandsTest, SearchesAfterWidthAndCaseFolding) {
    for (const auto& [text, line] :
         std::vector<std::pair<std::string, std::string>>{{"dji", "DJI NYダウ"},
                                                          {"ｄｊｉ", "DJI NYダウ"},
                                                          {"１００７", "1007 "},
                                                          {"ｻﾝﾌﾟﾙ自動車", "1008 サンプル自動車"}}) {
        const RunResult hits = run("codes '" + text + "'");
        ASSERT_EQ(hits.status, 0) << text << ": " << hits.err;
        ASSERT_EQ(hits.lines().size(), 1u) << text;
        EXPECT_EQ(hits.lines()[0].rfind(line, 0), 0u) << text << ": " << hits.out;
    }
}

TEST_F(MarketCommandsTest, SaysSoWhenNothingMatches) {
    const RunResult none = run("codes 見当たらない");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "tavora-cli: no code or name contains 見当たらない\n");
}

TEST_F(MarketCommandsTest, PrintsTheVersion) {
    const RunResult version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Tavora Ver1.7.6\n");
}

// A data folder that cannot be written is said to be so, in one line, and is not taken for a
// running program. The lock file being a directory fails for root as well.
TEST_F(MarketCommandsTest, RefusesADataFolderItCannotWrite) {
    std::filesystem::create_directories(dir / "Tavora" / ".lock");
    const RunResult r = run("codes");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tavora-cli: cannot write to the data folder " + (dir / "Tavora").string(), 0), 0u)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
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

std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// Moving averages and formulas stored in bunseki.db get a column of their own, computed on the
// split-adjusted prices the other columns show; a formula that does not parse has an empty one.
TEST_F(MarketCommandsTest, PrintsAColumnForEachMovingAverageAndFormula) {
    ASSERT_EQ(run("codes").status, 0); // the first start seeds bunseki.db
    {
        tavora::framework::ZSqlElement db;
        ASSERT_EQ(tavora::framework::SQL_Open(db, (dir / "Tavora" / "bunseki.db").string()), 0);
        ASSERT_EQ(
            tavora::framework::SQL_exec(
                db, "INSERT INTO bunsekitb (graphmei,hyouji_bl,cr,width,sensyu,siki,sonota1,sonota2,sonota3) "
                    "VALUES ('移動平均3','1','255','1','1','','5','3',''),"
                    "('指数平均3','1','255','1','1','','6','3',''),"
                    "('終値式','1','255','1','1','ＭＡ（Ｃ，１）','0','',''),"
                    "('壊れた式','1','255','1','1','MA(C,','','','');"),
            0)
            << db.lastError();
    }
    for (const char* period : {"d", "w"}) {
        const RunResult r = run(std::string("bars 1007 --period ") + period);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(
            r.err.find("tavora-cli: 壊れた式: the formula is not drawn: at the end: the count must be a "
                       "whole number from 1 to 9999 (MA(x,n))\n"),
            std::string::npos)
            << r.err;
        const auto lines = r.lines();
        ASSERT_GT(lines.size(), 100u);
        EXPECT_EQ(lines[0],
                  "date,open,high,low,close,volume,split,nodata,転換線,基準線,遅行スパン,先行スパン1,"
                  "先行スパン2,移動平均3,指数平均3,終値式,壊れた式");
        std::vector<double> closes; // of the bars with prices so far
        double ema = 0;
        std::size_t checked = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const auto f = csvFields(lines[i]);
            ASSERT_EQ(f.size(), 17u) << lines[i];
            EXPECT_EQ(f[16], "") << lines[i];
            // No prices (a future day, a day without trade, a week of such days): no value.
            if (f[1].empty() || std::stod(f[1]) == 0 || f[7] == "1") {
                EXPECT_EQ(f[13] + f[14] + f[15], "") << lines[i];
                continue;
            }
            EXPECT_EQ(f[15], f[4]) << lines[i];
            closes.push_back(std::stod(f[4]));
            const std::size_t n = closes.size();
            if (n < 3) {
                EXPECT_EQ(f[13], "") << lines[i];
                ema += closes.back();
                continue;
            }
            ema = n == 3 ? (ema + closes.back()) / 3 : ema + 0.5 * (closes.back() - ema);
            // The columns show closes rounded to hundredths; the averages take them unrounded.
            EXPECT_NEAR(std::stod(f[13]), (closes[n - 1] + closes[n - 2] + closes[n - 3]) / 3, 0.011)
                << lines[i];
            EXPECT_NEAR(std::stod(f[14]), ema, 0.011) << lines[i];
            ++checked;
        }
        EXPECT_GT(checked, 100u) << period;
    }
}

// Reproductions of damaged files: a calendar line of eight digits, a stored date with an absurd
// month, and daily volumes whose sum passes the 64-bit range. Each once produced impossible
// bars (a year 20,271,231, an overflowed week key, a negative week volume).
TEST_F(MarketCommandsTest, DamagedDatesAndVolumesNeverReachTheBars) {
    ASSERT_EQ(run("codes").status, 0); // the first start installs the bundled data
    const auto root = dir / "Tavora";
    {
        std::FILE* calendar = std::fopen((root / "marketday" / "marketday_jpn.csv").c_str(), "ab");
        ASSERT_NE(calendar, nullptr);
        std::fputs("20271231,\r\n", calendar);
        std::fclose(calendar);
        tavora::framework::ZSqlElement db;
        ASSERT_EQ(tavora::framework::SQL_Open(db, (root / "data" / "kabukadb" / "kabuka.db").string()), 0);
        ASSERT_EQ(tavora::framework::SQL_exec(
                      db, "INSERT INTO kabukadb VALUES ('0001','1969-99999999-1',1,1,1,1,1);"
                          "UPDATE kabukadb SET volume=9223372036854775000 WHERE code='0001' AND "
                          "date IN ('2026-12-07','2026-12-08');"),
                  0)
            << db.lastError();
    }
    struct Case {
        const char* period;
        const char* firstDate; // the bar whose line is checked
        const char* volume;    // its volume column
    };
    for (const Case& c : {Case{"d", "2026-12-08", "9223372036854775000"},
                          Case{"w", "2026-12-07", "9223372036854775807"},
                          Case{"m", "2026-12-01", "9223372036854775807"},
                          Case{"y", "2026-01-05", "9223372036854775807"}}) {
        SCOPED_TRACE(c.period);
        const RunResult r = run(std::string("bars 0001 --period ") + c.period);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("\"1969-99999999-1\""), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("\"20271231\""), std::string::npos) << r.err;
        const auto lines = r.lines();
        ASSERT_GT(lines.size(), 1u);
        bool checked = false;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::vector<std::string> fields;
            std::istringstream in(lines[i]);
            for (std::string f; std::getline(in, f, ',');)
                fields.push_back(f);
            ASSERT_GE(fields.size(), 6u) << lines[i];
            const auto date = tavora::framework::parseDate(fields[0]);
            ASSERT_TRUE(date) << lines[i];
            EXPECT_LE(date->year, 2127) << lines[i];
            EXPECT_NE(fields[5].front(), '-') << lines[i];
            if (fields[0] == c.firstDate) {
                EXPECT_EQ(fields[5], c.volume) << lines[i];
                checked = true;
            }
        }
        EXPECT_TRUE(checked) << "no bar dated " << c.firstDate;
    }
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
