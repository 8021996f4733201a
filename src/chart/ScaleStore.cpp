#include "chart/ScaleStore.h"

#include <sqlite3.h>

#include <cctype>
#include <strings.h>

namespace tavora::chart {

using framework::quoteIdentifier;
using framework::SQLList;
using framework::SQLListElement;
using framework::SQLListRow;
using framework::SqlStatement;
using framework::ZSqlElement;

namespace {

const char* const kPeriodLetters[4] = {"d", "w", "m", "y"};

bool attachFile(ZSqlElement& memory, const std::string& filePath) {
    SQLList none;
    SQLListRow path;
    path.add(SQLListElement::text("path", filePath));
    return framework::SQL_exec(memory, "ATTACH ? as filedb;", none, path) == 0;
}

// True when `sql` is exactly one CREATE TABLE statement (a crafted file may store more text
// after the statement that SQLite itself ignores when it reads the schema).
bool singleCreateTable(sqlite3* handle, const std::string& sql) {
    std::size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || strncasecmp(sql.c_str() + start, "CREATE TABLE", 12) != 0)
        return false;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK || !tail)
        return false;
    for (; *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';')
            return false;
    return true;
}

// A column of a result row by name, in any case: SQLite names a result column as the table
// declares it, and a file may declare `D_X_HABA_P` for the `d_x_haba_p` the store writes.
const framework::SQLListElement* columnAnyCase(const SQLListRow& row, const std::string& name) {
    for (const auto& e : row.elements)
        if (e.name.size() == name.size() && strncasecmp(e.name.c_str(), name.c_str(), name.size()) == 0)
            return &e;
    return nullptr;
}

bool tableInMemory(ZSqlElement& memory, const std::string& name) {
    SqlStatement st(memory, "SELECT 1 FROM main.sqlite_master WHERE type='table' AND name=?;");
    st.bindText(1, name);
    return st.ok() && st.step() == SQLITE_ROW;
}

} // namespace

ScaleCopyResult ScaleStore::loadFile(const std::string& filePath) {
    ScaleCopyResult result;
    std::vector<std::pair<std::string, std::string>> tables;
    std::string encoding = "UTF-8";
    {
        ZSqlElement file;
        if (framework::SQL_Open(file, filePath) == 0) {
            framework::SQL_exec(file, kCreateScaleTableSql);
            SQLList rows;
            rows.columns = {"name", "sql"};
            if (framework::SQL_exec(file, "SELECT * FROM sqlite_master WHERE type='table';", rows) == 0) {
                result.fileOpened = true;
                for (const auto& r : rows.rows)
                    tables.emplace_back(r.value("name"), r.value("sql"));
            }
            SQLList enc;
            if (framework::SQL_exec(file, "pragma encoding;", enc) == 0 && !enc.empty())
                encoding = enc.rows[0].elements.empty() ? encoding : enc.rows[0].elements[0].value;
        }
    }
    if (framework::SQL_Open(m_memory, ":memory:") != 0)
        return result;
    // Only the encodings SQLite names go into the pragma's text.
    if (encoding == "UTF-8" || encoding == "UTF-16le" || encoding == "UTF-16be")
        framework::SQL_exec(m_memory, "pragma encoding ='" + encoding + "';");
    if (result.fileOpened && attachFile(m_memory, filePath)) {
        for (const auto& [name, sql] : tables) {
            const bool usable = name != "usertable" && framework::isPlainIdentifier(name) &&
                                name.rfind("sqlite_", 0) != 0 && singleCreateTable(m_memory.handle(), sql);
            if (!usable || framework::SQL_exec(m_memory, sql) != 0 || !tableInMemory(m_memory, name)) {
                result.skipped.push_back(name);
                continue;
            }
            const std::string quoted = quoteIdentifier(name);
            if (framework::SQL_exec(m_memory,
                                    "insert into main." + quoted + " select * from filedb." + quoted) == 0)
                result.copied.push_back(name);
            else
                result.skipped.push_back(name);
        }
        framework::SQL_exec(m_memory, "DETACH filedb;");
    }
    framework::SQL_exec(m_memory, kCreateScaleTableSql); // when the file held none
    return result;
}

bool ScaleStore::writeBack(const std::string& filePath) {
    if (!m_memory.isOpen())
        return false;
    {
        ZSqlElement file;
        if (framework::SQL_Open(file, filePath) != 0)
            return false;
        framework::SQL_exec(file, kCreateScaleTableSql);
    }
    // The delete and the copy run in one transaction over the attached file, so a failed copy
    // leaves the file's rows as they were.
    if (!attachFile(m_memory, filePath))
        return false;
    bool ok = false;
    {
        framework::SqlTransaction transaction(m_memory);
        ok = transaction.active() &&
             framework::SQL_exec(m_memory, "DELETE FROM filedb.'graphdata_tb';") == 0 &&
             framework::SQL_exec(m_memory, "insert into filedb.graphdata_tb select * from graphdata_tb") ==
                 0 &&
             transaction.commit() == 0;
    }
    framework::SQL_exec(m_memory, "DETACH filedb;");
    framework::SQL_Close(m_memory);
    return ok;
}

std::optional<CodeScale> readCodeScale(ZSqlElement& db, const std::string& code, const CodeScale& current) {
    if (!db.isOpen())
        return std::nullopt;
    SQLList rows;
    SQLListRow params;
    params.add(SQLListElement::text("code", code));
    if (framework::SQL_exec(db, kSelectScaleSql, rows, params) != 0 || rows.empty())
        return std::nullopt;
    const SQLListRow& row = rows.rows.front();
    CodeScale scale = current;
    auto apply = [&](const std::string& column, settings::ScaleBounds bounds, int fallback, int& target) {
        const auto* e = columnAnyCase(row, column);
        if (e && !e->isNull)
            target = readScaleValue(e->value, bounds).value_or(fallback);
    };
    for (int p = 0; p < 4; ++p) {
        apply(std::string(kPeriodLetters[p]) + "_x_haba_p", settings::kPitchBounds, CodeScale::kDefaultPitch,
              scale.pitch[p]);
        apply(std::string(kPeriodLetters[p]) + "_y_ichimemori", settings::kTickBounds,
              CodeScale::kDefaultTick, scale.tick[p]);
        scale.fixedGrid[p] = 0;
        apply("sonota" + std::to_string(p + 1), kFixedGridBounds, 0, scale.fixedGrid[p]);
    }
    return scale;
}

CodeScale ScaleStore::load(const std::string& code, const CodeScale& current) const {
    return readCodeScale(m_memory, code, current).value_or(CodeScale{});
}

bool ScaleStore::save(const std::string& code, const CodeScale& scale) {
    std::vector<std::string> values;
    for (int p = 0; p < 4; ++p) {
        values.push_back(std::to_string(scale.pitch[p]));
        values.push_back(std::to_string(scale.tick[p]));
    }
    for (int grid : scale.fixedGrid)
        values.push_back(std::to_string(grid));
    SQLListRow params;
    params.add(SQLListElement::text("code", code));
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& v : values)
            params.add(SQLListElement::text("value", v));
    SQLList none;
    return framework::SQL_exec(m_memory, kUpsertScaleSql, none, params) == 0;
}

} // namespace tavora::chart
