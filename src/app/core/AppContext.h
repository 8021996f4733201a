#pragma once
// The application context: the one object through which every subsystem reaches the data
// directories, the open databases, the catalogue, the analysis definitions, the chart
// settings and the server accounts. Built once at start-up and owned by the UI thread;
// workers get what they need handed to them. Only PendingUpdate may be touched by another
// thread (the update check writes it).
#include "analysis/BunsekiElement.h"
#include "annotations/ChartDocument.h"
#include "chart/CodeScale.h"
#include "framework/Sql.h"
#include "market/CodeList.h"
#include "market/PriceJobGuard.h"
#include "settings/Settings.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavora::framework {
class TlsContext;
}
namespace tavora::acquisition {
class DataSession;
class UpdateCheck;
}  // namespace tavora::acquisition

namespace tavora::app {

inline constexpr const char* kAppTitle = "Tavora";
inline constexpr const char* kVersionText = "Ver1.7.6";
inline constexpr const char* kUntitledDocumentName = "無題.tvrd";

// Every directory and file below the application root. "/" separates every path.
struct AppPaths {
    std::string root;          // <roaming>/Tavora
    std::string dataDir;       // root/data
    std::string priceDbDir;    // root/data/kabukadb
    std::string backupDir;     // root/data/buckup
    std::string tmpDir;        // root/tmp (emptied at every start, deleted at exit)
    std::string csvWorkDir;    // root/tmp/createcsv
    std::string logDir;        // root/log
    std::string logDbFile;     // root/log/log.zfc
    std::string logTxtFile;    // root/log/log.txt
    std::string masterDir;     // root/tvmaster
    std::string marketDayDir;  // root/marketday
    std::string codeDir;       // root/data/code
    std::string ctrlDir;       // root/ctrl
    std::string othersDir;     // root/others
    std::string updaterDir;    // root/uploader

    std::string priceDbFile;     // priceDbDir/kabuka.db
    std::string bunkatsuCsv;     // othersDir/bunkatsudata.csv
    std::string codeInfoCsv;     // othersDir/code_info.csv (downloaded code list)
    std::string codeListInUse;   // code_info.csv, or the user's own list (settings)
    std::string bunsekiCsv;      // othersDir/bunseki.csv
    std::string bunsekiDb;       // root/bunseki.db
    std::string fileOpenHisDb;   // root/fileopenhis.db
    std::string setteiDb;        // root/settei.db
    std::string graphdataFile;   // root/graphdata.tvd
    std::string documentName;    // the current chart document's name ("無題.tvrd" at first)
    std::string documentPath;    // the current chart document's path (tmpDir/無題.tvrd at first)
};

// A login on the reference-data server.
struct ServerAccount {
    std::string user;
    std::string password;
    std::string host;
    std::string port;
};

// The names of the files the update check found newer; empty while none was found.
// Written by the update-check thread, read by the UI thread.
class PendingUpdate {
public:
    void set(std::string text) {
        std::lock_guard lock(m_mutex);
        m_text = std::move(text);
    }
    std::string text() const {
        std::lock_guard lock(m_mutex);
        return m_text;
    }
    bool empty() const {
        std::lock_guard lock(m_mutex);
        return m_text.empty();
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

// The 34 sector names the code-list files carry: "指数" first, then the 33 TSE sectors.
const std::vector<std::string>& sectorNames();

struct AppContext {
    AppContext();  // the defaults: empty paths, today's date anchors, the accounts
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    std::string appTitle = kAppTitle;
    std::string versionText = kVersionText;
    std::string commandLine;  // the document path given on the command line, if any
    AppPaths paths;

    // Open connections, held from start-up to exit.
    framework::ZSqlElement priceDb;  // kabuka.db
    framework::ZSqlElement scaleDb;  // in-memory copy of graphdata.tvd
    // One price-database job at a time (download, registration, backup, restore, per-code
    // import, companion merge), and the readers a restore waits for.
    market::PriceJobGuard priceJobs;

    // The catalogue: the list shown and navigated, the list read from the code-list file and
    // a working copy. The current code is an index into `catalogue` (none until start-up
    // makes the first entry current).
    market::CodeList catalogue;
    market::CodeList csvCodeList;
    market::CodeList workCodeList;
    std::optional<std::size_t> currentCode;
    // The analysis-graph definitions (bunseki.db).
    analysis::BunsekiList bunsekiList;

    // Chart settings and flags as loaded from settei.db (defaults until then).
    settings::Settings settings;
    // The scale of each period shown now, and the four fixed grid intervals.
    chart::CodeScale scale;
    // The open chart document (annotations, favourites, undo history; app/core/DocumentSteps.h).
    annotations::ChartDocument document;

    // Date anchors ("YYYY-MM-DD"), taken when the context is built: today, and the day after
    // the same date one year ago (the earliest first day of a KABU+ download range).
    std::string today;
    std::string oneYearAgoNextDay;

    ServerAccount updateAccount;  // "up.tavora"
    ServerAccount dataAccount;    // "tavoradata"
    PendingUpdate pendingUpdate;
    bool updateOnExit = false;  // set by the help tab's software-update command

    // The reference-data server (app/core/ReferenceStartup.h): the TLS client context (from
    // start-up step 17 to shutdown), the session kept open for the program's life, and the
    // update check's thread.
    std::shared_ptr<framework::TlsContext> tlsContext;
    std::shared_ptr<acquisition::DataSession> dataSession;
    std::shared_ptr<acquisition::UpdateCheck> updateCheck;

    std::string noticeText;  // the rights and disclaimer text of the version dialog
};

}  // namespace tavora::app
