#include "app/DesktopStartup.h"

#include "analysis/BunsekiTable.h"
#include "app/core/BundledData.h"
#include "app/core/CatalogueStartup.h"
#include "framework/ColorText.h"
#include "framework/Dates.h"
#include "framework/Files.h"
#include "market/PriceDatabase.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <variant>

namespace tavora::app {

namespace fs = std::filesystem;
using framework::SQLList;
using framework::SQLListElement;
using framework::SQLListRow;
using framework::ZSqlElement;

namespace {

const char* const kCreateSettingsSql = "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT);";
const char* const kReplaceSettingSql = "REPLACE INTO 'koumokutb' (koumoku,value) values (?,?)";
const char* const kCreateScaleSql =
    "CREATE TABLE IF NOT EXISTS 'graphdata_tb' (code TEXT PRIMARY KEY,d_x_haba_p TEXT,d_y_ichimemori TEXT,w_x_haba_p "
    "TEXT,w_y_ichimemori TEXT,m_x_haba_p TEXT,m_y_ichimemori TEXT,y_x_haba_p TEXT,y_y_ichimemori TEXT,sonota1 "
    "TEXT,sonota2 TEXT,sonota3 TEXT,sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,sonota7 TEXT,sonota8 TEXT,sonota9 "
    "TEXT,sonota10 TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 TEXT,sonota14 TEXT,sonota15 TEXT,sonota16 TEXT,sonota17 "
    "TEXT)";
const char* const kUpsertScaleSql =
    "INSERT INTO 'graphdata_tb' "
    "(code,d_x_haba_p,d_y_ichimemori,w_x_haba_p,w_y_ichimemori,m_x_haba_p,m_y_ichimemori,y_x_haba_p,y_y_ichimemori,"
    "sonota1,sonota2,sonota3,sonota4) values (?,?,?,?,?,?,?,?,?,?,?,?,?) on conflict(code) do update set d_x_haba_p "
    "= ?,d_y_ichimemori = ?,w_x_haba_p = ?,w_y_ichimemori = ?,m_x_haba_p = ?,m_y_ichimemori = ?,y_x_haba_p = "
    "?,y_y_ichimemori = ?,sonota1 = ?,sonota2 = ?,sonota3 = ?,sonota4 = ?;";

// Window rectangle keys of our own.
const char* const kWindowKeys[] = {"apri_rect_left", "apri_rect_top", "apri_rect_right", "apri_rect_bottom"};

// ---- settings keys ----
using settings::Settings;
struct Colour {
    settings::Colour Settings::*field;
};
using Field = std::variant<Colour, int Settings::*, std::string Settings::*, bool Settings::*>;
struct Key {
    const char* name;
    Field field;
};

// The keys written at exit, in their order.
const std::vector<Key>& exitKeys() {
    static const std::vector<Key> keys{
        {"jyuji_sencr", Colour{&Settings::jyuji_sencr}},
        {"jyuji_fontcr", Colour{&Settings::jyuji_fontcr}},
        {"jyuji_sensyu", &Settings::jyuji_sensyu},
        {"jyuji_font", &Settings::jyuji_font},
        {"jyuji_fontsize", &Settings::jyuji_fontsize},
        {"timenehaba_sencr", Colour{&Settings::timenehaba_sencr}},
        {"timenehaba_fontcr", Colour{&Settings::timenehaba_fontcr}},
        {"timenehaba_sensyu", &Settings::timenehaba_sensyu},
        {"timenehaba_font", &Settings::timenehaba_font},
        {"timenehaba_fontsize", &Settings::timenehaba_fontsize},
        {"takayasu_cr", Colour{&Settings::takayasu_cr}},
        {"takayasu_font", &Settings::takayasu_font},
        {"takayasu_fontsize", &Settings::takayasu_fontsize},
        {"rangetimesen_cr", Colour{&Settings::rangetimesen_cr}},
        {"rangetimefont_cr", Colour{&Settings::rangetimefont_cr}},
        {"rangetime_font", &Settings::rangetime_font},
        {"rangetime_fontsize", &Settings::rangetime_fontsize},
        {"rangetime_sensyu", &Settings::rangetime_sensyu},
        {"rangenedansen_cr", Colour{&Settings::rangenedansen_cr}},
        {"rangenedanfont_cr", Colour{&Settings::rangenedanfont_cr}},
        {"rangenedan_font", &Settings::rangenedan_font},
        {"rangenedan_fontsize", &Settings::rangenedan_fontsize},
        {"rangenedan_sensyu", &Settings::rangenedan_sensyu},
        {"rangenedan_yoko", &Settings::rangenedan_yoko},
        {"linesen_cr", Colour{&Settings::linesen_cr}},
        {"linefont_cr", Colour{&Settings::linefont_cr}},
        {"line_sensyu", &Settings::line_sensyu},
        {"text_cr", Colour{&Settings::text_cr}},
        {"text_font", &Settings::text_font},
        {"text_fontsize", &Settings::text_fontsize},
        {"memo_cr", Colour{&Settings::memo_cr}},
        {"memo_font", &Settings::memo_font},
        {"memo_fontsize", &Settings::memo_fontsize},
        {"d_x_haba_p", &Settings::d_x_haba_p},
        {"d_y_ichimemori", &Settings::d_y_ichimemori},
        {"w_x_haba_p", &Settings::w_x_haba_p},
        {"w_y_ichimemori", &Settings::w_y_ichimemori},
        {"m_x_haba_p", &Settings::m_x_haba_p},
        {"m_y_ichimemori", &Settings::m_y_ichimemori},
        {"y_x_haba_p", &Settings::y_x_haba_p},
        {"y_y_ichimemori", &Settings::y_y_ichimemori},
        {"buckupcreate_ch", &Settings::buckupcreate_ch},
    };
    return keys;
}

// Keys read at start-up besides the exit keys.
const std::vector<Key>& otherKeys() {
    static const std::vector<Key> keys{
        {"CreateDataPath", &Settings::CreateDataPath},
        {"grbuckcr", Colour{&Settings::grbuckcr}},
        {"hiduke_sencr", Colour{&Settings::hiduke_sencr}},
        {"nedan_sencr", Colour{&Settings::nedan_sencr}},
        {"title_cr", Colour{&Settings::title_cr}},
        {"yousen_buckcr", Colour{&Settings::yousen_buckcr}},
        {"yousen_sencr", Colour{&Settings::yousen_sencr}},
        {"insen_buckcr", Colour{&Settings::insen_buckcr}},
        {"insen_sencr", Colour{&Settings::insen_sencr}},
        {"dekidaka_buckcr", Colour{&Settings::dekidaka_buckcr}},
        {"dekidaka_sencr", Colour{&Settings::dekidaka_sencr}},
        {"x_sen_cb", &Settings::x_sen_cb},
        {"y_sen_cb", &Settings::y_sen_cb},
        {"codeauto_ch", &Settings::codeauto_ch},
        {"kabuplusid", &Settings::kabuplusid},
        {"kabupluspw", &Settings::kabupluspw},
        {"codelistcsvpath", &Settings::codelistcsvpath},
        {"adpanel_view_type", &Settings::adpanel_view_type},
        {"site_url", &Settings::site_url},
        {"refserver_host", &Settings::refserver_host},
        {"refserver_port", &Settings::refserver_port},
        {"refserver_cafile", &Settings::refserver_cafile},
        {"kabuplus_url", &Settings::kabuplus_url},
        {"kabuplus_cafile", &Settings::kabuplus_cafile},
    };
    return keys;
}

void readKey(Settings& s, const Key& key, const std::string& text) {
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, Colour>)
                s.*(field.field) = framework::ConvertTCHARtoCR(text);
            else if constexpr (std::is_same_v<F, int Settings::*>)
                s.*field = std::atoi(text.c_str());
            else if constexpr (std::is_same_v<F, bool Settings::*>)
                s.*field = text == "1";
            else
                s.*field = text;
        },
        key.field);
}

std::string writeKey(const Settings& s, const Key& key) {
    return std::visit(
        [&](auto field) -> std::string {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, Colour>)
                return framework::ConvertCRtoTCHAR(s.*(field.field));
            else if constexpr (std::is_same_v<F, int Settings::*>)
                return std::to_string(s.*field);
            else if constexpr (std::is_same_v<F, bool Settings::*>)
                return s.*field ? "1" : "0";
            else
                return s.*field;
        },
        key.field);
}

bool openSettings(const AppContext& ctx, ZSqlElement& db) {
    if (framework::SQL_Open(db, ctx.paths.setteiDb) != 0)
        return false;
    framework::SetZFileMode(ctx.paths.setteiDb, 0600);  // it holds the KABU+ password
    return true;
}

void replaceRows(ZSqlElement& db, const std::vector<std::pair<std::string, std::string>>& rows) {
    framework::SqlTransaction transaction(db);
    SQLList none;
    for (const auto& [key, value] : rows) {
        SQLListRow params;
        params.add(SQLListElement::text("koumoku", key));
        params.add(SQLListElement::text("value", value));
        framework::SQL_exec(db, kReplaceSettingSql, none, params);
    }
    transaction.commit();
}

void loadSettings(AppContext& ctx) {
    Settings& s = ctx.settings;
    ZSqlElement db;
    if (!openSettings(ctx, db))
        return;
    SQLList rows;
    if (framework::SQL_exec(db, "select * from koumokutb;", rows) != 0) {
        framework::SQL_exec(db, kCreateSettingsSql);
        return;
    }
    std::map<std::string, std::string> stored;
    for (const auto& r : rows.rows)
        stored[r.value("koumoku")] = r.value("value");
    for (const auto* keys : {&otherKeys(), &exitKeys()})
        for (const auto& key : *keys)
            if (auto it = stored.find(key.name); it != stored.end())
                readKey(s, key, it->second);
    if (!stored.count("jyuji_fontcr"))
        s.jyuji_fontcr = s.jyuji_sencr;
    if (!stored.count("linefont_cr"))
        s.linefont_cr = s.linesen_cr;
    if (!s.codelistcsvpath.empty())
        ctx.paths.codeListInUse = s.codelistcsvpath;
    if (s.codeauto_ch)
        ctx.paths.codeListInUse = ctx.paths.codeInfoCsv;
    settings::WindowRect r;
    int* parts[] = {&r.left, &r.top, &r.right, &r.bottom};
    bool all = true;
    for (int i = 0; i < 4; ++i) {
        auto it = stored.find(kWindowKeys[i]);
        all = all && it != stored.end();
        if (it != stored.end())
            *parts[i] = std::atoi(it->second.c_str());
    }
    if (all)
        s.windowRect = r;
    ctx.updateAccount.host = ctx.dataAccount.host = s.refserver_host;
    ctx.updateAccount.port = ctx.dataAccount.port = s.refserver_port;
}

// ---- paths and directories ----

void fillPaths(AppPaths& p, const std::string& root) {
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
    p.setteiDb = root + "/settei.db";
    p.graphdataFile = root + "/graphdata.tvd";
    p.documentName = kUntitledDocumentName;
    p.documentPath = p.tmpDir + "/" + kUntitledDocumentName;
}

// A pending price-database directory left by an installer: <base>/tmp/kabukadb.
void migratePendingPriceDb(const AppPaths& p) {
    const char* base = std::getenv("TAVORA_BASEDIR");
    const fs::path baseDir = base && *base ? fs::path(base) : currentExecutableDir();
    if (baseDir.empty() || !framework::isliveDir(baseDir / "tmp"))
        return;
    if (framework::isliveDir(baseDir / "tmp" / "kabukadb"))
        framework::CopyZDirectory(baseDir / "tmp" / "kabukadb", p.dataDir, "kabukadb");
    framework::DeleteZDirectory(baseDir / "tmp");
}

// ---- the scale table ----

bool plainIdentifier(const std::string& name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            return false;
    return true;
}

void loadScaleTable(AppContext& ctx) {
    std::vector<std::pair<std::string, std::string>> tables;
    std::string encoding = "UTF-8";
    {
        ZSqlElement file;
        if (framework::SQL_Open(file, ctx.paths.graphdataFile) == 0) {
            framework::SQL_exec(file, kCreateScaleSql);
            SQLList rows;
            framework::SQL_exec(file, "SELECT * FROM sqlite_master WHERE type='table';", rows);
            for (const auto& r : rows.rows)
                tables.emplace_back(r.value("name"), r.value("sql"));
            SQLList enc;
            if (framework::SQL_exec(file, "pragma encoding;", enc) == 0 && !enc.empty())
                encoding = enc.rows[0].value("encoding");
        }
    }
    ZSqlElement& mem = ctx.scaleDb;
    if (framework::SQL_Open(mem, ":memory:") != 0)
        return;
    if (encoding == "UTF-8" || encoding == "UTF-16le" || encoding == "UTF-16be" || encoding == "UTF-16")
        framework::SQL_exec(mem, "pragma encoding ='" + encoding + "';");
    SQLList none;
    SQLListRow path;
    path.add(SQLListElement::text("path", ctx.paths.graphdataFile));
    if (framework::SQL_exec(mem, "ATTACH ? as filedb;", none, path) != 0) {
        framework::SQL_exec(mem, kCreateScaleSql);
        return;
    }
    for (const auto& [name, sql] : tables) {
        // A crafted file must not run SQL of its own: plain names and table definitions only.
        if (name == "usertable" || !plainIdentifier(name) || sql.rfind("CREATE TABLE", 0) != 0)
            continue;
        if (framework::SQL_exec(mem, sql) == 0)
            framework::SQL_exec(mem, "insert into \"" + name + "\" select * from filedb.\"" + name + "\"");
    }
    framework::SQL_exec(mem, "DETACH filedb;");
    framework::SQL_exec(mem, kCreateScaleSql);  // when the file could not be read
}

void writeBackScaleTable(AppContext& ctx) {
    if (!ctx.scaleDb.isOpen())
        return;
    {
        ZSqlElement file;
        if (framework::SQL_Open(file, ctx.paths.graphdataFile) != 0)
            return;
        framework::SQL_exec(file, kCreateScaleSql);
        framework::SQL_exec(file, "DELETE FROM 'graphdata_tb';");
    }
    SQLList none;
    SQLListRow path;
    path.add(SQLListElement::text("path", ctx.paths.graphdataFile));
    if (framework::SQL_exec(ctx.scaleDb, "ATTACH ? as filedb;", none, path) != 0)
        return;
    framework::SQL_exec(ctx.scaleDb, "insert into filedb.graphdata_tb select * from graphdata_tb");
    framework::SQL_exec(ctx.scaleDb, "DETACH filedb;");
    framework::SQL_Close(ctx.scaleDb);
}

}  // namespace

std::string applicationRoot() {
    const char* appdata = std::getenv("TAVORA_APPDATA");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    if (appdata && *appdata)
        base = appdata;
    else if (xdg && *xdg)
        base = xdg;
    else
        base = fs::path(home && *home ? home : "/tmp") / ".local" / "share";
    return (base / kAppTitle).string();
}

bool createApplicationRoot(const std::string& root) {
    std::error_code ec;
    fs::create_directories(fs::path(root).parent_path(), ec);
    return framework::CreateZDirectory(root, 0700) && framework::isliveDir(root);
}

void runStartupBeforeWindow(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress) {
    AppPaths& p = ctx.paths;
    fillPaths(p, applicationRoot());
    // Step 7, in its order.
    framework::CreateZDirectory(p.dataDir);
    framework::CreateZDirectory(p.priceDbDir);
    migratePendingPriceDb(p);
    market::PriceDatabase::open(ctx.priceDb, p.priceDbDir);
    framework::CreateZDirectory(p.backupDir);
    framework::DeleteZDirectory(p.tmpDir);  // nothing of an earlier run survives
    framework::CreateZDirectory(p.tmpDir);
    framework::CreateZDirectory(p.csvWorkDir);
    framework::CreateZDirectory(p.logDir);
    // Step 8.
    if (log.Open(p.logDbFile, p.logTxtFile) == 0) {
        log.CreateLogDb();
        log.DeleteLogsUpTo(framework::GetDayOfDifferMonth(framework::todayDate(), -3));
    }
    log.UpdLog(framework::ZLog::kStartBanner);
    log.WriteLogTxt();
    // Step 10.
    for (const auto& dir : {p.masterDir, p.marketDayDir, p.codeDir, p.ctrlDir, p.othersDir, p.updaterDir})
        framework::CreateZDirectory(dir);
    // A first start has no reference files or prices yet: take the ones that ship.
    const auto installed = installBundledData(ctx);
    if (!installed.ok())
        log.UpdLog(installed.errorText());
    // Steps 11 and 12.
    loadScaleTable(ctx);
    loadSettings(ctx);
    progress.percent(30);
}

void runStartupAfterWindow(AppContext& ctx, framework::ZLog& log) {
    for (const auto& line : LoadCodeListStep(ctx))
        log.UpdLog(line);
    // Step 21: bunseki.db seeded from bunseki.csv, then the analysis definitions loaded.
    const auto seeded = analysis::SeedBunsekiTable(ctx.paths.bunsekiCsv, ctx.paths.bunsekiDb, ctx.bunsekiList);
    if (!seeded.ok)
        log.UpdLog(seeded.error);
    BuildCatalogueStep(ctx);
    MakeFirstEntryCurrentStep(ctx);
    for (const auto& line : AttachSplitsStep(ctx))
        log.UpdLog(line);
    log.WriteLogTxt();
}

void storeCodeScale(AppContext& ctx) {
    if (!ctx.currentCode || *ctx.currentCode >= ctx.catalogue.size() || !ctx.scaleDb.isOpen())
        return;
    const auto& s = ctx.scale;
    std::vector<std::string> values;
    for (std::size_t p = 0; p < 4; ++p) {
        values.push_back(std::to_string(s.pitch[p]));
        values.push_back(std::to_string(s.tick[p]));
    }
    for (int grid : s.fixedGrid)
        values.push_back(std::to_string(grid));
    SQLListRow params;
    params.add(SQLListElement::text("code", ctx.catalogue[*ctx.currentCode].code));
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& v : values)
            params.add(SQLListElement::text("v", v));
    SQLList none;
    framework::SQL_exec(ctx.scaleDb, kUpsertScaleSql, none, params);
}

void storeSetting(const AppContext& ctx, const std::string& key, const std::string& value) {
    ZSqlElement db;
    if (!openSettings(ctx, db))
        return;
    framework::SQL_exec(db, kCreateSettingsSql);  // fails harmlessly when it exists
    replaceRows(db, {{key, value}});
}

void runShutdownSaves(AppContext& ctx, framework::ZLog& log) {
    log.UpdLog(framework::ZLog::kEndBanner);
    log.WriteLogTxt();
    ZSqlElement db;
    if (openSettings(ctx, db)) {
        framework::SQL_exec(db, kCreateSettingsSql);
        std::vector<std::pair<std::string, std::string>> rows;
        if (const auto& r = ctx.settings.windowRect) {
            const int parts[] = {r->left, r->top, r->right, r->bottom};
            for (int i = 0; i < 4; ++i)
                rows.emplace_back(kWindowKeys[i], std::to_string(parts[i]));
        }
        for (const auto& key : exitKeys())
            rows.emplace_back(key.name, writeKey(ctx.settings, key));
        replaceRows(db, rows);
    }
    storeCodeScale(ctx);
    writeBackScaleTable(ctx);
}

void removeTemporaryDirectory(const AppContext& ctx) {
    if (!ctx.paths.tmpDir.empty())
        framework::DeleteZDirectory(ctx.paths.tmpDir);
}

void writeEndSessionBanner(framework::ZLog& log) {
    log.UpdLog(framework::ZLog::kEndSessionBanner);
    log.WriteLogTxt();
}

}  // namespace tavora::app
