// The start-up and exit steps around the desktop window, on a real data folder.
#include "app/DesktopStartup.h"
#include "framework/Log.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace tavora;
namespace fs = std::filesystem;

namespace {

struct Rows {
    static std::vector<std::string> column(const std::string& dbPath, const std::string& sql, const std::string& col) {
        framework::ZSqlElement db;
        framework::SQL_Open(db, dbPath);
        framework::SQLList rows;
        framework::SQL_exec(db, sql, rows);
        std::vector<std::string> out;
        for (const auto& r : rows.rows)
            out.push_back(r.value(col));
        return out;
    }
};

int modeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return int(st.st_mode & 0777);
}

class DesktopStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TAVORA_APPDATA", dir.str().c_str(), 1);
        setenv("TAVORA_DATA_DIR", (dir / "no-bundled-data").c_str(), 1);
        root = dir / "Tavora";
        ASSERT_TRUE(app::createApplicationRoot(root.string()));
    }
    void start(app::AppContext& ctx, framework::ZLog& log) {
        framework::NullProgress progress;
        app::runStartupBeforeWindow(ctx, log, progress);
    }

    test::TempDir dir;
    fs::path root;
};

TEST_F(DesktopStartupTest, StartEmptiesTheTemporaryDirectoryAndKeepsTheRootPrivate) {
    test::writeFile(root / "tmp" / "無題.tvrd", "left by an earlier run");
    app::AppContext ctx;
    framework::ZLog log;
    start(ctx, log);
    EXPECT_EQ(modeOf(root), 0700);
    EXPECT_TRUE(fs::is_directory(root / "tmp"));
    EXPECT_FALSE(fs::exists(root / "tmp" / "無題.tvrd"));
    for (const char* sub : {"data/kabukadb/kabuka.db", "data/buckup", "log/log.zfc", "tvmaster", "marketday",
                            "data/code", "ctrl", "others", "uploader", "graphdata.tvd"})
        EXPECT_TRUE(fs::exists(root / sub)) << sub;
    EXPECT_EQ(ctx.paths.documentPath, (root / "tmp" / "無題.tvrd").string());
}

TEST_F(DesktopStartupTest, ExitKeysAndScalesSurviveARestart) {
    {
        app::AppContext ctx;
        framework::ZLog log;
        start(ctx, log);
        ctx.catalogue.append({"7203", "トヨタ自動車", "輸送用機器", "東証プライム", "7203.T", {}, false});
        ctx.currentCode = 0;
        ctx.scale.pitch = {7, 5, 3, 2};
        ctx.scale.fixedGrid = {10, 0, 0, 0};
        ctx.settings.d_x_haba_p = 7;
        ctx.settings.jyuji_sencr = 0x123456;
        ctx.settings.windowRect = settings::WindowRect{10, 20, 810, 620};
        app::storeSetting(ctx, "adpanel_view_type", settings::kAdpanelLargeView);
        app::runShutdownSaves(ctx, log);
    }
    EXPECT_EQ(modeOf(root / "settei.db"), 0600);
    const auto codes = Rows::column((root / "graphdata.tvd").string(),
                                    "select code, d_x_haba_p, sonota1 from graphdata_tb", "code");
    EXPECT_EQ(codes, std::vector<std::string>{"7203"});

    app::AppContext again;
    framework::ZLog log;
    start(again, log);
    EXPECT_EQ(again.settings.d_x_haba_p, 7);
    EXPECT_EQ(again.settings.jyuji_sencr, 0x123456u);
    EXPECT_EQ(again.settings.adpanelWidth(), 2);
    ASSERT_TRUE(again.settings.windowRect.has_value());
    EXPECT_EQ(*again.settings.windowRect, (settings::WindowRect{10, 20, 810, 620}));
    framework::SQLList rows;
    framework::SQL_exec(again.scaleDb, "select d_x_haba_p, sonota1 from graphdata_tb where code = '7203'", rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.rows[0].value("d_x_haba_p"), "7");
    EXPECT_EQ(rows.rows[0].value("sonota1"), "10");
}

TEST_F(DesktopStartupTest, OnlyPlainTablesOfTheScaleFileAreCopied) {
    {
        framework::ZSqlElement file;
        framework::SQL_Open(file, (root / "graphdata.tvd").string());
        framework::SQL_exec(file, "CREATE TABLE usertable (a TEXT)");
        framework::SQL_exec(file, "CREATE TABLE \"x; DROP TABLE graphdata_tb\" (a TEXT)");
        framework::SQL_exec(file, "CREATE TABLE extra (a TEXT)");
        framework::SQL_exec(file, "INSERT INTO extra VALUES ('kept')");
    }
    app::AppContext ctx;
    framework::ZLog log;
    start(ctx, log);
    framework::SQLList tables;
    framework::SQL_exec(ctx.scaleDb, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", tables);
    std::vector<std::string> names;
    for (const auto& r : tables.rows)
        names.push_back(r.value("name"));
    EXPECT_EQ(names, (std::vector<std::string>{"extra", "graphdata_tb"}));
}

TEST_F(DesktopStartupTest, ExitWithoutACurrentCodeStillReplacesTheFile) {
    {
        framework::ZSqlElement file;
        framework::SQL_Open(file, (root / "graphdata.tvd").string());
        framework::SQL_exec(file, "CREATE TABLE IF NOT EXISTS 'graphdata_tb' (code TEXT PRIMARY KEY,d_x_haba_p TEXT,"
                                  "d_y_ichimemori TEXT,w_x_haba_p TEXT,w_y_ichimemori TEXT,m_x_haba_p TEXT,m_y_ichimemori "
                                  "TEXT,y_x_haba_p TEXT,y_y_ichimemori TEXT,sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,"
                                  "sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,sonota7 TEXT,sonota8 TEXT,sonota9 TEXT,sonota10 "
                                  "TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 TEXT,sonota14 TEXT,sonota15 TEXT,sonota16 "
                                  "TEXT,sonota17 TEXT)");
        framework::SQL_exec(file, "INSERT INTO graphdata_tb (code) VALUES ('1001'), ('1002')");
    }
    app::AppContext ctx;
    framework::ZLog log;
    start(ctx, log);
    framework::SQL_exec(ctx.scaleDb, "DELETE FROM graphdata_tb WHERE code = '1002'");
    app::runShutdownSaves(ctx, log);
    EXPECT_EQ(Rows::column((root / "graphdata.tvd").string(), "select code from graphdata_tb", "code"),
              std::vector<std::string>{"1001"});
}

}  // namespace
