// tavora-cli sync and today, run as the user runs them, against a companion database and a
// companion socket made by the test.
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/CompanionPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using RunResult = tavora::test::CliRun;

class CompanionCommandsTest : public ::testing::Test {
protected:
    RunResult run(const std::string& args) {
        return tavora::test::runCli(dir.path(), args,
                                    "XDG_RUNTIME_DIR='" + dir.str() + "' TAVORA_TODAY=2026-12-09");
    }
    std::string companion() const { return (dir / "moravel/data/kabukadb/kabuka.db").string(); }
    long long count(const std::string& where) {
        tavora::framework::ZSqlElement db;
        tavora::framework::SQL_Open(db, (dir / "Tavora/data/kabukadb/kabuka.db").string());
        tavora::framework::SQLList out;
        tavora::framework::SQL_exec(db, "SELECT count(*) AS n FROM kabukadb WHERE " + where + ";", out);
        return out.rows.empty() ? -1 : std::stoll(out.rows[0].value("n"));
    }

    tavora::test::TempDir dir;
};

TEST_F(CompanionCommandsTest, SyncMergesTheCompanionOrSaysWhyNot) {
    RunResult r = run("sync");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "no companion database at " + companion() + "\n");

    fs::create_directories(fs::path(companion()).parent_path());
    {
        tavora::framework::ZSqlElement db;
        ASSERT_EQ(tavora::framework::SQL_Open(db, companion()), 0);
        ASSERT_EQ(tavora::framework::SQL_exec(
                      db, "CREATE TABLE sync_kabukadb (code TEXT, date TEXT, open REAL, high REAL, low REAL, "
                          "close REAL, volume INTEGER);"
                          "INSERT INTO sync_kabukadb VALUES ('7777','2026-12-08',10,11,9,10.5,100),"
                          "('7777','2026-12-09',10.5,12,10,11,200);"),
                  0);
    }
    tavora::test::writeFile(fs::path(companion()).parent_path() / "updating.txt", "");
    r = run("sync");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("companion is updating"), std::string::npos) << r.err;
    EXPECT_EQ(count("code = '7777'"), 0);

    fs::remove(fs::path(companion()).parent_path() / "updating.txt");
    r = run("sync");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "merged 2 new rows from " + companion() + "\n");
    EXPECT_EQ(count("code = '7777'"), 2);
    r = run("sync");
    EXPECT_EQ(r.out, "merged 0 new rows from " + companion() + "\n");

    fs::remove(companion());
    tavora::test::writeFile(companion(), "not a database at all, only text that goes on for a while");
    r = run("sync");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("merge failed, nothing was stored"), std::string::npos) << r.err;
    EXPECT_EQ(run("sync extra").status, 2);
}

TEST_F(CompanionCommandsTest, TodayPrintsTheAcceptedReplyOrWhyItWasIgnored) {
    RunResult r = run("today 0001");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no companion at"), std::string::npos) << r.err;

    tavora::test::CompanionPeer peer(dir / "moravelPipe");
    ASSERT_TRUE(peer.listening());
    peer.answer("2026-12-09,^N225,38000,38500.5,37900,38250.25,3797444701\n");
    r = run("today 0001");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "date,open,high,low,close,volume\n2026-12-09,38000.00,38500.50,37900.00,38250.25,3797444701\n");
    EXPECT_EQ(peer.requests().back(), "TODAY ^N225");

    peer.answer("ERROR\n");
    r = run("today 0001");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the companion answered ERROR"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    EXPECT_EQ(run("today 9999").status, 1);
    EXPECT_EQ(run("today").status, 2);
    EXPECT_EQ(run("today 0001 0002").status, 2);
}

} // namespace
