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

// A raw connection, closed on scope exit.
struct Connection {
    sqlite3* handle = nullptr;
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (handle)
            sqlite3_close_v2(handle);
    }
    std::string error() const { return handle ? sqlite3_errmsg(handle) : "out of memory"; }
};

std::string openConnection(Connection& db, const fs::path& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &db.handle, flags, nullptr) != SQLITE_OK)
        return path.string() + ": " + db.error();
    sqlite3_busy_timeout(db.handle, 5000);
    return {};
}

bool isSqliteSideFile(const std::string& name) {
    const std::string db = market::kPriceDbFileName;
    return name == db + "-journal" || name == db + "-wal" || name == db + "-shm";
}

// Copies the live database into `destination` page by page through SQLite, so the copy is
// consistent even if another connection has it open. Empty on success.
std::string copyDatabase(const fs::path& source, const fs::path& destination, framework::ProgressSink& sink,
                         const std::atomic<bool>* cancel, bool& wasCancelled) {
    if (!framework::isliveFile(source))
        return source.string() + ": the price database does not exist";
    Connection from, to;
    // Read-write (never create): a journal left by a crash can then be rolled back first.
    if (auto why = openConnection(from, source, SQLITE_OPEN_READWRITE); !why.empty())
        return why;
    if (auto why = openConnection(to, destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !why.empty())
        return why;
    sqlite3_exec(from.handle, "PRAGMA mmap_size=1073741824;", nullptr, nullptr, nullptr); // fewer reads
    // The copy is a new file in a partial folder that is thrown away on any failure, so it needs
    // no journal and no syncs of its own; it is flushed once when complete.
    sqlite3_exec(to.handle, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to.handle, "main", from.handle, "main");
    if (!backup)
        return destination.string() + ": " + to.error();
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
        return "cancelled";
    if (rc != SQLITE_DONE || finish != SQLITE_OK)
        return destination.string() + ": " + sqlite3_errstr(rc != SQLITE_DONE ? rc : finish);
    if (sqlite3_close(to.handle) != SQLITE_OK)
        return destination.string() + ": " + to.error();
    to.handle = nullptr;
    if (!framework::SyncZPath(destination))
        return destination.string() + ": " + std::strerror(errno);
    return {};
}

// Copies one file in chunks, flushed to disk; `copied` counts the bytes for the progress.
std::string copyFile(const fs::path& from, const fs::path& to, std::uint64_t& copied, std::uint64_t total,
                     framework::ProgressSink& sink, const std::atomic<bool>* cancel, bool& wasCancelled) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return from.string() + ": " + std::strerror(errno);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        std::string why = to.string() + ": " + std::strerror(errno);
        ::close(in);
        return why;
    }
    std::string why;
    std::vector<char> buffer(kCopyChunk);
    while (why.empty()) {
        if (cancelled(cancel)) {
            wasCancelled = true;
            why = "cancelled";
            break;
        }
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            why = from.string() + ": " + std::strerror(errno);
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                why = to.string() + ": " + std::strerror(errno);
                break;
            }
            done += put;
        }
        copied += static_cast<std::uint64_t>(got);
        if (total > 0)
            sink.percent(static_cast<int>(copied * 90 / total));
    }
    if (why.empty() && ::fsync(out) != 0)
        why = to.string() + ": " + std::strerror(errno);
    if (::close(out) != 0 && why.empty())
        why = to.string() + ": " + std::strerror(errno);
    ::close(in);
    return why;
}

// Copies a folder with everything below it (regular files and folders).
std::string copyTree(const fs::path& from, const fs::path& to, framework::ProgressSink& sink,
                     const std::atomic<bool>* cancel, bool& wasCancelled) {
    std::error_code ec;
    std::uint64_t total = 0;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            total += it->file_size(ec);
    if (ec)
        return from.string() + ": " + ec.message();
    if (!framework::CreateZDirectory(to, 0700))
        return to.string() + ": cannot create the folder";
    std::uint64_t copied = 0;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from);
        if (it->is_directory(ec)) {
            if (!framework::CreateZDirectory(target, 0700))
                return target.string() + ": cannot create the folder";
        } else if (it->is_regular_file(ec)) {
            if (auto why = copyFile(it->path(), target, copied, total, sink, cancel, wasCancelled);
                !why.empty())
                return why;
        }
    }
    if (ec)
        return from.string() + ": " + ec.message();
    return {};
}

// The other files of the live folder (not the database and SQLite's own side files).
std::string copyOtherFiles(const fs::path& from, const fs::path& to, framework::ProgressSink& sink,
                           const std::atomic<bool>* cancel, bool& wasCancelled) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == market::kPriceDbFileName || isSqliteSideFile(name))
            continue;
        std::string why;
        if (it->is_directory(ec)) {
            why = copyTree(it->path(), to / name, sink, cancel, wasCancelled);
        } else if (it->is_regular_file(ec)) {
            std::uint64_t copied = 0;
            why = copyFile(it->path(), to / name, copied, 0, sink, cancel, wasCancelled);
        }
        if (!why.empty())
            return why;
    }
    return ec ? from.string() + ": " + ec.message() : std::string();
}

// A database folder fit to be the live one: kabuka.db opens, passes quick_check, holds exactly
// the price table and its indexes (market/PriceSchema.h) and its rows can be read. Empty when
// it does. `cancel` (optional) ends the check early, setting `wasCancelled`.
std::string checkDatabaseFolder(const fs::path& dir, const std::atomic<bool>* cancel = nullptr,
                                bool* wasCancelled = nullptr) {
    const fs::path file = dir / market::kPriceDbFileName;
    if (!framework::isliveFile(file))
        return std::string(market::kPriceDbFileName) + " is missing";
    Connection db;
    if (auto why = openConnection(db, file, SQLITE_OPEN_READONLY); !why.empty())
        return why;
    sqlite3_stmt* st = nullptr;
    std::string verdict;
    if (sqlite3_prepare_v2(db.handle, "PRAGMA quick_check;", -1, &st, nullptr) != SQLITE_OK)
        return "not a database: " + db.error();
    int rc;
    bool interrupted = false;
    {
        framework::SqlInterruptScope interruptible(db.handle, cancel); // a big file takes a while
        rc = sqlite3_step(st);
        interrupted = interruptible.interrupted();
    }
    if (interrupted) {
        sqlite3_finalize(st);
        if (wasCancelled)
            *wasCancelled = true;
        return "cancelled";
    }
    if (rc == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(st, 0);
        verdict = text ? reinterpret_cast<const char*>(text) : "";
    } else {
        verdict = db.error();
    }
    sqlite3_finalize(st);
    if (verdict != "ok")
        return "the database is damaged (quick_check: " + framework::shownLine(verdict) + ")"; // one line
    if (auto why = market::priceSchemaProblem(db.handle); !why.empty())
        return why;
    if (sqlite3_prepare_v2(db.handle,
                           "SELECT code, date, open, high, low, close, volume FROM kabukadb LIMIT 1;", -1,
                           &st, nullptr) != SQLITE_OK)
        return "no price table: " + db.error();
    rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return "the price table cannot be read: " + std::string(sqlite3_errstr(rc));
    return {};
}

// The live folder after the swap: opens as the program opens it, and is still sound.
std::string reopenLiveFolder(const fs::path& live) {
    framework::ZSqlElement db;
    if (market::PriceDatabase::open(db, live.string()) != 0)
        return "the restored database does not open: " + db.lastError();
    if (db.lastResult() != 0)
        return "the restored database cannot be prepared: " + db.lastError();
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

PriceBackupResult failed(PriceBackupResult result, std::string error, std::string statusText) {
    result.ok = false;
    result.error = std::move(error);
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
        return failed(result, backupDir.string() + ": cannot create the backup folder", kBackupFailedText);
    removeStalePartials(backupDir);
    result.name = nextBackupName(now, ListPriceBackups(places.backupDir));
    if (framework::isliveDir(backupDir / result.name)) // the 999th backup of one second
        return failed(result, result.name + ": a backup of that name exists", kBackupFailedText);
    const fs::path partial = backupDir / (kPartialPrefix + result.name);
    if (!framework::CreateZDirectory(partial, 0700))
        return failed(result, partial.string() + ": cannot create the folder", kBackupFailedText);

    bool wasCancelled = false;
    std::string why = copyDatabase(fs::path(places.priceDbDir) / market::kPriceDbFileName,
                                   partial / market::kPriceDbFileName, sink, cancel, wasCancelled);
    if (why.empty())
        why = copyOtherFiles(places.priceDbDir, partial, sink, cancel, wasCancelled);
    if (why.empty() && !framework::SyncZPath(partial))
        why = partial.string() + ": " + std::strerror(errno);
    if (why.empty() && std::rename(partial.c_str(), (backupDir / result.name).c_str()) != 0)
        why = (backupDir / result.name).string() + ": " + std::strerror(errno);
    sink.percent(-1);
    if (!why.empty()) {
        framework::DeleteZDirectory(partial);
        result.cancelled = wasCancelled;
        sink.status("");
        return failed(result, wasCancelled ? "the backup was cancelled" : why, kBackupFailedText);
    }
    framework::SyncZPath(backupDir);
    result.pruned = pruneOldBackups(backupDir, keep);
    result.ok = true;
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
    if (!result.ok)
        result.statusText = kRegistrationStoppedText;
    return result;
}

PriceBackupResult BackupBeforeRestore(const PriceBackupPlaces& places, const std::string& restoring,
                                      framework::ProgressSink& sink, const std::atomic<bool>* cancel,
                                      std::chrono::system_clock::time_point now) {
    PriceBackupResult result = createBackup(places, sink, cancel, now, restoring);
    if (!result.ok)
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
        return failed(result, "no backup named '" + name + "' in " + places.backupDir, failedText);

    sink.status(kRestoreRunningText);
    sink.percent(0);
    const fs::path live = liveFolderOf(places);
    const fs::path staging = stagingPathOf(live);
    framework::DeleteZDirectory(staging); // left by an interrupted restore

    bool wasCancelled = false;
    std::string why = copyTree(fs::path(places.backupDir) / name, staging, sink, cancel, wasCancelled);
    if (why.empty())
        why = checkDatabaseFolder(staging, cancel, &wasCancelled);
    if (why.empty() && cancelled(cancel)) {
        wasCancelled = true;
        why = "cancelled";
    }
    if (!why.empty()) {
        framework::DeleteZDirectory(staging);
        sink.percent(-1);
        sink.status("");
        result.cancelled = wasCancelled;
        return failed(result, wasCancelled ? "the restore was cancelled" : "backup " + name + ": " + why,
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
    result.liveIntact = swap.ok || swap.liveIntact;
    if (!swap.ok)
        return failed(result, swap.error,
                      swap.liveIntact
                          ? failedText
                          : name + " のデータに復元が失敗しました。元のデータを戻せませんでした。");
    if (!swap.leftover.empty())
        sink.logLine("復元前のデータを削除できませんでした_" + swap.leftover);
    result.ok = true;
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
