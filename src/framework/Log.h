#pragma once
// The application log: rows of table `logtb` in "log.zfc" and lines appended to "log.txt".
// Any thread may call UpdLog and WriteLogTxt (the reference-data refresh logs from its worker);
// both serialise on the log's own mutex and call nothing outside the log while holding it.
// Open and Close belong to start-up and shutdown on the UI thread.
//
// Schema of logtb:
//   id   INTEGER PRIMARY KEY AUTOINCREMENT  order of writing
//   date TEXT  "YYYY-MM-DD", the local date (TAVORA_TODAY applies), so start-up can delete
//              old rows with "DELETE FROM logtb WHERE date <= ?;"
//   time TEXT  "HH:MM:SS", local time
//   text TEXT  the logged text (UTF-8)
// A log.txt line is "YYYY-MM-DD HH:MM:SS text".
#include "framework/Sql.h"

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::framework {

class ZLog {
public:
    static constexpr const char* kStartBanner = "****** tavora_start ******";
    static constexpr const char* kEndBanner = "****** tavora_end ******";
    static constexpr const char* kEndSessionBanner = "****** tavora_end_endsession ******";

    ZLog() = default;
    ~ZLog(); // writes what is still queued to log.txt
    ZLog(const ZLog&) = delete;
    ZLog& operator=(const ZLog&) = delete;

    // Opens (creating when missing) the log database and remembers the text file path.
    // Returns 0 on success, else the SQLite code; the text file is used either way.
    int Open(const std::filesystem::path& dbPath, const std::filesystem::path& txtPath);
    // Writes pending lines to log.txt and closes the database.
    void Close();
    bool isOpen() const;

    // Creates logtb when missing. Returns 0 on success.
    int CreateLogDb();
    // Runs "DELETE FROM logtb WHERE date <= ?;" with the cutoff date ("YYYY-MM-DD").
    // Returns 0 on success.
    int DeleteLogsUpTo(std::string_view cutoffDate);

    // Stores one row in logtb (when the database is open) and queues the line for log.txt.
    void UpdLog(std::string_view text);
    // Appends the queued lines to log.txt. False when the file cannot be written (the lines
    // stay queued for the next attempt).
    bool WriteLogTxt();

    // The error text of the last failed database operation.
    std::string lastError() const;

private:
    int createTableLocked();

    mutable std::mutex m_mutex;
    ZSqlElement m_db;
    std::filesystem::path m_txtPath;
    std::vector<std::string> m_pending;
    std::string m_lastError;
};

// A piece of untrusted input fit for a log line: at most `maxBytes` bytes, quoted, every byte
// that is not printable ASCII written as "\xNN" (so a log line is always valid UTF-8).
std::string logExcerpt(std::string_view text, std::size_t maxBytes = 40);

} // namespace tavora::framework
