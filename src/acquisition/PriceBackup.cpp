#include "acquisition/PriceBackup.h"

#include "framework/Files.h"
#include "framework/FolderSwap.h"
#include "framework/ShownText.h"
#include "framework/Sql.h"
#include "framework/SqlInterrupt.h"
#include "market/PriceDatabase.h"
#include "market/PriceSchema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace tavora::acquisition {

namespace fs = std::filesystem;

namespace {

// Pages copied per online-backup step: small enough for a lively progress bar and a prompt
// cancel, large enough that the steps cost nothing.
constexpr int kBackupStepPages = 4096;
constexpr std::size_t kCopyChunk = std::size_t{1} << 20;
constexpr const char* kPartialPrefix = ".partial-";

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

using framework::Result;

// The reasons here are a path with the system's or SQLite's text, the same in both languages.
framework::Failure failure(std::string why) {
    return framework::Failure::untranslated(std::move(why));
}
framework::Failure systemFailure(const fs::path& path) {
    return failure(path.string() + ": " + std::strerror(errno));
}

// Opens a file of the backup or the restore.
Result<> openConnection(framework::ZSqlElement& db, const fs::path& path, framework::SqlOpenMode mode) {
    if (framework::SQL_Open(db, path.string(), mode) != SQLITE_OK)
        return failure(path.string() + ": " + db.lastError());
    return {};
}

bool isSqliteSideFile(const std::string& name) {
    const std::string db = market::kPriceDbFileName;
    return name == db + "-journal" || name == db + "-wal" || name == db + "-shm";
}

// Copies the live database into `destination` page by page through SQLite, so the copy is
// consistent even if another connection has it open.
Result<> copyDatabase(const fs::path& source, const fs::path& destination, framework::ProgressSink& sink,
                      const std::atomic<bool>* cancel, bool& wasCancelled) {
    if (!framework::isliveFile(source))
        return failure(source.string() + ": the price database does not exist");
    framework::ZSqlElement from, to;
    // Read-write (never create): a journal left by a crash can then be rolled back first.
    if (auto opened = openConnection(from, source, framework::SqlOpenMode::ReadWrite); !opened)
        return opened;
    if (auto opened = openConnection(to, destination, framework::SqlOpenMode::Create); !opened)
        return opened;
    framework::SQL_exec(from, "PRAGMA mmap_size=1073741824;"); // fewer reads
    // The copy is a new file in a partial folder that is thrown away on any failure, so it needs
    // no journal and no syncs of its own; it is flushed once when complete.
    framework::SQL_exec(to, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup)
        return failure(destination.string() + ": " + sqlite3_errmsg(to.handle()));
    int rc = SQLITE_OK;
    while (true) {
        if (cancelled(cancel)) {
            wasCancelled = true;
            break;
        }
        rc = sqlite3_backup_step(backup, kBackupStepPages);
        const int total = sqlite3_backup_pagecount(backup);
        if (total > 0)
            sink.percent(static_cast<int>(100LL * (total - sqlite3_backup_remaining(backup)) / total));
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        if (rc != SQLITE_OK)
            break;
    }
    const int finish = sqlite3_backup_finish(backup);
    if (wasCancelled)
        return failure("cancelled");
    if (rc != SQLITE_DONE || finish != SQLITE_OK)
        return failure(destination.string() + ": " + sqlite3_errstr(rc != SQLITE_DONE ? rc : finish));
    if (framework::SQL_Close(to) != SQLITE_OK)
        return failure(destination.string() + ": " + to.lastError());
    if (!framework::SyncZPath(destination))
        return systemFailure(destination);
    return {};
}

// Copies one file in chunks, flushed to disk; `copied` counts the bytes for the progress.
Result<> copyFile(const fs::path& from, const fs::path& to, std::uint64_t& copied, std::uint64_t total,
                  framework::ProgressSink& sink, const std::atomic<bool>* cancel, bool& wasCancelled) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return systemFailure(from);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        Result<> why = systemFailure(to);
        ::close(in);
        return why;
    }
    Result<> why;
    std::vector<char> buffer(kCopyChunk);
    while (why) {
        if (cancelled(cancel)) {
            wasCancelled = true;
            why = failure("cancelled");
            break;
        }
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            why = systemFailure(from);
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                why = systemFailure(to);
                break;
            }
            done += put;
        }
        copied += static_cast<std::uint64_t>(got);
        if (total > 0)
            sink.percent(static_cast<int>(copied * 90 / total));
    }
    if (why && ::fsync(out) != 0)
        why = systemFailure(to);
    if (::close(out) != 0 && why)
        why = systemFailure(to);
    ::close(in);
    return why;
}

// Copies a folder with everything below it (regular files and folders).
Result<> copyTree(const fs::path& from, const fs::path& to, framework::ProgressSink& sink,
                  const std::atomic<bool>* cancel, bool& wasCancelled) {
    std::error_code ec;
    std::uint64_t total = 0;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            total += it->file_size(ec);
    if (ec)
        return failure(from.string() + ": " + ec.message());
    if (!framework::CreateZDirectory(to, 0700))
        return failure(to.string() + ": cannot create the folder");
    std::uint64_t copied = 0;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from);
        if (it->is_directory(ec)) {
            if (!framework::CreateZDirectory(target, 0700))
                return failure(target.string() + ": cannot create the folder");
        } else if (it->is_regular_file(ec)) {
            if (auto copiedFile = copyFile(it->path(), target, copied, total, sink, cancel, wasCancelled);
                !copiedFile)
                return copiedFile;
        }
    }
    if (ec)
        return failure(from.string() + ": " + ec.message());
    return {};
}

// The other files of the live folder (not the database and SQLite's own side files).
Result<> copyOtherFiles(const fs::path& from, const fs::path& to, framework::ProgressSink& sink,
                        const std::atomic<bool>* cancel, bool& wasCancelled) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == market::kPriceDbFileName || isSqliteSideFile(name))
            continue;
        Result<> why;
        if (it->is_directory(ec)) {
            why = copyTree(it->path(), to / name, sink, cancel, wasCancelled);
        } else if (it->is_regular_file(ec)) {
            std::uint64_t copied = 0;
            why = copyFile(it->path(), to / name, copied, 0, sink, cancel, wasCancelled);
        }
        if (!why)
            return why;
    }
    if (ec)
        return failure(from.string() + ": " + ec.message());
    return {};
}

// A database folder fit to be the live one: kabuka.db opens, passes quick_check, holds exactly
// the price table and its indexes (market/PriceSchema.h) and its rows can be read. `cancel`
// (optional) ends the check early, setting `wasCancelled`.
Result<> checkDatabaseFolder(const fs::path& dir, const std::atomic<bool>* cancel = nullptr,
                             bool* wasCancelled = nullptr) {
    const fs::path file = dir / market::kPriceDbFileName;
    if (!framework::isliveFile(file))
        return failure(std::string(market::kPriceDbFileName) + " is missing");
    framework::ZSqlElement db;
    if (auto opened = openConnection(db, file, framework::SqlOpenMode::ReadOnly); !opened)
        return opened;
    std::string verdict;
    {
        framework::SqlStatement check(db, "PRAGMA quick_check;");
        if (!check.ok())
            return failure("not a database: " + check.error());
        int rc;
        bool interrupted = false;
        {
            framework::SqlInterruptScope interruptible(db.handle(), cancel); // a big file takes a while
            rc = check.step();
            interrupted = interruptible.interrupted();
        }
        if (interrupted) {
            if (wasCancelled)
                *wasCancelled = true;
            return failure("cancelled");
        }
        verdict = rc == SQLITE_ROW ? check.columnText(0) : check.error();
    }
    if (verdict != "ok")
        return failure("the database is damaged (quick_check: " + framework::shownLine(verdict) +
                       ")"); // one line
    if (auto schema = market::checkPriceSchema(db); !schema)
        return schema;
    framework::SqlStatement read(db,
                                 "SELECT code, date, open, high, low, close, volume FROM kabukadb LIMIT 1;");
    if (!read.ok())
        return failure("no price table: " + read.error());
    const int rc = read.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return failure("the price table cannot be read: " + std::string(sqlite3_errstr(rc)));
    return {};
}

// The live folder after the swap: opens as the program opens it, and is still sound.
Result<> reopenLiveFolder(const fs::path& live) {
    framework::ZSqlElement db;
    if (market::PriceDatabase::open(db, live.string()) != 0)
        return failure("the restored database does not open: " + db.lastError());
    if (db.lastResult() != 0)
        return failure("the restored database cannot be prepared: " + db.lastError());
    framework::SQL_Close(db);
    return checkDatabaseFolder(live);
}

// The live folder's path without a trailing "/", and where a restore stages its copy beside it.
fs::path liveFolderOf(const PriceBackupPlaces& places) {
    fs::path live = fs::path(places.priceDbDir);
    if (!live.has_filename())
        live = live.parent_path();
    return live;
}
fs::path stagingPathOf(const fs::path& live) {
    return live.parent_path() / ("." + live.filename().string() + ".restoring");
}

void removeStalePartials(const fs::path& backupDir) {
    for (const auto& entry : framework::ListZDirectories(backupDir))
        if (entry.name.rfind(kPartialPrefix, 0) == 0)
            framework::DeleteZDirectory(entry.path);
}

// `keep` (when not empty) is never removed: the backup a restore is about to put in place.
std::vector<std::string> pruneOldBackups(const fs::path& backupDir, const std::string& keep) {
    std::vector<std::string> names = ListPriceBackups(backupDir.string());
    std::vector<std::string> removed;
    // Newest first: everything after the first kMaxPriceBackups goes, the oldest first.
    std::size_t left = names.size();
    for (std::size_t i = names.size(); i > 0 && left > kMaxPriceBackups; --i)
        if (names[i - 1] != keep && framework::DeleteZDirectory(backupDir / names[i - 1])) {
            removed.push_back(names[i - 1]);
            --left;
        }
    return removed;
}

std::string stampOf(std::chrono::system_clock::time_point now) {
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

bool digits(const std::string& s, std::size_t from, std::size_t count) {
    if (from + count > s.size())
        return false;
    return std::all_of(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

PriceBackupResult failed(PriceBackupResult result, Result<> why, std::string statusText) {
    result.outcome = std::move(why);
    result.statusText = std::move(statusText);
    return result;
}

} // namespace

bool isBackupName(const std::string& name) {
    // YYYY-MM-DD_HH-MM-SS[_NNN]
    if (name.size() != 19 && name.size() != 23)
        return false;
    static constexpr struct {
        std::size_t at;
        char c;
    } seps[] = {{4, '-'}, {7, '-'}, {10, '_'}, {13, '-'}, {16, '-'}};
    for (const auto& s : seps)
        if (name[s.at] != s.c)
            return false;
    for (std::size_t at : {0, 5, 8, 11, 14, 17})
        if (!digits(name, at, at == 0 ? 4 : 2))
            return false;
    return name.size() == 19 || (name[19] == '_' && digits(name, 20, 3));
}

std::string nextBackupName(std::chrono::system_clock::time_point now,
                           const std::vector<std::string>& existing) {
    const std::string base = stampOf(now);
    int highest = -1; // -1: the second is free
    for (const auto& name : existing) {
        if (name.compare(0, base.size(), base) != 0 || !isBackupName(name))
            continue;
        const int suffix = name.size() == base.size() ? 0 : std::atoi(name.c_str() + base.size() + 1);
        highest = std::max(highest, suffix);
    }
    if (highest < 0)
        return base;
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "_%03d", std::min(highest + 1, 999));
    return base + suffix;
}

std::vector<std::string> ListPriceBackups(const std::string& backupDir) {
    std::vector<std::string> names;
    for (const auto& entry : framework::ListZDirectories(backupDir, false))
        if (isBackupName(entry.name))
            names.push_back(entry.name);
    return names;
}

namespace {

PriceBackupResult createBackup(const PriceBackupPlaces& places, framework::ProgressSink& sink,
                               const std::atomic<bool>* cancel, std::chrono::system_clock::time_point now,
                               const std::string& keep) {
    PriceBackupResult result;
    sink.status(kBackupRunningText);
    sink.percent(0);
    const fs::path backupDir = places.backupDir;
    if (!framework::CreateZDirectory(backupDir))
        return failed(result, failure(backupDir.string() + ": cannot create the backup folder"),
                      kBackupFailedText);
    removeStalePartials(backupDir);
    result.name = nextBackupName(now, ListPriceBackups(places.backupDir));
    if (framework::isliveDir(backupDir / result.name)) // the 999th backup of one second
        return failed(result, failure(result.name + ": a backup of that name exists"), kBackupFailedText);
    const fs::path partial = backupDir / (kPartialPrefix + result.name);
    if (!framework::CreateZDirectory(partial, 0700))
        return failed(result, failure(partial.string() + ": cannot create the folder"), kBackupFailedText);

    bool wasCancelled = false;
    Result<> copied = copyDatabase(fs::path(places.priceDbDir) / market::kPriceDbFileName,
                                   partial / market::kPriceDbFileName, sink, cancel, wasCancelled);
    if (copied)
        copied = copyOtherFiles(places.priceDbDir, partial, sink, cancel, wasCancelled);
    if (copied && !framework::SyncZPath(partial))
        copied = systemFailure(partial);
    if (copied && std::rename(partial.c_str(), (backupDir / result.name).c_str()) != 0)
        copied = systemFailure(backupDir / result.name);
    sink.percent(-1);
    if (!copied) {
        framework::DeleteZDirectory(partial);
        result.cancelled = wasCancelled;
        sink.status("");
        return failed(result, wasCancelled ? failure("the backup was cancelled") : copied, kBackupFailedText);
    }
    framework::SyncZPath(backupDir);
    result.pruned = pruneOldBackups(backupDir, keep);
    result.statusText = kBackupDoneText;
    sink.status("");
    return result;
}

} // namespace

PriceBackupResult CreatePriceBackup(const PriceBackupPlaces& places, framework::ProgressSink& sink,
                                    const std::atomic<bool>* cancel,
                                    std::chrono::system_clock::time_point now) {
    return createBackup(places, sink, cancel, now, {});
}

PriceBackupResult BackupBeforeRegistration(const PriceBackupPlaces& places, framework::ProgressSink& sink,
                                           const std::atomic<bool>* cancel) {
    PriceBackupResult result = CreatePriceBackup(places, sink, cancel);
    if (!result.ok())
        result.statusText = kRegistrationStoppedText;
    return result;
}

PriceBackupResult BackupBeforeRestore(const PriceBackupPlaces& places, const std::string& restoring,
                                      framework::ProgressSink& sink, const std::atomic<bool>* cancel,
                                      std::chrono::system_clock::time_point now) {
    PriceBackupResult result = createBackup(places, sink, cancel, now, restoring);
    if (!result.ok())
        result.statusText = kRestoreStoppedText;
    return result;
}

std::string backupDateText(const std::string& name) {
    if (!isBackupName(name))
        return name;
    std::string text =
        name.substr(0, 10) + " " + name.substr(11, 2) + ":" + name.substr(14, 2) + ":" + name.substr(17, 2);
    if (name.size() > 19) // the further backups of one second
        text += " (" + std::to_string(std::atoi(name.c_str() + 20) + 1) + ")";
    return text;
}

PriceBackupResult RestorePriceBackup(const PriceBackupPlaces& places, const std::string& name,
                                     market::PriceJobGuard::Ticket& ticket, framework::ProgressSink& sink,
                                     const std::atomic<bool>* cancel) {
    PriceBackupResult result;
    result.name = name;
    const std::string failedText = name + " のデータに復元が失敗しました。元のデータはそのままです。";
    const auto names = ListPriceBackups(places.backupDir);
    if (std::find(names.begin(), names.end(), name) == names.end())
        return failed(result, failure("no backup named '" + name + "' in " + places.backupDir), failedText);

    sink.status(kRestoreRunningText);
    sink.percent(0);
    const fs::path live = liveFolderOf(places);
    const fs::path staging = stagingPathOf(live);
    framework::DeleteZDirectory(staging); // left by an interrupted restore

    bool wasCancelled = false;
    Result<> staged = copyTree(fs::path(places.backupDir) / name, staging, sink, cancel, wasCancelled);
    if (staged)
        staged = checkDatabaseFolder(staging, cancel, &wasCancelled);
    if (staged && cancelled(cancel)) {
        wasCancelled = true;
        staged = failure("cancelled");
    }
    if (!staged) {
        framework::DeleteZDirectory(staging);
        sink.percent(-1);
        sink.status("");
        result.cancelled = wasCancelled;
        return failed(
            result,
            failure(wasCancelled ? "the restore was cancelled" : "backup " + name + ": " + staged.english()),
            failedText);
    }
    framework::SyncZPath(staging);
    sink.percent(95);

    framework::FolderSwapResult swap;
    {
        auto noReaders = ticket.excludeReaders();
        swap = framework::ReplaceZDirectory(live, staging, [&] { return reopenLiveFolder(live); });
    }
    sink.percent(-1);
    sink.status("");
    result.liveIntact = swap.ok() || swap.liveIntact;
    if (!swap.ok())
        return failed(result, swap.outcome,
                      swap.liveIntact
                          ? failedText
                          : name + " のデータに復元が失敗しました。元のデータを戻せませんでした。");
    if (!swap.leftover.empty())
        sink.logLine("復元前のデータを削除できませんでした_" + swap.leftover);
    result.statusText = name + " のデータに復元が成功しました";
    return result;
}

} // namespace tavora::acquisition

namespace tavora::acquisition {

std::vector<std::string> TidyInterruptedPriceWork(const PriceBackupPlaces& places) {
    std::vector<std::string> lines;
    auto remove = [&](const fs::path& path) {
        lines.push_back((framework::DeleteZDirectory(path) ? kLeftoverRemovedLog : kLeftoverNotRemovedLog) +
                        path.string());
    };
    const fs::path live = liveFolderOf(places);
    const fs::path aside = framework::ZDirectoryAsidePath(live);
    std::error_code ec;
    if (fs::exists(aside, ec)) {
        if (fs::exists(live, ec)) {
            remove(aside);
        } else if (std::rename(aside.c_str(), live.c_str()) == 0) {
            // Cut short between the two renames: the live folder was gone, the old one aside.
            framework::SyncZPath(live.parent_path());
            lines.push_back(kLeftoverPutBackLog + live.string());
        } else {
            lines.push_back(kLeftoverNotPutBackLog + aside.string()); // kept: the only copy
        }
    }
    if (fs::exists(stagingPathOf(live), ec))
        remove(stagingPathOf(live));
    for (const auto& entry : framework::ListZDirectories(places.backupDir))
        if (entry.name.rfind(kPartialPrefix, 0) == 0)
            remove(entry.path);
    return lines;
}

} // namespace tavora::acquisition
