// Taking the companion's price warehouse over: real SQLite files on both sides, the companion
// in rollback or WAL mode, paths that need quoting, and every failing step.
#include "acquisition/CompanionMerge.h"
#include "AcquisitionTestSupport.h"
#include "app/core/CompanionSync.h"
#include "framework/Log.h"
#include "market/PriceDatabase.h"
#include "support/SampleMarket.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

using namespace tavora;
using namespace tavora::test;
using acquisition::MergeMoravelWarehouse;
using acquisition::SyncOutcome;
namespace fs = std::filesystem;

namespace {

using Rows = std::vector<market::PriceRow>;

std::string pragma(framework::ZSqlElement& db, const std::string& sql) {
    framework::SQLList out;
    framework::SQL_exec(db, sql, out);
    return out.rows.empty() || out.rows[0].elements.empty() ? std::string() : out.rows[0].elements[0].value;
}

std::vector<std::string> attachedNames(framework::ZSqlElement& db) {
    framework::SQLList out;
    out.columns = {"name"};
    framework::SQL_exec(db, "PRAGMA database_list;", out);
    std::vector<std::string> names;
    for (const auto& r : out.rows)
        names.push_back(r.value("name"));
    return names;
}

// The companion's database with its table `sync_kabukadb`, in the journal mode given.
void writeCompanion(const fs::path& file, const Rows& rows, const std::string& journalMode = "delete") {
    fs::create_directories(file.parent_path());
    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, file.string()), 0);
    ASSERT_EQ(framework::SQL_exec(db, "PRAGMA journal_mode=" + journalMode + ";"), 0);
    ASSERT_EQ(framework::SQL_exec(db, "CREATE TABLE sync_kabukadb (code TEXT NOT NULL, date TEXT NOT NULL, "
                                      "open REAL, high REAL, low REAL, close REAL, volume INTEGER, "
                                      "PRIMARY KEY(code, date));"),
              0);
    framework::SqlTransaction transaction(db);
    framework::SqlStatement insert(db, "INSERT INTO sync_kabukadb VALUES (?,?,?,?,?,?,?);");
    for (const auto& r : rows) {
        insert.bindText(1, r.code);
        insert.bindText(2, r.date);
        insert.bindOptional(3, r.open);
        insert.bindOptional(4, r.high);
        insert.bindOptional(5, r.low);
        insert.bindOptional(6, r.close);
        insert.bindInt64(7, r.volume);
        ASSERT_EQ(insert.step(), SQLITE_DONE);
        insert.reset();
    }
    ASSERT_EQ(transaction.commit(), SQLITE_OK);
}

// The bytes of the companion's database and of its log (WAL or rollback journal); a log that is
// absent reads as empty (a reader of a WAL database may create an empty one, as SQLite does).
std::vector<std::string> companionBytes(const fs::path& file) {
    std::vector<std::string> bytes;
    for (const char* suffix : {"", "-wal", "-journal"})
        bytes.push_back(readFile(file.string() + suffix));
    return bytes;
}

const Rows kOurs = {{"1001", "2024-04-01", 100, 110, 90, 105, 1000},
                    {"1001", "2024-04-02", 106, 112, 101, 111, 900}};
const Rows kTheirs = {{"1001", "2024-04-01", 999, 999, 999, 999, 9}, // we hold this day: ours wins
                      {"1001", "2024-04-03", 111, 118, 109, 117, 800},
                      {"2002", "2024-04-01", 50.5, 52, 49.25, 51, 12345678901LL}};

class CompanionMergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "ours");
        ASSERT_EQ(market::PriceDatabase::open(prices, (dir / "ours").string()), 0);
        ASSERT_TRUE(market::PriceDatabase(prices).write(kOurs).ok());
    }
    Rows allRows() {
        Rows rows;
        for (const char* code : {"1001", "2002"})
            for (auto& r : market::PriceDatabase(prices).rowsOldestFirst(code))
                rows.push_back(r);
        return rows;
    }
    const Rows kMerged = {kOurs[0], kOurs[1], kTheirs[1], kTheirs[2]};

    TempDir dir;
    framework::ZSqlElement prices;
};

TEST_F(CompanionMergeTest, AddsTheMissingDaysKeepsOursAndNeverWritesTheCompanion) {
    for (const std::string mode : {"delete", "wal"}) {
        SCOPED_TRACE(mode);
        TempDir other;
        const fs::path companion = other / "moravel/data/kabukadb/kabuka.db";
        writeCompanion(companion, kTheirs, mode);
        const auto before = companionBytes(companion);

        const auto result = MergeMoravelWarehouse(prices, companion.string());
        EXPECT_TRUE(result.ok()) << result.outcome.english();
        EXPECT_EQ(result.rowsAdded, 2);
        EXPECT_EQ(allRows(), kMerged);
        EXPECT_EQ(companionBytes(companion), before);
        framework::ZSqlElement peer;
        ASSERT_EQ(framework::SQL_Open(peer, companion.string()), 0);
        EXPECT_EQ(pragma(peer, "PRAGMA journal_mode;"), mode);

        // Our database keeps its rollback journal and durable writes, and nothing stays attached.
        EXPECT_EQ(pragma(prices, "PRAGMA main.journal_mode;"), "delete");
        EXPECT_EQ(pragma(prices, "PRAGMA main.synchronous;"), "2");
        EXPECT_EQ(pragma(prices, "PRAGMA temp_store;"), "0");
        EXPECT_EQ(attachedNames(prices), (std::vector<std::string>{"main"}));

        // A second merge finds nothing new.
        const auto again = MergeMoravelWarehouse(prices, companion.string());
        EXPECT_TRUE(again.ok()) << again.outcome.english();
        EXPECT_EQ(again.rowsAdded, 0);
        framework::SQL_exec(prices, "DELETE FROM kabukadb WHERE date = '2024-04-03' OR code = '2002';");
    }
}

TEST_F(CompanionMergeTest, ReadsTheRunningCompanionsUncheckpointedRows) {
    const fs::path companion = dir / "moravel/data/kabukadb/kabuka.db";
    writeCompanion(companion, {}, "wal");
    // The companion keeps its connection open; its rows sit in the WAL, not yet in the file.
    framework::ZSqlElement live;
    ASSERT_EQ(framework::SQL_Open(live, companion.string()), 0);
    ASSERT_EQ(framework::SQL_exec(live, "PRAGMA wal_autocheckpoint=0;"), 0);
    ASSERT_EQ(framework::SQL_exec(live,
                                  "INSERT INTO sync_kabukadb VALUES ('2002','2024-04-01',50.5,52,49.25,51,"
                                  "12345678901);"),
              0);
    ASSERT_TRUE(fs::exists(companion.string() + "-wal"));
    const auto before = companionBytes(companion);

    const auto result = MergeMoravelWarehouse(prices, companion.string());
    EXPECT_TRUE(result.ok()) << result.outcome.english();
    EXPECT_EQ(result.rowsAdded, 1);
    EXPECT_EQ(market::PriceDatabase(prices).rowsOldestFirst("2002"), (Rows{kTheirs[2]}));
    EXPECT_EQ(companionBytes(companion), before);
    EXPECT_EQ(pragma(live, "PRAGMA journal_mode;"), "wal");
}

TEST_F(CompanionMergeTest, APathThatNeedsQuotingIsAttachedAsItIs) {
    for (const std::string name : {"o'brien", "it''s \"quoted\"", "50% ?mode=rw#x", "ホーム 空白"}) {
        SCOPED_TRACE(name);
        const fs::path companion = dir / name / "moravel/data/kabukadb/kabuka.db";
        writeCompanion(companion, kTheirs);
        const auto result = MergeMoravelWarehouse(prices, companion.string());
        EXPECT_TRUE(result.ok()) << result.outcome.english();
        EXPECT_EQ(allRows(), kMerged);
        framework::SQL_exec(prices, "DELETE FROM kabukadb WHERE date = '2024-04-03' OR code = '2002';");
    }
}

TEST_F(CompanionMergeTest, EachFailingStepIsNamedAndLeavesOurRowsAndNoAttachment) {
    // No such file: the read-only attach refuses and creates nothing there.
    const fs::path missing = dir / "nowhere/kabuka.db";
    auto result = MergeMoravelWarehouse(prices, missing.string());
    EXPECT_EQ(result.outcome.english().rfind("ATTACH DATABASE error: ", 0), 0u) << result.outcome.english();
    EXPECT_FALSE(fs::exists(missing));

    // A companion without the table.
    const fs::path empty = dir / "empty/kabuka.db";
    fs::create_directories(empty.parent_path());
    {
        framework::ZSqlElement db;
        ASSERT_EQ(framework::SQL_Open(db, empty.string()), 0);
        framework::SQL_exec(db, "CREATE TABLE other (x);");
    }
    result = MergeMoravelWarehouse(prices, empty.string());
    EXPECT_EQ(result.outcome.english(), "INSERT error: no such table: moravel.sync_kabukadb");
    EXPECT_EQ(result.outcome.message(), result.outcome.english()); // SQLite's text serves both
    EXPECT_EQ(attachedNames(prices), (std::vector<std::string>{"main"}));

    // Another writer holds the price database.
    const fs::path companion = dir / "moravel/kabuka.db";
    writeCompanion(companion, kTheirs);
    sqlite3_busy_timeout(prices.handle(), 0);
    {
        framework::ZSqlElement writer;
        ASSERT_EQ(framework::SQL_Open(writer, prices.path()), 0);
        ASSERT_EQ(framework::SQL_exec(writer, "BEGIN IMMEDIATE;"), 0);
        result = MergeMoravelWarehouse(prices, companion.string());
        EXPECT_EQ(result.outcome.english(), "BEGIN IMMEDIATE error: database is locked");
        framework::SQL_exec(writer, "ROLLBACK;");
    }
    // A reader keeps the commit from taking the file: the copy is rolled back and detached.
    {
        framework::ZSqlElement reader;
        ASSERT_EQ(framework::SQL_Open(reader, prices.path()), 0);
        framework::SQLList held;
        ASSERT_EQ(framework::SQL_exec(reader, "BEGIN;"), 0);
        ASSERT_EQ(framework::SQL_exec(reader, "SELECT count(*) FROM kabukadb;", held), 0);
        result = MergeMoravelWarehouse(prices, companion.string());
        EXPECT_EQ(result.outcome.english().rfind("COMMIT error: ", 0), 0u) << result.outcome.english();
        EXPECT_EQ(result.rowsAdded, 0);
        EXPECT_EQ(attachedNames(prices), (std::vector<std::string>{"main"}));
        framework::SQL_exec(reader, "COMMIT;");
    }
    EXPECT_EQ(allRows(), kOurs);
    EXPECT_EQ(pragma(prices, "PRAGMA temp_store;"), "0");

    // Nothing was left behind: the next merge attaches again and succeeds.
    result = MergeMoravelWarehouse(prices, companion.string());
    EXPECT_TRUE(result.ok()) << result.outcome.english();
    EXPECT_EQ(allRows(), kMerged);
}

TEST_F(CompanionMergeTest, AnAttachmentLeftByAnInterruptedMergeIsReplaced) {
    const fs::path companion = dir / "moravel/kabuka.db";
    writeCompanion(companion, kTheirs);
    framework::SqlStatement attach(prices, "ATTACH DATABASE ? AS moravel;");
    attach.bindText(1, (dir / "stale.db").string());
    ASSERT_EQ(attach.step(), SQLITE_DONE);
    attach.reset();
    const auto result = MergeMoravelWarehouse(prices, companion.string());
    EXPECT_TRUE(result.ok()) << result.outcome.english();
    EXPECT_EQ(allRows(), kMerged);
}

// Ctrl+C during a merge: the copy is stopped and rolled back whole, and the connection is
// fit for the next merge.
TEST_F(CompanionMergeTest, ACancelledMergeKeepsNothingOfTheCopy) {
    Rows many;
    for (int code = 3000; code < 3500; ++code)
        for (int day = 1; day <= 9; ++day)
            many.push_back({std::to_string(code), "2024-05-0" + std::to_string(day), 10, 11, 9, 10, day});
    const fs::path companion = dir / "moravel/kabuka.db";
    writeCompanion(companion, many);
    std::atomic<bool> cancel{true};
    const auto cancelled = MergeMoravelWarehouse(prices, companion.string(), &cancel);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.rowsAdded, 0);
    EXPECT_EQ(allRows(), kOurs);
    EXPECT_EQ(pragma(prices, "SELECT count(*) FROM kabukadb;"), "2");
    EXPECT_EQ(attachedNames(prices), (std::vector<std::string>{"main"}));

    const auto merged = MergeMoravelWarehouse(prices, companion.string());
    EXPECT_TRUE(merged.ok()) << merged.outcome.english();
    EXPECT_EQ(merged.rowsAdded, static_cast<std::int64_t>(many.size()));
}

TEST(CompanionPaths, LieBesideTheApplicationRoot) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    const auto p = acquisition::companionPaths(acquisition::roamingFolderOf("/home/u/.local/share/Tavora"));
    EXPECT_EQ(p.database, "/home/u/.local/share/moravel/data/kabukadb/kabuka.db");
    EXPECT_EQ(p.busyMarker, "/home/u/.local/share/moravel/data/kabukadb/updating.txt");
    EXPECT_EQ(p.socket, "/home/u/.local/share/moravel/moravelPipe");
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(acquisition::companionPaths("/r").socket, "/run/user/1000/moravelPipe");
}

// Start-up's step and the request: the busy marker, a missing companion, success, failure.
class CompanionSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        buildSampleContext(ctx, dir / "Tavora", {});
        ASSERT_TRUE(market::PriceDatabase(ctx.priceDb).write(kOurs).ok());
        fs::create_directories(dir / "Tavora/log");
        ASSERT_EQ(log.Open(dir / "Tavora/log/log.zfc", dir / "Tavora/log/log.txt"), 0);
        ASSERT_EQ(log.CreateLogDb(), 0);
        paths = app::companionPathsOf(ctx);
    }
    std::vector<std::string> logged() {
        framework::ZSqlElement db;
        framework::SQL_Open(db, (dir / "Tavora/log/log.zfc").string());
        framework::SQLList out;
        out.columns = {"text"};
        framework::SQL_exec(db, "SELECT text FROM logtb ORDER BY id;", out);
        std::vector<std::string> lines;
        for (const auto& r : out.rows)
            lines.push_back(r.value("text"));
        return lines;
    }
    std::size_t rowCount() { return market::PriceDatabase(ctx.priceDb).rowsOldestFirst("2002").size(); }

    TempDir dir;
    app::AppContext ctx;
    framework::ZLog log;
    acquisition::CompanionPaths paths;
    RecordingProgress splash;
};

TEST_F(CompanionSyncTest, StartUpMergesAndLogsOnlyWhenTheCompanionIsThereAndIdle) {
    EXPECT_EQ(paths.database, (dir / "moravel/data/kabukadb/kabuka.db").string());
    // No companion: the splash text and nothing else.
    app::RunStartupCompanionSync(ctx, log, splash);
    EXPECT_EQ(splash.statuses, (std::vector<std::string>{"moravelとデータ同期中"}));
    EXPECT_TRUE(logged().empty());

    // The companion is writing: nothing merged, nothing logged.
    writeCompanion(paths.database, kTheirs);
    writeFile(paths.busyMarker, "");
    app::RunStartupCompanionSync(ctx, log, splash);
    EXPECT_EQ(splash.statuses.size(), 2u);
    EXPECT_EQ(rowCount(), 0u);
    EXPECT_TRUE(logged().empty());
    EXPECT_EQ(app::SyncCompanionNow(ctx, &log).outcome, SyncOutcome::Updating);

    // Another price-database job runs: the request is refused with its status text.
    fs::remove(paths.busyMarker);
    {
        auto backup = ctx.priceJobs.tryBegin(market::PriceJob::Backup);
        ASSERT_TRUE(backup);
        const auto refused = app::SyncCompanionNow(ctx, &log);
        EXPECT_EQ(refused.outcome, SyncOutcome::Refused);
        EXPECT_EQ(refused.status.message(), market::PriceJobGuard::refusalText(market::PriceJob::Backup));
        EXPECT_EQ(refused.status.english(), market::PriceJobGuard::refusalEnglish(market::PriceJob::Backup));
        EXPECT_EQ(rowCount(), 0u);
    }

    // Switched off: not even the splash text.
    ctx.settings.sync_moravel_db = false;
    app::RunStartupCompanionSync(ctx, log, splash);
    EXPECT_EQ(splash.statuses.size(), 2u);
    EXPECT_EQ(rowCount(), 0u);

    ctx.settings.sync_moravel_db = true;
    app::RunStartupCompanionSync(ctx, log, splash);
    EXPECT_EQ(rowCount(), 1u);
    EXPECT_EQ(splash.statuses.back(), "moravelとデータ同期中");
    EXPECT_EQ(logged(), (std::vector<std::string>{"同期成功"}));
}

TEST_F(CompanionSyncTest, AFailedMergeIsLoggedAndShownAndStartUpGoesOn) {
    fs::create_directories(fs::path(paths.database).parent_path());
    writeFile(paths.database, "this is not a database, just some text that is long enough to be read");
    app::RunStartupCompanionSync(ctx, log, splash);
    EXPECT_EQ(splash.statuses,
              (std::vector<std::string>{"moravelとデータ同期中", "moravelとデータ同期キャンセル"}));
    const auto lines = logged();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("同期失敗: ", 0), 0u) << lines[0];
    EXPECT_EQ(market::PriceDatabase(ctx.priceDb).rowsOldestFirst("1001"), kOurs);

    // The request does not consult the flag; its failure is logged the same way.
    ctx.settings.sync_moravel_db = false;
    const auto r = app::SyncCompanionNow(ctx, &log);
    EXPECT_EQ(r.outcome, SyncOutcome::Failed);
    EXPECT_EQ(logged().size(), 2u);
}

} // namespace
