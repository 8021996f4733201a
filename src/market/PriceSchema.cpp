#include "market/PriceSchema.h"

#include "market/PriceDatabase.h"

#include <sqlite3.h>

#include <map>
#include <optional>
#include <utility>

namespace tavora::market {

namespace {

struct SchemaObject {
    std::string type;
    std::string table; // the table it belongs to
    std::optional<std::string> sql; // none for the indexes SQLite makes itself

    bool operator==(const SchemaObject&) const = default;
};

// Keyed by name; none when the schema cannot be read.
using Schema = std::map<std::string, SchemaObject>;

std::string columnText(sqlite3_stmt* st, int col) {
    const auto* text = sqlite3_column_text(st, col);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

std::optional<Schema> readSchema(sqlite3* db, std::string& error) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT type, name, tbl_name, sql FROM sqlite_master;", -1, &st, nullptr) !=
        SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return std::nullopt;
    }
    Schema schema;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        SchemaObject object{columnText(st, 0), columnText(st, 2), std::nullopt};
        if (sqlite3_column_type(st, 3) != SQLITE_NULL)
            object.sql = columnText(st, 3);
        schema.emplace(columnText(st, 1), std::move(object));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        error = sqlite3_errstr(rc);
        return std::nullopt;
    }
    return schema;
}

// The schema PriceDatabase::open creates, made once in memory with the same statements.
const Schema& programSchema() {
    static const Schema schema = [] {
        sqlite3* db = nullptr;
        Schema made;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK) {
            for (const char* sql : {kCreatePriceTableSql, kCreateCodeIndexSql, kCreateDateIndexSql})
                sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
            std::string ignored;
            made = readSchema(db, ignored).value_or(Schema{});
        }
        sqlite3_close(db);
        return made;
    }();
    return schema;
}

// A name from the file, fit for a one-line message: control characters replaced, kept short.
std::string shown(const std::string& name) {
    constexpr std::size_t kMaxShown = 60;
    std::string out;
    for (std::size_t i = 0; i < name.size() && i < kMaxShown; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        out += c < 0x20 || c == 0x7F ? '?' : name[i];
    }
    if (name.size() > kMaxShown) {
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80)
            out.pop_back(); // not half a character
        if (!out.empty() && static_cast<unsigned char>(out.back()) >= 0xC0)
            out.pop_back();
        out += "...";
    }
    return "\"" + out + "\"";
}

} // namespace

std::string priceSchemaProblem(sqlite3* db) {
    std::string error;
    const auto schema = readSchema(db, error);
    if (!schema)
        return "its schema cannot be read: " + error;
    const Schema& expected = programSchema();
    if (expected.empty())
        return "the price table's schema cannot be made to compare with";
    constexpr const char* kOnly = "; a price database holds only table kabukadb and its two indexes";
    for (const auto& [name, object] : *schema) {
        const auto it = expected.find(name);
        if (it == expected.end())
            return "it holds " + object.type + " " + shown(name) + kOnly;
        if (!(it->second == object))
            return object.type + " " + shown(name) + " is not the one the program creates" + kOnly;
    }
    for (const auto& [name, object] : expected)
        if (!schema->contains(name))
            return "it lacks " + object.type + " " + shown(name);
    return {};
}

} // namespace tavora::market
