#pragma once
// The SQL wrapper every subsystem uses to reach its SQLite files.
// A ZSqlElement owns one connection; it is used by one thread at a time
// (the owner hands it over, it is never shared concurrently).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tavora::framework {

// Element types of a statement parameter or result value.
enum SqlElementType : int { SqlInteger = 101, SqlText = 102, SqlReal = 104 };

// One named value: a query result cell (always readable as text) or a statement parameter.
struct SQLListElement {
    std::string name;
    int type = SqlText;
    std::string value; // text form; for parameters of type 101 / 104 it is parsed when bound
    bool isNull = false;

    static SQLListElement integer(std::string name, std::int64_t v);
    static SQLListElement text(std::string name, std::string v);
    static SQLListElement real(std::string name, double v);
    static SQLListElement null(std::string name, int type = SqlText);
};

// One result row, or one row of parameters bound in order.
class SQLListRow {
public:
    std::vector<SQLListElement> elements;

    void add(SQLListElement e) { elements.push_back(std::move(e)); }
    // The element of a column, or nullptr when the row has no such column.
    const SQLListElement* GetKeyElement(std::string_view name) const;
    // The text of a column; empty when absent or NULL.
    std::string value(std::string_view name) const;
};

// Query results (columns named in `columns`, all when empty) or a batch of parameter rows.
class SQLList {
public:
    std::vector<std::string> columns;
    std::vector<SQLListRow> rows;

    void reset() { rows.clear(); }
    bool empty() const { return rows.empty(); }
    std::size_t size() const { return rows.size(); }
};

enum class SqlOpenMode {
    Create,    // read and write, creating the file when missing
    ReadWrite, // an existing file only (a journal left by a crash can still be rolled back)
    ReadOnly,  // an existing file, never written
};

// One connection with its last error text, last result code and a reusable result list.
class ZSqlElement {
public:
    ZSqlElement() = default;
    ~ZSqlElement();
    ZSqlElement(const ZSqlElement&) = delete;
    ZSqlElement& operator=(const ZSqlElement&) = delete;
    ZSqlElement(ZSqlElement&& other) noexcept;
    ZSqlElement& operator=(ZSqlElement&& other) noexcept;

    sqlite3* handle() const { return m_db; }
    bool isOpen() const { return m_db != nullptr; }
    const std::string& lastError() const { return m_lastError; }
    int lastResult() const { return m_lastResult; }
    const std::string& path() const { return m_path; }

    SQLList list; // reusable result list

private:
    friend int SQL_Open(ZSqlElement&, const std::string&, SqlOpenMode, bool);
    friend int SQL_Close(ZSqlElement&);
    friend void setSqlResult(ZSqlElement&, int, std::string);
    sqlite3* m_db = nullptr;
    std::string m_path;
    std::string m_lastError;
    int m_lastResult = 0;
};

// Opens (creating when missing) the file, or ":memory:". Returns 0 on success. A connection that
// only ever one thread uses at a time (handed over, never shared) may skip SQLite's own locking
// of every call (`lockCalls` false).
int SQL_Open(ZSqlElement& db, const std::string& path, bool lockCalls = true);
// The same with the file opened as `mode` says.
int SQL_Open(ZSqlElement& db, const std::string& path, SqlOpenMode mode, bool lockCalls = true);
// Closes the connection. Returns SQLite's result of the close (0 = OK; a statement still open
// makes it fail, and the handle is given up all the same).
int SQL_Close(ZSqlElement& db);
// Runs SQL text (one or more statements). Returns the SQLite result code (0 = OK).
int SQL_exec(ZSqlElement& db, const std::string& sql);
// Runs one query and appends one row per result row to `out` (the columns named in
// out.columns, every column when that is empty). Parameters are bound in order.
int SQL_exec(ZSqlElement& db, const std::string& sql, SQLList& out, const SQLListRow& params = {});
// Prepares `sql` once and runs it for every row of `rows`, binding each row's elements in
// order. Stops at the first failure. Returns 0 when every row succeeded.
int ExecSqlElm2(ZSqlElement& db, const std::string& sql, const SQLList& rows);

// Records a result code and error text on the connection (for code that calls SQLite directly).
void setSqlResult(ZSqlElement& db, int code, std::string error);

// RAII prepared statement over a connection.
class SqlStatement {
public:
    SqlStatement(ZSqlElement& db, std::string_view sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    sqlite3_stmt* handle() const { return m_stmt; }
    const std::string& error() const { return m_error; }

    // Parameter indexes are 1-based. Each returns the SQLite result code.
    int bindText(int index, std::string_view value);
    // Binds without copying: the text must stay unchanged until the statement is stepped
    // and reset.
    int bindTextNoCopy(int index, std::string_view value);
    int bindInt64(int index, std::int64_t value);
    int bindDouble(int index, double value);
    int bindNull(int index);
    int bindOptional(int index, const std::optional<double>& value);
    int bind(int index, const SQLListElement& element);

    int step(); // SQLITE_ROW (100), SQLITE_DONE (101) or an error code
    int reset();
    int clearBindings();

    int columnCount() const;
    std::string columnName(int col) const;
    bool columnIsNull(int col) const;
    std::string columnText(int col) const;
    std::int64_t columnInt64(int col) const;
    double columnDouble(int col) const;

private:
    ZSqlElement& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::string m_error;
};

// RAII transaction: BEGIN on construction, ROLLBACK on destruction unless committed.
class SqlTransaction {
public:
    explicit SqlTransaction(ZSqlElement& db, std::string_view beginSql = "BEGIN TRANSACTION;");
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool active() const { return m_active; }
    int commit();   // "COMMIT;"; returns the result code
    int rollback(); // "ROLLBACK;"

private:
    ZSqlElement& m_db;
    bool m_active = false;
};

// Quotes an identifier for SQL text ("name" with inner quotes doubled).
std::string quoteIdentifier(std::string_view name);
// True for a plain identifier: letters, digits and underscores, not starting with a digit.
bool isPlainIdentifier(std::string_view name);

} // namespace tavora::framework
