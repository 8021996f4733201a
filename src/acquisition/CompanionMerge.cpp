#include "acquisition/CompanionMerge.h"

#include "framework/Files.h"
#include "framework/SqlInterrupt.h"

#include <sqlite3.h>

namespace tavora::acquisition {

using framework::SQL_exec;
using framework::ZSqlElement;

namespace {

bool isAttached(ZSqlElement& db, const char* alias) {
    framework::SqlStatement list(db, "PRAGMA database_list;");
    if (!list.ok())
        return false;
    while (list.step() == SQLITE_ROW)
        if (list.columnText(1) == alias) // seq, name, file
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
    framework::setSqlResult(db, rc, attach.error());
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
    auto failed = [&result](std::string where) {
        result.outcome = framework::Failure::untranslated(std::move(where));
        return result;
    };
    if (!db.isOpen())
        return failed("BEGIN IMMEDIATE error: the price database is not open");
    setMergePragmas(db);
    // A companion left attached by an interrupted earlier merge would make the ATTACH fail.
    if (isAttached(db, kCompanionAlias))
        SQL_exec(db, "DETACH DATABASE moravel;");
    bool succeeded = false;
    {
        framework::SqlTransaction transaction(db, "BEGIN IMMEDIATE;");
        if (!transaction.active()) {
            const std::string error = db.lastError();
            restorePragmas(db);
            return failed("BEGIN IMMEDIATE error: " + error);
        }
        if (attachReadOnly(db, companionDatabase) != 0) {
            const std::string error = db.lastError();
            transaction.rollback();
            restorePragmas(db);
            return failed("ATTACH DATABASE error: " + error);
        }
        const char* failedStep = "INSERT error: ";
        {
            framework::SqlInterruptScope interruptible(db.handle(), cancel);
            framework::SqlStatement copy(db, kCompanionCopySql); // a failed prepare is recorded on db
            if (copy.ok()) {
                const int rc = copy.step();
                succeeded = rc == SQLITE_DONE;
                if (!succeeded)
                    framework::setSqlResult(db, rc, copy.error());
            }
            result.cancelled = interruptible.interrupted();
        }
        if (succeeded) {
            result.rowsAdded = sqlite3_changes64(db.handle());
            failedStep = "COMMIT error: ";
            succeeded = transaction.commit() == SQLITE_OK;
        }
        if (!succeeded) {
            const std::string error = failedStep + db.lastError();
            result.rowsAdded = 0;
            transaction.rollback();
            SQL_exec(db, "DETACH DATABASE moravel;");
            restorePragmas(db);
            return failed(error);
        }
    }
    // Detached before anything else runs on the connection, so nothing reaches the companion.
    if (SQL_exec(db, "DETACH DATABASE moravel;") != 0)
        result.outcome = framework::Failure::untranslated("DETACH DATABASE error: " + db.lastError());
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
    r.status = merged.outcome;
    r.rowsAdded = merged.rowsAdded;
    r.cancelled = merged.cancelled;
    return r;
}

} // namespace tavora::acquisition
