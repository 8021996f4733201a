#pragma once
// One SQLite value with its storage class kept (NULL, integer, real, text or blob), read from a
// result column and bound again unchanged: rows copied from one database to another through it
// come out byte for byte as they went in. Plain data; safe from any thread.
#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace tavora::framework {

struct SqlValue {
    enum class Type { Null, Integer, Real, Text, Blob };

    Type type = Type::Null;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string bytes; // text or blob contents (may hold NUL bytes)

    static SqlValue fromColumn(sqlite3_stmt* stmt, int column);
    static SqlValue ofInteger(std::int64_t v) { return {Type::Integer, v, 0.0, {}}; }
    static SqlValue ofText(std::string v) { return {Type::Text, 0, 0.0, std::move(v)}; }

    bool isNull() const { return type == Type::Null; }
    // Binds the value to a 1-based parameter; returns the SQLite result code.
    int bind(sqlite3_stmt* stmt, int index) const;

    friend bool operator==(const SqlValue&, const SqlValue&) = default;
};

} // namespace tavora::framework
