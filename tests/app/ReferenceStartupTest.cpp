// The server's steps of start-up and shutdown on a real application context.
#include "acquisition/AcquisitionTestSupport.h"
#include "acquisition/UpdateCheck.h"
#include "app/core/ReferenceStartup.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace tavora;
using namespace tavora::test;
namespace fs = std::filesystem;

namespace {

struct StartupContext {
    StartupContext() {
        context.paths.marketDayDir = (root / "marketday").string();
        context.paths.othersDir = (root / "others").string();
        fs::create_directories(context.paths.marketDayDir);
        fs::create_directories(context.paths.othersDir);
    }
    TempDir root;
    TempDir bin;
    app::AppContext context;
    RecordingProgress progress;
};

TEST(ReferenceStartup, RefreshesFromTheConfiguredServerAndFindsUpdates) {
    VsftpdServer server;
    if (!server.available())
        GTEST_SKIP() << server.problem();
    server.putFile("/marketday/marketday_jpn.csv", "2026-12-09\n");
    server.putFile("/others/bunseki.csv", "a\tb\n");
    server.putFile("/update/tavora", "a newer program");
    StartupContext s;
    writeFile(s.bin / "tavora", "the program");
    s.context.settings.refserver_host = "localhost"; // the certificate's DNS name
    s.context.settings.refserver_port = std::to_string(server.port());
    s.context.settings.refserver_cafile = server.caFile();

    app::StartNetwork(s.context, s.progress);
    app::StartUpdateCheck(s.context, s.progress, s.bin.str(), shortTimeouts());
    EXPECT_EQ(s.progress.statuses.back(), "更新プログラムの確認");
    acquisition::RefreshReport report;
    EXPECT_TRUE(app::StartReferenceRefresh(s.context, s.progress, &report, shortTimeouts()));
    EXPECT_EQ(readFile(s.root / "marketday" / "marketday_jpn.csv"), "2026-12-09\n");
    EXPECT_EQ(readFile(s.root / "others" / "bunseki.csv"), "a\tb\n");
    EXPECT_EQ(report.fetched.size(), 2u);
    s.context.updateCheck->join();
    EXPECT_EQ(s.context.pendingUpdate.text(), "tavora");

    app::StopUpdateCheck(s.context);
    app::CloseReferenceSession(s.context);
    app::ReleaseNetwork(s.context);
    EXPECT_NE(server.protocolLog().find("\"QUIT\""), std::string::npos);
}

TEST(ReferenceStartup, WithoutAServerStartUpGoesOnWithinTheConnectTimeout) {
    StartupContext s;
    writeFile(s.root / "others" / "bunseki.csv", "kept\n");
    s.context.settings.refserver_host = "127.0.0.1";
    s.context.settings.refserver_port = std::to_string(freeLoopbackPort());
    framework::NetTimeouts timeouts;
    // A refused connection returns at once; the margin is for slow (sanitizer) builds.
    timeouts.connect = framework::Millis(3000);

    framework::ZLog log;
    log.Open(s.root / "log.zfc", s.root / "log.txt");

    auto start = std::chrono::steady_clock::now();
    app::StartNetwork(s.context, s.progress, &log);
    app::StartUpdateCheck(s.context, s.progress, s.bin.str(), timeouts);
    EXPECT_FALSE(app::StartReferenceRefresh(s.context, s.progress, nullptr, timeouts, &log));
    app::StopUpdateCheck(s.context);
    app::CloseReferenceSession(s.context);
    app::ReleaseNetwork(s.context);
    EXPECT_LT(std::chrono::steady_clock::now() - start, timeouts.connect);
    EXPECT_EQ(readFile(s.root / "others" / "bunseki.csv"), "kept\n");
    EXPECT_TRUE(s.context.pendingUpdate.empty());
    EXPECT_TRUE(s.progress.loggedStartingWith("サーバー接続失敗_"));
    log.WriteLogTxt();
    EXPECT_NE(readFile(s.root / "log.txt").find("サーバー接続失敗_127.0.0.1:"), std::string::npos);
}

} // namespace
