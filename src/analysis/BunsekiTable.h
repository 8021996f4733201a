#pragma once
// The table `bunsekitb` of "bunseki.db": seeding it from "bunseki.csv" at start-up, loading
// the BunsekiList from it, and saving the editor's rows. UI thread (start-up and the
// editor's apply); each call opens and closes its own connection.
#include "analysis/BunsekiElement.h"
#include "framework/Sql.h"

#include <array>
#include <string>
#include <vector>

namespace tavora::analysis {

inline constexpr const char* kCreateBunsekiTableSql =
    "CREATE TABLE IF NOT EXISTS 'bunsekitb' (graphmei TEXT PRIMARY KEY,hyouji_bl TEXT,cr TEXT,width TEXT,"
    "sensyu TEXT,siki TEXT,sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,"
    "sonota7 TEXT,sonota8 TEXT,sonota9 TEXT,sonota10 TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 TEXT,"
    "sonota14 TEXT,sonota15 TEXT,sonota16 TEXT,sonota17 TEXT)";

// One definition as stored: the nine cells graphmei, hyouji_bl, cr, width, sensyu, siki,
// sonota1, sonota2, sonota3. Records of "bunseki.csv" and rows of the editor have this form.
using BunsekiRow = std::array<std::string, 9>;

// The outcome of a seeding or a save; `error` says what failed (for the log).
struct BunsekiResult {
    bool ok = true;
    std::string error;
};

// Reads "bunseki.csv" (UTF-8, TAB-separated): one row per record, missing fields empty,
// records without a graph name skipped. A missing file gives no rows and no error.
BunsekiResult ReadBunsekiCsv(const std::string& path, std::vector<BunsekiRow>& rows);

// The editor's rows: every row of `bunsekitb` as stored, in table order. A missing file or
// table gives no rows and no error (nothing is stored that a save could lose); a file that
// cannot be read (not a database, damaged, unreadable) is an error. Writes nothing.
BunsekiResult ReadBunsekiRows(const std::string& dbPath, std::vector<BunsekiRow>& rows);

// Whether two row lists are the same (the shown cell compared as "1" or anything else).
bool BunsekiRowsEqual(const std::vector<BunsekiRow>& a, const std::vector<BunsekiRow>& b);

// Empties the list and fills it from "SELECT * FROM bunsekitb;", in table order.
BunsekiResult LoadBunsekiList(framework::ZSqlElement& db, BunsekiList& list);

// Adds the rows whose names are not stored yet (at the end of the table) and takes the
// kind and parameters (sonota1 to sonota3) of every named graph from the rows; what the
// user set (shown, colour, width, line type, formula) stays. One transaction.
BunsekiResult MergeBunsekiRows(framework::ZSqlElement& db, const std::vector<BunsekiRow>& rows);

// Start-up: reads "bunseki.csv" when it exists, opens "bunseki.db" (when it cannot be
// opened the list stays empty), creates the table, merges the file's rows, loads the list
// and closes the database.
BunsekiResult SeedBunsekiTable(const std::string& csvPath, const std::string& dbPath, BunsekiList& list);

enum class BunsekiSaveOutcome {
    Unchanged, // the rows equal the loaded copy: nothing written, no reload needed
    Saved,     // the table holds exactly the rows; the list was reloaded
    Failed,    // nothing written: the table and the list keep what they had
};
struct BunsekiSaveResult {
    BunsekiSaveOutcome outcome = BunsekiSaveOutcome::Unchanged;
    std::string error;
};

// The editor's apply: when `rows` differ from `loaded` (the shown cell compared as "1" or
// "0"), replaces the table's rows by `rows` in their order in one transaction and reloads
// the list. A failed save leaves the table and the list as they were. The caller reloads the
// chart only when Saved.
BunsekiSaveResult SaveBunsekiTable(const std::string& dbPath, const std::vector<BunsekiRow>& rows,
                                   const std::vector<BunsekiRow>& loaded, BunsekiList& list);

} // namespace tavora::analysis
