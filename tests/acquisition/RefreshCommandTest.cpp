// tavora-cli refresh against a real vsftpd, as a user runs it.
#include "AcquisitionTestSupport.h"
#include "framework/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

using namespace tavora;
using namespace tavora::test;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out; // standard output and standard error
};

CliRun runRefresh(const fs::path& appdata) {
    std::string command = "TAVORA_APPDATA='" + appdata.string() + "' '" + std::string(TAVORA_BIN_DIR) +
                          "/tavora-cli' refresh 2>&1";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        run.out.append(buf, n);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A data folder whose settings point at the server.
void writeServerSettings(const fs::path& root, int port, const std::string& caFile) {
    fs::create_directories(root);
    fs::permissions(root, fs::perms::owner_all);
    framework::ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, (root / "settei.db").string()), 0);
    framework::SQL_exec(db, "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT);");
    framework::SQLList rows;
    for (auto [key, value] : {std::pair<std::string, std::string>{"refserver_host", "localhost"},
                              {"refserver_port", std::to_string(port)},
                              {"refserver_cafile", caFile},
                              {"sync_moravel_db", "0"}}) {
        framework::SQLListRow row;
        row.add(framework::SQLListElement::text("koumoku", key));
        row.add(framework::SQLListElement::text("value", value));
        rows.rows.push_back(row);
    }
    ASSERT_EQ(framework::ExecSqlElm2(db, "REPLACE INTO 'koumokutb' (koumoku,value) values (?,?)", rows), 0);
}

TEST(RefreshCommand, MirrorsTheServerAndSaysWhatItDid) {
    VsftpdServer server;
    if (!server.available())
        GTEST_SKIP() << server.problem();
    if (!fs::exists(fs::path(TAVORA_BIN_DIR) / "tavora-cli"))
        GTEST_SKIP() << "tavora-cli is not built";
    server.putFile("/marketday/marketday_jpn.csv", "2026-12-09\n");
    server.putFile("/marketday/2027/marketday_jpn.csv", "2027-01-04\n");
    server.putFile("/others/bunkatsudata.csv", "1301,2026-01-01,2\n");
    server.putFile("/others/bunseki.csv", "a\tb\n");
    server.putFile("/others/code_info.csv", "1301,極洋\n");
    TempDir appdata;
    const fs::path root = appdata / "Tavora";
    writeServerSettings(root, server.port(), server.caFile());

    CliRun first = runRefresh(appdata.path());
    EXPECT_EQ(first.status, 0) << first.out;
    EXPECT_NE(first.out.find("fetched marketday/2027/marketday_jpn.csv"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("fetched others/code_info.csv"), std::string::npos) << first.out;
    for (const char* f : {"marketday/marketday_jpn.csv", "marketday/2027/marketday_jpn.csv",
                          "others/bunkatsudata.csv", "others/bunseki.csv", "others/code_info.csv"})
        EXPECT_EQ(readFile(root / f), readFile(server.root() / f)) << f;
    // Whatever the program shipped for the calendars and the server does not list is gone.
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(root / "marketday"))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2u);

    CliRun second = runRefresh(appdata.path());
    EXPECT_EQ(second.status, 0) << second.out;
    // Nothing is fetched again. (A start re-installs the shipped calendars that are missing, and
    // the mirror then removes those the server does not list, so "deleted" may repeat.)
    EXPECT_EQ(second.out.find("fetched "), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("0 fetched, "), std::string::npos) << second.out;
    EXPECT_NE(second.out.find(" 5 up to date, 0 failed"), std::string::npos) << second.out;
    EXPECT_NE(readFile(root / "log" / "log.txt").find("サーバー接続完了_/marketday"), std::string::npos);
}

TEST(RefreshCommand, WithoutAServerFailsWithOneLineAndKeepsTheFiles) {
    if (!fs::exists(fs::path(TAVORA_BIN_DIR) / "tavora-cli"))
        GTEST_SKIP() << "tavora-cli is not built";
    TempDir appdata;
    const fs::path root = appdata / "Tavora";
    writeServerSettings(root, freeLoopbackPort(), "");
    writeFile(root / "others" / "bunseki.csv", "kept\n");
    CliRun run = runRefresh(appdata.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("tavora-cli: cannot open the reference-data session with localhost:"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(readFile(root / "others" / "bunseki.csv"), "kept\n");
}

} // namespace
