#include "app/core/Startup.h"

#include "annotations/DocumentFile.h"

#include "chart/ScaleStore.h"
#include "framework/Files.h"
#include "market/PriceDatabase.h"
#include "settings/SettingsStore.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace tavora::app {
namespace {

namespace fs = std::filesystem;
using framework::SQLList;
using framework::ZSqlElement;
using test::ScopedEnv;

int modeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

class StartupTest : public ::testing::Test {
protected:
    fs::path root() const { return m_dir / "appdata" / "Tavora"; }
    bool start(AppContext& ctx) { return runCoreStartup(ctx, m_log, m_progress, root().string()); }

    test::TempDir m_dir;
    ScopedEnv m_today{"TAVORA_TODAY", "2026-12-10"};
    ScopedEnv m_base{"TAVORA_BASEDIR", (m_dir / "base").string()};
    ScopedEnv m_data{"TAVORA_DATA_DIR", (m_dir / "no-bundled-data").string()};
    framework::ZLog m_log;
    framework::NullProgress m_progress;
};

TEST(ApplicationRoot, ComesFromTheEnvironmentInOrder) {
    ScopedEnv home("HOME", "/home/user");
    {
        ScopedEnv appdata("TAVORA_APPDATA", "C:\\Users\\u\\AppData\\");
        EXPECT_EQ(resolveApplicationRoot(), "C:/Users/u/AppData/Tavora");
    }
    ScopedEnv noAppdata("TAVORA_APPDATA", "");
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/xdg");
        EXPECT_EQ(resolveApplicationRoot(), "/xdg/Tavora");
    }
    ScopedEnv noXdg("XDG_DATA_HOME", "");
    EXPECT_EQ(resolveApplicationRoot(), "/home/user/.local/share/Tavora");
}

TEST(ApplicationRoot, TheWriteProbeLeavesTheFolderAsItWasAndNamesAMissingOne) {
    test::TempDir dir;
    EXPECT_EQ(applicationRootWriteProblem(dir.path().string()), "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_NE(applicationRootWriteProblem((dir.path() / "missing").string()), "");
}

TEST(ContextDefaults, HoldTheAnchorsSectorsAndAccounts) {
    ScopedEnv today("TAVORA_TODAY", "2024-02-29");
    AppContext ctx;
    EXPECT_EQ(ctx.today, "2024-02-29");
    EXPECT_EQ(ctx.oneYearAgoNextDay, "2023-03-02"); // 2023-02-30 normalised
    EXPECT_EQ(ctx.versionText, "Ver1.7.6");
    ASSERT_EQ(sectorNames().size(), 34u);
    EXPECT_EQ(sectorNames().front(), "指数");
    EXPECT_EQ(sectorNames()[24], "倉庫・運輸関連業");
    EXPECT_EQ(sectorNames().back(), "サービス業");
    EXPECT_EQ(ctx.updateAccount.user, "up.tavora");
    EXPECT_EQ(ctx.dataAccount.user, "tavoradata");
    EXPECT_EQ(ctx.dataAccount.port, "60000");
}

TEST_F(StartupTest, BuildsTheLayoutWithItsPermissionsAndAFreshTemporaryDirectory) {
    test::writeFile(root() / "tmp" / "無題.tvrd", "left by an earlier run");
    test::writeFile(root() / "tmp" / "createcsv" / "old.csv", "x");
    AppContext ctx;
    ASSERT_TRUE(start(ctx));

    EXPECT_EQ(modeOf(root()), 0700);
    EXPECT_EQ(modeOf(root() / "settei.db"), 0600);
    for (const char* dir : {"data", "data/kabukadb", "data/buckup", "data/code", "tmp", "tmp/createcsv",
                            "log", "tvmaster", "marketday", "ctrl", "others", "uploader"})
        EXPECT_TRUE(framework::isliveDir(root() / dir)) << dir;
    // Nothing of the earlier run is left: createcsv is empty and the untitled document is new.
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root() / "tmp"), {}), 2);
    const auto untitled = annotations::readDocument((root() / "tmp" / "無題.tvrd").string());
    ASSERT_TRUE(untitled.ok()) << untitled.error;
    EXPECT_TRUE(untitled.favourites.empty());
    EXPECT_TRUE(ctx.document.working.isOpen());
    EXPECT_EQ(ctx.document.working.step(), 0);
    for (const char* file :
         {"data/kabukadb/kabuka.db", "settei.db", "graphdata.tvd", "log/log.zfc", "log/log.txt"})
        EXPECT_TRUE(framework::isliveFile(root() / file)) << file;
    EXPECT_EQ(ctx.paths.documentPath, (root() / "tmp" / "無題.tvrd").string());
    EXPECT_EQ(ctx.paths.documentName, "無題.tvrd");
    EXPECT_TRUE(ctx.priceDb.isOpen());
    EXPECT_TRUE(ctx.scaleDb.isOpen());

    deleteTemporaryDirectory(ctx);
    EXPECT_FALSE(framework::isliveDir(root() / "tmp"));
}

TEST_F(StartupTest, DeletesLogRowsThreeMonthsOldAndOlder) {
    fs::create_directories(root() / "log");
    {
        framework::ZLog old;
        ASSERT_EQ(old.Open(root() / "log" / "log.zfc", root() / "log" / "log.txt"), 0);
        ASSERT_EQ(old.CreateLogDb(), 0);
    }
    {
        ZSqlElement db;
        ASSERT_EQ(framework::SQL_Open(db, (root() / "log" / "log.zfc").string()), 0);
        ASSERT_EQ(framework::SQL_exec(db, "INSERT INTO logtb (date, time, text) VALUES"
                                          "('2026-08-31','00:00:00','older'),"
                                          "('2026-09-10','00:00:00','exactly three months'),"
                                          "('2026-09-11','00:00:00','kept');"),
                  0)
            << db.lastError();
    }
    AppContext ctx;
    ASSERT_TRUE(start(ctx));
    ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, (root() / "log" / "log.zfc").string()), 0);
    SQLList rows;
    framework::SQL_exec(db, "SELECT text FROM logtb ORDER BY id;", rows);
    ASSERT_GE(rows.size(), 2u); // then whatever start-up itself logged
    EXPECT_EQ(rows.rows[0].value("text"), "kept");
    EXPECT_EQ(rows.rows[1].value("text"), "****** tavora_start ******");
}

TEST_F(StartupTest, MovesAPendingPriceDatabaseIntoTheDataDirectory) {
    const fs::path pending = m_dir / "base" / "tmp" / "kabukadb";
    fs::create_directories(pending);
    {
        ZSqlElement db;
        ASSERT_EQ(market::PriceDatabase::open(db, pending.string()), 0);
        ASSERT_TRUE(market::PriceDatabase(db).write({{"1301", "2026-01-05", 1.0, 2.0, 0.5, 1.5, 10}}).ok());
    }
    AppContext ctx;
    ASSERT_TRUE(start(ctx));
    EXPECT_FALSE(framework::isliveDir(m_dir / "base" / "tmp"));
    EXPECT_EQ(market::PriceDatabase(ctx.priceDb).rowsNewestFirst("1301").size(), 1u);
}

// A restore killed between its two renames left the old database aside and no live folder;
// a backup killed half-way left its partial copy. Start-up (the desktop's and every
// tavora-cli command's) puts the database back before anything could create an empty one,
// removes the partial copy, and logs both.
TEST_F(StartupTest, PutsBackADatabaseSetAsideByAnInterruptedRestoreAndRemovesLeftovers) {
    const fs::path aside = root() / "data" / ".kabukadb.previous";
    fs::create_directories(aside);
    {
        ZSqlElement db;
        ASSERT_EQ(market::PriceDatabase::open(db, aside.string()), 0);
        ASSERT_TRUE(market::PriceDatabase(db).write({{"1301", "2026-01-05", 1.0, 2.0, 0.5, 1.5, 10}}).ok());
    }
    const fs::path partial = root() / "data" / "buckup" / ".partial-2026-12-09_10-00-00";
    test::writeFile(partial / "kabuka.db", "half a copy");
    AppContext ctx;
    ASSERT_TRUE(start(ctx));
    EXPECT_EQ(market::PriceDatabase(ctx.priceDb).rowsNewestFirst("1301").size(), 1u);
    EXPECT_FALSE(fs::exists(aside));
    EXPECT_FALSE(fs::exists(partial));
    const std::string log = test::readFile(root() / "log" / "log.txt");
    EXPECT_NE(log.find("中断された復元の前の株価データを戻しました_" + (root() / "data" / "kabukadb").string()),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("中断された作業の残りを削除しました_" + partial.string()), std::string::npos) << log;
}

TEST_F(StartupTest, ShutdownSavesTheExitKeysAndTheCurrentCodesScale) {
    {
        AppContext ctx;
        ASSERT_TRUE(start(ctx));
        ctx.settings.jyuji_font = "Noto Sans CJK JP";
        ctx.catalogue.append(market::CodeElm{});
        ctx.catalogue[0].code = "7203";
        ctx.currentCode = 0;
        ctx.scale = chart::CodeScale{{9, 9, 9, 9}, {4, 4, 4, 4}, {50, 0, 0, 0}};
        runCoreShutdownSaves(ctx, m_log);
    }
    const auto stored = settings::SettingsStore((root() / "settei.db").string()).load();
    EXPECT_EQ(stored.jyuji_font, "Noto Sans CJK JP");
    EXPECT_EQ(stored.d_x_haba_p, 9); // the scale shown at exit
    EXPECT_EQ(stored.y_y_ichimemori, 4);

    AppContext next;
    ASSERT_TRUE(start(next));
    EXPECT_EQ(next.settings.jyuji_font, "Noto Sans CJK JP");
    EXPECT_EQ(next.scale.pitch[0], 9);
    EXPECT_EQ(chart::ScaleStore(next.scaleDb).load("7203", chart::CodeScale{}),
              (chart::CodeScale{{9, 9, 9, 9}, {4, 4, 4, 4}, {50, 0, 0, 0}}));
}

} // namespace
} // namespace tavora::app
