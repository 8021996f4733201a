#include "market/PriceDatabase.h"

#include <sqlite3.h>

#include <algorithm>

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

// The positions 0..count-1 in stable sorted order. Rows arrive as whole day files, each
// already in code order, so the input is a handful of sorted runs: they are found and merged
// pairwise (std::merge keeps ties in run order), a few linear passes instead of a full sort.
template <class Less> std::vector<std::uint32_t> stableOrder(std::size_t count, Less less) {
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::vector<std::size_t> runs{0};
    for (std::size_t i = 1; i < count; ++i)
        if (less(order[i], order[i - 1]))
            runs.push_back(i);
    runs.push_back(count);
    std::vector<std::uint32_t> merged(count);
    while (runs.size() > 2) {
        std::vector<std::size_t> next{0};
        std::size_t k = 0;
        for (; k + 2 < runs.size(); k += 2) {
            std::merge(order.begin() + runs[k], order.begin() + runs[k + 1], order.begin() + runs[k + 1],
                       order.begin() + runs[k + 2], merged.begin() + runs[k], less);
            next.push_back(runs[k + 2]);
        }
        if (k + 1 < runs.size()) { // an odd run left over
            std::copy(order.begin() + runs[k], order.begin() + runs[k + 1], merged.begin() + runs[k]);
            next.push_back(runs[k + 1]);
        }
        order.swap(merged);
        runs.swap(next);
    }
    return order;
}

int columnIndex(const SqlStatement& st, const char* name) {
    for (int c = 0; c < st.columnCount(); ++c)
        if (st.columnName(c) == name)
            return c;
    return -1;
}

} // namespace

PriceBulkWriter::PriceBulkWriter(ZSqlElement& db, BulkWriteOptions options) : m_db(db), m_options(options) {
    if (m_options.sortBatchRows == 0)
        m_options.sortBatchRows = 1;
    m_transaction = std::make_unique<framework::SqlTransaction>(db);
    if (!m_transaction->active()) {
        fail(db.lastError().empty() ? "the transaction could not start" : db.lastError());
        return;
    }
    dropSecondaryIndexes(m_options.expectedRows);
    m_upsert = std::make_unique<SqlStatement>(db, kUpsertPriceSql);
    if (!m_upsert->ok()) {
        fail(m_upsert->error());
        m_upsert.reset();
        m_transaction->rollback();
        return;
    }
    m_pending.reserve(std::min(m_options.sortBatchRows, std::max<std::size_t>(m_options.expectedRows, 1024)));
}

PriceBulkWriter::~PriceBulkWriter() {
    if (!m_finished) {
        m_upsert.reset();
        m_transaction.reset(); // rolls back, indexes included
    }
}

void PriceBulkWriter::fail(std::string error, std::size_t row) {
    if (m_result.outcome.ok()) {
        m_result.outcome = framework::Failure::untranslated(std::move(error));
        m_result.firstFailedRow = row;
    }
}

// Inside the transaction, so a rollback brings the indexes back untouched. When the table is
// much larger than the run, updating the indexes row by row is cheaper and they stay.
void PriceBulkWriter::dropSecondaryIndexes(std::size_t expectedRows) {
    if (expectedRows < kRebuildIndexesMinRows)
        return;
    std::int64_t tableRows = 0;
    {
        // Rows are never deleted, so the largest rowid is the row count, found without a scan.
        SqlStatement st(m_db, "SELECT max(rowid) FROM kabukadb;");
        if (!st.ok() || st.step() != SQLITE_ROW)
            return;
        tableRows = st.columnInt64(0);
    }
    if (static_cast<std::int64_t>(expectedRows) * 2 < tableRows)
        return;
    // A statement still reading on this connection makes DROP INDEX fail; then the indexes
    // simply stay.
    if (framework::SQL_exec(m_db, "DROP INDEX IF EXISTS idx_kabukadb_code;") == SQLITE_OK)
        m_indexesDropped = true;
    if (framework::SQL_exec(m_db, "DROP INDEX IF EXISTS idx_kabukadb_date;") == SQLITE_OK)
        m_indexesDropped = true;
    framework::setSqlResult(m_db, SQLITE_OK, "");
}

bool PriceBulkWriter::rebuildSecondaryIndexes() {
    if (!m_indexesDropped)
        return true;
    for (const char* sql : {kCreateCodeIndexSql, kCreateDateIndexSql}) {
        if (framework::SQL_exec(m_db, sql) != SQLITE_OK) {
            fail("index rebuild failed: " + m_db.lastError());
            return false;
        }
    }
    return true;
}

bool PriceBulkWriter::add(const PriceRow& row) {
    return add(PriceRow(row));
}

bool PriceBulkWriter::add(PriceRow&& row) {
    ++m_rowsAdded;
    if (!m_upsert) {
        ++m_result.rowsFailed;
        return false;
    }
    if (row.code.empty() || row.date.empty()) {
        ++m_result.rowsFailed;
        fail("row " + std::to_string(m_rowsAdded) + " (" + row.code + " " + row.date +
                 "): NOT NULL constraint failed: kabukadb." + (row.code.empty() ? "code" : "date"),
             m_rowsAdded);
        return false;
    }
    // Once a row has failed nothing of the run is kept; the rest is only counted.
    if (failed())
        return false;
    m_pending.push_back({std::move(row), m_rowsAdded});
    if (m_pending.size() >= m_options.sortBatchRows)
        writePending();
    return !failed();
}

void PriceBulkWriter::writePending() {
    const auto order = stableOrder(m_pending.size(), [this](std::uint32_t a, std::uint32_t b) {
        const PriceRow& ra = m_pending[a].row;
        const PriceRow& rb = m_pending[b].row;
        if (int c = ra.code.compare(rb.code); c != 0)
            return c < 0;
        return ra.date < rb.date;
    });
    for (std::uint32_t i : order) {
        writeRow(m_pending[i]);
        if (failed())
            break;
    }
    m_pending.clear();
}

void PriceBulkWriter::writeRow(const Pending& pending) {
    const PriceRow& row = pending.row;
    SqlStatement& st = *m_upsert;
    st.reset(); // all seven parameters are bound again below
    // The row outlives its step (the next row clears the bindings first), so its texts are
    // bound without a copy.
    int rc = st.bindTextNoCopy(1, row.code);
    if (rc == SQLITE_OK)
        rc = st.bindTextNoCopy(2, row.date);
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
        fail(sqlite3_errstr(rc), pending.number);
        return;
    }
    rc = st.step();
    if (rc != SQLITE_DONE) {
        ++m_result.rowsFailed;
        fail("row " + std::to_string(pending.number) + " (" + row.code + " " + row.date + "): " + st.error(),
             pending.number);
    }
}

BulkWriteResult PriceBulkWriter::finish() {
    if (m_finished)
        return m_result;
    m_finished = true;
    if (m_upsert && !failed())
        writePending();
    m_pending.clear();
    m_upsert.reset(); // finalize before COMMIT or ROLLBACK
    if (!failed() && rebuildSecondaryIndexes()) {
        int rc = m_transaction->commit();
        if (rc == SQLITE_OK) {
            m_result.rowsWritten = m_rowsAdded;
        } else {
            fail("commit failed: " + m_db.lastError());
            m_transaction->rollback();
        }
    } else {
        m_transaction->rollback();
        framework::setSqlResult(m_db, SQLITE_ERROR, m_result.outcome.english());
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
    PriceBulkWriter writer(m_db, {.expectedRows = rows.size()});
    for (const auto& row : rows)
        writer.add(row);
    return writer.finish();
}

} // namespace tavora::market
