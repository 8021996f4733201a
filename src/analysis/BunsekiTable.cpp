#include "analysis/BunsekiTable.h"

#include "analysis/BunsekiProgram.h"

#include "framework/ColorText.h"
#include "framework/CsvReader.h"

#include <filesystem>

namespace tavora::analysis {

using framework::SQLList;
using framework::SQLListElement;
using framework::SQLListRow;
using framework::ZSqlElement;

namespace {

constexpr const char* kCells[9] = {"graphmei", "hyouji_bl", "cr",      "width",  "sensyu",
                                   "siki",     "sonota1",   "sonota2", "sonota3"};

constexpr const char* kSeedInsertSql =
    "INSERT INTO 'bunsekitb' (graphmei,hyouji_bl,cr,width,sensyu,siki,sonota1,sonota2,sonota3)"
    "SELECT ?,?,?,?,?,?,?,?,? WHERE NOT EXISTS(SELECT 1 FROM bunsekitb WHERE graphmei = ?);";
constexpr const char* kSeedUpdateSql =
    "UPDATE bunsekitb SET sonota1 = ?,sonota2 = ?,sonota3 = ? WHERE graphmei = ?;";
constexpr const char* kSaveInsertSql =
    "INSERT INTO 'bunsekitb' (graphmei,hyouji_bl,cr,width,sensyu,siki,sonota1,sonota2,sonota3) "
    "VALUES (?,?,?,?,?,?,?,?,?);";

SQLListElement cell(int index, const BunsekiRow& row) {
    return SQLListElement::text(kCells[index], row[index]);
}

BunsekiResult failure(const ZSqlElement& db, const std::string& what) {
    return {false, what + ": " + db.lastError()};
}

// The shown cell as the table stores it.
const char* shownText(const std::string& cell) {
    return cell == "1" ? "1" : "0";
}

} // namespace

bool BunsekiRowsEqual(const std::vector<BunsekiRow>& a, const std::vector<BunsekiRow>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t r = 0; r < a.size(); ++r)
        for (std::size_t c = 0; c < 9; ++c) {
            const bool same =
                c == 1 ? std::string_view(shownText(a[r][c])) == shownText(b[r][c]) : a[r][c] == b[r][c];
            if (!same)
                return false;
        }
    return true;
}

BunsekiResult LoadBunsekiList(ZSqlElement& db, BunsekiList& list) {
    list.clear();
    SQLList rows;
    if (framework::SQL_exec(db, "SELECT * FROM bunsekitb;", rows) != 0)
        return failure(db, "bunsekitb could not be read");
    for (const SQLListRow& row : rows.rows) {
        BunsekiElement& e = list.CreateBunsekiElement();
        e.name = row.value("graphmei");
        e.shown = row.value("hyouji_bl") == "1";
        e.colour = framework::ConvertTCHARtoCR(row.value("cr"));
        e.width = AtoiText(row.value("width"));
        e.lineStyle = LineStyleFromSensyu(row.value("sensyu"));
        e.formula = row.value("siki");
        e.kind = AtoiText(row.value("sonota1"));
        e.param1 = row.value("sonota2");
        e.param2 = row.value("sonota3");
        CompileBunsekiProgram(e); // parsed here once, not each time a chart opens
    }
    return {};
}

BunsekiResult ReadBunsekiRows(const std::string& dbPath, std::vector<BunsekiRow>& rows) {
    rows.clear();
    std::error_code ec;
    if (!std::filesystem::exists(dbPath, ec))
        return {};
    ZSqlElement db;
    if (framework::SQL_Open(db, dbPath) != 0)
        return {false, "bunseki.db could not be opened: " + db.lastError()};
    // Asking for the table first tells a file that is no database from one without the table.
    SQLList tables;
    tables.columns = {"n"};
    if (framework::SQL_exec(
            db, "SELECT count(*) AS n FROM sqlite_master WHERE type='table' AND name='bunsekitb';", tables) !=
            0 ||
        tables.rows.empty())
        return failure(db, "bunseki.db could not be read");
    if (tables.rows.front().value("n") == "0")
        return {};
    SQLList stored;
    if (framework::SQL_exec(db, "SELECT * FROM bunsekitb;", stored) != 0)
        return failure(db, "bunsekitb could not be read");
    for (const SQLListRow& r : stored.rows) {
        BunsekiRow row;
        for (int i = 0; i < 9; ++i)
            row[std::size_t(i)] = r.value(kCells[i]);
        rows.push_back(std::move(row));
    }
    return {};
}

BunsekiResult MergeBunsekiRows(ZSqlElement& db, const std::vector<BunsekiRow>& rows) {
    if (rows.empty())
        return {};
    SQLList inserts;
    SQLList updates;
    for (const BunsekiRow& r : rows) {
        SQLListRow ins;
        for (int i = 0; i < 9; ++i)
            ins.add(cell(i, r));
        ins.add(cell(0, r));
        inserts.rows.push_back(std::move(ins));
        updates.rows.push_back(SQLListRow{{cell(6, r), cell(7, r), cell(8, r), cell(0, r)}});
    }
    framework::SqlTransaction tx(db);
    if (!tx.active())
        return failure(db, "bunsekitb could not be written");
    if (framework::ExecSqlElm2(db, kSeedInsertSql, inserts) != 0)
        return failure(db, "the analysis graphs could not be added");
    if (framework::ExecSqlElm2(db, kSeedUpdateSql, updates) != 0)
        return failure(db, "the analysis graphs could not be updated");
    if (tx.commit() != 0)
        return failure(db, "the analysis graphs could not be stored");
    return {};
}

BunsekiResult ReadBunsekiCsv(const std::string& path, std::vector<BunsekiRow>& rows) {
    rows.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return {};
    framework::CsvResult csv = framework::ReadCsvFileInfo(path, "UTF-8", '\t');
    if (!csv.ok())
        return {false, "bunseki.csv could not be read: " + csv.error};
    for (auto& record : csv.rows) {
        // A record without a name (a blank line) cannot be a graph: the name is the key.
        if (record.empty() || record[0].empty())
            continue;
        BunsekiRow row;
        for (std::size_t i = 0; i < row.size() && i < record.size(); ++i)
            row[i] = std::move(record[i]);
        rows.push_back(std::move(row));
    }
    return {};
}

BunsekiResult SeedBunsekiTable(const std::string& csvPath, const std::string& dbPath, BunsekiList& list) {
    std::vector<BunsekiRow> rows;
    BunsekiResult read = ReadBunsekiCsv(csvPath, rows);
    ZSqlElement db;
    if (framework::SQL_Open(db, dbPath) != 0)
        return {false, "bunseki.db could not be opened: " + db.lastError()};
    if (framework::SQL_exec(db, kCreateBunsekiTableSql) != 0)
        return failure(db, "bunsekitb could not be created");
    BunsekiResult merged = MergeBunsekiRows(db, rows);
    BunsekiResult loaded = LoadBunsekiList(db, list);
    framework::SQL_Close(db);
    for (const BunsekiResult* r : {&read, &merged, &loaded})
        if (!r->ok)
            return *r;
    return {};
}

BunsekiSaveResult SaveBunsekiTable(const std::string& dbPath, const std::vector<BunsekiRow>& rows,
                                   const std::vector<BunsekiRow>& loaded, BunsekiList& list) {
    if (BunsekiRowsEqual(rows, loaded))
        return {BunsekiSaveOutcome::Unchanged, {}};
    ZSqlElement db;
    if (framework::SQL_Open(db, dbPath) != 0)
        return {BunsekiSaveOutcome::Failed, "bunseki.db could not be opened: " + db.lastError()};

    // A table that start-up could not create is made now rather than failing the save.
    framework::SQL_exec(db, kCreateBunsekiTableSql);

    SQLList inserts;
    for (const BunsekiRow& r : rows) {
        SQLListRow ins;
        for (int i = 0; i < 9; ++i)
            ins.add(i == 1 ? SQLListElement::text(kCells[1], shownText(r[1])) : cell(i, r));
        inserts.rows.push_back(std::move(ins));
    }
    // The old rows go only when every new row is in: a failure leaves the table as it was.
    BunsekiResult written;
    {
        framework::SqlTransaction tx(db);
        if (!tx.active())
            written = failure(db, "bunsekitb could not be written");
        else if (framework::SQL_exec(db, "DELETE FROM bunsekitb;") != 0)
            written = failure(db, "bunsekitb could not be emptied");
        else if (!rows.empty() && framework::ExecSqlElm2(db, kSaveInsertSql, inserts) != 0)
            written = failure(db, "the analysis graphs could not be saved");
        else if (tx.commit() != 0)
            written = failure(db, "the analysis graphs could not be stored");
    }
    // A failed write leaves the table as it was, and so the list: reading it again could
    // only empty the list when the file is the reason of the failure.
    if (!written.ok)
        return {BunsekiSaveOutcome::Failed, written.error};
    const BunsekiResult loadedNow = LoadBunsekiList(db, list);
    framework::SQL_Close(db);
    if (!loadedNow.ok)
        return {BunsekiSaveOutcome::Failed, loadedNow.error};
    return {BunsekiSaveOutcome::Saved, {}};
}

} // namespace tavora::analysis
