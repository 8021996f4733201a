#include "annotations/RecentFiles.h"

#include "annotations/DocumentSchema.h"
#include "framework/Files.h"
#include "framework/Sql.h"

#include <sqlite3.h>

namespace tavora::annotations {

using framework::SqlStatement;
using framework::ZSqlElement;

namespace {
bool openTable(ZSqlElement& db, const std::string& path) {
    return framework::SQL_Open(db, path) == 0 && framework::SQL_exec(db, kCreateFileOpenSql) == 0;
}
} // namespace

bool RecentFiles::record(const std::string& documentPath, std::int64_t time) const {
    ZSqlElement db;
    if (!openTable(db, m_path))
        return false;
    SqlStatement st(db, "REPLACE INTO 'fileopentb' (path,time) VALUES (?,?);");
    return st.ok() && st.bindText(1, documentPath) == SQLITE_OK && st.bindInt64(2, time) == SQLITE_OK &&
           st.step() == SQLITE_DONE;
}

std::vector<std::string> RecentFiles::list() const {
    std::vector<std::string> paths;
    ZSqlElement db;
    if (!openTable(db, m_path))
        return paths;
    // Entries whose files are gone are passed over, so the list still shows five when older
    // entries exist.
    SqlStatement st(db, "SELECT path FROM fileopentb WHERE path IS NOT NULL ORDER BY time DESC;");
    while (st.ok() && paths.size() < kRecentFilesShown && st.step() == SQLITE_ROW) {
        std::string path = st.columnText(0);
        if (framework::isliveFile(path))
            paths.push_back(std::move(path));
    }
    return paths;
}

} // namespace tavora::annotations
