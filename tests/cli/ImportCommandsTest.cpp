// tavora-cli import, export, import-code and old-data, run as the user runs them over a fresh
// data folder; and a registration killed in the middle of its write.
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/KabuPlusFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace tavora;

namespace {

using RunResult = test::CliRun;

class ImportCommandsTest : public ::testing::Test {
protected:
    std::string cli() const { return std::string(TAVORA_BIN_DIR) + "/tavora-cli"; }

    RunResult run(const std::string& args) {
        return test::runCli(dir.path(), args, "TAVORA_TODAY=2026-12-09");
    }

    fs::path file(const std::string& name, const std::string& bytes) {
        const fs::path path = dir / "in" / name;
        test::writeFile(path, bytes);
        return path;
    }
    std::string q(const fs::path& p) const { return "'" + p.string() + "'"; }

    fs::path root() const { return dir / "Tavora"; }
    fs::path database() const { return root() / "data" / "kabukadb" / "kabuka.db"; }

    long long count(const std::string& where) {
        framework::ZSqlElement db;
        framework::SQL_Open(db, database().string());
        framework::SQLList out;
        framework::SQL_exec(db, "SELECT count(*) AS n FROM kabukadb WHERE " + where + ";", out);
        return out.rows.empty() ? -1 : std::stoll(out.rows[0].value("n"));
    }

    test::TempDir dir;
};

TEST_F(ImportCommandsTest, RegistersKabuPlusFilesWithTheStoredMapping) {
    const auto day1 =
        file("japan-all-stock-prices_20260105.csv", test::kabuPlusDayFile("2026-01-05", 200, 0, 9));
    const auto day2 =
        file("japan-all-stock-prices_20260106.csv", test::kabuPlusDayFile("2026-01-06", 200, 1));
    const auto broken = file("broken.csv", "\x82\n");
    const RunResult r = run("import --no-backup " + q(day1) + " " + q(broken) + " " + q(day2));
    EXPECT_EQ(r.status, 1) << r.err;
    // The generated codes are not in the shipped catalogue: stored, and said so.
    EXPECT_EQ(r.out, "registered " + day1.string() + ": 200 rows, 0 skipped, 200 with a code not in the catalogue\n" +
                         "refused " + broken.string() + ": line 1: not valid Shift-JIS (CP932) text\n" +
                         "registered " + day2.string() +
                         ": 200 rows, 0 skipped, 200 with a code not in the catalogue\n" +
                         "total: 400 rows, 0 skipped, 1 refused\n");
    EXPECT_EQ(count("code='1301'"), 2);

    const RunResult preview = run("import --preview " + q(day1));
    ASSERT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out.substr(0, preview.out.find('\n')), "1301,2026-01-05,100,103,98,101,1000");
    EXPECT_NE(preview.err.find("200 rows, 0 skipped\n"), std::string::npos) << preview.err;
}

// `import --backup` makes its backup only when a file can be stored: a missing first file or
// a mapping that refuses it leaves the backups as they were.
TEST_F(ImportCommandsTest, NoBackupWhenNothingCanBeRegistered) {
    ASSERT_EQ(run("backup").status, 0); // a real backup, which a failed try must not push out
    auto backups = [&] {
        std::size_t n = 0;
        for (const auto& e : fs::directory_iterator(root() / "data" / "buckup"))
            n += e.is_directory() ? 1 : 0;
        return n;
    };
    ASSERT_EQ(backups(), 1u);
    const long long rows = count("1");
    const fs::path missing = dir / "in" / "missing.csv";
    const auto plain = file("plain.csv", "Date,Close\n2026-01-05,100\n");
    for (const fs::path& first : {missing, plain}) {
        SCOPED_TRACE(first.string());
        const RunResult r = run("import --backup " + q(first));
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.out.rfind("refused " + first.string() + ": ", 0), 0u) << r.out;
        EXPECT_EQ(backups(), 1u);
        EXPECT_EQ(count("1"), rows);
    }
    // With a file that can be stored the backup is made, and the missing one is named.
    const auto day = file("day.csv", test::kabuPlusDayFile("2026-01-05", 20));
    const RunResult r = run("import --backup " + q(missing) + " " + q(day));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("refused " + missing.string() + ": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("registered " + day.string() + ": 20 rows"), std::string::npos) << r.out;
    EXPECT_EQ(backups(), 2u);
}

TEST_F(ImportCommandsTest, OptionsChangeTheMappingForOneRun) {
    const auto plain =
        file("plain.tsv.csv", "Code\tDate\tClose\tVolume\n7203\t2026年1月5日\t'1,234.5'\t'3,000,000,000'\n");
    const RunResult r =
        run("import --no-backup --separator tab --by titles --title code=Code --title date=Date "
            "--title close=Close --title volume=Volume --title open= --title high= --title low= "
            "--encoding UTF-8 --quote single --start 2 " +
            q(plain));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.out, "registered " + plain.string() +
                         ": 1 rows, 0 skipped, 1 with a code not in the catalogue\ntotal: 1 rows, 0 skipped, 0 refused\n");
    const RunResult exported = run("export 7203");
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "2026-01-05,0,0,0,1234.5,3000000000\r\n"); // no open, high or low in the file

    for (const char* wrong : {"", "--start 4 x.csv", "--column name=1 x.csv", "--column code=x x.csv",
                              "--separator semicolon x.csv", "--encoding EUC x.csv", "--quote back x.csv",
                              "--title close x.csv", "--frobnicate x.csv", "x.csv --zero"}) {
        const RunResult usage = run(std::string("import ") + wrong);
        EXPECT_EQ(usage.status, 2) << wrong << ": " << usage.err;
        EXPECT_TRUE(usage.out.empty()) << wrong;
    }
}

TEST_F(ImportCommandsTest, ExportAndImportCodeRoundTripAVolumeAbove2To31) {
    const auto f =
        file("one.csv", "9999,2026-01-05,100.25,110,90,105.5,3797444701\n9999,2026-01-06,2,4,1,3,5\n");
    ASSERT_EQ(
        run("import --no-backup --encoding UTF-8 --start 1 --column code=1 --column date=2 --column open=3 "
            "--column high=4 --column low=5 --column close=6 --column volume=7 " +
            q(f))
            .status,
        0);
    const fs::path out = dir / "out" / "9999.csv";
    fs::create_directories(out.parent_path());
    const RunResult exported = run("export 9999 --out " + q(out));
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "exported 9999: 2 rows to " + out.string() + "\n");
    const std::string text = test::readFile(out);
    EXPECT_EQ(text, "2026-01-05,100.25,110,90,105.5,3797444701\r\n2026-01-06,2,4,1,3,5\r\n");

    const RunResult imported = run("import-code 8888 " + q(out));
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "imported 8888: 2 rows, 0 skipped, the code is not in the catalogue\n");
    EXPECT_EQ(run("export 8888").out, text);

    EXPECT_EQ(run("export 1234").status, 1); // no rows
    EXPECT_EQ(run("export").status, 2);
    EXPECT_EQ(run("import-code 8888").status, 2);
    EXPECT_EQ(run("import-code 8888 " + q(dir / "missing.csv")).status, 1);
}

TEST_F(ImportCommandsTest, AFileWithoutACodeColumnTakesTheCodeGivenAndRowsAreCheckedByReason) {
    const auto yahoo = file("yahoo.csv", "Date,Open,High,Low,Close,Adj Close,Volume\n"
                                         "1990-01-05,100,110,90,105,104.1,1000\n"
                                         "1990-01-06,100,90,110,100,99.5,1\n"   // high below low
                                         "1990-01-07,100,110,90,105,104.1,1\n"
                                         "1990-01-07,101,111,91,106,105.1,2\n"); // the day again: kept
    const std::string titles = "--encoding UTF-8 --by titles --title date=Date --title open=Open --title high=High "
                               "--title low=Low --title close=Close --title volume=Volume ";
    // Without a code the mapping's code title is not in the file: refused, naming the way out.
    const RunResult refused = run("import --no-backup " + titles + q(yahoo));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("refused " + yahoo.string()), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("the header line has no title 「SC」 (code)"), std::string::npos)
        << refused.out;
    EXPECT_NE(refused.out.find("choose 「ファイルにない: 指定コード」"), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("--code CODE"), std::string::npos) << refused.out;
    EXPECT_EQ(count("code='1003' AND date<'2000-01-01'"), 0); // the shipped prices start in 2008

    const RunResult r = run("import --no-backup --code １００３ " + titles + q(yahoo));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.out, "registered " + yahoo.string() +
                         ": 2 rows, 2 skipped (contradictory prices 1, duplicate day 1)\n"
                         "total: 2 rows, 2 skipped, 0 refused\n");
    EXPECT_NE(r.err.find("line 4: 1003 1990-01-07 comes again on line 5, which is stored"), std::string::npos)
        << r.err;
    EXPECT_EQ(count("code='1003' AND date='1990-01-07' AND volume=2"), 1);
    EXPECT_EQ(count("code='1003' AND date='1990-01-06'"), 0);

    // A code that could never be shown is refused before anything runs.
    for (const std::string code : {"'10/03'", "''", "'ABCDEFGHIJKLMNOPQ'", "\"$(printf '10\\n03')\""}) {
        const RunResult bad = run("import --no-backup --code " + code + " " + titles + q(yahoo));
        EXPECT_EQ(bad.status, 1) << code;
        EXPECT_NE(bad.err.find("cannot be a code"), std::string::npos) << code << ": " << bad.err;
    }

    // A file whose every line is skipped is refused.
    const auto allBad = file("allbad.csv", "Date,Open,High,Low,Close,Volume\n1990-01-05,1,1,2,1,1\n");
    const RunResult none = run("import --no-backup --code 1003 " + titles + q(allBad));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find("refused " + allBad.string() + ": no row can be stored (contradictory prices 1)"),
              std::string::npos)
        << none.out;
}

TEST_F(ImportCommandsTest, ImportCodeReadsAHeaderAndFoldsOrRefusesTheCode) {
    const auto yahoo = file("yahoo.csv", "Date,Open,High,Low,Close,Adj Close,Volume\n"
                                         "1990-01-05,100,110,90,105,104.1,1000\n");
    const RunResult folded = run("import-code １００３ " + q(yahoo));
    ASSERT_EQ(folded.status, 0) << folded.err;
    EXPECT_EQ(folded.out, "imported 1003: 1 rows, 0 skipped\n");
    EXPECT_EQ(count("code='1003' AND date='1990-01-05' AND volume=1000 AND close=105"), 1); // not the adjusted close

    const auto unknown = file("unknown.csv", "Date,Open,High,Low,Close,Dividends,Volume\n"
                                             "1990-01-05,100,110,90,105,1,1000\n");
    const RunResult refused = run("import-code 1004 " + q(unknown));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("the title 「Dividends」 is none of Date, Open"), std::string::npos)
        << refused.err;
    EXPECT_TRUE(refused.out.empty());

    const auto shifted = file("shifted.csv", "1990-01-05,1,234,1300,1200,1250,1000\n");
    const RunResult skipped = run("import-code 1004 " + q(shifted));
    EXPECT_EQ(skipped.status, 1) << "every line skipped";
    EXPECT_NE(skipped.err.find("no row can be stored (columns 1)"), std::string::npos) << skipped.err;
    EXPECT_EQ(count("code='1004' AND date<'2000-01-01'"), 0);

    for (const std::string code : {"'10/03'", "'10,03'", "'ABCDEFGHIJKLMNOPQ'", "\"$(printf '10\\n03')\"", "\"$(printf '\\033]0;x\\007')\""}) {
        const RunResult bad = run("import-code " + code + " " + q(yahoo));
        EXPECT_EQ(bad.status, 1) << code;
        EXPECT_NE(bad.err.find("refused code"), std::string::npos) << code << ": " << bad.err;
        EXPECT_EQ(bad.err.find('\x1B'), std::string::npos) << "the escape is shown, not sent";
    }
    EXPECT_EQ(count("code NOT IN ('1003') AND date<'2000-01-01'"), 0);
}

TEST_F(ImportCommandsTest, ALineBeyondTheLimitIsRefused) {
    const fs::path huge = dir / "in" / "huge.csv";
    test::writeFile(huge, "SC,");
    fs::resize_file(huge, 200u * 1024 * 1024); // sparse, no line break
    const RunResult r = run("import --no-backup " + q(huge));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("refused " + huge.string() + ": line 1: longer than 1048576 bytes"), std::string::npos)
        << r.out;
    const RunResult code = run("import-code 1003 " + q(huge));
    EXPECT_EQ(code.status, 1);
    EXPECT_NE(code.err.find("longer than 1048576 bytes"), std::string::npos) << code.err;
}

TEST_F(ImportCommandsTest, OldDataOnlyLists) {
    ASSERT_EQ(run("old-data").status, 0); // makes the data folder
    for (const char* code : {"7203", "1301"})
        fs::create_directories(root() / "data" / "code" / code);
    const RunResult r = run("old-data");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1301\n7203\n");
    EXPECT_NE(r.err.find("2 code folders\ntaking the old data over is not available"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(root() / "data" / "code" / "7203"));
}

// The registration is killed while it writes: the database opens, passes its check, and every
// file is either wholly in it or not at all.
TEST_F(ImportCommandsTest, ARegistrationKilledWhileWritingLeavesEachFileAllOrNothing) {
    ASSERT_EQ(run("old-data").status, 0); // the data folder and its bundled prices, first
    const long long before = count("1");
    // Days without shipped prices (a weekend), not after the day the run takes as today.
    const auto small = file("small.csv", test::kabuPlusDayFile("2026-12-05", 500));
    std::string big = test::kabuPlusDayText("2026-12-06", 150000);
    const auto large = file("large.csv", framework::ConvUTFtoSJIS(big).text);
    const fs::path journal = database().string() + "-journal";

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("TAVORA_APPDATA", dir.str().c_str(), 1);
        const int devnull = ::open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execl(cli().c_str(), "tavora-cli", "import", "--no-backup", small.c_str(), large.c_str(), nullptr);
        _exit(127);
    }
    bool sawWrite = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(journal)) {
            // The transaction has begun; let it write for a moment, then stop it dead.
            sawWrite = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kill(child, SIGKILL);
            break;
        }
        if (waitpid(child, &status, WNOHANG) == child)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (sawWrite) {
        ASSERT_EQ(waitpid(child, &status, 0), child);
    }
    ASSERT_TRUE(sawWrite) << "the registration ended before it could be stopped";
    ASSERT_TRUE(WIFSIGNALED(status));

    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, database().string()), 0);
    framework::SQLList check;
    ASSERT_EQ(framework::SQL_exec(db, "PRAGMA integrity_check;", check), 0);
    ASSERT_EQ(check.rows.size(), 1u);
    EXPECT_EQ(check.rows[0].elements.at(0).value, "ok");
    const long long smallRows = count("date='2026-12-05'");
    const long long largeRows = count("date='2026-12-06'");
    EXPECT_TRUE(smallRows == 0 || smallRows == 500) << smallRows;
    EXPECT_TRUE(largeRows == 0 || largeRows == 150000) << largeRows;
    EXPECT_EQ(count("1"), before + smallRows + largeRows);
}

} // namespace
