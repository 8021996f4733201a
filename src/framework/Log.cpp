#include "framework/Log.h"

#include "framework/Dates.h"

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <fstream>

namespace tavora::framework {

namespace {

constexpr const char* kCreateSql = "CREATE TABLE IF NOT EXISTS logtb ("
                                   "id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                   "date TEXT NOT NULL, time TEXT NOT NULL, text TEXT NOT NULL);"
                                   "CREATE INDEX IF NOT EXISTS logtb_date ON logtb (date);";

std::string nowTime() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace

ZLog::~ZLog() {
    WriteLogTxt();
}

int ZLog::Open(const std::filesystem::path& dbPath, const std::filesystem::path& txtPath) {
    std::lock_guard lock(m_mutex);
    m_txtPath = txtPath;
    SQL_Close(m_db);
    int rc = SQL_Open(m_db, dbPath.string());
    if (rc != 0) {
        m_lastError = m_db.lastError();
        return rc;
    }
    // One commit per line: WAL with normal sync keeps that cheap (no fsync per line) and the
    // file consistent after a crash; at worst the last lines before a power cut are lost.
    SQL_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    return 0;
}

void ZLog::Close() {
    WriteLogTxt();
    std::lock_guard lock(m_mutex);
    SQL_Close(m_db);
}

bool ZLog::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_db.isOpen();
}

int ZLog::createTableLocked() {
    if (!m_db.isOpen()) {
        m_lastError = "log database is not open";
        return SQLITE_MISUSE;
    }
    int rc = SQL_exec(m_db, kCreateSql);
    if (rc != 0)
        m_lastError = m_db.lastError();
    return rc;
}

int ZLog::CreateLogDb() {
    std::lock_guard lock(m_mutex);
    return createTableLocked();
}

int ZLog::DeleteLogsUpTo(std::string_view cutoffDate) {
    std::lock_guard lock(m_mutex);
    if (!m_db.isOpen()) {
        m_lastError = "log database is not open";
        return SQLITE_MISUSE;
    }
    SqlStatement st(m_db, "DELETE FROM logtb WHERE date <= ?;");
    if (!st.ok()) {
        m_lastError = st.error();
        return m_db.lastResult() ? m_db.lastResult() : SQLITE_ERROR;
    }
    st.bindText(1, cutoffDate);
    int rc = st.step();
    if (rc != SQLITE_DONE) {
        m_lastError = st.error();
        return rc;
    }
    return 0;
}

void ZLog::UpdLog(std::string_view text) {
    std::string date = todayDate();
    std::string time = nowTime();
    std::lock_guard lock(m_mutex);
    if (m_db.isOpen()) {
        SqlStatement st(m_db, "INSERT INTO logtb (date, time, text) VALUES (?, ?, ?);");
        if (st.ok()) {
            st.bindText(1, date);
            st.bindText(2, time);
            st.bindText(3, text);
            if (st.step() != SQLITE_DONE)
                m_lastError = st.error();
        } else {
            m_lastError = st.error();
        }
    }
    std::string line;
    line.reserve(date.size() + time.size() + text.size() + 2);
    line.append(date).append(" ").append(time).append(" ").append(text);
    m_pending.push_back(std::move(line));
}

bool ZLog::WriteLogTxt() {
    std::lock_guard lock(m_mutex);
    if (m_pending.empty())
        return true;
    if (m_txtPath.empty())
        return false;
    std::ofstream out(m_txtPath, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    std::string block;
    for (const auto& line : m_pending)
        block.append(line).append("\n");
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    out.flush();
    if (!out)
        return false;
    m_pending.clear();
    return true;
}

std::string ZLog::lastError() const {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

std::string logExcerpt(std::string_view text, std::size_t maxBytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < maxBytes; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (text.size() > maxBytes)
        out += "...";
    out += '"';
    return out;
}

} // namespace tavora::framework
