#include "app/core/Startup.h"

#include "acquisition/PriceBackup.h"
#include "analysis/BunsekiTable.h"
#include "app/core/BundledData.h"
#include "app/core/CatalogueStartup.h"
#include "app/core/DocumentSteps.h"
#include "chart/ScaleStore.h"
#include "framework/Dates.h"
#include "framework/Files.h"
#include "market/PriceDatabase.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tavora::app {

namespace fs = std::filesystem;

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string forwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// ---- the steps, in the order runCoreStartup calls them ----

// Step 7: the application root (0700), the data and price-database directories. What a
// backup or restore cut short left is tidied first (the caller holds the data folder's lock),
// so that an old database set aside is put back before an empty folder could take its place;
// `tidied` gets the log lines.
bool createDataDirectories(const AppPaths& p, std::vector<std::string>& tidied) {
    if (!createApplicationRoot(p.root))
        return false;
    framework::CreateZDirectory(p.dataDir);
    tidied = acquisition::TidyInterruptedPriceWork({p.priceDbDir, p.backupDir});
    framework::CreateZDirectory(p.priceDbDir);
    return true;
}

// Step 7: a price-database directory left pending by an installer (<base>/tmp/kabukadb) is
// copied into the data directory, then <base>/tmp is deleted. A failed copy keeps <base>/tmp
// so that nothing is lost.
void migratePendingPriceDatabase(const AppPaths& p) {
    const std::string base = resolveBaseDirectory();
    if (base.empty())
        return;
    const fs::path tmp = fs::path(base) / "tmp";
    if (!framework::isliveDir(tmp))
        return;
    if (framework::isliveDir(tmp / "kabukadb") &&
        !framework::CopyZDirectory(tmp / "kabukadb", std::string("kabukadb"), p.dataDir))
        return;
    framework::DeleteZDirectory(tmp);
}

// Step 7: the price database, the backup directory, the temporary directory emptied.
void openPriceDatabase(AppContext& ctx) {
    market::PriceDatabase::open(ctx.priceDb, ctx.paths.priceDbDir);
}

void createWorkDirectories(const AppPaths& p) {
    framework::CreateZDirectory(p.backupDir);
    framework::DeleteZDirectory(p.tmpDir); // nothing of an earlier run survives
    framework::CreateZDirectory(p.tmpDir);
    framework::CreateZDirectory(p.logDir);
}

// Step 8: the log with rows of three months ago and older deleted, and the start banner.
void openLog(AppContext& ctx, framework::ZLog& log) {
    if (log.Open(ctx.paths.logDbFile, ctx.paths.logTxtFile) == 0 && log.CreateLogDb() == 0)
        log.DeleteLogsUpTo(framework::GetDayOfDifferMonth(ctx.today, -3));
    log.UpdLog(framework::ZLog::kStartBanner);
    log.WriteLogTxt();
}

// Step 10: the remaining directories.
void createReferenceDirectories(const AppPaths& p) {
    for (const auto& dir : {p.masterDir, p.marketDayDir, p.codeDir, p.ctrlDir, p.othersDir, p.updaterDir})
        framework::CreateZDirectory(dir);
    framework::CreateZDirectory(p.csvWorkDir);
}

// Right after the directories: a first start takes the reference files and prices that ship.
void installShippedData(AppContext& ctx, framework::ZLog& log) {
    const auto installed = installBundledData(ctx);
    if (!installed.ok())
        log.UpdLog(installed.errorText());
}

// Step 11: the scale file copied into memory.
void loadScaleFile(AppContext& ctx, framework::ZLog& log) {
    const auto copy = chart::ScaleStore(ctx.scaleDb).loadFile(ctx.paths.graphdataFile);
    for (const auto& name : copy.skipped)
        log.UpdLog("graphdata.tvd: table not copied: " + name);
}

// Step 12: the settings, and what follows from them in the context.
void loadSettings(AppContext& ctx) {
    ctx.settings = settings::SettingsStore(ctx.paths.setteiDb).load();
    const auto& s = ctx.settings;
    ctx.paths.codeListInUse = settings::SettingsStore::codeListInUse(s, ctx.paths.codeInfoCsv);
    if (!s.CreateDataPath.empty())
        ctx.paths.dataDir = forwardSlashes(s.CreateDataPath);
    for (ServerAccount* account : {&ctx.updateAccount, &ctx.dataAccount}) {
        account->host = s.refserver_host;
        account->port = s.refserver_port;
    }
    const int pitch[4] = {s.d_x_haba_p, s.w_x_haba_p, s.m_x_haba_p, s.y_x_haba_p};
    const int tick[4] = {s.d_y_ichimemori, s.w_y_ichimemori, s.m_y_ichimemori, s.y_y_ichimemori};
    for (int p = 0; p < 4; ++p) {
        ctx.scale.pitch[p] = settings::kPitchBounds.contains(pitch[p]) ? pitch[p] : ctx.scale.pitch[p];
        ctx.scale.tick[p] = settings::kTickBounds.contains(tick[p]) ? tick[p] : ctx.scale.tick[p];
    }
}

// The scale keys of the settings follow the scale shown at exit.
void takeScaleIntoSettings(AppContext& ctx) {
    auto& s = ctx.settings;
    int* pitch[4] = {&s.d_x_haba_p, &s.w_x_haba_p, &s.m_x_haba_p, &s.y_x_haba_p};
    int* tick[4] = {&s.d_y_ichimemori, &s.w_y_ichimemori, &s.m_y_ichimemori, &s.y_y_ichimemori};
    for (int p = 0; p < 4; ++p) {
        *pitch[p] = ctx.scale.pitch[p];
        *tick[p] = ctx.scale.tick[p];
    }
}

} // namespace

std::string resolveApplicationRoot() {
    std::string base = env("TAVORA_APPDATA");
    if (base.empty())
        base = env("XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = env("HOME");
        base = (home.empty() ? std::string("/tmp") : home) + "/.local/share";
    }
    base = forwardSlashes(base);
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + kAppTitle;
}

bool createApplicationRoot(const std::string& root) {
    std::error_code ec;
    fs::create_directories(fs::path(root).parent_path(), ec);
    return framework::CreateZDirectory(root, 0700) && framework::isliveDir(root);
}

std::string applicationRootWriteProblem(const std::string& root) {
    // An unnamed file: a start killed while probing leaves nothing behind in the folder.
    int fd = ::open(root.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR)
        return std::strerror(errno);
    // A file system without unnamed files: a named probe, removed at once.
    std::string probe = root + "/.writetest-XXXXXX";
    fd = ::mkstemp(probe.data());
    if (fd < 0)
        return std::strerror(errno);
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

std::string resolveBaseDirectory() {
    const std::string base = env("TAVORA_BASEDIR");
    return base.empty() ? currentExecutableDir().string() : forwardSlashes(base);
}

void fillAppPaths(AppPaths& p, const std::string& root) {
    p.root = root;
    p.dataDir = root + "/data";
    p.priceDbDir = p.dataDir + "/kabukadb";
    p.priceDbFile = p.priceDbDir + "/" + market::kPriceDbFileName;
    p.backupDir = p.dataDir + "/buckup";
    p.tmpDir = root + "/tmp";
    p.csvWorkDir = p.tmpDir + "/createcsv";
    p.logDir = root + "/log";
    p.logDbFile = p.logDir + "/log.zfc";
    p.logTxtFile = p.logDir + "/log.txt";
    p.masterDir = root + "/tvmaster";
    p.marketDayDir = root + "/marketday";
    p.codeDir = p.dataDir + "/code";
    p.ctrlDir = root + "/ctrl";
    p.othersDir = root + "/others";
    p.updaterDir = root + "/uploader";
    p.bunkatsuCsv = p.othersDir + "/bunkatsudata.csv";
    p.codeInfoCsv = p.othersDir + "/code_info.csv";
    p.codeListInUse = p.codeInfoCsv;
    p.bunsekiCsv = p.othersDir + "/bunseki.csv";
    p.bunsekiDb = root + "/bunseki.db";
    p.fileOpenHisDb = root + "/fileopenhis.db";
    p.setteiDb = root + "/" + settings::kSettingsFileName;
    p.graphdataFile = root + "/" + chart::kScaleFileName;
}

bool runCoreStartup(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress,
                    const std::string& root) {
    // Steps 1 and 2 built the context (AppContext's constructor: date anchors, accounts).
    fillAppPaths(ctx.paths, root.empty() ? resolveApplicationRoot() : forwardSlashes(root));
    // Steps 3 to 6 are the splash, title bar and frame of the desktop program.
    progress.status("データの取得");
    // Step 7.
    std::vector<std::string> tidied;
    if (!createDataDirectories(ctx.paths, tidied))
        return false;
    migratePendingPriceDatabase(ctx.paths);
    openPriceDatabase(ctx);
    createWorkDirectories(ctx.paths);
    // Step 8.
    openLog(ctx, log);
    for (const auto& line : tidied)
        log.UpdLog(line);
    // Step 9: the untitled document and its history.
    ResetDocumentStep(ctx);
    // Step 10, then the shipped data on a first start.
    createReferenceDirectories(ctx.paths);
    installShippedData(ctx, log);
    // Step 11.
    loadScaleFile(ctx, log);
    // Step 12.
    loadSettings(ctx);
    // Step 13 (companion synchronisation) and steps 14 to 19 (windows, network, update check,
    // reference refresh) follow in the desktop program and the commands that need them.
    log.WriteLogTxt();
    return true;
}

void runCatalogueStartup(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress) {
    (void)progress;
    // Step 20.
    for (const auto& line : LoadCodeListStep(ctx))
        log.UpdLog(line);
    // Step 21.
    const auto seeded =
        analysis::SeedBunsekiTable(ctx.paths.bunsekiCsv, ctx.paths.bunsekiDb, ctx.bunsekiList);
    if (!seeded.ok)
        log.UpdLog(seeded.error);
    // Step 22.
    BuildCatalogueStep(ctx);
    // Step 23.
    LoadRecentFilesStep(ctx);
    // Step 24.
    MakeFirstEntryCurrentStep(ctx);
    // Step 25.
    for (const auto& line : AttachSplitsStep(ctx))
        log.UpdLog(line);
    log.WriteLogTxt();
}

void storeCurrentCodeScale(AppContext& ctx) {
    if (!ctx.currentCode || *ctx.currentCode >= ctx.catalogue.size() || !ctx.scaleDb.isOpen())
        return;
    chart::ScaleStore(ctx.scaleDb).save(ctx.catalogue[*ctx.currentCode].code, ctx.scale);
}

void runCoreShutdownSaves(AppContext& ctx, framework::ZLog& log) {
    // Step 2.
    log.UpdLog(framework::ZLog::kEndBanner);
    log.WriteLogTxt();
    // Step 3.
    takeScaleIntoSettings(ctx);
    settings::SettingsStore(ctx.paths.setteiDb).saveExit(ctx.settings);
    // Step 5.
    storeCurrentCodeScale(ctx);
    // Step 6.
    chart::ScaleStore(ctx.scaleDb).writeBack(ctx.paths.graphdataFile);
}

void deleteTemporaryDirectory(const AppContext& ctx) {
    if (!ctx.paths.tmpDir.empty())
        framework::DeleteZDirectory(ctx.paths.tmpDir);
}

void logEndSession(framework::ZLog& log) {
    log.UpdLog(framework::ZLog::kEndSessionBanner);
    log.WriteLogTxt();
}

} // namespace tavora::app
