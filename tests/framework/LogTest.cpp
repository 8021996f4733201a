#include "framework/Log.h"

#include "framework/Dates.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace tavora::framework;
using tavora::test::readFile;
using tavora::test::TempDir;

namespace {

int rowCount(const std::filesystem::path& db, const std::string& where = "") {
    ZSqlElement conn;
    if (SQL_Open(conn, db.string()) != 0)
        return -1;
    SQLList out;
    if (SQL_exec(conn, "SELECT count(*) AS n FROM logtb" + where, out) != 0 || out.empty())
        return -1;
    return std::stoi(out.rows[0].value("n"));
}

TEST(LogTest, CutoffDeletesRowsOnAndBeforeTheDateAndBannerReachesTheTextFile) {
    TempDir tmp;
    auto dbPath = tmp / "log.zfc";
    {
        ZLog log;
        ASSERT_EQ(log.Open(dbPath, tmp / "log.txt"), 0);
        ASSERT_EQ(log.CreateLogDb(), 0);
        ZSqlElement conn;
        ASSERT_EQ(SQL_Open(conn, dbPath.string()), 0);
        ASSERT_EQ(SQL_exec(conn, "INSERT INTO logtb (date, time, text) VALUES "
                                 "('2026-02-27','10:00:00','older'),('2026-02-28','10:00:00','at cutoff'),"
                                 "('2026-03-01','10:00:00','newer');"),
                  0);
        ASSERT_EQ(log.DeleteLogsUpTo(GetDayOfDifferMonth("2026-05-31", -3)), 0);
        log.UpdLog(ZLog::kStartBanner);
        ASSERT_TRUE(log.WriteLogTxt());
        log.UpdLog(ZLog::kEndBanner);
        log.Close(); // flushes the rest
    }
    EXPECT_EQ(rowCount(dbPath), 3); // "newer" and the two banners
    EXPECT_EQ(rowCount(dbPath, " WHERE text = 'newer'"), 1);
    EXPECT_EQ(rowCount(dbPath, " WHERE text = '****** tavora_start ******' AND date = '" + todayDate() + "'"),
              1);

    std::string txt = readFile(tmp / "log.txt");
    auto start = txt.find(std::string(" ") + ZLog::kStartBanner + "\n");
    ASSERT_NE(start, std::string::npos) << txt;
    EXPECT_NE(txt.find(std::string(" ") + ZLog::kEndBanner + "\n", start), std::string::npos) << txt;
    EXPECT_EQ(txt.substr(0, 10), todayDate());
}

TEST(LogTest, ConcurrentWritersLoseNothing) {
    TempDir tmp;
    ZLog log;
    ASSERT_EQ(log.Open(tmp / "log.zfc", tmp / "log.txt"), 0);
    ASSERT_EQ(log.CreateLogDb(), 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 50; ++i) {
                log.UpdLog("worker " + std::to_string(t) + " line " + std::to_string(i));
                if (i % 10 == 0)
                    log.WriteLogTxt();
            }
        });
    for (auto& th : threads)
        th.join();
    log.Close();
    EXPECT_EQ(rowCount(tmp / "log.zfc"), 200);
    std::string txt = readFile(tmp / "log.txt");
    EXPECT_EQ(std::count(txt.begin(), txt.end(), '\n'), 200);
}

TEST(LogTest, TextLinesStayQueuedWhenTheDatabaseIsMissingOrTheFileUnwritable) {
    TempDir tmp;
    ZLog log;
    EXPECT_NE(log.Open(tmp / "no" / "such" / "dir" / "log.zfc", tmp / "no" / "log.txt"), 0);
    EXPECT_NE(log.DeleteLogsUpTo("2026-01-01"), 0);
    log.UpdLog("kept");
    EXPECT_FALSE(log.WriteLogTxt());
    std::filesystem::create_directories(tmp / "no");
    EXPECT_TRUE(log.WriteLogTxt());
    EXPECT_NE(readFile(tmp / "no" / "log.txt").find(" kept\n"), std::string::npos);
}

} // namespace
