#include "market/PriceDatabase.h"

#include <sqlite3.h>

namespace tavora::market {

using framework::SqlStatement;
using framework::ZSqlElement;

namespace {

// A NULL or 0 price counts as no price.
std::optional<double> priceColumn(const SqlStatement& st, int col) {
    if (st.columnIsNull(col))
        return std::nullopt;
    double v = st.columnDouble(col);
    return v == 0.0 ? std::nullopt : std::optional<double>(v);
}

int columnIndex(const SqlStatement& st, const char* name) {
    for (int c = 0; c < st.columnCount(); ++c)
        if (st.columnName(c) == name)
            return c;
    return -1;
}

} // namespace

PriceBulkWriter::PriceBulkWriter(ZSqlElement& db) : m_db(db) {
    m_transaction = std::make_unique<framework::SqlTransaction>(db);
    if (!m_transaction->active()) {
        fail(db.lastError().empty() ? "the transaction could not start" : db.lastError());
        return;
    }
    m_upsert = std::make_unique<SqlStatement>(db, kUpsertPriceSql);
    if (!m_upsert->ok()) {
        fail(m_upsert->error());
        m_upsert.reset();
        m_transaction->rollback();
    }
}

PriceBulkWriter::~PriceBulkWriter() {
    if (!m_finished) {
        m_upsert.reset();
        m_transaction.reset(); // rolls back
    }
}

void PriceBulkWriter::fail(std::string error) {
    if (m_result.firstError.empty())
        m_result.firstError = std::move(error);
}

bool PriceBulkWriter::add(const PriceRow& row) {
    ++m_rowsAdded;
    if (!m_upsert) {
        ++m_result.rowsFailed;
        return false;
    }
    SqlStatement& st = *m_upsert;
    st.clearBindings();
    st.reset();
    // An empty code or date is bound as NULL so that the NOT NULL columns reject the row.
    int rc = row.code.empty() ? st.bindNull(1) : st.bindText(1, row.code);
    if (rc == SQLITE_OK)
        rc = row.date.empty() ? st.bindNull(2) : st.bindText(2, row.date);
    if (rc == SQLITE_OK)
        rc = st.bindOptional(3, row.open);
    if (rc == SQLITE_OK)
        rc = st.bindOptional(4, row.high);
    if (rc == SQLITE_OK)
        rc = st.bindOptional(5, row.low);
    if (rc == SQLITE_OK)
        rc = st.bindOptional(6, row.close);
    if (rc == SQLITE_OK)
        rc = st.bindInt64(7, row.volume);
    if (rc != SQLITE_OK) {
        ++m_result.rowsFailed;
        fail(sqlite3_errstr(rc));
        return false;
    }
    rc = st.step();
    if (rc != SQLITE_DONE) {
        ++m_result.rowsFailed;
        fail("row " + std::to_string(m_rowsAdded) + " (" + row.code + " " + row.date + "): " + st.error());
        return false;
    }
    return true;
}

BulkWriteResult PriceBulkWriter::finish() {
    if (m_finished)
        return m_result;
    m_finished = true;
    m_upsert.reset(); // finalize before COMMIT or ROLLBACK
    if (m_result.rowsFailed == 0 && m_result.firstError.empty()) {
        int rc = m_transaction->commit();
        if (rc == SQLITE_OK) {
            m_result.committed = true;
            m_result.rowsWritten = m_rowsAdded;
        } else {
            fail("commit failed: " + m_db.lastError());
            m_transaction->rollback();
        }
    } else {
        m_transaction->rollback();
        framework::setSqlResult(m_db, SQLITE_ERROR, m_result.firstError);
    }
    m_transaction.reset();
    return m_result;
}

int PriceDatabase::open(ZSqlElement& db, const std::string& priceDbDir) {
    int rc = framework::SQL_Open(db, priceDbDir + "/" + kPriceDbFileName);
    if (rc != 0)
        return rc;
    // A bulk registration touches four b-trees per row; a small page cache spills them to
    // the file many times over within one transaction (measured in bench/bulk_write).
    framework::SQL_exec(db, "PRAGMA cache_size=-65536;");
    framework::SQL_exec(db, kCreatePriceTableSql);
    db.list.reset();
    framework::SQL_exec(db, kCreateCodeIndexSql);
    framework::SQL_exec(db, kCreateDateIndexSql);
    return rc;
}

std::vector<PriceRow> PriceDatabase::readRows(const char* sql, const std::string& code) const {
    std::vector<PriceRow> rows;
    if (!m_db.isOpen())
        return rows;
    SqlStatement st(m_db, sql);
    if (!st.ok())
        return rows;
    st.bindText(1, code);
    const int date = columnIndex(st, "date");
    const int open = columnIndex(st, "open");
    const int high = columnIndex(st, "high");
    const int low = columnIndex(st, "low");
    const int close = columnIndex(st, "close");
    const int volume = columnIndex(st, "volume");
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        PriceRow row;
        row.code = code;
        row.date = st.columnText(date);
        if (row.date.empty())
            continue;
        row.open = priceColumn(st, open);
        row.high = priceColumn(st, high);
        row.low = priceColumn(st, low);
        row.close = priceColumn(st, close);
        row.volume = st.columnInt64(volume);
        rows.push_back(std::move(row));
    }
    framework::setSqlResult(m_db, rc == SQLITE_DONE ? SQLITE_OK : rc, rc == SQLITE_DONE ? "" : st.error());
    return rows;
}

std::vector<PriceRow> PriceDatabase::rowsNewestFirst(const std::string& code) const {
    return readRows(kSelectCodeNewestFirstSql, code);
}

std::vector<PriceRow> PriceDatabase::rowsOldestFirst(const std::string& code) const {
    return readRows(kSelectCodeOldestFirstSql, code);
}

std::optional<std::string> PriceDatabase::lastDate(const std::string& code) const {
    if (!m_db.isOpen())
        return std::nullopt;
    SqlStatement st(m_db, kSelectLastDateSql);
    if (!st.ok())
        return std::nullopt;
    st.bindText(1, code);
    if (st.step() != SQLITE_ROW || st.columnIsNull(0))
        return std::nullopt;
    return st.columnText(0);
}

BulkWriteResult PriceDatabase::write(const std::vector<PriceRow>& rows) {
    PriceBulkWriter writer(m_db);
    for (const auto& row : rows)
        writer.add(row);
    return writer.finish();
}

int PriceDatabase::registerRows(const framework::SQLList& rows) {
    framework::SqlTransaction transaction(m_db);
    if (!transaction.active())
        return m_db.lastResult() != SQLITE_OK ? m_db.lastResult() : SQLITE_ERROR;
    int rc = framework::ExecSqlElm2(m_db, kRegisterPriceSql, rows);
    if (rc != SQLITE_OK)
        return rc; // the transaction rolls back
    return transaction.commit();
}

} // namespace tavora::market
