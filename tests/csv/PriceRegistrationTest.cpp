#include "csv/PriceRegistration.h"
#include "acquisition/PriceBackup.h"
#include "framework/Encoding.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"
#include "support/KabuPlusFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavora;
using market::PriceRow;
namespace fs = std::filesystem;

namespace {

// Records what a registration reports.
struct RecordingProgress : framework::ProgressSink {
    std::vector<std::string> statuses;
    std::vector<std::string> lines;
    std::vector<int> percents;
    void status(const std::string& text) override { statuses.push_back(text); }
    void percent(int value) override { percents.push_back(value); }
    void logLine(const std::string& line) override { lines.push_back(line); }
};

class PriceRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dbDir);
        fs::create_directories(importDir);
    }

    fs::path file(const std::string& name, const std::string& bytes) {
        const fs::path path = importDir / name;
        test::writeFile(path, bytes);
        return path;
    }

    csv::RegistrationResult registerFiles(std::vector<fs::path> files,
                                          const std::atomic<bool>* cancel = nullptr,
                                          std::vector<std::string> catalogue = {}) {
        csv::RegistrationRequest request;
        request.files = std::move(files);
        request.catalogueCodes = std::move(catalogue);
        request.priceDbDir = dbDir.string();
        return csv::registerPriceFiles(request, progress, cancel);
    }

    std::vector<PriceRow> rowsOf(const std::string& code) {
        framework::ZSqlElement db;
        market::PriceDatabase::open(db, dbDir.string());
        return market::PriceDatabase(db).rowsOldestFirst(code);
    }

    std::int64_t rowCount() {
        framework::ZSqlElement db;
        market::PriceDatabase::open(db, dbDir.string());
        framework::SQLList out;
        framework::SQL_exec(db, "SELECT count(*) AS n FROM kabukadb;", out);
        return std::stoll(out.rows.at(0).value("n"));
    }

    test::TempDir dir;
    fs::path dbDir = dir / "kabukadb";
    fs::path importDir = dir / "createcsv";
    RecordingProgress progress;
};

TEST_F(PriceRegistrationTest, StoresEveryFileInOrderAndCountsOnlyStoredRows) {
    const auto day1 = file("a.csv", test::kabuPlusDayFile("2026-01-05", 300, 0, 7));
    // A short row and a row with a bad date in the second file.
    std::string text = test::kabuPlusDayText("2026-01-06", 300, 1);
    text += "9999,短い行,東証プライム\r\n9998,日付なし,東証プライム,業種,昨日,1,1,1,1,1,1,1,1,1\r\n";
    const auto day2 = file("b.csv", framework::ConvUTFtoSJIS(text).text);

    const auto result = registerFiles({day1, day2});
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.files.size(), 2u);
    EXPECT_EQ(result.files[0].rowsStored, 300u);
    EXPECT_EQ(result.files[1].rowsStored, 300u);
    EXPECT_EQ(result.files[1].rowsSkipped, 2u);
    EXPECT_EQ(result.rowsStored, 600u);
    EXPECT_EQ(rowCount(), 600);
    EXPECT_EQ(progress.statuses.back(), "600 件登録");
    EXPECT_EQ(progress.lines[1], "registered " + day2.string() + ": 300 rows, 2 skipped");

    const auto rows = rowsOf("1301");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].date, "2026-01-06");
    EXPECT_EQ(rows[1].close, test::kabuPlusQuote(0, 1).close);
    // A code without trades is stored with zeros, which read back as no price.
    const auto idle = rowsOf(test::kabuPlusCode(6));
    ASSERT_EQ(idle.size(), 2u);
    EXPECT_FALSE(idle[0].close.has_value());
    EXPECT_EQ(idle[0].volume, 0);
}

TEST_F(PriceRegistrationTest, RegisteringAgainKeepsOneRowPerDayWithTheLastValues) {
    const auto first = file("1.csv", "7203,2026/1/5,100,110,90,105,1000\n");
    const auto again = file("2.csv", "7203,2026-01-05,200,210,190,205,3000000000\n");
    csv::RegistrationRequest request;
    request.files = {first, again};
    request.priceDbDir = dbDir.string();
    request.mapping.encoding = framework::CsvEncoding::Utf8;
    request.mapping.dataStart = 1;
    const int columns[] = {1, 2, 3, 4, 5, 6, 7};
    for (std::size_t k = 0; k < csv::kUsedRows.size(); ++k)
        request.mapping.rows[csv::kUsedRows[k]].column = columns[k];
    ASSERT_TRUE(csv::registerPriceFiles(request, progress).ok());
    const auto rows = rowsOf("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (PriceRow{"7203", "2026-01-05", 200, 210, 190, 205, 3000000000}));
}

TEST_F(PriceRegistrationTest, RefusedFilesAreNamedAndStoreNothing) {
    const auto good = file("good.csv", test::kabuPlusDayFile("2026-01-05", 50));
    const auto undecodable =
        file("utf8.csv", "\xEF\xBB\xBF" + test::kabuPlusDayText("2026-01-06", 50) + "\x82\n");
    const auto empty = file("empty.csv", "");
    // The database refuses one row of this file: nothing of the file may stay.
    const auto partlyRefused = file("refused.csv", test::kabuPlusDayFile("2026-01-07", 50));
    {
        framework::ZSqlElement db;
        market::PriceDatabase::open(db, dbDir.string());
        ASSERT_EQ(framework::SQL_exec(db,
                                      "CREATE TRIGGER no1303 BEFORE INSERT ON kabukadb WHEN NEW.code='1303' "
                                      "AND NEW.date='2026-01-07' BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                  0);
    }
    const auto later = file("later.csv", test::kabuPlusDayFile("2026-01-08", 40));
    const auto result = registerFiles({good, partlyRefused, undecodable, empty, later});
    EXPECT_FALSE(result.ok());
    ASSERT_EQ(result.files.size(), 5u);
    EXPECT_EQ(result.filesRefused(), 3u);
    EXPECT_TRUE(result.files[0].stored);
    EXPECT_NE(result.files[1].refusal.find("refused"), std::string::npos) << result.files[1].refusal;
    EXPECT_EQ(result.files[1].rowsStored, 0u);
    EXPECT_NE(result.files[2].refusal.find("Shift-JIS"), std::string::npos) << result.files[2].refusal;
    EXPECT_FALSE(result.files[3].refusal.empty());
    EXPECT_TRUE(result.files[4].stored);
    EXPECT_EQ(result.rowsStored, 90u);
    EXPECT_EQ(rowCount(), 90);
    EXPECT_EQ(rowsOf("1305").size(), 2u); // from the first and the last file, none from the refused
    EXPECT_EQ(progress.statuses.back(), "90 件登録");
    EXPECT_EQ(progress.lines[3].rfind("refused " + empty.string() + ": ", 0), 0u) << progress.lines[3];
}

TEST_F(PriceRegistrationTest, SkipsAreCountedByReasonAndCodesMeetTheCatalogue) {
    const std::string header = test::kKabuPlusHeader;
    auto line = [](const std::string& code, const std::string& prices) {
        // SC,名称,市場,業種,日時,株価(close),...,始値,高値,安値,VWAP,出来高
        return code + ",名称,市場,業種,2026/01/05 15:00," + prices + "\r\n";
    };
    const auto mixed = file(
        "mixed.csv", framework::ConvUTFtoSJIS(header + "\r\n" + line("ｄｊｉ", "105,0,0,0,100,110,90,0,1000") +
                                              line("1003", "105,0,0,0,100,90,110,0,1000") + // high below low
                                              line("7777", "105,0,0,0,100,110,90,0,1000") +
                                              line("10/03", "105,0,0,0,100,110,90,0,1000") +
                                              line("7777", "106,0,0,0,101,111,91,0,2000"))
                         .text);
    const auto nothing =
        file("nothing.csv", framework::ConvUTFtoSJIS(header + "\r\n" + line("1003", "105,0,0,0,100,90,110,0,1000")).text);
    const auto result = registerFiles({mixed, nothing}, nullptr, {"DJI", "1003"});
    ASSERT_EQ(result.files.size(), 2u);
    const auto& stored = result.files[0];
    ASSERT_TRUE(stored.stored) << stored.refusal;
    EXPECT_EQ(stored.rowsStored, 2u);
    EXPECT_EQ(stored.rowsSkipped, 3u);
    EXPECT_EQ(stored.skipCounts[csv::SkipKind::Contradiction], 1u);
    EXPECT_EQ(stored.skipCounts[csv::SkipKind::Code], 1u);
    EXPECT_EQ(stored.skipCounts[csv::SkipKind::Duplicate], 1u);
    EXPECT_EQ(stored.rowsNotInCatalogue, 1u); // 7777, stored all the same
    EXPECT_EQ(rowsOf("DJI").size(), 1u);
    EXPECT_EQ(rowsOf("7777").at(0).volume, 2000);

    // Every line skipped: the file is refused with the reasons, not registered with 0 rows.
    EXPECT_FALSE(result.files[1].stored);
    EXPECT_EQ(result.files[1].refusal, "登録できる行がありません（価格の矛盾 1）");
    EXPECT_EQ(result.skipCounts[csv::SkipKind::Contradiction], 2u);
    EXPECT_EQ(result.rowsNotInCatalogue, 1u);
    EXPECT_FALSE(result.ok());
}

TEST_F(PriceRegistrationTest, BacksUpFirstAndStopsBeforeWritingWhenTheBackupFails) {
    const auto day = file("a.csv", test::kabuPlusDayFile("2026-01-05", 20));
    registerFiles({file("first.csv", test::kabuPlusDayFile("2026-01-02", 20))}); // something to back up
    csv::RegistrationRequest request;
    request.files = {day};
    request.priceDbDir = dbDir.string();
    request.backupFirst = true;
    request.backupDir = (dir / "buckup").string();
    const auto backedUp = csv::registerPriceFiles(request, progress);
    ASSERT_TRUE(backedUp.ok()) << backedUp.error;
    EXPECT_FALSE(backedUp.backupName.empty());
    EXPECT_EQ(acquisition::ListPriceBackups(request.backupDir),
              std::vector<std::string>{backedUp.backupName});
    EXPECT_EQ(rowCount(), 40);

    // A backup folder that cannot be made: nothing is written, and the result says why.
    request.backupDir = (dir / "blocked" / "buckup").string();
    test::writeFile(dir / "blocked", "a file where the folder would be");
    request.files = {file("b.csv", test::kabuPlusDayFile("2026-01-06", 20))};
    const auto stopped = csv::registerPriceFiles(request, progress);
    EXPECT_FALSE(stopped.ok());
    EXPECT_EQ(stopped.error.rfind(acquisition::kRegistrationStoppedText, 0), 0u) << stopped.error;
    EXPECT_TRUE(stopped.files.empty());
    EXPECT_EQ(rowCount(), 40);
    EXPECT_EQ(progress.statuses.back(), acquisition::kRegistrationStoppedText);
}

// The files are checked before the backup: with nothing to store, no backup is made (eight
// are kept, and failed tries would push the real ones out) and nothing is written.
struct PrecheckCase {
    const char* name;
    // "good", "missing", "folder", "plain" (no row through the mapping), "undecodable"
    std::vector<std::string> files;
    std::size_t backups;               // backups made by the run
    std::vector<std::string> refusals; // per file: the start of its refusal, "" when stored
};

class RegistrationPrecheckTest : public PriceRegistrationTest,
                                 public ::testing::WithParamInterface<PrecheckCase> {
protected:
    fs::path make(const std::string& kind, std::size_t i) {
        const std::string name = std::to_string(i) + "_" + kind + ".csv";
        if (kind == "good")
            return file(name, test::kabuPlusDayFile("2026-01-0" + std::to_string(i + 5), 20));
        if (kind == "folder") {
            fs::create_directories(importDir / name);
            return importDir / name;
        }
        if (kind == "plain")
            return file(name, "Date,Close\n2026-01-05,100\n");
        if (kind == "undecodable")
            return file(name, "\x82\n");
        return importDir / name; // missing
    }
};

TEST_P(RegistrationPrecheckTest, NoBackupWhenNothingCanBeRegistered) {
    const PrecheckCase& c = GetParam();
    file("seed.csv", test::kabuPlusDayFile("2026-01-02", 20));
    registerFiles({importDir / "seed.csv"}); // something to back up
    csv::RegistrationRequest request;
    for (std::size_t i = 0; i < c.files.size(); ++i)
        request.files.push_back(make(c.files[i], i));
    request.priceDbDir = dbDir.string();
    request.backupFirst = true;
    request.backupDir = (dir / "buckup").string();
    const auto result = csv::registerPriceFiles(request, progress);

    EXPECT_EQ(acquisition::ListPriceBackups(request.backupDir).size(), c.backups);
    EXPECT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(result.files.size(), c.refusals.size());
    std::size_t stored = 0;
    for (std::size_t i = 0; i < c.refusals.size(); ++i) {
        SCOPED_TRACE(result.files[i].path.string());
        EXPECT_EQ(result.files[i].stored, c.refusals[i].empty());
        EXPECT_EQ(result.files[i].refusal.rfind(c.refusals[i], 0), 0u) << result.files[i].refusal;
        stored += result.files[i].stored ? 20 : 0;
    }
    EXPECT_EQ(result.rowsStored, stored);
    EXPECT_EQ(rowCount(), static_cast<std::int64_t>(20 + stored));
    EXPECT_EQ(progress.statuses.back(), csv::registeredCountText(stored));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistrationPrecheckTest,
    ::testing::Values(PrecheckCase{"MissingFile", {"missing"}, 0, {csv::kMissingFileText}},
                      PrecheckCase{"Folder", {"folder"}, 0, {"a directory, not a file"}},
                      PrecheckCase{"NoRowThroughTheMapping", {"plain"}, 0, {csv::kNoRowsText}},
                      PrecheckCase{"Undecodable", {"undecodable"}, 0, {"line 1: not valid Shift-JIS"}},
                      PrecheckCase{"NoneOfSeveral",
                                   {"missing", "plain", "folder"},
                                   0,
                                   {csv::kMissingFileText, csv::kNoRowsText, "a directory, not a file"}},
                      // One file that can be stored is enough for the backup; the others are refused by name.
                      PrecheckCase{"MissingThenGood", {"missing", "good"}, 1, {csv::kMissingFileText, ""}},
                      PrecheckCase{"RefusedThenGood",
                                   {"plain", "good", "missing"},
                                   1,
                                   {csv::kNoRowsText, "", csv::kMissingFileText}},
                      PrecheckCase{
                          "GoodThenUndecodable", {"good", "undecodable"}, 1, {"", "line 1: not valid"}}),
    [](const ::testing::TestParamInfo<PrecheckCase>& info) { return std::string(info.param.name); });

TEST_F(PriceRegistrationTest, ATitleMissingFromTheFirstFileStopsBeforeTheBackup) {
    file("seed.csv", test::kabuPlusDayFile("2026-01-02", 20));
    registerFiles({importDir / "seed.csv"});
    csv::RegistrationRequest request;
    request.files = {file("a.csv", test::kabuPlusDayFile("2026-01-05", 20))};
    request.mapping.matchBy = csv::CsvMatchBy::Titles; // its titles are not those of a KABU+ file
    request.priceDbDir = dbDir.string();
    request.backupFirst = true;
    request.backupDir = (dir / "buckup").string();
    const auto result = csv::registerPriceFiles(request, progress);
    ASSERT_EQ(result.files.size(), 1u);
    EXPECT_EQ(result.files[0].refusal.rfind("見出し行にタイトル", 0), 0u) << result.files[0].refusal;
    EXPECT_TRUE(acquisition::ListPriceBackups(request.backupDir).empty());
    EXPECT_EQ(rowCount(), 20);
}

TEST_F(PriceRegistrationTest, CancelStopsBetweenFiles) {
    const auto a = file("a.csv", test::kabuPlusDayFile("2026-01-05", 10));
    std::atomic<bool> cancel{true};
    const auto result = registerFiles({a}, &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.files.empty());
    EXPECT_EQ(rowCount(), 0);
}

// A cancel that comes while a file is read (Ctrl+C during a long file): that file is not
// written, the files handled before it stay, each whole.
TEST_F(PriceRegistrationTest, CancelWhileAFileIsReadKeepsOnlyTheFilesBeforeIt) {
    struct CancelAtSecondFile : framework::ProgressSink {
        explicit CancelAtSecondFile(std::atomic<bool>& flag) : cancel(flag) {}
        void status(const std::string& text) override {
            if (text.rfind("2 / ", 0) == 0)
                cancel = true;
        }
        void percent(int) override {}
        void logLine(const std::string&) override {}
        std::atomic<bool>& cancel;
    };
    const auto a = file("a.csv", test::kabuPlusDayFile("2026-01-05", 10));
    const auto b = file("b.csv", test::kabuPlusDayFile("2026-01-06", 10));
    std::atomic<bool> cancel{false};
    CancelAtSecondFile sink(cancel);
    csv::RegistrationRequest request;
    request.files = {a, b};
    request.priceDbDir = dbDir.string();
    const auto result = csv::registerPriceFiles(request, sink, &cancel);
    EXPECT_TRUE(result.cancelled);
    ASSERT_EQ(result.files.size(), 1u);
    EXPECT_TRUE(result.files[0].stored);
    EXPECT_GT(result.rowsStored, 0u);
    EXPECT_EQ(rowCount(), static_cast<std::int64_t>(result.rowsStored));
}

TEST_F(PriceRegistrationTest, ImportFolderListsCsvFilesByName) {
    file("b.CSV", "x");
    file("a.csv", "x");
    file("notes.txt", "x");
    fs::create_directories(importDir / "dir.csv");
    const auto files = csv::csvFilesIn(importDir);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].filename(), "a.csv");
    EXPECT_EQ(files[1].filename(), "b.CSV");
}

} // namespace
