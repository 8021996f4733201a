// tavora-cli config, run as a user runs it.
#include "framework/Sql.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::cli {
namespace {

class ConfigCommandTest : public ::testing::Test {
protected:
    // The stored value of a key; none when the key is not stored.
    std::optional<std::string> stored(const std::string& key) const {
        framework::ZSqlElement db;
        framework::SQL_Open(db, (m_appdata / "Tavora" / "settei.db").string());
        framework::SQLList out;
        framework::SQLListRow params;
        params.add(framework::SQLListElement::text("k", key));
        framework::SQL_exec(db, "SELECT value FROM koumokutb WHERE koumoku=?;", out, params);
        if (out.empty())
            return std::nullopt;
        return out.rows[0].value("value");
    }

    test::TempDir m_appdata;
};

TEST_F(ConfigCommandTest, StoresCheckedValues) {
    auto id = test::runCli(m_appdata.path(), "config kabuplusid user-01");
    ASSERT_EQ(id.status, 0) << id.err;
    EXPECT_EQ(id.out, "kabuplusid = user-01\n");
    EXPECT_EQ(stored("kabuplusid"), "user-01");

    auto url = test::runCli(m_appdata.path(), "config kabuplus_url https://localhost:8443/");
    ASSERT_EQ(url.status, 0) << url.err;
    EXPECT_EQ(stored("kabuplus_url"), "https://localhost:8443");

    auto flag = test::runCli(m_appdata.path(), "config buckupcreate_ch 0");
    ASSERT_EQ(flag.status, 0) << flag.err;
    EXPECT_EQ(stored("buckupcreate_ch"), "0");
}

TEST_F(ConfigCommandTest, ReadsThePasswordFromStandardInputOnlyAndNeverShowsIt) {
    const std::string password = "s3cr:et #pw";
    auto fromArgs = test::runCli(m_appdata.path(), "config kabupluspw 's3cr:et #pw'");
    EXPECT_EQ(fromArgs.status, 2);
    EXPECT_NE(fromArgs.err.find("--stdin"), std::string::npos) << fromArgs.err;
    EXPECT_EQ(fromArgs.err.find(password), std::string::npos);
    EXPECT_FALSE(stored("kabupluspw"));

    auto fromStdin = test::runCli(m_appdata.path(), "config kabupluspw --stdin", {}, password + "\r\n");
    ASSERT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(stored("kabupluspw"), password);
    EXPECT_EQ(fromStdin.out, "kabupluspw = ********\n");
    EXPECT_EQ(fromStdin.err.find(password), std::string::npos);

    auto info = test::runCli(m_appdata.path(), "info");
    EXPECT_EQ(info.out.find(password), std::string::npos);
}

TEST_F(ConfigCommandTest, RefusesBadValuesUnknownKeysAndWrongUsage) {
    const struct {
        const char* args;
        std::optional<std::string> input;
        int status;
        const char* key; // must stay unset
    } cases[] = {
        {"config kabuplusid user:01", std::nullopt, 1, "kabuplusid"},
        {"config kabupluspw --stdin", std::string("pass\x01word\n"), 1, "kabupluspw"},
        {"config kabupluspw --stdin", std::nullopt, 1, "kabupluspw"},
        {"config kabupluspw --stdin", std::string("pass\nword\n"), 1, "kabupluspw"}, // not cut at the break
        {"config kabupluspw --stdin", std::string("pass\rword"), 1, "kabupluspw"},
        {"config kabuplus_url http://csvex.com", std::nullopt, 1, "kabuplus_url"},
        {"config kabuplus_cafile /no/such/ca.pem", std::nullopt, 1, "kabuplus_cafile"},
        {"config codeauto_ch yes", std::nullopt, 1, "codeauto_ch"},
        {"config no_such_key 1", std::nullopt, 2, "no_such_key"},
        {"config CreateDataPath /tmp", std::nullopt, 2, "CreateDataPath"},
        {"config kabuplusid", std::nullopt, 2, "kabuplusid"},
        {"config", std::nullopt, 2, "kabuplusid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto run = test::runCli(m_appdata.path(), c.args, {}, c.input);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(stored(c.key));
    }
}

TEST_F(ConfigCommandTest, ACodeListWithoutEntriesIsRefusedAsTheSettingsPageRefusesIt) {
    const auto noEntries = m_appdata / "shadow-like.csv";
    test::writeFile(noEntries, "root:*:19000:0:99999:7:::\ndaemon:*:19000:0:99999:7:::\n");
    const auto refused = test::runCli(m_appdata.path(), "config codelistcsvpath '" + noEntries.string() + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("the code list holds no codes"), std::string::npos) << refused.err;
    EXPECT_FALSE(stored("codelistcsvpath"));

    const auto list = m_appdata / "codes.csv";
    test::writeFile(list, "7203,トヨタ自動車,輸送用機器,東証プライム\n");
    const auto accepted = test::runCli(m_appdata.path(), "config codelistcsvpath '" + list.string() + "'");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(stored("codelistcsvpath"), list.string());
}

} // namespace
} // namespace tavora::cli
