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
    EXPECT_EQ(r.out, "registered " + day1.string() + ": 200 rows, 0 skipped\n" + "refused " +
                         broken.string() + ": line 1: not valid Shift-JIS (CP932) text\n" + "registered " +
                         day2.string() + ": 200 rows, 0 skipped\n" +
                         "total: 400 rows, 0 skipped, 1 refused\n");
    EXPECT_EQ(count("code='1301'"), 2);

    const RunResult preview = run("import --preview " + q(day1));
    ASSERT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out.substr(0, preview.out.find('\n')), "1301,2026-01-05,100,103,98,101,1000");
    EXPECT_NE(preview.err.find("計 200件"), std::string::npos) << preview.err;
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
    EXPECT_EQ(r.out,
              "registered " + plain.string() + ": 1 rows, 0 skipped\ntotal: 1 rows, 0 skipped, 0 refused\n");
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
        file("one.csv", "9999,2026-01-05,100.25,110,90,105.5,3797444701\n9999,2026-01-06,1,2,3,4,5\n");
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
    EXPECT_EQ(text, "2026-01-05,100.25,110,90,105.5,3797444701\r\n2026-01-06,1,2,3,4,5\r\n");

    const RunResult imported = run("import-code 8888 " + q(out));
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "imported 8888: 2 rows, 0 skipped\n");
    EXPECT_EQ(run("export 8888").out, text);

    EXPECT_EQ(run("export 1234").status, 1); // no rows
    EXPECT_EQ(run("export").status, 2);
    EXPECT_EQ(run("import-code 8888").status, 2);
    EXPECT_EQ(run("import-code 8888 " + q(dir / "missing.csv")).status, 1);
}

TEST_F(ImportCommandsTest, OldDataOnlyLists) {
    ASSERT_EQ(run("old-data").status, 0); // makes the data folder
    for (const char* code : {"7203", "1301"})
        fs::create_directories(root() / "data" / "code" / code);
    const RunResult r = run("old-data");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1301\n7203\n");
    EXPECT_NE(r.err.find("計 2件"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(root() / "data" / "code" / "7203"));
}

// The registration is killed while it writes: the database opens, passes its check, and every
// file is either wholly in it or not at all.
TEST_F(ImportCommandsTest, ARegistrationKilledWhileWritingLeavesEachFileAllOrNothing) {
    ASSERT_EQ(run("old-data").status, 0); // the data folder and its bundled prices, first
    const long long before = count("1");
    const auto small = file("small.csv", test::kabuPlusDayFile("2031-01-06", 500));
    std::string big = test::kabuPlusDayText("2031-01-07", 150000);
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
    const long long smallRows = count("date='2031-01-06'");
    const long long largeRows = count("date='2031-01-07'");
    EXPECT_TRUE(smallRows == 0 || smallRows == 500) << smallRows;
    EXPECT_TRUE(largeRows == 0 || largeRows == 150000) << largeRows;
    EXPECT_EQ(count("1"), before + smallRows + largeRows);
}

} // namespace
