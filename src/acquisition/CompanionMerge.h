#pragma once
// Taking the companion's price warehouse over: every daily row of its table `sync_kabukadb`
// that our `kabukadb` does not hold yet is copied in one transaction; rows we hold keep their
// values. The companion's file is attached read-only and never written. Runs on the thread
// that owns the price connection it is given.
#include "acquisition/CompanionPaths.h"
#include "framework/Result.h"
#include "framework/Sql.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tavora::acquisition {

inline constexpr const char* kCompanionAlias = "moravel";
// The copy, as the companion's schema expects it.
inline constexpr const char* kCompanionCopySql = "\n"
                                                 "        INSERT OR IGNORE INTO main.kabukadb (code, date, "
                                                 "open, high, low, close, volume)\n"
                                                 "        SELECT code, date, open, high, low, close, volume\n"
                                                 "        FROM moravel.sync_kabukadb\n"
                                                 "    ";

struct MergeResult {
    // A failure says where, one of "BEGIN IMMEDIATE error: ", "ATTACH DATABASE error: ",
    // "INSERT error: ", "COMMIT error: ", "DETACH DATABASE error: ", and SQLite's message (one
    // text for both languages).
    framework::Result<> outcome;
    std::int64_t rowsAdded = 0; // rows the copy stored (0 unless committed)
    bool cancelled = false;     // the cancel flag stopped the copy; nothing was kept

    bool ok() const { return outcome.ok(); }
};

// "file:<path, percent-encoded>?mode=ro": the companion's file opened read-only, whatever
// characters its path holds.
std::string readOnlyUri(const std::string& path);

// Attaches the companion database (bound, read-only), copies the missing rows and detaches
// it again; on any failure the transaction is rolled back and nothing of the copy is kept.
// The price database keeps its on-disk journal throughout. `cancel` (optional), raised
// during the copy, stops it the same way.
MergeResult MergeMoravelWarehouse(framework::ZSqlElement& priceDb, const std::string& companionDatabase,
                                  const std::atomic<bool>* cancel = nullptr);

enum class SyncOutcome {
    Merged,      // the merge ran and committed
    NoCompanion, // the companion database does not exist
    Updating,    // the companion is writing its database (busy marker present)
    Failed,      // the merge failed (status says where)
    Refused,     // another price-database job runs (status says which)
};

struct SyncResult {
    SyncOutcome outcome = SyncOutcome::Failed;
    // Failed: the merge's failure; Refused: the status text naming the running job, with its
    // English for tavora-cli. Success otherwise.
    framework::Result<> status;
    std::int64_t rowsAdded = 0;
    std::string companionDatabase;
    bool cancelled = false; // Failed because the cancel flag stopped the merge

    bool merged() const { return outcome == SyncOutcome::Merged; }
};

// The merge when the companion database exists and its busy marker does not.
SyncResult SyncFromMoravel(framework::ZSqlElement& priceDb, const CompanionPaths& paths,
                           const std::atomic<bool>* cancel = nullptr);

} // namespace tavora::acquisition
