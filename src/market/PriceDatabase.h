#pragma once
// The price database "kabuka.db": table `kabukadb` with one row per code and day, its open
// sequence, the reads of one code and the bulk upsert. A PriceDatabase borrows a connection
// (the context's price connection, or a worker's own); use it from the thread that owns
// that connection.
#include "framework/Result.h"
#include "framework/Sql.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavora::market {

inline constexpr const char* kPriceDbFileName = "kabuka.db";

inline constexpr const char* kCreatePriceTableSql =
    "CREATE TABLE IF NOT EXISTS 'kabukadb' (code TEXT NOT NULL,date TEXT NOT NULL,open REAL,high REAL,low "
    "REAL,close REAL,volume INTEGER,PRIMARY KEY(code, date))";
inline constexpr const char* kCreateCodeIndexSql =
    "CREATE INDEX IF NOT EXISTS idx_kabukadb_code ON kabukadb (code)";
inline constexpr const char* kCreateDateIndexSql =
    "CREATE INDEX IF NOT EXISTS idx_kabukadb_date ON kabukadb (date)";

// The code is bound, never formatted into the text.
inline constexpr const char* kSelectCodeNewestFirstSql =
    "SELECT * FROM kabukadb WHERE code = ? order by date desc;";
inline constexpr const char* kSelectLastDateSql =
    "SELECT date FROM kabukadb WHERE code = ? ORDER BY date DESC LIMIT 1;";
inline constexpr const char* kSelectCodeOldestFirstSql =
    "SELECT date, open, high, low, close, volume FROM kabukadb WHERE code=? ORDER BY date ASC;";
// Insert or overwrite one day; parameters code, date, open, high, low, close, volume.
inline constexpr const char* kUpsertPriceSql =
    "INSERT INTO kabukadb (code, date, open, high, low, close, volume) VALUES (?,?,?,?,?,?,?) ON "
    "CONFLICT(code, date) DO UPDATE SET open=excluded.open, high=excluded.high, low=excluded.low, "
    "close=excluded.close, volume=excluded.volume;";

// One day of one code. A price that is absent is stored as NULL; a stored 0 reads back as absent.
struct PriceRow {
    std::string code;
    std::string date; // "YYYY-MM-DD"
    std::optional<double> open;
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> close;
    std::int64_t volume = 0;

    bool operator==(const PriceRow&) const = default;
};

// The outcome of a bulk write: committed only when no row failed.
struct BulkWriteResult {
    // A failure holds the first error (SQLite's text, with the row when a row failed; the same
    // in both languages); nothing of the run was kept then.
    framework::Result<> outcome;
    std::size_t rowsWritten = 0; // rows stored (0 unless committed)
    std::size_t rowsFailed = 0;
    // The 1-based position in the run of the first row that failed; 0 when the failure was not
    // a row's (the transaction, the commit).
    std::size_t firstFailedRow = 0;

    bool ok() const { return outcome.ok(); } // committed
};

// How a bulk write may speed itself up; the stored result is the same either way.
struct BulkWriteOptions {
    // Rows the caller is about to add, when known. A run at least half the size of the table
    // (and at least kRebuildIndexesMinRows) drops the two secondary indexes for its duration
    // and builds them again before the commit, which is several times cheaper than updating
    // them row by row. 0: unknown, the indexes are updated row by row.
    std::size_t expectedRows = 0;
    // Added rows are held back and written in batches of this many, sorted by code and date,
    // so that consecutive rows land next to each other in the key b-trees.
    std::size_t sortBatchRows = std::size_t{1} << 18;
};

inline constexpr std::size_t kRebuildIndexesMinRows = 65536;

// Writes rows in one transaction with one prepared upsert; the rows of the run are kept only
// if every row succeeded. Feed rows with add() and end with finish(); destroying an
// unfinished writer rolls back. Rows with the same code and date keep their order, so the
// last one added wins as with row-by-row upserts.
class PriceBulkWriter {
public:
    explicit PriceBulkWriter(framework::ZSqlElement& db, BulkWriteOptions options = {});
    ~PriceBulkWriter();
    PriceBulkWriter(const PriceBulkWriter&) = delete;
    PriceBulkWriter& operator=(const PriceBulkWriter&) = delete;

    // False once a row has failed (or the writer could not start). A row without code or
    // date fails at once; a row SQLite refuses fails when its batch is written, so that
    // failure shows on a later add() or in finish().
    bool add(const PriceRow& row);
    bool add(PriceRow&& row);
    BulkWriteResult finish(); // commit or roll back

private:
    struct Pending {
        PriceRow row;
        std::size_t number; // 1-based position in the run, for messages
    };

    void dropSecondaryIndexes(std::size_t expectedRows);
    bool rebuildSecondaryIndexes();
    void writePending();
    void writeRow(const Pending& pending);
    void fail(std::string error, std::size_t row = 0);
    bool failed() const { return m_result.rowsFailed > 0 || !m_result.outcome.ok(); }

    framework::ZSqlElement& m_db;
    BulkWriteOptions m_options;
    std::unique_ptr<framework::SqlTransaction> m_transaction;
    std::unique_ptr<framework::SqlStatement> m_upsert;
    std::vector<Pending> m_pending;
    BulkWriteResult m_result;
    std::size_t m_rowsAdded = 0;
    bool m_indexesDropped = false;
    bool m_finished = false;
};

class PriceDatabase {
public:
    explicit PriceDatabase(framework::ZSqlElement& db) : m_db(db) {}

    // Opens priceDbDir/kabuka.db into the connection and creates the table and its indexes.
    // Returns the open result (0 on success); every result code stays in the connection.
    static int open(framework::ZSqlElement& db, const std::string& priceDbDir);

    // Every row of a code, newest first; empty for an unknown code or a closed database.
    std::vector<PriceRow> rowsNewestFirst(const std::string& code) const;
    // Every row of a code, oldest first.
    std::vector<PriceRow> rowsOldestFirst(const std::string& code) const;
    // The last stored day of a code; none when it has no rows.
    std::optional<std::string> lastDate(const std::string& code) const;

    BulkWriteResult write(const std::vector<PriceRow>& rows);

private:
    std::vector<PriceRow> readRows(const char* sql, const std::string& code) const;

    framework::ZSqlElement& m_db;
};

} // namespace tavora::market
