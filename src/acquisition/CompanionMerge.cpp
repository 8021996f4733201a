#include "acquisition/CompanionMerge.h"

#include "framework/Files.h"
#include "framework/SqlInterrupt.h"

#include <sqlite3.h>

namespace tavora::acquisition {

using framework::SQL_exec;
using framework::ZSqlElement;

namespace {

bool isAttached(ZSqlElement& db, const char* alias) {
    framework::SQLList rows;
    rows.columns = {"name"};
    if (SQL_exec(db, "PRAGMA database_list;", rows) != 0)
        return false;
    for (const auto& r : rows.rows)
        if (r.value("name") == alias)
            return true;
    return false;
}

int attachReadOnly(ZSqlElement& db, const std::string& path) {
    framework::SqlStatement attach(db, "ATTACH DATABASE ? AS moravel;");
    if (!attach.ok())
        return db.lastResult() != 0 ? db.lastResult() : SQLITE_ERROR;
    attach.bindText(1, readOnlyUri(path));
    const int rc = attach.step();
    if (rc == SQLITE_DONE)
        return 0;
    framework::setSqlResult(db, rc, sqlite3_errmsg(db.handle()));
    return rc;
}

// Temporary tables and indexes of the copy stay in memory; the journal stays on disk.
void setMergePragmas(ZSqlElement& db) {
    SQL_exec(db, "PRAGMA temp_store = MEMORY;");
}
void restorePragmas(ZSqlElement& db) {
    SQL_exec(db, "PRAGMA temp_store = DEFAULT;");
}

} // namespace

std::string readOnlyUri(const std::string& path) {
    static const char* const hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?mode=ro";
}

MergeResult MergeMoravelWarehouse(ZSqlElement& db, const std::string& companionDatabase,
                                  const std::atomic<bool>* cancel) {
    MergeResult result;
    if (!db.isOpen()) {
        result.error = "BEGIN IMMEDIATE error: the price database is not open";
        return result;
    }
    setMergePragmas(db);
    // A companion left attached by an interrupted earlier merge would make the ATTACH fail.
    if (isAttached(db, kCompanionAlias))
        SQL_exec(db, "DETACH DATABASE moravel;");
    if (SQL_exec(db, "BEGIN IMMEDIATE;") != 0) {
        result.error = "BEGIN IMMEDIATE error: " + db.lastError();
        restorePragmas(db);
        return result;
    }
    if (attachReadOnly(db, companionDatabase) != 0) {
        result.error = "ATTACH DATABASE error: " + db.lastError();
        SQL_exec(db, "ROLLBACK;");
        restorePragmas(db);
        return result;
    }
    auto failAttached = [&](const char* prefix) {
        result.error = prefix + db.lastError();
        result.rowsAdded = 0;
        SQL_exec(db, "ROLLBACK;");
        SQL_exec(db, "DETACH DATABASE moravel;");
        restorePragmas(db);
        return result;
    };
    bool copied;
    {
        framework::SqlInterruptScope interruptible(db.handle(), cancel);
        copied = SQL_exec(db, kCompanionCopySql) == 0;
        result.cancelled = interruptible.interrupted();
    }
    if (!copied)
        return failAttached("INSERT error: ");
    result.rowsAdded = sqlite3_changes64(db.handle());
    if (SQL_exec(db, "COMMIT;") != 0)
        return failAttached("COMMIT error: ");
    // Detached before anything else runs on the connection, so nothing reaches the companion.
    if (SQL_exec(db, "DETACH DATABASE moravel;") != 0)
        result.error = "DETACH DATABASE error: " + db.lastError();
    restorePragmas(db);
    return result;
}

SyncResult SyncFromMoravel(ZSqlElement& priceDb, const CompanionPaths& paths, const std::atomic<bool>* cancel) {
    SyncResult r;
    r.companionDatabase = paths.database;
    if (!framework::isliveFile(paths.database)) {
        r.outcome = SyncOutcome::NoCompanion;
        return r;
    }
    if (std::filesystem::exists(paths.busyMarker)) {
        r.outcome = SyncOutcome::Updating;
        return r;
    }
    const MergeResult merged = MergeMoravelWarehouse(priceDb, paths.database, cancel);
    r.outcome = merged.ok() ? SyncOutcome::Merged : SyncOutcome::Failed;
    r.error = merged.error;
    r.rowsAdded = merged.rowsAdded;
    r.cancelled = merged.cancelled;
    return r;
}

} // namespace tavora::acquisition
