// The session against a real vsftpd (and a scripted peer for replies vsftpd never gives).
#include "AcquisitionTestSupport.h"
#include "acquisition/ReferenceRefresh.h"
#include "support/ScriptedFtpsPeer.h"
#include "support/SilentListener.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace tavora;
using namespace tavora::test;
namespace fs = std::filesystem;

namespace {

// The commands of the vsftpd protocol log, in order.
std::vector<std::string> loggedCommands(const std::string& log) {
    std::vector<std::string> commands;
    const std::string marker = "FTP command: Client \"127.0.0.1\", \"";
    for (std::size_t pos = log.find(marker); pos != std::string::npos; pos = log.find(marker, pos)) {
        pos += marker.size();
        commands.push_back(log.substr(pos, log.find('"', pos) - pos));
    }
    return commands;
}

class DataSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.available())
            GTEST_SKIP() << server.problem();
        session.setProgress(&progress);
    }
    VsftpdServer server;
    RecordingProgress progress;
    acquisition::DataSession session{trustingContext(server.caFile()), dataAccount(server.port())};
};

TEST_F(DataSessionTest, LogsInWithTheExactDialogueAndListsOverAResumedDataConnection) {
    // The fixture runs vsftpd with require_ssl_reuse=YES: a data TLS that did not resume the
    // control session would get "522 SSL connection failed: session reuse required".
    server.putFile("/marketday/marketday_jpn.csv", "2026-12-09\n");
    ASSERT_TRUE(session.ReopenDataSession()) << session.lastError();
    auto first = session.ListRemote("/marketday");
    ASSERT_TRUE(first) << session.lastError() << "\n" << server.protocolLog();
    EXPECT_NE(first->find("marketday_jpn.csv"), std::string::npos) << *first;
    auto second = session.ListRemote("/marketday", "marketday_jpn.csv");
    ASSERT_TRUE(second) << session.lastError();
    EXPECT_NE(second->find("marketday_jpn.csv"), std::string::npos) << *second;
    session.CloseDataSession();
    EXPECT_FALSE(session.isOpen());

    std::vector<std::string> expected = {"AUTH TLS",
                                         "PBSZ 0",
                                         "PROT P",
                                         "USER tavoradata",
                                         "PASS <password>",
                                         "OPTS UTF8 ON",
                                         "TYPE I",
                                         "PASV",
                                         "LIST /marketday",
                                         "PASV",
                                         "LIST /marketday/marketday_jpn.csv",
                                         "NOOP",
                                         "QUIT"};
    std::string log;
    for (int i = 0; i < 50 && loggedCommands(log).size() < expected.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = server.protocolLog();
    }
    EXPECT_EQ(loggedCommands(log), expected) << log;
    // A 522 reply, as vsftpd quotes it; a bare "522" also matches process ids in the log.
    EXPECT_EQ(log.find("\"522 "), std::string::npos) << log;
    EXPECT_TRUE(progress.logged("LIST_OK"));
    EXPECT_TRUE(progress.logged("226 Directory send OK."));
}

TEST_F(DataSessionTest, WrongPasswordFailsTheLoginAndFetchesNothing) {
    server.putFile("/others/bunseki.csv", "x\n");
    acquisition::DataSession wrong(trustingContext(server.caFile()), dataAccount(server.port(), "wrong"));
    TempDir local;
    fs::create_directories(local / "marketday");
    fs::create_directories(local / "others");
    acquisition::RefreshTargets targets{(local / "marketday").string(), (local / "others").string(), true};
    EXPECT_FALSE(acquisition::OpenDataSession(wrong, targets, progress));
    EXPECT_FALSE(wrong.isOpen());
    EXPECT_NE(wrong.lastError().find("530"), std::string::npos) << wrong.lastError();
    EXPECT_TRUE(fs::is_empty(local / "others"));
    EXPECT_TRUE(fs::is_empty(local / "marketday"));
}

TEST_F(DataSessionTest, AnUntrustedCertificateEndsTheAttemptAndIsLogged) {
    // The system store alone does not know the test server's self-signed certificate.
    acquisition::DataSession untrusted(trustingContext(""), dataAccount(server.port()));
    untrusted.setProgress(&progress);
    const auto opened = untrusted.ReopenDataSession();
    EXPECT_FALSE(opened);
    EXPECT_NE(opened.english().find("certificate verification failed"), std::string::npos)
        << opened.english();
    EXPECT_EQ(untrusted.lastError(), opened.english()); // what a caller reporting on the run reads
    EXPECT_TRUE(progress.loggedStartingWith("サーバー接続失敗_"));
    EXPECT_EQ(server.protocolLog().find("USER"), std::string::npos);
}

TEST_F(DataSessionTest, ProbeOfALiveSessionRunsTheOperationWithoutReconnecting) {
    ASSERT_TRUE(session.ReopenDataSession()) << session.lastError();
    bool ran = false;
    EXPECT_TRUE(session.ProbeDataSession("/others", [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(progress.logged("サーバー接続_/others"));
    EXPECT_FALSE(progress.loggedStartingWith("サーバー再接続_"));
}

TEST_F(DataSessionTest, FailedReopenSkipsTheOperation) {
    ASSERT_TRUE(session.ReopenDataSession()) << session.lastError();
    server.stop();
    bool ran = false;
    EXPECT_FALSE(session.ProbeDataSession("/marketday", [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(progress.logged("サーバー再接続_失敗"));
    EXPECT_EQ(progress.statuses.back(), "サーバーと再接続できません");
    session.CloseDataSession(); // nothing left to close: returns at once
}

TEST(DataSessionIdle, ProbeAfterTheServersIdleTimeoutReopensAndRunsTheOperation) {
    VsftpdServer::Options options;
    options.idleSessionTimeout = 1;
    VsftpdServer server(options);
    if (!server.available())
        GTEST_SKIP() << server.problem();
    RecordingProgress progress;
    acquisition::DataSession session(trustingContext(server.caFile()), dataAccount(server.port()));
    session.setProgress(&progress);
    ASSERT_TRUE(session.ReopenDataSession()) << session.lastError();
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    bool ran = false;
    EXPECT_TRUE(session.ProbeDataSession("/marketday", [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(progress.logged("サーバー再接続_成功"));
    ASSERT_GE(progress.statuses.size(), 2u);
    EXPECT_EQ(progress.statuses[progress.statuses.size() - 2], "サーバーと再接続します");
    EXPECT_EQ(progress.statuses.back(), "サーバーと再接続しました");
    EXPECT_TRUE(session.ListRemote("/"));
}

TEST(DataSessionScripted, RefusedOptsUtf8FailsTheLogin) {
    ScriptedFtpsPeer peer;
    ASSERT_TRUE(peer.available());
    peer.setReply("OPTS", "501 Option not understood.");
    RecordingProgress progress;
    acquisition::DataSession session(trustingContext(peer.caFile()), dataAccount(peer.port()));
    TempDir local;
    fs::create_directories(local / "others");
    acquisition::RefreshTargets targets{(local / "marketday").string(), (local / "others").string(), true};
    EXPECT_FALSE(acquisition::OpenDataSession(session, targets, progress));
    EXPECT_NE(session.lastError().find("OPTS UTF8 ON refused"), std::string::npos) << session.lastError();
    auto commands = peer.commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "OPTS UTF8 ON");
    EXPECT_TRUE(fs::is_empty(local / "others"));
}

TEST(DataSessionScripted, ProbeReadsTenRepliesWithoutTheNoopAnswerThenReopens) {
    ScriptedFtpsPeer peer;
    ASSERT_TRUE(peer.available());
    RecordingProgress progress;
    acquisition::DataSession session(trustingContext(peer.caFile()), dataAccount(peer.port()));
    session.setProgress(&progress);
    ASSERT_TRUE(session.ReopenDataSession()) << session.lastError();
    std::string junk;
    for (int i = 0; i < 10; ++i)
        junk += "226 Transfer complete." + std::string(i < 9 ? "\r\n" : "");
    peer.setReply("NOOP", junk);
    bool ran = false;
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(session.ProbeDataSession("/others", [&] { ran = true; }));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(ran);
    EXPECT_TRUE(progress.logged("サーバー再接続_成功"));
    EXPECT_EQ(peer.connections(), 2);
    EXPECT_GE(waited, std::chrono::milliseconds(9 * 300)); // nine waits between ten replies
}

TEST(DataSessionSilent, ASilentServerEndsTheAttemptWithinTheTimeouts) {
    test::SilentListener silent;
    ASSERT_NE(silent.port(), 0);
    auto config = dataAccount(silent.port());
    config.timeouts.connect = framework::Millis(300);
    config.timeouts.reply = framework::Millis(300);
    acquisition::DataSession session(trustingContext(""), config);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.ReopenDataSession());
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
    EXPECT_NE(session.lastError().find("timed out"), std::string::npos) << session.lastError();
}

TEST(DataSessionSilent, NoServerAtAllFailsAtOnce) {
    auto config = dataAccount(freeLoopbackPort());
    acquisition::DataSession session(trustingContext(""), config);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.ReopenDataSession());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_NE(session.lastError().find("refused"), std::string::npos) << session.lastError();
}

} // namespace
