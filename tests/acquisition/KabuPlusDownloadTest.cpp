// The KABU+ download against a real nginx over HTTPS with Basic authentication.
#include "acquisition/KabuPlusDownload.h"

#include "AcquisitionTestSupport.h"
#include "framework/Files.h"
#include "support/KabuPlusFiles.h"
#include "support/NginxServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

namespace tavora::acquisition {
namespace {

namespace fs = std::filesystem;
using framework::YmdDate;
using test::kabuPlusDayFile;
using test::kabuPlusDayPath;

YmdDate ymd(int n) {
    return {n / 10000, n / 100 % 100, n % 100};
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Counts the lines of the access log that contain `text`. nginx writes a line just after it
// answered, so a count below `expected` is given a moment to grow.
std::size_t logged(const test::NginxServer& server, const std::string& text, std::size_t expected = 0) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        std::size_t n = 0;
        const std::string log = server.accessLog();
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        if (n >= expected || std::chrono::steady_clock::now() > until)
            return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

class KabuPlusDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int day : {20261207, 20261208, 20261209, 20261210})
            m_server.putFile(kabuPlusDayPath(day), kabuPlusDayFile(day));
    }
    bool startServer() {
        if (!m_server.start()) {
            ADD_FAILURE() << m_server.problem();
            return false;
        }
        return true;
    }
    KabuPlusRequest request(std::vector<int> days, std::string password = {}) const {
        KabuPlusRequest r;
        r.baseUrl = m_server.baseUrl() + "/";
        r.caFile = m_server.caFile();
        r.user = m_server.account().user;
        r.password = password.empty() ? m_server.account().password : password;
        r.downloadDir = (m_dir / "download").string();
        for (int d : days)
            r.days.push_back(ymd(d));
        r.pauseMinMs = r.pauseMaxMs = 0;
        r.limits.connectTimeoutMs = 3000;
        r.limits.lowSpeedSeconds = 5;
        return r;
    }
    // No status, log or report text carries the password.
    void expectPasswordNowhere(const KabuPlusReport& report, const std::string& password) const {
        std::vector<std::string> texts = m_progress.statuses;
        texts.insert(texts.end(), m_progress.logs.begin(), m_progress.logs.end());
        texts.push_back(report.statusText);
        texts.push_back(report.fatal);
        for (const auto& d : report.days)
            texts.push_back(d.reason);
        for (const auto& t : texts)
            EXPECT_EQ(t.find(password), std::string::npos) << t;
    }

    test::NginxServer m_server;
    test::TempDir m_dir;
    test::RecordingProgress m_progress;
};

TEST_F(KabuPlusDownloadTest, StoresEachDayUnchangedOverOneConnection) {
    ASSERT_TRUE(startServer());
    const auto report = RunKabuPlusDownload(request({20261207, 20261208, 20261209}), m_progress);
    EXPECT_TRUE(report.ok()) << report.statusText;
    EXPECT_EQ(report.stored, 3u);
    EXPECT_EQ(report.failed, 0u);
    for (int day : {20261207, 20261208, 20261209}) {
        const fs::path file = m_dir / "download" / ("japan-all-stock-prices_" + std::to_string(day) + ".csv");
        EXPECT_EQ(test::readFile(file), kabuPlusDayFile(day)) << file;
    }
    EXPECT_EQ(filesIn(m_dir / "download").size(), 3u) << "no temporary file is left";
    EXPECT_EQ(m_progress.statuses.front(), "ダウンロード開始");
    EXPECT_NE(std::find(m_progress.statuses.begin(), m_progress.statuses.end(),
                        "2 件中 成功 2件　失敗 0件 20261208"),
              m_progress.statuses.end());
    EXPECT_EQ(report.statusText, "3 件中 成功 3件　失敗 0件 20261209");
    // One handle for the run: one connection (nginx's $connection) serves every day.
    ASSERT_EQ(logged(m_server, " 200 Tavora ", 3), 3u) << m_server.accessLog();
    const std::string log = m_server.accessLog();
    std::vector<std::string> connections;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.find(" 200 Tavora ") != std::string::npos)
            connections.push_back(line.substr(line.rfind(' ') + 1));
    ASSERT_EQ(connections.size(), 3u) << log;
    EXPECT_EQ(std::count(connections.begin(), connections.end(), connections[0]), 3) << log;
}

TEST_F(KabuPlusDownloadTest, AWrongPasswordStopsTheRunAndStoresNothing) {
    ASSERT_TRUE(startServer());
    const std::string wrong = "wr0ng-Secret!";
    const auto report = RunKabuPlusDownload(request({20261207, 20261208}, wrong), m_progress);
    EXPECT_FALSE(report.ok());
    EXPECT_TRUE(report.authenticationFailed);
    EXPECT_EQ(report.statusText, kAuthenticationFailedText);
    EXPECT_EQ(report.stored, 0u);
    EXPECT_TRUE(filesIn(m_dir / "download").empty());
    EXPECT_EQ(logged(m_server, "GET ", 1), 1u) << "the run stops at the first refusal";
    expectPasswordNowhere(report, wrong);
}

TEST_F(KabuPlusDownloadTest, CountsEveryBadReplyAsAFailureAndGoesOn) {
    m_server.setReply(kabuPlusDayPath(20261202), 503, "Service Unavailable\n");
    m_server.setTruncated(kabuPlusDayPath(20261203), kabuPlusDayFile(20261203).substr(0, 150), 5000);
    m_server.setReply(kabuPlusDayPath(20261204), 200,
                      "<!DOCTYPE HTML><Html><body>Maintenance</body></Html>\n");
    m_server.setReply(kabuPlusDayPath(20261205), 200, "");
    ASSERT_TRUE(startServer());
    // 20261201 is not on the server (404).
    const auto report = RunKabuPlusDownload(
        request({20261201, 20261202, 20261203, 20261204, 20261205, 20261207, 20261208}), m_progress);
    EXPECT_FALSE(report.ok());
    EXPECT_FALSE(report.authenticationFailed);
    EXPECT_EQ(report.failed, 5u);
    EXPECT_EQ(report.stored, 2u);
    ASSERT_EQ(report.days.size(), 7u);
    const char* expectedReason[] = {"HTTP 404", "HTTP 503", nullptr, "HTML", "empty"};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(report.days[i].stored);
        if (expectedReason[i])
            EXPECT_NE(report.days[i].reason.find(expectedReason[i]), std::string::npos)
                << report.days[i].reason;
        else
            EXPECT_FALSE(report.days[i].reason.empty());
    }
    EXPECT_EQ(filesIn(m_dir / "download"), (std::vector<std::string>{"japan-all-stock-prices_20261207.csv",
                                                                     "japan-all-stock-prices_20261208.csv"}));
    EXPECT_EQ(report.statusText, "7 件中 成功 2件　失敗 5件 20261208");
    EXPECT_EQ(m_progress.logs.size(), 5u);
}

TEST_F(KabuPlusDownloadTest, CancelEndsThePauseAtOnceAfterTheStoredDay) {
    ASSERT_TRUE(startServer());
    auto r = request({20261207, 20261208, 20261209});
    r.pauseMinMs = r.pauseMaxMs = 120000;
    std::atomic<bool> cancel{false};
    const auto started = std::chrono::steady_clock::now();
    std::thread canceller([&] {
        while (!framework::isliveFile(m_dir / "download" / "japan-all-stock-prices_20261207.csv"))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // well into the pause
        cancel = true;
    });
    const auto report = RunKabuPlusDownload(r, m_progress, &cancel);
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60))
        << "the two-minute pause was waited out";
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.statusText, "ダウンロードを中止しました。");
    EXPECT_EQ(report.stored, 1u);
    EXPECT_EQ(logged(m_server, "GET ", 1), 1u);
}

// A server that drips (2 KiB/s under a Content-Length of 4 MiB) passes the low-speed check
// for ever; the day's time bound ends it, the day fails naming its file and the bound, and
// the run goes on.
TEST_F(KabuPlusDownloadTest, ADrippingDayFailsAtItsTimeBoundAndTheRunGoesOn) {
    m_server.putFile(kabuPlusDayPath(20261208), std::string(std::size_t{4} << 20, 'x'));
    m_server.setRateLimit(kabuPlusDayPath(20261208), 2048);
    ASSERT_TRUE(startServer());
    auto r = request({20261207, 20261208, 20261209});
    r.limits.totalTimeoutSeconds = 2;
    const auto started = std::chrono::steady_clock::now();
    const auto report = RunKabuPlusDownload(r, m_progress);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20))
        << "the bound of 2 s was not kept";
    ASSERT_EQ(report.days.size(), 3u);
    EXPECT_TRUE(report.days[0].stored);
    EXPECT_FALSE(report.days[1].stored);
    EXPECT_TRUE(report.days[2].stored);
    const std::string& reason = report.days[1].reason;
    EXPECT_EQ(reason.rfind("japan-all-stock-prices_20261208.csv: not complete within 2 s (", 0), 0u) << reason;
    EXPECT_NE(reason.find(" of 4194304 bytes received)"), std::string::npos) << reason;
    EXPECT_EQ(report.failed, 1u);
    EXPECT_EQ(filesIn(m_dir / "download"), (std::vector<std::string>{"japan-all-stock-prices_20261207.csv",
                                                                     "japan-all-stock-prices_20261209.csv"}))
        << "nothing of the dripping day is kept";
}

// Cancelling while a server keeps a transfer open without finishing it ends the run at once:
// the day in transfer is dropped, the day stored before it stays.
TEST_F(KabuPlusDownloadTest, CancelAbandonsATransferInProgress) {
    m_server.putFile(kabuPlusDayPath(20261208), std::string(std::size_t{4} << 20, 'x'));
    m_server.setRateLimit(kabuPlusDayPath(20261208), 64);
    ASSERT_TRUE(startServer());
    auto r = request({20261207, 20261208, 20261209});
    r.limits.lowSpeedSeconds = 600; // only the cancel can end it
    std::atomic<bool> cancel{false};
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        while (!framework::isliveFile(m_dir / "download" / "japan-all-stock-prices_20261207.csv"))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // well into the second day
        cancelledAt = std::chrono::steady_clock::now();
        cancel = true;
    });
    const auto report = RunKabuPlusDownload(r, m_progress, &cancel);
    const auto ended = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_LT(ended - cancelledAt, std::chrono::seconds(5)) << "the transfer was not abandoned";
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.statusText, "ダウンロードを中止しました。");
    EXPECT_EQ(report.stored, 1u);
    EXPECT_EQ(report.failed, 0u);
    EXPECT_EQ(report.days.size(), 1u);
    EXPECT_EQ(filesIn(m_dir / "download"), (std::vector<std::string>{"japan-all-stock-prices_20261207.csv"}));
}

TEST_F(KabuPlusDownloadTest, VerifiesTheServerCertificate) {
    ASSERT_TRUE(startServer());
    auto r = request({20261207});
    r.caFile.clear(); // the test certificate is in no system store
    const auto report = RunKabuPlusDownload(r, m_progress);
    EXPECT_EQ(report.failed, 1u);
    EXPECT_TRUE(filesIn(m_dir / "download").empty());
    EXPECT_EQ(logged(m_server, "GET "), 0u);
}

TEST_F(KabuPlusDownloadTest, AbandonsABodyLargerThanTheBound) {
    ASSERT_TRUE(startServer());
    auto r = request({20261207});
    r.limits.maxBodyBytes = 200;
    const auto report = RunKabuPlusDownload(r, m_progress);
    ASSERT_EQ(report.days.size(), 1u);
    EXPECT_FALSE(report.days[0].stored);
    EXPECT_NE(report.days[0].reason.find("larger than"), std::string::npos) << report.days[0].reason;
    EXPECT_TRUE(filesIn(m_dir / "download").empty());
}

TEST_F(KabuPlusDownloadTest, RefusesToStartWithoutCredentialsAndSaysWhenThereIsNothingToFetch) {
    ASSERT_TRUE(startServer());
    auto noPassword = request({20261207});
    noPassword.password.clear();
    noPassword.user = "";
    const auto refused = RunKabuPlusDownload(noPassword, m_progress);
    EXPECT_EQ(refused.fatal, "kabu+のid,パスワードが設定されていません。");
    EXPECT_EQ(refused.fatalEnglish, "no KABU+ id and password are set"); // tavora-cli's words
    EXPECT_FALSE(refused.ok());

    const auto nothing = RunKabuPlusDownload(request({}), m_progress);
    EXPECT_TRUE(nothing.ok());
    EXPECT_EQ(nothing.statusText, "ダウンロードするデータがありません。");
    EXPECT_EQ(logged(m_server, "GET "), 0u);
}

TEST(KabuPlusBody, TakesAnyCaseOfAnHtmlMarkAnywhereAsAPage) {
    const struct {
        const char* body;
        bool html;
    } cases[] = {
        {"SC,名称\r\n1301,極洋\r\n", false},
        {"<html><body>error</body></html>", true},
        {"\n\n<HTML>", true},
        {"<!DOCTYPE html>", true},
        {"<!doctype HTML>", true},
        {"SC,名称\r\n9999,<htm\r\n", false},
        {"<", false},
        {"", false},
        {"1301,a<!DOCTYPE  html", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(looksLikeHtml(c.body), c.html) << c.body;
}

} // namespace
} // namespace tavora::acquisition
