// Backup and restore of a real price database folder.
#include "acquisition/PriceBackup.h"

#include "AcquisitionTestSupport.h"
#include "framework/Files.h"
#include "market/PriceDatabase.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavora::acquisition {
namespace {

namespace fs = std::filesystem;
using market::PriceDatabase;
using market::PriceRow;
using std::chrono::seconds;
using test::readFile;
using test::writeFile;

std::chrono::system_clock::time_point at(int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 9;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

class PriceBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_places.priceDbDir);
        write({{"0001", "2026-12-07", 100.5, 101.0, 99.0, 100.0, 3797444701LL},
               {"7203", "2026-12-07", 2000.0, 2010.0, 1990.0, 2005.0, 12345},
               {"7203", "2026-12-08", std::nullopt, 2020.0, 1995.0, 2015.0, 0}});
        m_original = allRows();
    }

    void write(const std::vector<PriceRow>& rows) {
        framework::ZSqlElement db;
        ASSERT_EQ(PriceDatabase::open(db, m_places.priceDbDir), 0);
        ASSERT_TRUE(PriceDatabase(db).write(rows).ok());
    }
    std::vector<PriceRow> allRows() const {
        framework::ZSqlElement db;
        PriceDatabase::open(db, m_places.priceDbDir);
        std::vector<PriceRow> rows;
        for (const char* code : {"0001", "7203", "9984"})
            for (auto& r : PriceDatabase(db).rowsOldestFirst(code))
                rows.push_back(r);
        return rows;
    }
    std::vector<std::string> entries(const fs::path& dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    PriceBackupResult backupAt(std::chrono::system_clock::time_point when) {
        return CreatePriceBackup(m_places, m_progress, nullptr, when);
    }
    PriceBackupResult restore(const std::string& name) {
        auto ticket = m_guard.tryBegin(market::PriceJob::Restore);
        return RestorePriceBackup(m_places, name, *ticket, m_progress);
    }

    test::TempDir m_dir;
    PriceBackupPlaces m_places{(m_dir / "data" / "kabukadb").string(), (m_dir / "data" / "buckup").string()};
    market::PriceJobGuard m_guard;
    test::RecordingProgress m_progress;
    std::vector<PriceRow> m_original;
};

TEST_F(PriceBackupTest, BackupChangeRestoreGivesBackTheExactRows) {
    auto backup = backupAt(at(10, 0, 0));
    ASSERT_TRUE(backup.ok()) << backup.outcome.english();
    EXPECT_EQ(backup.name, "2026-12-09_10-00-00");
    EXPECT_EQ(backup.statusText, "バックアップを作成しました");
    EXPECT_EQ(m_progress.statuses.front(), "バックアップ作成中");
    EXPECT_EQ(entries(m_places.backupDir), std::vector<std::string>{"2026-12-09_10-00-00"});

    write({{"7203", "2026-12-08", 1.0, 1.0, 1.0, 1.0, 1}, {"9984", "2026-12-09", 5.0, 6.0, 4.0, 5.5, 9}});
    ASSERT_NE(allRows(), m_original);

    auto restored = restore(backup.name);
    ASSERT_TRUE(restored.ok()) << restored.outcome.english();
    EXPECT_EQ(restored.statusText, "2026-12-09_10-00-00 のデータに復元が成功しました");
    EXPECT_EQ(allRows(), m_original);
    // Nothing is left beside the live folder, the backup stays for another restore.
    EXPECT_EQ(entries(m_dir / "data"), (std::vector<std::string>{"buckup", "kabukadb"}));
    EXPECT_EQ(ListPriceBackups(m_places.backupDir), std::vector<std::string>{"2026-12-09_10-00-00"});
    EXPECT_FALSE(m_guard.running()) << "the test's ticket ended with the restore call";
}

TEST_F(PriceBackupTest, ARestoreFromAnUnusableBackupLeavesTheLiveDatabaseUntouched) {
    ASSERT_TRUE(backupAt(at(10, 0, 0)).ok());
    const fs::path backupFile = fs::path(m_places.backupDir) / "2026-12-09_10-00-00" / "kabuka.db";
    const std::string good = readFile(backupFile);
    const std::string emptyDb = [&] {
        test::TempDir other;
        framework::ZSqlElement db;
        framework::SQL_Open(db, (other / "e.db").string());
        framework::SQL_exec(db, "CREATE TABLE other (x);");
        framework::SQL_Close(db);
        return readFile(other / "e.db");
    }();
    std::string damagedPage = good;
    for (std::size_t i = 4096; i < damagedPage.size() && i < 4096 + 600; ++i)
        damagedPage[i] = static_cast<char>(0xA5);
    const struct {
        const char* what;
        std::optional<std::string> bytes; // none: kabuka.db missing
    } cases[] = {
        {"text instead of a database", std::string("this is not a database, just text\n")},
        {"cut in half", good.substr(0, good.size() / 2)},
        {"a damaged page", damagedPage},
        {"a database without kabukadb", emptyDb},
        {"no kabuka.db at all", std::nullopt},
    };
    write({{"9984", "2026-12-09", 5.0, 6.0, 4.0, 5.5, 9}});
    const auto live = allRows();
    const std::string liveBytes = readFile(fs::path(m_places.priceDbDir) / "kabuka.db");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(backupFile);
        if (c.bytes)
            writeFile(backupFile, *c.bytes);
        auto result = restore("2026-12-09_10-00-00");
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.outcome.english().empty());
        EXPECT_EQ(result.outcome.english().find('\n'), std::string::npos)
            << result.outcome.english(); // one line where it is shown
        EXPECT_TRUE(result.liveIntact); // refused before the swap: the live prices were never touched
        EXPECT_EQ(result.statusText,
                  "2026-12-09_10-00-00 のデータに復元が失敗しました。元のデータはそのままです。");
        EXPECT_EQ(readFile(fs::path(m_places.priceDbDir) / "kabuka.db"), liveBytes);
        EXPECT_EQ(allRows(), live);
        EXPECT_EQ(entries(m_dir / "data"), (std::vector<std::string>{"buckup", "kabukadb"}));
    }
}

// A backup that would bring anything besides the price table and its two indexes (a trigger
// that wipes the prices on the next insert, say) is refused with its reason on one line.
TEST_F(PriceBackupTest, ARestoreRefusesABackupHoldingMoreOrLessThanThePriceTables) {
    ASSERT_TRUE(backupAt(at(10, 0, 0)).ok());
    const fs::path backupFile = fs::path(m_places.backupDir) / "2026-12-09_10-00-00" / "kabuka.db";
    const std::string good = readFile(backupFile);
    const struct {
        const char* sql;
        const char* reason;
    } cases[] = {
        {"CREATE TRIGGER wipe AFTER INSERT ON kabukadb BEGIN DELETE FROM kabukadb; END;", "trigger \"wipe\""},
        {"CREATE TRIGGER \"two\nlines\" BEFORE UPDATE ON kabukadb BEGIN SELECT 1; END;", "trigger \"two?lines\""},
        {"CREATE VIEW everything AS SELECT * FROM kabukadb;", "view \"everything\""},
        {"CREATE TABLE extra (x);", "table \"extra\""},
        {"CREATE INDEX idx_extra ON kabukadb (close);", "index \"idx_extra\""},
        {"DROP INDEX idx_kabukadb_date;", "lacks index \"idx_kabukadb_date\""},
        {"DROP INDEX idx_kabukadb_code; CREATE INDEX idx_kabukadb_code ON kabukadb (volume);",
         "index \"idx_kabukadb_code\" is not the one the program creates"},
    };
    write({{"9984", "2026-12-09", 5.0, 6.0, 4.0, 5.5, 9}});
    const auto live = allRows();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        writeFile(backupFile, good);
        {
            framework::ZSqlElement db;
            ASSERT_EQ(framework::SQL_Open(db, backupFile.string()), 0);
            ASSERT_EQ(framework::SQL_exec(db, c.sql), 0) << db.lastError();
        }
        const auto result = restore("2026-12-09_10-00-00");
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.outcome.english().find(c.reason), std::string::npos) << result.outcome.english();
        EXPECT_EQ(result.outcome.english().find('\n'), std::string::npos)
            << "one line: " << result.outcome.english();
        EXPECT_EQ(result.statusText,
                  "2026-12-09_10-00-00 のデータに復元が失敗しました。元のデータはそのままです。");
        EXPECT_EQ(allRows(), live);
        EXPECT_EQ(entries(m_dir / "data"), (std::vector<std::string>{"buckup", "kabukadb"}));
    }
    // The backup as it was made still restores.
    writeFile(backupFile, good);
    const auto restored = restore("2026-12-09_10-00-00");
    EXPECT_TRUE(restored.ok()) << restored.outcome.english();
    EXPECT_EQ(allRows(), m_original);
}

TEST_F(PriceBackupTest, ACancelledRestoreLeavesTheLiveDatabaseAndNoStagingCopy) {
    ASSERT_TRUE(backupAt(at(10, 0, 0)).ok());
    write({{"9984", "2026-12-09", 5.0, 6.0, 4.0, 5.5, 9}});
    const auto live = allRows();
    std::atomic<bool> cancel{true};
    auto ticket = m_guard.tryBegin(market::PriceJob::Restore);
    const auto result = RestorePriceBackup(m_places, "2026-12-09_10-00-00", *ticket, m_progress, &cancel);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(allRows(), live);
    EXPECT_EQ(entries(m_dir / "data"), (std::vector<std::string>{"buckup", "kabukadb"}));
}

// What a backup or restore killed half-way leaves, as the next start finds it.
TEST_F(PriceBackupTest, TidyingAfterAnInterruptionRemovesLeftoversAndPutsBackASetAsideDatabase) {
    const fs::path data = m_dir / "data";
    const fs::path live = m_places.priceDbDir;
    const struct {
        const char* what;
        std::vector<const char*> leftovers; // folders under data/, each holding a copy of the prices
        bool liveMissing;
        std::vector<std::string> logPrefixes;
    } cases[] = {
        {"a restore's staging copy", {".kabukadb.restoring"}, false, {kLeftoverRemovedLog}},
        {"the old folder beside a live one", {".kabukadb.previous"}, false, {kLeftoverRemovedLog}},
        {"killed between the two renames",
         {".kabukadb.previous", ".kabukadb.restoring"},
         true,
         {kLeftoverPutBackLog, kLeftoverRemovedLog}},
        {"a partial backup", {"buckup/.partial-2026-12-09_10-00-00"}, false, {kLeftoverRemovedLog}},
        {"nothing", {}, false, {}},
    };
    fs::create_directories(m_places.backupDir);
    const std::string liveBytes = readFile(live / "kabuka.db");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* leftover : c.leftovers)
            ASSERT_TRUE(framework::CopyZDirectory(live, data / leftover));
        if (c.liveMissing)
            fs::rename(live, m_dir / "moved-away");
        const auto lines = TidyInterruptedPriceWork(m_places);
        ASSERT_EQ(lines.size(), c.logPrefixes.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].rfind(c.logPrefixes[i], 0), 0u) << lines[i];
        EXPECT_EQ(readFile(live / "kabuka.db"), liveBytes);
        EXPECT_EQ(entries(data), (std::vector<std::string>{"buckup", "kabukadb"}));
        EXPECT_TRUE(entries(data / "buckup").empty());
        fs::remove_all(m_dir / "moved-away");
    }
}

TEST_F(PriceBackupTest, RefusesANameThatIsNotOneOfTheBackups) {
    ASSERT_TRUE(backupAt(at(10, 0, 0)).ok());
    fs::create_directories(fs::path(m_places.backupDir) / "mine");
    for (const char* name : {"2026-12-09_10-00-01", "../kabukadb", "mine", "", "."}) {
        SCOPED_TRACE(name);
        auto result = restore(name);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(allRows(), m_original);
    }
}

TEST_F(PriceBackupTest, KeepsTheEightNewestAndPrunesOldestFirst) {
    // Ten backups of an earlier run that pruned nothing, then nine of ours.
    for (int i = 0; i < 10; ++i)
        fs::create_directories(fs::path(m_places.backupDir) / ("2026-12-0" + std::to_string(i % 9 + 1) +
                                                               (i < 9 ? "_08-00-00" : "_09-00-00")));
    auto first = backupAt(at(10, 0, 0));
    ASSERT_TRUE(first.ok()) << first.outcome.english();
    EXPECT_EQ(first.pruned.size(), 3u) << "everything above eight goes, not only one";
    for (int i = 1; i <= 8; ++i)
        ASSERT_TRUE(backupAt(at(10, 0, i)).ok());
    const auto names = ListPriceBackups(m_places.backupDir);
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names.front(), "2026-12-09_10-00-08");
    EXPECT_EQ(names.back(), "2026-12-09_10-00-01");
    // Folders that are not backups are neither listed nor pruned.
    fs::create_directories(fs::path(m_places.backupDir) / "keep me");
    ASSERT_TRUE(backupAt(at(10, 0, 9)).ok());
    EXPECT_TRUE(framework::isliveDir(fs::path(m_places.backupDir) / "keep me"));
    EXPECT_EQ(ListPriceBackups(m_places.backupDir).size(), 8u);
}

TEST_F(PriceBackupTest, BackupsWithinOneSecondAreAllKeptInTheOrderMade) {
    std::vector<std::string> made;
    for (int i = 0; i < 3; ++i) {
        auto result = backupAt(at(10, 0, 0));
        ASSERT_TRUE(result.ok()) << result.outcome.english();
        made.push_back(result.name);
    }
    EXPECT_EQ(made, (std::vector<std::string>{"2026-12-09_10-00-00", "2026-12-09_10-00-00_001",
                                              "2026-12-09_10-00-00_002"}));
    ASSERT_TRUE(backupAt(at(10, 0, 1)).ok());
    EXPECT_EQ(ListPriceBackups(m_places.backupDir),
              (std::vector<std::string>{"2026-12-09_10-00-01", "2026-12-09_10-00-00_002",
                                        "2026-12-09_10-00-00_001", "2026-12-09_10-00-00"}));
}

TEST_F(PriceBackupTest, AFailedOrCancelledBackupLeavesNoPartialAndPrunesNothing) {
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(backupAt(at(9, 0, i)).ok());
    const auto before = entries(m_places.backupDir);

    std::atomic<bool> cancel{true};
    auto cancelled = CreatePriceBackup(m_places, m_progress, &cancel, at(10, 0, 0));
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.statusText, "バックアップを作成できませんでした");
    EXPECT_EQ(entries(m_places.backupDir), before);

    fs::remove(fs::path(m_places.priceDbDir) / "kabuka.db");
    auto missing = BackupBeforeRegistration(m_places, m_progress);
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.cancelled);
    EXPECT_NE(missing.outcome.english().find("does not exist"), std::string::npos)
        << missing.outcome.english();
    EXPECT_EQ(missing.statusText, "バックアップを作成できなかったため、データ登録を中止しました。");
    EXPECT_EQ(entries(m_places.backupDir), before);
    EXPECT_FALSE(framework::isliveFile(fs::path(m_places.priceDbDir) / "kabuka.db"))
        << "a failed backup must not create an empty database";
}

// The backup a restore makes first must not prune the very backup about to be restored, even
// when it is the oldest of eight; the restore then puts it in place.
TEST_F(PriceBackupTest, TheBackupBeforeARestoreNeverPrunesTheBackupBeingRestored) {
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(backupAt(at(9, 0, i)).ok());
    const std::string oldest = "2026-12-09_09-00-00";
    ASSERT_EQ(ListPriceBackups(m_places.backupDir).back(), oldest);
    write({{"9984", "2026-12-08", 1.0, 1.0, 1.0, 1.0, 1}});

    const auto before = BackupBeforeRestore(m_places, oldest, m_progress, nullptr, at(10, 0, 0));
    ASSERT_TRUE(before.ok()) << before.outcome.english();
    EXPECT_EQ(before.pruned, std::vector<std::string>{"2026-12-09_09-00-01"});
    const auto names = ListPriceBackups(m_places.backupDir);
    EXPECT_EQ(names.size(), kMaxPriceBackups);
    EXPECT_EQ(names.back(), oldest);
    ASSERT_TRUE(restore(oldest).ok());
    EXPECT_EQ(allRows(), m_original);

    // A plain backup prunes the oldest as ever.
    ASSERT_TRUE(backupAt(at(11, 0, 0)).ok());
    EXPECT_EQ(ListPriceBackups(m_places.backupDir).back(), "2026-12-09_09-00-02");

    fs::remove(fs::path(m_places.priceDbDir) / "kabuka.db");
    const auto failed = BackupBeforeRestore(m_places, oldest, m_progress, nullptr, at(12, 0, 0));
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.statusText, kRestoreStoppedText);
}

TEST_F(PriceBackupTest, TheBackupHoldsTheOtherFilesOfTheFolderButNotSqliteSideFiles) {
    writeFile(fs::path(m_places.priceDbDir) / "notes.txt", "kept");
    writeFile(fs::path(m_places.priceDbDir) / "kabuka.db-journal", "");
    auto backup = backupAt(at(10, 0, 0));
    ASSERT_TRUE(backup.ok()) << backup.outcome.english();
    EXPECT_EQ(entries(fs::path(m_places.backupDir) / backup.name),
              (std::vector<std::string>{"kabuka.db", "notes.txt"}));
}

TEST(PriceBackupNames, AcceptOnlyTheirOwnForm) {
    for (const char* good : {"2026-12-09_10-00-00", "2026-12-09_10-00-00_001"})
        EXPECT_TRUE(isBackupName(good)) << good;
    for (const char* bad : {"2026-12-09_10-00", "2026-12-09 10-00-00", "2026-12-09_10-00-00_1", "../x",
                            "2026-12-09_10-00-00_0a1", "20261209100000"})
        EXPECT_FALSE(isBackupName(bad)) << bad;
}

TEST(PriceBackupNames, ReadAsADateAndTime) {
    const std::pair<const char*, const char*> cases[] = {
        {"2026-12-09_10-00-05", "2026-12-09 10:00:05"},
        {"2026-12-09_10-00-05_001", "2026-12-09 10:00:05 (2)"},
        {"2026-12-09_10-00-05_012", "2026-12-09 10:00:05 (13)"},
        {"mine", "mine"},
    };
    for (const auto& [name, text] : cases)
        EXPECT_EQ(backupDateText(name), text) << name;
}

} // namespace
} // namespace tavora::acquisition
