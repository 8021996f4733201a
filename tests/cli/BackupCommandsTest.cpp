// tavora-cli backup, backups and restore, run as a user runs them.
#include "acquisition/PriceBackup.h"
#include "framework/Files.h"
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavora::cli {
namespace {

namespace fs = std::filesystem;

class BackupCommandsTest : public ::testing::Test {
protected:
    fs::path root() const { return m_appdata / "Tavora"; }
    fs::path liveDb() const { return root() / "data" / "kabukadb" / "kabuka.db"; }

    // The close of code 0001 on a day, as text ("" when the row is absent).
    std::string close(const std::string& date) const {
        framework::ZSqlElement db;
        framework::SQL_Open(db, liveDb().string());
        framework::SQLList out;
        framework::SQLListRow params;
        params.add(framework::SQLListElement::text("date", date));
        framework::SQL_exec(db, "SELECT close FROM kabukadb WHERE code='0001' AND date=?;", out, params);
        return out.empty() ? std::string() : out.rows[0].value("close");
    }
    void setClose(const std::string& date, double value) const {
        framework::ZSqlElement db;
        framework::SQL_Open(db, liveDb().string());
        ASSERT_EQ(framework::SQL_exec(db, "INSERT OR REPLACE INTO kabukadb VALUES ('0001','" + date +
                                              "',1,1,1," + std::to_string(value) + ",1);"),
                  0);
    }
    void setSetting(const std::string& key, const std::string& value) const {
        framework::ZSqlElement db;
        framework::SQL_Open(db, (root() / "settei.db").string());
        ASSERT_EQ(framework::SQL_exec(db, "REPLACE INTO koumokutb (koumoku,value) values ('" + key + "','" +
                                              value + "');"),
                  0);
    }

    test::TempDir m_appdata;
};

TEST_F(BackupCommandsTest, BackupChangeRestoreGivesBackTheRows) {
    const auto first = test::runCli(m_appdata.path(), "backup");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(first.lines().size(), 1u) << first.out;
    const std::string name = first.lines()[0];
    EXPECT_TRUE(acquisition::isBackupName(name)) << name;
    const std::string before = close("2026-12-08");
    ASSERT_FALSE(before.empty());

    setClose("2026-12-08", 1.0);
    setClose("2026-12-09", 2.0);
    const auto second = test::runCli(m_appdata.path(), "backup");
    ASSERT_EQ(second.status, 0) << second.err;
    const auto listed = test::runCli(m_appdata.path(), "backups");
    ASSERT_EQ(listed.status, 0);
    EXPECT_EQ(listed.lines(), (std::vector<std::string>{second.lines()[0], name})) << "newest first";

    const auto restored = test::runCli(m_appdata.path(), "restore " + name);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.lines(), std::vector<std::string>{name});
    EXPECT_NE(restored.err.find("restored the prices of " + name + "\n"), std::string::npos) << restored.err;
    // The progress is told in English too, one language a line.
    EXPECT_NE(restored.err.find("restoring the prices\n"), std::string::npos) << restored.err;
    EXPECT_EQ(restored.err.find("データ"), std::string::npos) << restored.err;
    EXPECT_EQ(close("2026-12-08"), before);
    EXPECT_EQ(close("2026-12-09"), "");
}

TEST_F(BackupCommandsTest, RestoresTheLiveDatabaseWhereverTheDataPathSettingPoints) {
    ASSERT_EQ(test::runCli(m_appdata.path(), "info").status, 0);
    const fs::path elsewhere = m_appdata / "elsewhere";
    fs::create_directories(elsewhere);
    setSetting("CreateDataPath", elsewhere.string());
    const auto backup = test::runCli(m_appdata.path(), "backup");
    ASSERT_EQ(backup.status, 0) << backup.err;
    const std::string before = close("2026-12-08");
    setClose("2026-12-08", 1.0);

    const auto restored = test::runCli(m_appdata.path(), "restore " + backup.lines()[0]);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(close("2026-12-08"), before) << "the database the program opens was restored";
    EXPECT_FALSE(framework::isliveDir(elsewhere / "kabukadb"));
}

TEST_F(BackupCommandsTest, ACorruptBackupLeavesTheLiveDatabaseAndSaysSo) {
    const auto backup = test::runCli(m_appdata.path(), "backup");
    ASSERT_EQ(backup.status, 0) << backup.err;
    const std::string name = backup.lines()[0];
    test::writeFile(root() / "data" / "buckup" / name / "kabuka.db", std::string(8192, 'x'));
    setClose("2026-12-08", 7.0);

    const auto restored = test::runCli(m_appdata.path(), "restore " + name);
    EXPECT_EQ(restored.status, 1);
    EXPECT_TRUE(restored.out.empty());
    EXPECT_NE(restored.err.find("not a database: file is not a database; the prices are as they were\n"),
              std::string::npos)
        << restored.err;
    EXPECT_EQ(close("2026-12-08"), "7.0");
}

// A backup that would bring a trigger along (here one that empties the prices on the next
// insert) is refused in one line, and the live database keeps its rows and has no trigger.
TEST_F(BackupCommandsTest, ABackupHoldingATriggerIsRefusedInOneLine) {
    const auto backup = test::runCli(m_appdata.path(), "backup");
    ASSERT_EQ(backup.status, 0) << backup.err;
    const std::string name = backup.lines()[0];
    {
        framework::ZSqlElement db;
        ASSERT_EQ(framework::SQL_Open(db, (root() / "data" / "buckup" / name / "kabuka.db").string()), 0);
        ASSERT_EQ(framework::SQL_exec(db, "CREATE TRIGGER wipe AFTER INSERT ON kabukadb BEGIN DELETE FROM "
                                          "kabukadb; END;"),
                  0);
    }
    setClose("2026-12-08", 7.0);
    const auto restored = test::runCli(m_appdata.path(), "restore " + name);
    EXPECT_EQ(restored.status, 1);
    EXPECT_TRUE(restored.out.empty());
    // The progress line, then the reason on a line of its own.
    const auto at = restored.err.find("tavora-cli: cannot restore " + name + ": ");
    ASSERT_NE(at, std::string::npos) << restored.err;
    const std::string reason = restored.err.substr(at);
    EXPECT_NE(reason.find("trigger \"wipe\""), std::string::npos) << reason;
    EXPECT_NE(reason.find("; the prices are as they were\n"), std::string::npos) << reason;
    EXPECT_EQ(std::count(reason.begin(), reason.end(), '\n'), 1) << reason;
    EXPECT_EQ(reason.back(), '\n');
    EXPECT_EQ(close("2026-12-08"), "7.0");
    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, liveDb().string()), 0);
    framework::SQLList triggers;
    framework::SQL_exec(db, "SELECT name FROM sqlite_master WHERE type='trigger';", triggers);
    EXPECT_TRUE(triggers.empty());
}

// Every command's start tidies what a killed backup or restore left, and logs it.
TEST_F(BackupCommandsTest, AStartRemovesTheWorkFoldersOfAKilledBackupOrRestore) {
    ASSERT_EQ(test::runCli(m_appdata.path(), "backups").status, 0);
    const fs::path staging = root() / "data" / ".kabukadb.restoring";
    const fs::path partial = root() / "data" / "buckup" / ".partial-2026-12-09_10-00-00";
    test::writeFile(staging / "kabuka.db", "half a copy");
    test::writeFile(partial / "kabuka.db", "half a copy");
    const auto run = test::runCli(m_appdata.path(), "backups");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(partial));
    const std::string log = test::readFile(root() / "log" / "log.txt");
    for (const auto& path : {staging, partial})
        EXPECT_NE(log.find("中断された作業の残りを削除しました_" + path.string()), std::string::npos) << log;
}

TEST_F(BackupCommandsTest, WrongUsageAndUnknownBackups) {
    const struct {
        const char* args;
        int status;
    } cases[] = {
        {"restore", 2},
        {"restore a b", 2},
        {"backups now", 2},
        {"backup --all", 2},
        {"restore 2020-01-01_00-00-00", 1},
        {"restore ../kabukadb", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto run = test::runCli(m_appdata.path(), c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
}

} // namespace
} // namespace tavora::cli
