// tavora-cli download against a real nginx over HTTPS with Basic authentication, on a data
// folder whose bundled prices of "0001" end on 2026-12-08.
#include "framework/Files.h"
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/KabuPlusFiles.h"
#include "support/NginxServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tavora::cli {
namespace {

namespace fs = std::filesystem;
using test::kabuPlusDayFile;
using test::kabuPlusDayPath;

class DownloadCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int day : {20261209, 20261210})
            m_server.putFile(kabuPlusDayPath(day), kabuPlusDayFile(day));
    }
    // Points the data folder at the server with the account, through tavora-cli config.
    void configure(const std::string& password) {
        ASSERT_TRUE(m_server.start()) << m_server.problem();
        for (const std::string& args :
             {"config kabuplus_url " + m_server.baseUrl(), "config kabuplus_cafile " + m_server.caFile(),
              "config kabuplusid " + m_server.account().user}) {
            const auto run = test::runCli(m_appdata.path(), args);
            ASSERT_EQ(run.status, 0) << args << ": " << run.err;
        }
        const auto pw = test::runCli(m_appdata.path(), "config kabupluspw --stdin", {}, password + "\n");
        ASSERT_EQ(pw.status, 0) << pw.err;
    }
    test::CliRun download(const std::string& args = {}) {
        return test::runCli(m_appdata.path(), "download " + args, "TAVORA_TODAY=2026-12-10");
    }
    fs::path downloadDir() const { return m_appdata / "Tavora" / "data" / "download"; }

    test::NginxServer m_server;
    test::TempDir m_appdata;
};

TEST_F(DownloadCommandTest, FetchesTheMissingDaysIntoTheDownloadFolder) {
    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    const auto dry = download("--dry-run");
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.lines(), (std::vector<std::string>{"2026-12-09", "2026-12-10"}));
    EXPECT_EQ(m_server.accessLog(), "") << "a dry run asks nothing";

    const auto run = download();
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string dir = downloadDir().string();
    EXPECT_EQ(run.lines(),
              (std::vector<std::string>{"stored 2026-12-09 " + dir + "/japan-all-stock-prices_20261209.csv",
                                        "stored 2026-12-10 " + dir + "/japan-all-stock-prices_20261210.csv",
                                        "2 days: 2 stored, 0 failed"}));
    EXPECT_EQ(test::readFile(downloadDir() / "japan-all-stock-prices_20261210.csv"),
              kabuPlusDayFile(20261210));
    EXPECT_FALSE(framework::isliveDir(m_appdata / "Tavora" / "tmp")) << "the temporary folder is gone";
}

TEST_F(DownloadCommandTest, AFailedDayIsReportedAndFailsTheRun) {
    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    const auto run = test::runCli(m_appdata.path(), "download", "TAVORA_TODAY=2026-12-11");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.lines().back(), "3 days: 2 stored, 1 failed");
    EXPECT_NE(run.out.find("failed 2026-12-11: HTTP 404\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("1 days could not be fetched"), std::string::npos) << run.err;
}

// A cron run: the days fetched are registered, the day the server lacks fails the run.
TEST_F(DownloadCommandTest, RegisterStoresTheFetchedDaysAndStillFailsOnAMissingDay) {
    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    const auto run = test::runCli(m_appdata.path(), "download --register", "TAVORA_TODAY=2026-12-11");
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string dir = downloadDir().string();
    EXPECT_EQ(run.lines(),
              (std::vector<std::string>{
                  "stored 2026-12-09 " + dir + "/japan-all-stock-prices_20261209.csv",
                  "stored 2026-12-10 " + dir + "/japan-all-stock-prices_20261210.csv",
                  "failed 2026-12-11: HTTP 404", "3 days: 2 stored, 1 failed",
                  "registered " + dir + "/japan-all-stock-prices_20261209.csv: 4 rows, 0 skipped",
                  "registered " + dir + "/japan-all-stock-prices_20261210.csv: 4 rows, 0 skipped",
                  "total: 8 rows, 0 skipped, 0 refused"}));
    EXPECT_NE(run.err.find("1 days could not be fetched"), std::string::npos) << run.err;

    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, (m_appdata / "Tavora" / "data" / "kabukadb" / "kabuka.db").string()),
              0);
    framework::SQLList rows;
    framework::SQL_exec(db, "SELECT date, volume FROM kabukadb WHERE code='7203' ORDER BY date;", rows);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0].value("date"), "2026-12-09");
    EXPECT_EQ(rows.rows[1].value("volume"), std::to_string(3797444701LL + 20261210 % 1000));
    rows.rows.clear();
    framework::SQL_exec(db, "SELECT date FROM kabukadb WHERE code='0001' ORDER BY date DESC LIMIT 1;", rows);
    ASSERT_FALSE(rows.rows.empty());
    EXPECT_EQ(rows.rows[0].value("date"), "2026-12-10") << "the next run starts after the registered days";
}

TEST_F(DownloadCommandTest, AWrongPasswordFailsWithTheAuthenticationMessage) {
    const std::string wrong = "not-the-Password";
    ASSERT_NO_FATAL_FAILURE(configure(wrong));
    const auto run = download();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tavora-cli: KABU+ refused the id and password"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("stored"), std::string::npos);
    EXPECT_FALSE(framework::isliveFile(downloadDir() / "japan-all-stock-prices_20261209.csv"));
    EXPECT_EQ(run.err.find(wrong), std::string::npos);
    EXPECT_EQ(test::readFile(m_appdata / "Tavora" / "log" / "log.txt").find(wrong), std::string::npos);
}

TEST_F(DownloadCommandTest, MissingCredentialsOrCalendarAreFailuresNothingToFetchIsNot) {
    const auto noAccount = download();
    EXPECT_EQ(noAccount.status, 1);
    EXPECT_NE(noAccount.err.find("tavora-cli: no KABU+ id and password are set"), std::string::npos)
        << noAccount.err;

    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    const auto upToDate = test::runCli(m_appdata.path(), "download", "TAVORA_TODAY=2026-12-08");
    EXPECT_EQ(upToDate.status, 0) << upToDate.err;
    EXPECT_EQ(upToDate.lines(), std::vector<std::string>{"0 days: 0 stored, 0 failed"});
    EXPECT_NE(upToDate.err.find("nothing to download: the prices are up to date"), std::string::npos)
        << upToDate.err;

    fs::remove(m_appdata / "Tavora" / "marketday" / "marketday_jpn.csv");
    const auto noCalendar = test::runCli(m_appdata.path(), "download --dry-run",
                                         "TAVORA_TODAY=2026-12-10 TAVORA_DATA_DIR=/nonexistent");
    EXPECT_EQ(noCalendar.status, 1);
    EXPECT_NE(noCalendar.err.find("marketday_jpn.csv"), std::string::npos) << noCalendar.err;
    EXPECT_EQ(download("--verbose").status, 2);
}

// The day's time bound comes from the setting; a day that drips (2 KiB/s under a
// Content-Length of 4 MiB) fails naming its file and the bound; nothing of it is kept or
// registered, the whole day before it is.
TEST_F(DownloadCommandTest, ADayThatDripsFailsAtTheBoundTheSettingGives) {
    m_server.putFile(kabuPlusDayPath(20261210), std::string(std::size_t{4} << 20, 'x'));
    m_server.setRateLimit(kabuPlusDayPath(20261210), 2048);
    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    const auto set = test::runCli(m_appdata.path(), "config kabuplus_file_timeout 2");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "kabuplus_file_timeout = 2\n");
    EXPECT_EQ(test::runCli(m_appdata.path(), "config kabuplus_file_timeout 0").status, 1);

    const auto run = download("--register");
    EXPECT_EQ(run.status, 1) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_EQ(lines[0].rfind("stored 2026-12-09 ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("failed 2026-12-10: japan-all-stock-prices_20261210.csv: not complete within 2 s (", 0),
              0u)
        << lines[1];
    EXPECT_EQ(lines[2], "2 days: 1 stored, 1 failed");
    EXPECT_EQ(lines[3].rfind("registered " + downloadDir().string() + "/japan-all-stock-prices_20261209.csv: ", 0),
              0u)
        << lines[3];
    EXPECT_EQ(std::distance(fs::directory_iterator(downloadDir()), {}), 1) << "only the whole day is kept";
    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, (m_appdata / "Tavora" / "data" / "kabukadb" / "kabuka.db").string()), 0);
    framework::SQLList rows;
    framework::SQL_exec(db, "SELECT count(*) AS n FROM kabukadb WHERE date = '2026-12-10';", rows);
    EXPECT_EQ(rows.rows.at(0).value("n"), "0");
}

// Ctrl+C (or SIGTERM) while the server keeps the transfer open without finishing it: the run
// ends at once (not after the 30 s low-speed limit), says it was cancelled, exits 130 and
// leaves neither the half day nor the temporary folder.
class DownloadInterruptTest : public DownloadCommandTest, public ::testing::WithParamInterface<int> {};

TEST_P(DownloadInterruptTest, EndsADownloadStalledOnTheServerAtOnce) {
    m_server.putFile(kabuPlusDayPath(20261209), std::string(std::size_t{4} << 20, 'x'));
    m_server.setRateLimit(kabuPlusDayPath(20261209), 64);
    ASSERT_NO_FATAL_FAILURE(configure(m_server.account().password));
    test::CliProcess cli(m_appdata.path(), {"download"}, {{"TAVORA_TODAY", "2026-12-09"}});
    ASSERT_TRUE(cli.started());
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (cli.errSoFar().find("ダウンロード開始") == std::string::npos && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the transfer is under way
    const auto sent = std::chrono::steady_clock::now();
    cli.signal(GetParam());
    const auto run = cli.wait();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(5));
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("tavora-cli: cancelled: 0 of 1 days stored, nothing registered\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.lines(), std::vector<std::string>{"1 days: 0 stored, 0 failed, cancelled"});
    EXPECT_EQ(std::distance(fs::directory_iterator(downloadDir()), {}), 0);
    EXPECT_FALSE(framework::isliveDir(m_appdata / "Tavora" / "tmp"));
}

INSTANTIATE_TEST_SUITE_P(Signals, DownloadInterruptTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "SIGINT" : "SIGTERM"; });

} // namespace
} // namespace tavora::cli
