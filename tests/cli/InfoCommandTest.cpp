// tavora-cli info run as a user runs it, on a fresh data folder.
#include "framework/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tavora::cli {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun runCli(const test::TempDir& appdata, const std::string& args) {
    const std::string command =
        "TAVORA_APPDATA='" + appdata.str() + "' '" + TAVORA_BIN_DIR + "/tavora-cli' " + args + " 2>/dev/null";
    CliRun run;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            run.out.append(buf, n);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

std::string storedSql(const std::string& file, const std::string& name) {
    framework::ZSqlElement db;
    framework::SQL_Open(db, file);
    framework::SQLList list;
    framework::SQLListRow params;
    params.add(framework::SQLListElement::text("name", name));
    framework::SQL_exec(db, "SELECT sql FROM sqlite_master WHERE name = ?;", list, params);
    return list.empty() ? std::string() : list.rows[0].value("sql");
}

TEST(InfoCommand, CreatesTheLayoutWithItsSchemasAndReportsIt) {
    test::TempDir appdata;
    const CliRun run = runCli(appdata, "info");
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string root = (appdata / "Tavora").string();
    EXPECT_NE(run.out.find("application root: " + root + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    koumokutb: 0 rows\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    graphdata_tb: 0 rows\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  kabupluspw = \n"), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find("      CREATE TABLE 'kabukadb' (code TEXT NOT NULL,date TEXT NOT NULL,open REAL,high "
                     "REAL,low REAL,close REAL,volume INTEGER,PRIMARY KEY(code, date))\n"
                     "      CREATE INDEX idx_kabukadb_code ON kabukadb (code)\n"
                     "      CREATE INDEX idx_kabukadb_date ON kabukadb (date)\n"),
        std::string::npos)
        << run.out;

    EXPECT_EQ(storedSql(root + "/settei.db", "koumokutb"),
              "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT)");
    EXPECT_EQ(storedSql(root + "/data/kabukadb/kabuka.db", "idx_kabukadb_date"),
              "CREATE INDEX idx_kabukadb_date ON kabukadb (date)");
    EXPECT_EQ(storedSql(root + "/graphdata.tvd", "graphdata_tb")
                  .rfind("CREATE TABLE 'graphdata_tb' (code TEXT PRIMARY KEY,", 0),
              0u);
}

TEST(InfoCommand, MasksTheKabuPlusPasswordAndRefusesArguments) {
    test::TempDir appdata;
    ASSERT_EQ(runCli(appdata, "info").status, 0);
    {
        framework::ZSqlElement db;
        framework::SQL_Open(db, (appdata / "Tavora" / "settei.db").string());
        ASSERT_EQ(
            framework::SQL_exec(db, "REPLACE INTO koumokutb (koumoku,value) values ('kabupluspw','s3cret');"),
            0);
    }
    const CliRun run = runCli(appdata, "info");
    EXPECT_NE(run.out.find("  kabupluspw = ********\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("s3cret"), std::string::npos);
    EXPECT_EQ(runCli(appdata, "info extra").status, 2);
}

} // namespace
} // namespace tavora::cli
