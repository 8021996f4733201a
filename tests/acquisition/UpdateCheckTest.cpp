// The update check against a real vsftpd with the update account.
#include "acquisition/UpdateCheck.h"
#include "AcquisitionTestSupport.h"
#include "support/SilentListener.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>

using namespace tavora;
using namespace tavora::test;
namespace fs = std::filesystem;

namespace {

acquisition::SessionConfig updateAccount(int port) {
    auto config = dataAccount(port, "Wm3qTzLp");
    config.user = "up.tavora";
    return config;
}

TEST(UpdateCheck, NamesTheInstalledFilesTheServerHasChanged) {
    VsftpdServer server;
    if (!server.available())
        GTEST_SKIP() << server.problem();
    std::time_t now = std::time(nullptr);
    server.putFile("/update/tavora-cli", "new program, longer than before", now - 3600);
    server.putFile("/update/tavora", "same size", now - 7200);        // older than ours: current
    server.putFile("/update/holidays.csv", "2027-01-01\n", now - 60); // same size, newer than ours
    server.putFile("/update/not-installed.bin", "whatever", now - 60);

    TempDir bin;
    writeFile(bin / "tavora-cli", "old program");
    writeFile(bin / "tavora", "same size");
    writeFile(bin / "data" / "marketday" / "holidays.csv", "2026-01-01\n");
    fs::last_write_time(bin / "data" / "marketday" / "holidays.csv",
                        fs::last_write_time(bin / "data" / "marketday" / "holidays.csv") -
                            std::chrono::hours(2));

    auto installed = acquisition::installedProgramFiles(bin.str());
    ASSERT_EQ(installed.size(), 3u);
    std::mutex mutex;
    std::string pending;
    int published = 0;
    acquisition::UpdateCheck check(trustingContext(server.caFile()), updateAccount(server.port()), installed,
                                   [&](const std::string& names) {
                                       std::lock_guard lock(mutex);
                                       pending = names;
                                       ++published;
                                   });
    check.start();
    check.join();
    EXPECT_TRUE(check.lastError().empty()) << check.lastError();
    EXPECT_EQ(published, 1);
    EXPECT_EQ(pending, "holidays.csv tavora-cli");
    EXPECT_NE(server.protocolLog().find("USER up.tavora"), std::string::npos);
}

TEST(UpdateCheck, NothingNewerPublishesNothing) {
    VsftpdServer server;
    if (!server.available())
        GTEST_SKIP() << server.problem();
    server.putFile("/update/tavora", "same size", std::time(nullptr) - 7200);
    TempDir bin;
    writeFile(bin / "tavora", "same size");
    bool published = false;
    acquisition::UpdateCheck check(trustingContext(server.caFile()), updateAccount(server.port()),
                                   acquisition::installedProgramFiles(bin.str()),
                                   [&](const std::string&) { published = true; });
    check.start();
    check.join();
    EXPECT_TRUE(check.lastError().empty()) << check.lastError();
    EXPECT_FALSE(published);
}

TEST(UpdateCheck, StoppingEndsAWaitOnASilentServerAtOnce) {
    test::SilentListener silent;
    ASSERT_NE(silent.port(), 0);
    auto config = updateAccount(silent.port());
    config.timeouts = framework::NetTimeouts{}; // the full 10 s / 15 s of a real start
    bool published = false;
    acquisition::UpdateCheck check(trustingContext(""), config, {},
                                   [&](const std::string&) { published = true; });
    check.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(check.running());
    auto start = std::chrono::steady_clock::now();
    check.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(check.running());
    EXPECT_FALSE(published);
}

} // namespace
