#pragma once
// Backup and restore of the price database folder (data/kabukadb, holding "kabuka.db").
//
// A backup is a subdirectory of the backup folder named by the local time to the second,
// "YYYY-MM-DD_HH-MM-SS" (a second backup within the same second gets "_001", "_002", ... so
// names stay unique and sort in the order they were made). It is written with SQLite's online
// backup into a hidden partial folder and renamed into place only when complete; after a
// successful backup the oldest backups are removed until kMaxPriceBackups remain. A failed
// backup removes nothing.
//
// A restore copies the chosen backup beside the live folder, checks the copy (it opens,
// "PRAGMA quick_check" says ok, table kabukadb exists), then swaps it with the live folder in
// one atomic exchange, opens it, and only then removes the old copy. On any failure the old
// database is put back (or was never moved): the live folder is never absent or half written.
//
// Every function here may run on a worker thread. The caller holds a price-job ticket
// (market/PriceJobGuard.h) for the whole run; progress goes to the sink, `cancel` (optional)
// is read between copy steps. No connection of the caller is touched: a caller that keeps its
// own connection to the live database closes it before a restore and opens it again after
// (market::PriceDatabase::open), whatever the result.
#include "framework/Progress.h"
#include "framework/Result.h"
#include "market/PriceJobGuard.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace tavora::acquisition {

inline constexpr std::size_t kMaxPriceBackups = 8;

// The live price database folder (the one the program opened) and the backup folder.
struct PriceBackupPlaces {
    std::string priceDbDir;
    std::string backupDir;
};

struct PriceBackupResult {
    // A failure holds why: a path with the system's or SQLite's text, the same in both
    // languages (the window shows it after the status text, tavora-cli after its own words).
    framework::Result<> outcome;
    bool cancelled = false;
    std::string name;                // the backup made (or restored)
    std::vector<std::string> pruned; // backups removed to keep at most kMaxPriceBackups
    std::string statusText;          // what the user is shown at the end
    bool liveIntact = true;          // false: a failed restore could not put the old prices back

    bool ok() const { return outcome.ok(); }
};

// Status texts.
inline constexpr const char* kBackupRunningText = "バックアップ作成中";
inline constexpr const char* kBackupDoneText = "バックアップを作成しました";
inline constexpr const char* kBackupFailedText = "バックアップを作成できませんでした";
inline constexpr const char* kRegistrationStoppedText =
    "バックアップを作成できなかったため、データ登録を中止しました。";
inline constexpr const char* kRestoreRunningText = "データを復元中";
inline constexpr const char* kRestoreStoppedText =
    "現在のデータのバックアップを作成できなかったため、復元を中止しました。";

// The name a backup made at `now` gets, given the names that exist: the second's name, or it
// with the next free "_NNN" suffix when that second is taken.
std::string nextBackupName(std::chrono::system_clock::time_point now,
                           const std::vector<std::string>& existing);
// True for a name of the form "YYYY-MM-DD_HH-MM-SS" with an optional "_NNN".
bool isBackupName(const std::string& name);
// The backups in the folder, newest first (by name).
std::vector<std::string> ListPriceBackups(const std::string& backupDir);

// Makes one backup of the live database and prunes the oldest beyond eight.
PriceBackupResult
CreatePriceBackup(const PriceBackupPlaces& places, framework::ProgressSink& sink,
                  const std::atomic<bool>* cancel = nullptr,
                  std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// The backup a registration makes before it writes: as CreatePriceBackup, but a failure's
// status text says that the registration was stopped. The registration must not write when
// the result is not ok.
PriceBackupResult BackupBeforeRegistration(const PriceBackupPlaces& places, framework::ProgressSink& sink,
                                           const std::atomic<bool>* cancel = nullptr);

// The backup a restore makes of the live database before it replaces it with `restoring`: as
// CreatePriceBackup, but the pruning never removes `restoring` (it may be the oldest of eight),
// and a failure's status text says that the restore was stopped. The restore must not go on
// when the result is not ok.
PriceBackupResult
BackupBeforeRestore(const PriceBackupPlaces& places, const std::string& restoring,
                    framework::ProgressSink& sink, const std::atomic<bool>* cancel = nullptr,
                    std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// A backup's name as a date and time for the user: "2026-12-09 10:00:00", with " (2)", " (3)",
// ... for the further backups of one second; a name of another form unchanged.
std::string backupDateText(const std::string& name);

// Replaces the live database with backup `name` (one of ListPriceBackups). `ticket` is the
// caller's restore ticket: readers are kept out while the folders are swapped.
PriceBackupResult RestorePriceBackup(const PriceBackupPlaces& places, const std::string& name,
                                     market::PriceJobGuard::Ticket& ticket, framework::ProgressSink& sink,
                                     const std::atomic<bool>* cancel = nullptr);

// Log lines of TidyInterruptedPriceWork, each followed by the folder's path.
inline constexpr const char* kLeftoverRemovedLog = "中断された作業の残りを削除しました_";
inline constexpr const char* kLeftoverNotRemovedLog = "中断された作業の残りを削除できませんでした_";
inline constexpr const char* kLeftoverPutBackLog = "中断された復元の前の株価データを戻しました_";
inline constexpr const char* kLeftoverNotPutBackLog = "中断された復元の前の株価データを戻せませんでした_";

// What a backup or restore cut short (a crash, a kill) leaves, tidied at start-up while the
// data folder's lock is held and before the price database is opened: partial backup
// folders (".partial-*") and a restore's staging copy (".kabukadb.restoring") are removed;
// the old database folder a restore set aside (".kabukadb.previous") is put back when the
// live folder is missing (the restore stopped between its two renames), else removed. One
// log line per folder; empty when nothing was left.
std::vector<std::string> TidyInterruptedPriceWork(const PriceBackupPlaces& places);

} // namespace tavora::acquisition
