#include "annotations/WorkingDocument.h"

#include <sqlite3.h>

#include <algorithm>

namespace tavora::annotations {

using framework::SqlStatement;
using framework::SqlTransaction;
using framework::SqlValue;

namespace {

// The history keeps every column of the document's table without its key (one element has a
// row per step) plus the step.
std::string createHistorySql() {
    std::string sql = "CREATE TABLE IF NOT EXISTS 'history_graphctrltb' (";
    for (const auto& c : kGraphCtrlColumns) {
        sql += c.name;
        sql += ' ';
        sql += c.type;
        sql += ',';
    }
    return sql + "updnum INTEGER)";
}

constexpr const char* kCreateHistoryOkiniSql = "CREATE TABLE IF NOT EXISTS 'history_okinitb' (code TEXT,updnum INTEGER)";
// Loading a code walks its rows; the state at a step looks up the later versions of each row.
constexpr const char* kCreateHistoryIndexSql =
    "CREATE INDEX IF NOT EXISTS history_graphctrltb_code ON history_graphctrltb (code,idkikancode,updnum);"
    "CREATE INDEX IF NOT EXISTS history_graphctrltb_key ON history_graphctrltb (idkikancode,updnum);";

std::string selectedColumns() {
    std::string cols;
    for (const auto& c : kGraphCtrlColumns) {
        if (!cols.empty())
            cols += ',';
        cols += "h.";
        cols += c.name;
    }
    return cols;
}

// A row belongs to the state at step ?1 when no later version of its element (a larger step
// not above ?1, or the same step inserted after it) exists.
constexpr const char* kLatestAtStep =
    "h.updnum <= ?1 AND NOT EXISTS (SELECT 1 FROM history_graphctrltb n WHERE n.idkikancode = h.idkikancode "
    "AND n.updnum <= ?1 AND (n.updnum > h.updnum OR (n.updnum = h.updnum AND n.rowid > h.rowid)))";

const std::string& codeStateSql() {
    static const std::string sql = "SELECT " + selectedColumns() + " FROM history_graphctrltb h WHERE h.code = ?2 AND " +
                                   kLatestAtStep + " ORDER BY h.id,h.updnum;";
    return sql;
}

// The document's own statements, aimed at the save copy attached beside the working tables.
std::string inSaveCopy(std::string_view statement) {
    std::string sql(statement);
    const std::string_view create = "CREATE TABLE IF NOT EXISTS ";
    const std::string_view insert = "INSERT INTO ";
    if (sql.rfind(create, 0) == 0)
        sql.insert(create.size(), "savecopy.");
    else if (sql.rfind(insert, 0) == 0)
        sql.insert(insert.size(), "savecopy.");
    return sql;
}

const std::string& saveCopySql() {
    static const std::string sql = [] {
        std::string select;
        for (const auto& c : kGraphCtrlColumns) {
            if (!select.empty())
                select += ',';
            select += c.name == "yoko_ichi" ? std::string("COALESCE(h.yoko_ichi,1)") : "h." + std::string(c.name);
        }
        std::string insert(kInsertGraphCtrlSql);
        insert = inSaveCopy(insert.substr(0, insert.find(" values")));
        return insert + " SELECT " + select + " FROM history_graphctrltb h WHERE h.view_bl = '1' AND " +
               kLatestAtStep + ";";
    }();
    return sql;
}

// Detaches the save copy however the image ends.
struct SaveCopy {
    framework::ZSqlElement& db;
    bool attached;
    explicit SaveCopy(framework::ZSqlElement& d)
        : db(d), attached(framework::SQL_exec(d, "ATTACH ':memory:' AS savecopy;") == 0) {}
    ~SaveCopy() {
        if (attached)
            sqlite3_exec(db.handle(), "DETACH savecopy;", nullptr, nullptr, nullptr);
    }
};

} // namespace

WorkingDocument WorkingDocument::createEmpty() {
    WorkingDocument doc = createForLoading("UTF-8");
    if (!doc.finishLoading())
        framework::SQL_Close(doc.m_db);
    return doc;
}

bool WorkingDocument::finishLoading() {
    return framework::SQL_exec(m_db, kCreateHistoryIndexSql) == 0;
}

WorkingDocument WorkingDocument::createForLoading(std::string_view encoding) {
    WorkingDocument doc;
    // One thread at a time uses it (the open worker hands it to the UI thread).
    if (framework::SQL_Open(doc.m_db, ":memory:", false) != 0)
        return doc;
    // Only the encodings SQLite knows reach the pragma's text.
    const char* pragma = encoding == "UTF-16le"   ? "pragma encoding ='UTF-16le';"
                         : encoding == "UTF-16be" ? "pragma encoding ='UTF-16be';"
                                                  : "pragma encoding ='UTF-8';";
    const bool ok = framework::SQL_exec(doc.m_db, pragma) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateOkiniSql) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateGraphCtrlSql) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateHistoryOkiniSql) == 0 &&
                    framework::SQL_exec(doc.m_db, createHistorySql()) == 0;
    if (!ok)
        framework::SQL_Close(doc.m_db);
    return doc;
}

bool WorkingDocument::recordStep(const std::vector<GraphCtrlRow>& rows) {
    if (rows.empty() || !isOpen())
        return false;
    const int next = m_step + 1;
    SqlTransaction transaction(m_db);
    if (!transaction.active())
        return false;
    if (m_highest >= next) {
        SqlStatement discard(m_db, "DELETE FROM history_graphctrltb WHERE updnum >= ?;");
        if (!discard.ok() || discard.bindInt64(1, next) != SQLITE_OK || discard.step() != SQLITE_DONE)
            return false;
    }
    HistoryWriter writer(*this, next);
    for (const auto& row : rows)
        if (!writer.add(row.values()))
            return false;
    if (transaction.commit() != SQLITE_OK)
        return false;
    m_step = next;
    m_highest = next;
    m_serials.resize(static_cast<std::size_t>(next));
    m_serials.push_back(++m_lastSerial);
    return true;
}

StepMark WorkingDocument::mark() const {
    const auto at = static_cast<std::size_t>(m_step);
    return {m_step, at < m_serials.size() ? m_serials[at] : 0};
}

bool WorkingDocument::hasElements() const {
    static const std::string sql =
        std::string("SELECT 1 FROM history_graphctrltb h WHERE h.view_bl = '1' AND ") + kLatestAtStep + " LIMIT 1;";
    SqlStatement st(m_db, sql);
    return st.ok() && st.bindInt64(1, m_step) == SQLITE_OK && st.step() == SQLITE_ROW;
}

bool WorkingDocument::undo() {
    if (m_step <= 0)
        return false;
    --m_step;
    return true;
}

bool WorkingDocument::redo() {
    if (m_step >= m_highest)
        return false;
    ++m_step;
    return true;
}

std::vector<StoredRow> WorkingDocument::codeState(std::string_view code) const {
    std::vector<StoredRow> rows;
    {
        // Every version of the code's rows up to the step: room for the state in one allocation
        // instead of regrowing a vector of wide rows.
        SqlStatement count(m_db, "SELECT count(*) FROM history_graphctrltb WHERE code = ?2 AND updnum <= ?1;");
        if (count.ok() && count.bindInt64(1, m_step) == SQLITE_OK && count.bindText(2, code) == SQLITE_OK &&
            count.step() == SQLITE_ROW)
            rows.reserve(static_cast<std::size_t>(std::max<std::int64_t>(count.columnInt64(0), 0)));
    }
    forEachInCodeState(code, [&rows](StoredRow&& row) { rows.push_back(std::move(row)); });
    return rows;
}

void WorkingDocument::forEachInCodeState(std::string_view code,
                                         const std::function<void(StoredRow&&)>& take) const {
    SqlStatement st(m_db, codeStateSql());
    if (!st.ok() || st.bindInt64(1, m_step) != SQLITE_OK || st.bindText(2, code) != SQLITE_OK)
        return;
    while (st.step() == SQLITE_ROW) {
        StoredValues values;
        for (int c = 0; c < GraphCtrlColumnCount; ++c)
            values[static_cast<std::size_t>(c)] = SqlValue::fromColumn(st.handle(), c);
        take(StoredRow(std::move(values)));
    }
}

bool WorkingDocument::documentImage(const std::vector<std::string>& favourites, std::string& image,
                                    std::string* error) const {
    auto fail = [this, error] {
        if (error)
            *error = m_db.lastError().empty() ? std::string("out of memory") : m_db.lastError();
        return false;
    };
    if (!isOpen())
        return fail();
    SaveCopy copy(m_db);
    if (!copy.attached || framework::SQL_exec(m_db, inSaveCopy(kCreateOkiniSql)) != 0 ||
        framework::SQL_exec(m_db, inSaveCopy(kCreateGraphCtrlSql)) != 0)
        return fail();
    {
        SqlTransaction transaction(m_db);
        SqlStatement okini(m_db, inSaveCopy(kInsertOkiniSql));
        SqlStatement rows(m_db, saveCopySql());
        if (!transaction.active() || !okini.ok() || !rows.ok())
            return fail();
        std::vector<std::string> written;
        for (const auto& code : favourites) {
            if (std::find(written.begin(), written.end(), code) != written.end())
                continue;
            written.push_back(code);
            okini.reset();
            okini.bindText(1, code);
            if (okini.step() != SQLITE_DONE)
                return fail();
        }
        if (rows.bindInt64(1, m_step) != SQLITE_OK || rows.step() != SQLITE_DONE || transaction.commit() != SQLITE_OK)
            return fail();
    }
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(m_db.handle(), "savecopy", &size, 0);
    if (!bytes)
        return fail();
    image.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    sqlite3_free(bytes);
    return true;
}

std::vector<std::string> WorkingDocument::openedFavourites() const {
    std::vector<std::string> codes;
    SqlStatement st(m_db, "SELECT code FROM history_okinitb WHERE code IS NOT NULL ORDER BY rowid;");
    while (st.ok() && st.step() == SQLITE_ROW)
        codes.push_back(st.columnText(0));
    return codes;
}

HistoryWriter::HistoryWriter(WorkingDocument& document, int step)
    : m_statement(document.database(), kInsertHistorySql), m_step(step) {}

bool HistoryWriter::add(const StoredValues& values) {
    if (!m_statement.ok())
        return false;
    m_statement.reset();
    for (int c = 0; c < GraphCtrlColumnCount; ++c)
        if (values[static_cast<std::size_t>(c)].bind(m_statement.handle(), c + 1) != SQLITE_OK)
            return false;
    m_statement.bindInt64(GraphCtrlColumnCount + 1, m_step);
    return m_statement.step() == SQLITE_DONE;
}

bool HistoryWriter::addColumns(sqlite3_stmt* row) {
    if (!m_statement.ok())
        return false;
    m_statement.reset();
    for (int c = 0; c < GraphCtrlColumnCount; ++c)
        if (sqlite3_bind_value(m_statement.handle(), c + 1, sqlite3_column_value(row, c)) != SQLITE_OK)
            return false;
    m_statement.bindInt64(GraphCtrlColumnCount + 1, m_step);
    return m_statement.step() == SQLITE_DONE;
}

bool HistoryWriter::addFavourite(WorkingDocument& document, const std::string& code) {
    SqlStatement st(document.database(), "INSERT INTO 'history_okinitb' (code,updnum) VALUES (?,0);");
    return st.ok() && st.bindText(1, code) == SQLITE_OK && st.step() == SQLITE_DONE;
}

} // namespace tavora::annotations
