#include "annotations/WorkingDocument.h"

#include <sqlite3.h>

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
// Loading one code at a step and saving walk the history by code and element.
constexpr const char* kCreateHistoryIndexSql =
    "CREATE INDEX IF NOT EXISTS history_graphctrltb_code ON history_graphctrltb (code,idkikancode,updnum)";

std::string selectedColumns() {
    std::string cols;
    for (const auto& c : kGraphCtrlColumns) {
        if (!cols.empty())
            cols += ',';
        cols += c.name;
    }
    return cols;
}

const std::string& codeStateSql() {
    static const std::string sql = "SELECT " + selectedColumns() +
                                   ",MAX(updnum) FROM history_graphctrltb WHERE code = ? AND updnum <= ? "
                                   "GROUP BY idkikancode ORDER BY id,updnum;";
    return sql;
}

const std::string& allStateSql() {
    static const std::string sql = "SELECT " + selectedColumns() +
                                   ",MAX(updnum) FROM history_graphctrltb WHERE updnum <= ? "
                                   "GROUP BY idkikancode ORDER BY id,updnum;";
    return sql;
}

bool isDeleted(const StoredRow& row) {
    return row.flag(ColViewBl) != std::optional<bool>(true);
}

} // namespace

WorkingDocument WorkingDocument::createEmpty() {
    return createWithEncoding("UTF-8");
}

WorkingDocument WorkingDocument::createWithEncoding(std::string_view encoding) {
    WorkingDocument doc;
    if (framework::SQL_Open(doc.m_db, ":memory:") != 0)
        return doc;
    // Only the encodings SQLite knows reach the pragma's text.
    const char* pragma = encoding == "UTF-16le"   ? "pragma encoding ='UTF-16le';"
                         : encoding == "UTF-16be" ? "pragma encoding ='UTF-16be';"
                                                  : "pragma encoding ='UTF-8';";
    const bool ok = framework::SQL_exec(doc.m_db, pragma) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateOkiniSql) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateGraphCtrlSql) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateHistoryOkiniSql) == 0 &&
                    framework::SQL_exec(doc.m_db, createHistorySql()) == 0 &&
                    framework::SQL_exec(doc.m_db, kCreateHistoryIndexSql) == 0;
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
    return true;
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

std::vector<StoredRow> WorkingDocument::stateRows(std::string_view sql,
                                                  std::optional<std::string_view> code) const {
    std::vector<StoredRow> rows;
    SqlStatement st(m_db, sql);
    if (!st.ok())
        return rows;
    int index = 1;
    if (code)
        st.bindText(index++, *code);
    st.bindInt64(index, m_step);
    while (st.step() == SQLITE_ROW) {
        StoredValues values;
        for (int c = 0; c < GraphCtrlColumnCount; ++c)
            values[static_cast<std::size_t>(c)] = SqlValue::fromColumn(st.handle(), c);
        rows.emplace_back(std::move(values));
    }
    return rows;
}

std::vector<StoredRow> WorkingDocument::codeState(std::string_view code) const {
    return stateRows(codeStateSql(), code);
}

std::vector<StoredRow> WorkingDocument::saveState() const {
    auto rows = stateRows(allStateSql(), std::nullopt);
    std::erase_if(rows, isDeleted);
    return rows;
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

bool HistoryWriter::addFavourite(WorkingDocument& document, const std::string& code) {
    SqlStatement st(document.database(), "INSERT INTO 'history_okinitb' (code,updnum) VALUES (?,0);");
    return st.ok() && st.bindText(1, code) == SQLITE_OK && st.step() == SQLITE_DONE;
}

} // namespace tavora::annotations
