// The start-up refresh of the reference files against a real vsftpd.
#include "acquisition/ReferenceRefresh.h"
#include "AcquisitionTestSupport.h"
#include "support/ScriptedFtpsPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>

using namespace tavora;
using namespace tavora::test;
namespace fs = std::filesystem;

namespace {

// Every regular file below dir, by path relative to it, with its bytes.
std::map<std::string, std::string> treeOf(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files[fs::relative(e.path(), dir).string()] = readFile(e.path());
    return files;
}

class ReferenceRefreshTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.available())
            GTEST_SKIP() << server.problem();
        fs::create_directories(local / "marketday");
        fs::create_directories(local / "others");
    }

    // One program start: a new session, logged in, then the four refresh steps.
    acquisition::RefreshReport refresh(bool codeauto = true, framework::ProgressSink* sink = nullptr) {
        acquisition::DataSession session(trustingContext(server.caFile()), dataAccount(server.port()));
        framework::ProgressSink& out = sink ? *sink : progress;
        session.setProgress(&out);
        acquisition::RefreshReport report;
        acquisition::RefreshTargets targets{(local / "marketday").string(), (local / "others").string(),
                                            codeauto};
        EXPECT_TRUE(acquisition::OpenDataSession(session, targets, out, &report)) << session.lastError();
        session.CloseDataSession();
        return report;
    }

    void serveReferenceFiles() {
        server.putFile("/marketday/marketday_jpn.csv", "2026-12-09,1\n2026-12-10,1\n");
        server.putFile("/marketday/marketday_usa.csv", "2026-12-09,1\n");
        server.putFile("/marketday/2026/holidays.csv", "2026-12-31\n");
        server.putFile("/others/bunkatsudata.csv", "7203,2026-01-01,5\n");
        server.putFile("/others/bunseki.csv", "a\tb\tc\n");
        server.putFile("/others/code_info.csv", "1301,極洋\n");
        server.putFile("/others/extra.csv", "not ours\n");
    }

    VsftpdServer server;
    TempDir local;
    RecordingProgress progress;
};

TEST_F(ReferenceRefreshTest, MirrorsTheTreeAndTheThreeFilesThenKeepsThemInStep) {
    serveReferenceFiles();
    writeFile(local / "marketday" / "stale.csv", "gone from the server\n");
    writeFile(local / "others" / "mine.txt", "the user's own\n");

    auto first = refresh();
    EXPECT_EQ(treeOf(local / "marketday"), treeOf(server.root() / "marketday"));
    std::map<std::string, std::string> others = {{"bunkatsudata.csv", "7203,2026-01-01,5\n"},
                                                 {"bunseki.csv", "a\tb\tc\n"},
                                                 {"code_info.csv", "1301,極洋\n"},
                                                 {"mine.txt", "the user's own\n"}};
    EXPECT_EQ(treeOf(local / "others"), others);
    EXPECT_EQ(first.fetched.size(), 6u);
    EXPECT_EQ(first.deleted, std::vector<std::string>{(local / "marketday" / "stale.csv").string()});
    EXPECT_TRUE(progress.logged("needupdata_marketday_jpn.csv"));
    EXPECT_TRUE(progress.logged("サーバー接続完了_/marketday"));
    EXPECT_TRUE(progress.logged("サーバー接続完了_/marketday/2026"));
    EXPECT_TRUE(progress.logged("サーバー接続完了_/others"));
    EXPECT_NE(std::find(progress.statuses.begin(), progress.statuses.end(), "ダウンロード中100％"),
              progress.statuses.end());
    EXPECT_EQ(progress.statuses.back(), "");

    // Nothing changed on the server: nothing is fetched and no file is flagged.
    RecordingProgress second;
    auto again = refresh(true, &second);
    EXPECT_TRUE(again.fetched.empty());
    EXPECT_EQ(again.upToDate.size(), 6u);
    EXPECT_FALSE(second.loggedStartingWith("needupdata_"));
    EXPECT_TRUE(second.logged("サーバー接続完了_/marketday"));
    EXPECT_EQ(second.statuses.back(), "");

    // The server drops a file, gains a directory, and changes two files (by size, by time).
    server.removeFile("/marketday/marketday_usa.csv");
    server.putFile("/marketday/new/extra_day.csv", "2027-01-04\n");
    server.putFile("/others/bunseki.csv", "a\tb\tc\nd\te\tf\n");
    // Same size, changed a minute ago on the server; our copy is an hour old.
    std::time_t now = std::time(nullptr);
    server.putFile("/others/bunkatsudata.csv", "7203,2026-01-01,6\n", now - 60);
    fs::last_write_time(local / "others" / "bunkatsudata.csv",
                        fs::last_write_time(local / "others" / "bunkatsudata.csv") - std::chrono::hours(1));
    RecordingProgress third;
    auto changed = refresh(true, &third);
    EXPECT_EQ(treeOf(local / "marketday"), treeOf(server.root() / "marketday"));
    EXPECT_FALSE(fs::exists(local / "marketday" / "marketday_usa.csv"));
    EXPECT_EQ(readFile(local / "marketday" / "new" / "extra_day.csv"), "2027-01-04\n");
    EXPECT_EQ(readFile(local / "others" / "bunseki.csv"), "a\tb\tc\nd\te\tf\n");
    EXPECT_EQ(readFile(local / "others" / "bunkatsudata.csv"), "7203,2026-01-01,6\n");
    EXPECT_EQ(readFile(local / "others" / "mine.txt"), "the user's own\n");
    EXPECT_EQ(changed.fetched.size(), 3u);
    EXPECT_TRUE(third.logged("needupdata_bunkatsudata.csv"));
    EXPECT_FALSE(third.logged("needupdata_code_info.csv"));
}

TEST_F(ReferenceRefreshTest, WithoutCodeautoTheCodeListIsNeitherListedNorFetched) {
    serveReferenceFiles();
    writeFile(local / "others" / "code_info.csv", "the user's list\n");
    auto report = refresh(false);
    EXPECT_EQ(readFile(local / "others" / "code_info.csv"), "the user's list\n");
    EXPECT_EQ(readFile(local / "others" / "bunseki.csv"), "a\tb\tc\n");
    EXPECT_EQ(server.protocolLog().find("code_info.csv"), std::string::npos);
    EXPECT_TRUE(report.skipped.empty());
}

// Kills the server's session processes as soon as the first bytes of a download arrive.
class KillOnFirstBytes : public RecordingProgress {
public:
    explicit KillOnFirstBytes(VsftpdServer& server) : m_server(server) {}
    void percent(int value) override {
        RecordingProgress::percent(value);
        if (value > 0 && !m_killed) {
            m_killed = true;
            m_server.killSessions();
        }
    }

private:
    VsftpdServer& m_server;
    bool m_killed = false;
};

TEST_F(ReferenceRefreshTest, AnInterruptedTransferKeepsTheOldFileAndTheNextRefreshRepairsIt) {
    std::string big(1 << 20, 'x');
    for (std::size_t i = 0; i < big.size(); i += 64)
        big[i] = '\n';
    server.putFile("/others/bunseki.csv", big);
    writeFile(local / "others" / "bunseki.csv", "old definitions\n");
    VsftpdServer::Options slow;
    slow.maxRate = 100000; // the transfer would take ten seconds: it is cut long before
    ASSERT_TRUE(server.restart(slow)) << server.problem();

    KillOnFirstBytes killer(server);
    auto broken = refresh(true, &killer);
    EXPECT_EQ(readFile(local / "others" / "bunseki.csv"), "old definitions\n");
    EXPECT_FALSE(fs::exists(local / "others" / "bunseki.csv.part"));
    EXPECT_EQ(broken.failed, std::vector<std::string>{(local / "others" / "bunseki.csv").string()});
    EXPECT_TRUE(killer.loggedStartingWith("ダウンロード失敗_/others/bunseki.csv"));
    // The control connection died with the transfer: the next step re-opened it.
    EXPECT_TRUE(killer.logged("サーバー再接続_成功"));

    ASSERT_TRUE(server.restart(VsftpdServer::Options{})) << server.problem();
    auto repaired = refresh();
    EXPECT_EQ(readFile(local / "others" / "bunseki.csv"), big);
    EXPECT_EQ(repaired.fetched, std::vector<std::string>{(local / "others" / "bunseki.csv").string()});
}

TEST(ReferenceRefreshHostile, ListedNamesNeverLeadOutsideTheLocalDirectory) {
    ScriptedFtpsPeer peer;
    ASSERT_TRUE(peer.available());
    peer.setListing("/marketday", "-rw-r--r--    1 0        0               6 Dec 01 08:00 ../x\r\n"
                                  "-rw-r--r--    1 0        0               6 Dec 01 08:00 ..\\y\r\n"
                                  "drwxr-xr-x    2 0        0            4096 Dec 01 08:00 ..\r\n"
                                  "-rw-r--r--    1 0        0               3 Dec 01 08:00 ok.csv\r\n");
    peer.setFile("/marketday/../x", "pwned\n");
    peer.setFile("/marketday/ok.csv", "ok\n");
    // A one-file listing that names another file is not taken for it.
    peer.setListing("/others/bunseki.csv",
                    "-rw-r--r--    1 0        0               6 Dec 01 08:00 evil.csv\r\n");
    TempDir local;
    fs::create_directories(local / "root" / "marketday");
    fs::create_directories(local / "root" / "others");
    RecordingProgress progress;
    acquisition::DataSession session(trustingContext(peer.caFile()), dataAccount(peer.port()));
    session.setProgress(&progress);
    acquisition::RefreshTargets targets{(local / "root" / "marketday").string(),
                                        (local / "root" / "others").string(), true};
    ASSERT_TRUE(acquisition::OpenDataSession(session, targets, progress)) << session.lastError();
    EXPECT_EQ(treeOf(local.path()), (std::map<std::string, std::string>{{"root/marketday/ok.csv", "ok\n"}}));
    EXPECT_TRUE(progress.logged("不正なファイル名を無視_/marketday/../x"));
    for (const auto& command : peer.commands())
        EXPECT_EQ(command.find(".."), std::string::npos) << command;
}

} // namespace
