#include "framework/Sql.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tavora::framework {

SQLListElement SQLListElement::integer(std::string name, std::int64_t v) {
    return {std::move(name), SqlInteger, std::to_string(v), false};
}
SQLListElement SQLListElement::text(std::string name, std::string v) {
    return {std::move(name), SqlText, std::move(v), false};
}
SQLListElement SQLListElement::real(std::string name, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return {std::move(name), SqlReal, buf, false};
}
SQLListElement SQLListElement::null(std::string name, int type) {
    return {std::move(name), type, {}, true};
}

const SQLListElement* SQLListRow::GetKeyElement(std::string_view name) const {
    for (const auto& e : elements)
        if (e.name == name)
            return &e;
    return nullptr;
}

std::string SQLListRow::value(std::string_view name) const {
    const auto* e = GetKeyElement(name);
    return e && !e->isNull ? e->value : std::string();
}

ZSqlElement::~ZSqlElement() {
    SQL_Close(*this);
}

ZSqlElement::ZSqlElement(ZSqlElement&& other) noexcept
    : list(std::move(other.list)), m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path)),
      m_lastError(std::move(other.m_lastError)), m_lastResult(other.m_lastResult) {}

ZSqlElement& ZSqlElement::operator=(ZSqlElement&& other) noexcept {
    if (this != &other) {
        SQL_Close(*this);
        list = std::move(other.list);
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_lastError = std::move(other.m_lastError);
        m_lastResult = other.m_lastResult;
    }
    return *this;
}

void setSqlResult(ZSqlElement& db, int code, std::string error) {
    db.m_lastResult = code;
    db.m_lastError = std::move(error);
}

namespace {
void recordResult(ZSqlElement& db, int code) {
    if (code == SQLITE_OK || code == SQLITE_DONE || code == SQLITE_ROW)
        setSqlResult(db, code == SQLITE_ROW || code == SQLITE_DONE ? SQLITE_OK : code, {});
    else
        setSqlResult(db, code, db.handle() ? sqlite3_errmsg(db.handle()) : sqlite3_errstr(code));
}
} // namespace

int SQL_Open(ZSqlElement& db, const std::string& path, bool lockCalls) {
    return SQL_Open(db, path, SqlOpenMode::Create, lockCalls);
}

int SQL_Open(ZSqlElement& db, const std::string& path, SqlOpenMode mode, bool lockCalls) {
    SQL_Close(db);
    sqlite3* handle = nullptr;
    const int access = mode == SqlOpenMode::ReadOnly    ? SQLITE_OPEN_READONLY
                       : mode == SqlOpenMode::ReadWrite ? SQLITE_OPEN_READWRITE
                                                        : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // URI names are on so that an ATTACH can open a file read-only ("file:...?mode=ro") on
    // every SQLite build; our own paths are absolute and never read as URIs.
    int rc = sqlite3_open_v2(
        path.c_str(), &handle,
        access | SQLITE_OPEN_URI | (lockCalls ? SQLITE_OPEN_FULLMUTEX : SQLITE_OPEN_NOMUTEX), nullptr);
    if (rc != SQLITE_OK) {
        std::string err = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
        sqlite3_close(handle);
        setSqlResult(db, rc, std::move(err));
        return rc;
    }
    sqlite3_busy_timeout(handle, 5000);
    db.m_db = handle;
    db.m_path = path;
    setSqlResult(db, SQLITE_OK, {});
    return 0;
}

int SQL_Close(ZSqlElement& db) {
    if (!db.m_db)
        return SQLITE_OK;
    // sqlite3_close (not _v2) so that a statement left open is reported, not left as a zombie;
    // the handle is given up either way.
    int rc = sqlite3_close(db.m_db);
    if (rc != SQLITE_OK) {
        setSqlResult(db, rc, sqlite3_errmsg(db.m_db));
        sqlite3_close_v2(db.m_db);
    }
    db.m_db = nullptr;
    return rc;
}

int SQL_exec(ZSqlElement& db, const std::string& sql) {
    if (!db.isOpen()) {
        setSqlResult(db, SQLITE_MISUSE, "database is not open");
        return SQLITE_MISUSE;
    }
    char* err = nullptr;
    int rc = sqlite3_exec(db.handle(), sql.c_str(), nullptr, nullptr, &err);
    setSqlResult(db, rc, err ? err : std::string());
    sqlite3_free(err);
    return rc;
}

int SQL_exec(ZSqlElement& db, const std::string& sql, SQLList& out, const SQLListRow& params) {
    if (!db.isOpen()) {
        setSqlResult(db, SQLITE_MISUSE, "database is not open");
        return SQLITE_MISUSE;
    }
    SqlStatement st(db, sql);
    if (!st.ok())
        return db.lastResult();
    for (std::size_t i = 0; i < params.elements.size(); ++i) {
        int rc = st.bind(static_cast<int>(i + 1), params.elements[i]);
        if (rc != SQLITE_OK) {
            recordResult(db, rc);
            return rc;
        }
    }
    const int n = st.columnCount();
    std::vector<int> wanted; // result column index for each output column
    std::vector<std::string> names;
    if (out.columns.empty()) {
        for (int c = 0; c < n; ++c) {
            wanted.push_back(c);
            names.push_back(st.columnName(c));
        }
    } else {
        for (const auto& name : out.columns) {
            int found = -1;
            for (int c = 0; c < n && found < 0; ++c)
                if (st.columnName(c) == name)
                    found = c;
            wanted.push_back(found);
            names.push_back(name);
        }
    }
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        SQLListRow row;
        row.elements.reserve(wanted.size());
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i] < 0 || st.columnIsNull(wanted[i]))
                row.add(SQLListElement::null(names[i]));
            else
                row.add(SQLListElement::text(names[i], st.columnText(wanted[i])));
        }
        out.rows.push_back(std::move(row));
    }
    recordResult(db, rc);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ExecSqlElm2(ZSqlElement& db, const std::string& sql, const SQLList& rows) {
    if (!db.isOpen()) {
        setSqlResult(db, SQLITE_MISUSE, "database is not open");
        return SQLITE_MISUSE;
    }
    SqlStatement st(db, sql);
    if (!st.ok())
        return db.lastResult();
    for (const auto& row : rows.rows) {
        st.clearBindings();
        st.reset();
        for (std::size_t i = 0; i < row.elements.size(); ++i) {
            int rc = st.bind(static_cast<int>(i + 1), row.elements[i]);
            if (rc != SQLITE_OK) {
                recordResult(db, rc);
                return rc;
            }
        }
        int rc = st.step();
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            recordResult(db, rc);
            return rc;
        }
    }
    setSqlResult(db, SQLITE_OK, {});
    return SQLITE_OK;
}

SqlStatement::SqlStatement(ZSqlElement& db, std::string_view sql) : m_db(db) {
    if (!db.isOpen()) {
        m_error = "database is not open";
        setSqlResult(db, SQLITE_MISUSE, m_error);
        return;
    }
    int rc = sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        m_error = sqlite3_errmsg(db.handle());
        setSqlResult(db, rc, m_error);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(m_stmt);
}

int SqlStatement::bindText(int index, std::string_view value) {
    return sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}
int SqlStatement::bindTextNoCopy(int index, std::string_view value) {
    return sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
}
int SqlStatement::bindInt64(int index, std::int64_t value) {
    return sqlite3_bind_int64(m_stmt, index, value);
}
int SqlStatement::bindDouble(int index, double value) {
    return sqlite3_bind_double(m_stmt, index, value);
}
int SqlStatement::bindNull(int index) {
    return sqlite3_bind_null(m_stmt, index);
}
int SqlStatement::bindOptional(int index, const std::optional<double>& value) {
    return value ? bindDouble(index, *value) : bindNull(index);
}

int SqlStatement::bind(int index, const SQLListElement& e) {
    if (e.isNull)
        return bindNull(index);
    switch (e.type) {
    case SqlInteger:
        return bindInt64(index, std::strtoll(e.value.c_str(), nullptr, 10));
    case SqlReal:
        return bindDouble(index, std::strtod(e.value.c_str(), nullptr));
    default:
        return bindText(index, e.value);
    }
}

int SqlStatement::step() {
    int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_error = sqlite3_errmsg(m_db.handle());
    return rc;
}
int SqlStatement::reset() {
    return sqlite3_reset(m_stmt);
}
int SqlStatement::clearBindings() {
    return sqlite3_clear_bindings(m_stmt);
}
int SqlStatement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}
std::string SqlStatement::columnName(int col) const {
    const char* n = sqlite3_column_name(m_stmt, col);
    return n ? n : "";
}
bool SqlStatement::columnIsNull(int col) const {
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}
std::string SqlStatement::columnText(int col) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string();
}
std::int64_t SqlStatement::columnInt64(int col) const {
    return sqlite3_column_int64(m_stmt, col);
}
double SqlStatement::columnDouble(int col) const {
    return sqlite3_column_double(m_stmt, col);
}

SqlTransaction::SqlTransaction(ZSqlElement& db, std::string_view beginSql) : m_db(db) {
    m_active = SQL_exec(db, std::string(beginSql)) == SQLITE_OK;
}

SqlTransaction::~SqlTransaction() {
    if (m_active)
        rollback();
}

int SqlTransaction::commit() {
    if (!m_active)
        return SQLITE_MISUSE;
    int rc = SQL_exec(m_db, "COMMIT;");
    if (rc == SQLITE_OK)
        m_active = false;
    return rc;
}

int SqlTransaction::rollback() {
    if (!m_active)
        return SQLITE_OK;
    m_active = false;
    // Keep the error of the failure that caused the rollback visible to the caller.
    std::string err = m_db.lastError();
    int code = m_db.lastResult();
    sqlite3_exec(m_db.handle(), "ROLLBACK;", nullptr, nullptr, nullptr);
    setSqlResult(m_db, code, std::move(err));
    return SQLITE_OK;
}

std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool isPlainIdentifier(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (unsigned char c : name)
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

} // namespace tavora::framework
