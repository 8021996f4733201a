#include "csv/CodeCsv.h"
#include "csv/OldData.h"
#include "framework/CsvReader.h"
#include "framework/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavora;
using market::PriceRow;
namespace fs = std::filesystem;

namespace {

class CodeCsvTest : public ::testing::Test {
protected:
    void SetUp() override { market::PriceDatabase::open(db, dir.str()); }

    void store(const std::vector<PriceRow>& rows) { ASSERT_TRUE(market::PriceDatabase(db).write(rows).ok()); }
    std::vector<PriceRow> rowsOf(const std::string& code) {
        return market::PriceDatabase(db).rowsOldestFirst(code);
    }

    csv::CodeImportResult importText(const std::string& code, const std::string& bytes) {
        const fs::path path = dir / "in.csv";
        test::writeFile(path, bytes);
        return csv::importCodeCsv(db, code, path);
    }

    test::TempDir dir;
    framework::ZSqlElement db;
};

TEST_F(CodeCsvTest, ExportThenImportUnderAnotherCodeRoundTrips) {
    const std::vector<PriceRow> rows = {
        {"0001", "2008-01-04", 15000.95, 15309.74, 14936.64, 15026.31, 1555242525},
        {"0001", "2008-01-07", 15030.96, 15093.96, 14711.28, 14786.39, 3797444701},
        {"0001", "2008-01-08", 100, 100.5, 99, 100, INT64_C(9000000000000)},
        // Written out in full, never with an exponent the import would refuse.
        {"0001", "2008-01-09", 1e22, 1e22, 0.01, 0.05, 0},
    };
    store(rows);
    const fs::path out = dir / "export.csv";
    const auto exported = csv::exportCodeCsv(db, "0001", out);
    ASSERT_TRUE(exported.ok) << exported.message;
    EXPECT_EQ(exported.rows, 4u);
    EXPECT_EQ(exported.message, "CSVファイルに出力しました: \r\n" + out.string());
    EXPECT_EQ(test::readFile(out), "2008-01-04,15000.95,15309.74,14936.64,15026.31,1555242525\r\n"
                                   "2008-01-07,15030.96,15093.96,14711.28,14786.39,3797444701\r\n"
                                   "2008-01-08,100,100.5,99,100,9000000000000\r\n"
                                   "2008-01-09,10000000000000000000000,10000000000000000000000,0.01,0.05,0\r\n");

    const auto imported = csv::importCodeCsv(db, "9001", out);
    ASSERT_TRUE(imported.ok) << imported.message;
    EXPECT_EQ(imported.stored, 4u);
    EXPECT_EQ(imported.message, "インポート完了: 行数=4, 成功=4, スキップ=0, 失敗=0 \r\n"
                                "更新ボタンを押してグラフを最新化してください。");
    auto copied = rowsOf("9001");
    for (auto& r : copied)
        r.code = "0001";
    EXPECT_EQ(copied, rows);
}

TEST_F(CodeCsvTest, ExportMessagesAndAFailedWriteLeavesNoFile) {
    const fs::path out = dir / "x.csv";
    EXPECT_EQ(csv::exportCodeCsv(db, "", out).message, "コードが入力されていません。");
    EXPECT_EQ(csv::exportCodeCsv(db, "7203", out).message, "7203のデータは存在しませんでした。");
    EXPECT_EQ(csv::exportCodeCsv(db, "7203", out).messageEnglish,
              "no prices stored for 7203"); // tavora-cli's
    store({{"7203", "2026-01-05", 1, 2, 0.5, 1.5, 10}});
    const fs::path missingDir = dir / "no" / "such" / "x.csv";
    const auto failed = csv::exportCodeCsv(db, "7203", missingDir);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.message.rfind("CSVファイルの作成に失敗しました", 0), 0u) << failed.message;
    EXPECT_EQ(failed.messageEnglish.rfind("cannot write the CSV file " + missingDir.string(), 0), 0u)
        << failed.messageEnglish;
    EXPECT_FALSE(fs::exists(missingDir));
    EXPECT_EQ(csv::codeExportFileName("Tavora", "7203"), "Tavora_export_7203.csv");
}

TEST_F(CodeCsvTest, ExportReplacesAnOldFileOnlyWhenComplete) {
    store({{"7203", "2026-01-05", 1, 2, 0.5, 1.5, 10}});
    const fs::path out = dir / "old.csv";
    test::writeFile(out, "old contents\r\n");
    ASSERT_TRUE(csv::exportCodeCsv(db, "7203", out).ok);
    EXPECT_EQ(test::readFile(out), "2026-01-05,1,2,0.5,1.5,10\r\n");
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(CodeCsvTest, AShortWriteFailsAndKeepsTheOldFile) {
    std::vector<PriceRow> rows;
    for (int d = 1; d <= 28; ++d)
        rows.push_back(
            {"7203", "2026-02-" + std::string(d < 10 ? "0" : "") + std::to_string(d), 1, 2, 3, 4, 5});
    store(rows);
    const fs::path out = dir / "kept.csv";
    test::writeFile(out, "old contents\r\n");
    // A child whose files may not grow beyond 200 bytes: the write stops short.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        framework::ZSqlElement own;
        market::PriceDatabase::open(own, dir.str());
        const auto result = csv::exportCodeCsv(own, "7203", out);
        _exit(!result.ok && result.message.rfind("CSVファイルの作成に失敗しました", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::readFile(out), "old contents\r\n");
}

TEST_F(CodeCsvTest, ImportReadsHeadersTabsBlanksAndEveryDateForm) {
    const std::string text = "\xEF\xBB\xBF"
                             "日付,始値,高値,安値,終値,出来高\r\n"
                             "2026/1/5\t100\t110\t90\t105\t1000\n"
                             "\n"
                             "  2026-01-06 , 123.454, 123.456 ,100,101,2000\r"
                             "2026年1月7日,2,4,1,3\n"
                             "20260108,2,4,1,3,5\n"
                             "2026-01-09,,4,1,3,-\n";
    const auto result = importText("7203", framework::ConvUTFtoSJIS(text.substr(3)).text);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.lines, 5u);
    EXPECT_EQ(result.stored, 5u);
    EXPECT_EQ(result.skipped, 1u); // the blank line
    const auto rows = rowsOf("7203");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (PriceRow{"7203", "2026-01-05", 100, 110, 90, 105, 1000}));
    EXPECT_EQ(rows[1], (PriceRow{"7203", "2026-01-06", 123.45, 123.46, 100, 101, 2000}));
    EXPECT_EQ(rows[2], (PriceRow{"7203", "2026-01-07", 2, 4, 1, 3, 0})); // no volume: 0
    EXPECT_EQ(rows[3].date, "2026-01-08");
    EXPECT_FALSE(rows[4].open.has_value()); // an empty price is 0, read back as none
    EXPECT_EQ(rows[4].volume, 0);

    // The same file in UTF-8 with its byte-order mark gives the same rows.
    const auto again = importText("7204", text);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.stored, 5u);
}

TEST_F(CodeCsvTest, ImportSkipsLinesThatAreNotADayOfPricesAndKeepsSlots) {
    const auto result = importText("7203", "2026-01-05,100,110,90,105,1000\n"
                                           "2026-01-06,,,,\n"          // empty fields keep their slots
                                           "2026-01-07,100,110,90\n"   // too short
                                           "2026-02-30,1,2,3,4,5\n"    // no such day
                                           "2026-01-08,abc,2,3,4,5\n"  // not a price
                                           "2026-01-09,1,2,3,4,-5\n"); // not a share count
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.lines, 6u);
    EXPECT_EQ(result.stored, 2u);
    EXPECT_EQ(result.skipped, 4u);
    EXPECT_EQ(result.skipReasons.size(), 4u);
    EXPECT_EQ(rowsOf("7203").size(), 2u);
}

TEST_F(CodeCsvTest, AFinanceSiteHeaderIsMappedAndAnUnknownTitleRefusesTheFile) {
    // "Adj Close" before the volume used to be stored as the volume.
    const auto yahoo = importText("7203", "Date,Open,High,Low,Close,Adj Close,Volume\n"
                                          "2026-01-05,100,110,90,105,104.2,1000\n"
                                          "2026-01-06,105,112,101,111,110.1,2000\n");
    ASSERT_TRUE(yahoo.ok) << yahoo.message;
    EXPECT_EQ(rowsOf("7203"), (std::vector<PriceRow>{{"7203", "2026-01-05", 100, 110, 90, 105, 1000},
                                                    {"7203", "2026-01-06", 105, 112, 101, 111, 2000}}));
    // Titles in another order, in Japanese, with a code column: rows of another code are skipped.
    const auto japanese = importText("7204", "コード,出来高,終値,安値,高値,始値,日付\n"
                                             "7204,1000,105,90,110,100,2026/1/5\n"
                                             "9999,1000,105,90,110,100,2026/1/6\n");
    ASSERT_TRUE(japanese.ok) << japanese.message;
    EXPECT_EQ(rowsOf("7204"), (std::vector<PriceRow>{{"7204", "2026-01-05", 100, 110, 90, 105, 1000}}));
    EXPECT_EQ(japanese.skipCounts[csv::SkipKind::Code], 1u);

    struct Refused {
        const char* header;
        const char* named;
    };
    for (const Refused& r : {Refused{"Date,Open,High,Low,Close,Dividends,Volume", "「Dividends」"},
                             Refused{"Date,Open,High,Low,Volume", "終値"},
                             Refused{"Date,Open,High,Low,Close,Close", "二度"}}) {
        SCOPED_TRACE(r.header);
        const auto result = importText("8001", std::string(r.header) + "\n2026-01-05,100,110,90,105,1,1000\n");
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(r.named), std::string::npos) << result.message;
        EXPECT_TRUE(rowsOf("8001").empty());
    }
}

TEST_F(CodeCsvTest, LinesWithTheWrongFieldCountOrContradictoryPricesAreSkippedAndCounted) {
    const auto result = importText("7203", "2026-01-05,100,110,90,105,1000\n"
                                           "2026-01-06,1,234,1300,1200,1250,1000\n" // an unquoted "1,234"
                                           "2026-01-07,100,90,110,100,1\n"          // high below low
                                           "2026-01-08,100,110,90,-1,1\n"           // negative
                                           "1899-12-30,100,110,90,105,1\n"          // before 1900
                                           "2999-01-05,100,110,90,105,1\n"          // after today
                                           "2026-01-05,101,111,91,106,2000\n");     // the day again: kept
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.lines, 7u);
    EXPECT_EQ(result.stored, 1u);
    EXPECT_EQ(result.skipped, 6u);
    using K = csv::SkipKind;
    EXPECT_EQ(result.skipCounts[K::Columns], 1u);
    EXPECT_EQ(result.skipCounts[K::Contradiction], 2u);
    EXPECT_EQ(result.skipCounts[K::DateRange], 2u);
    EXPECT_EQ(result.skipCounts[K::Duplicate], 1u);
    EXPECT_NE(result.message.find("価格の矛盾 2"), std::string::npos) << result.message;
    ASSERT_FALSE(result.skipReasons.empty());
    EXPECT_EQ(result.skipReasons.back(), "1行目: 2026-01-05 は7行目にもあり、7行目を登録します");
    EXPECT_EQ(rowsOf("7203"), (std::vector<PriceRow>{{"7203", "2026-01-05", 101, 111, 91, 106, 2000}}));
}

TEST_F(CodeCsvTest, AFileWhoseEveryLineIsSkippedFails) {
    for (const char* text : {"", "\n\n", "2026-01-05,100,90,110,100,1\n", "Date,Open,High,Low,Close\n"}) {
        SCOPED_TRACE(text);
        const auto result = importText("7203", text);
        EXPECT_FALSE(result.ok) << result.message;
        EXPECT_NE(result.message.find("登録できる行がありません"), std::string::npos) << result.message;
    }
    EXPECT_TRUE(rowsOf("7203").empty());
}

TEST_F(CodeCsvTest, TheCodeIsFoldedRefusedOrSpelledAsTheCatalogue) {
    const std::string day = "2026-01-05,100,110,90,105,1000\n";
    const market::CatalogueCodes catalogue(std::vector<std::string>{"1003", "DJI"});
    struct Case {
        std::string code;
        std::string stored; // empty: refused
        bool inCatalogue = true;
    };
    const Case cases[] = {{"１００３", "1003"},
                          {"dji", "DJI"},
                          {"7777", "7777", false},
                          {std::string("10\0" "03", 5), ""},
                          {"10\n03", ""},
                          {"../1003", ""},
                          {"10,03", ""},
                          {std::string(5000, '1'), ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.substr(0, 20));
        const auto result = importText(c.code, day);
        const auto withCatalogue = csv::importCodeCsv(db, c.code, dir / "in.csv", &catalogue);
        if (c.stored.empty()) {
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.message.rfind("このコードは使えません", 0), 0u) << result.message;
            continue;
        }
        ASSERT_TRUE(withCatalogue.ok) << withCatalogue.message;
        EXPECT_EQ(withCatalogue.code, c.stored);
        EXPECT_EQ(withCatalogue.codeInCatalogue, c.inCatalogue);
        EXPECT_EQ(withCatalogue.message.find("銘柄リストにありません") != std::string::npos, !c.inCatalogue);
        EXPECT_EQ(rowsOf(c.stored).size(), 1u);
    }
    // Nothing was stored under a refused or an unfolded spelling.
    EXPECT_TRUE(rowsOf("１００３").empty());
    EXPECT_TRUE(rowsOf("dji").empty());
}

TEST_F(CodeCsvTest, ALineBeyondTheLimitIsRefusedWithoutReadingTheFile) {
    // A large file without a line break (sparse: no disk is used).
    const fs::path path = dir / "noline.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "2026-01-05,";
    }
    fs::resize_file(path, 300u * 1024 * 1024);
    const auto result = csv::importCodeCsv(db, "7203", path);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("longer than"), std::string::npos) << result.message;
    std::string bytes;
    const std::string error = framework::ReadCsvFileBytes(path, bytes);
    EXPECT_NE(error.find("line 1: longer than"), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty());
}

TEST_F(CodeCsvTest, ImportIsAllOrNothing) {
    store({{"7203", "2026-01-05", 1, 1, 1, 1, 1}});
    ASSERT_EQ(
        framework::SQL_exec(db, "CREATE TRIGGER refuse BEFORE INSERT ON kabukadb WHEN NEW.date='2026-01-07' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
        0);
    const auto result =
        importText("7203", "2026-01-05,9,9,9,9,9\n2026-01-06,9,9,9,9,9\n2026-01-07,9,9,9,9,9\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.stored, 0u);
    EXPECT_EQ(result.failed, 1u);
    EXPECT_EQ(result.message.rfind("インポートに失敗しました。処理行=3, 成功=0, スキップ=0, 失敗=1", 0), 0u)
        << result.message;
    const auto rows = rowsOf("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].close, 1);
}

TEST_F(CodeCsvTest, ImportMessagesForMissingInput) {
    EXPECT_EQ(csv::importCodeCsv(db, " ", dir / "x.csv").message, "コードが入力されていません。");
    EXPECT_EQ(csv::importCodeCsv(db, "7203", "").message, "ファイルが入力されていません。");
    EXPECT_EQ(csv::importCodeCsv(db, "7203", dir / "missing.csv").message, "CSVファイルを開けません");
    EXPECT_EQ(importText("7203", "\x82\n").message.rfind("CSVファイルを開けません", 0), 0u);
}

TEST(OldDataTest, ListsCodeFoldersByNameUpToTheLimitAndTouchesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(csv::listOldCodeFolders(dir / "missing").empty());
    for (const char* name : {"7203", "1301", "9984"})
        fs::create_directories(dir / "code" / name);
    test::writeFile(dir / "code" / "notes.txt", "x");
    std::size_t total = 0;
    EXPECT_EQ(csv::listOldCodeFolders(dir / "code", &total),
              (std::vector<std::string>{"1301", "7203", "9984"}));
    EXPECT_EQ(total, 3u);
    EXPECT_EQ(csv::oldDataCountText(3), "計 3件");

    // Beyond the limit only the first names by name are shown (the list holds 4000 rows).
    EXPECT_EQ(csv::listOldCodeFolders(dir / "code", &total, 2), (std::vector<std::string>{"1301", "7203"}));
    EXPECT_EQ(total, 3u);
    EXPECT_EQ(csv::kMaxOldCodeRows, 4000u);
}

} // namespace
