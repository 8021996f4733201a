#include "framework/SqlValue.h"

#include <sqlite3.h>

namespace tavora::framework {

SqlValue SqlValue::fromColumn(sqlite3_stmt* stmt, int column) {
    SqlValue v;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        v.type = Type::Integer;
        v.integer = sqlite3_column_int64(stmt, column);
        break;
    case SQLITE_FLOAT:
        v.type = Type::Real;
        v.real = sqlite3_column_double(stmt, column);
        break;
    case SQLITE_TEXT: {
        v.type = Type::Text;
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        v.bytes.assign(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
        break;
    }
    case SQLITE_BLOB: {
        v.type = Type::Blob;
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        v.bytes.assign(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
        break;
    }
    default:
        break;
    }
    return v;
}

int SqlValue::bind(sqlite3_stmt* stmt, int index) const {
    switch (type) {
    case Type::Integer:
        return sqlite3_bind_int64(stmt, index, integer);
    case Type::Real:
        return sqlite3_bind_double(stmt, index, real);
    case Type::Text:
        return sqlite3_bind_text64(stmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    case Type::Blob:
        return sqlite3_bind_blob64(stmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    case Type::Null:
        break;
    }
    return sqlite3_bind_null(stmt, index);
}

} // namespace tavora::framework
