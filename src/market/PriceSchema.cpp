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

framework::Result<Schema> readSchema(framework::ZSqlElement& db) {
    framework::SqlStatement st(db, "SELECT type, name, tbl_name, sql FROM sqlite_master;");
    if (!st.ok())
        return framework::Failure::untranslated(st.error());
    Schema schema;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        SchemaObject object{st.columnText(0), st.columnText(2), std::nullopt};
        if (!st.columnIsNull(3))
            object.sql = st.columnText(3);
        schema.emplace(st.columnText(1), std::move(object));
    }
    if (rc != SQLITE_DONE)
        return framework::Failure::untranslated(sqlite3_errstr(rc));
    return schema;
}

// The schema PriceDatabase::open creates, made once in memory with the same statements.
const Schema& programSchema() {
    static const Schema schema = [] {
        framework::ZSqlElement db;
        Schema made;
        if (framework::SQL_Open(db, ":memory:") == SQLITE_OK) {
            for (const char* sql : {kCreatePriceTableSql, kCreateCodeIndexSql, kCreateDateIndexSql})
                framework::SqlStatement(db, sql).step();
            if (auto read = readSchema(db))
                made = std::move(*read);
        }
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

framework::Result<> checkPriceSchema(framework::ZSqlElement& db) {
    using framework::Failure;
    const auto schema = readSchema(db);
    if (!schema)
        return Failure::untranslated("its schema cannot be read: " + schema.english());
    const Schema& expected = programSchema();
    if (expected.empty())
        return Failure::untranslated("the price table's schema cannot be made to compare with");
    constexpr const char* kOnly = "; a price database holds only table kabukadb and its two indexes";
    for (const auto& [name, object] : *schema) {
        const auto it = expected.find(name);
        if (it == expected.end())
            return Failure::untranslated("it holds " + object.type + " " + shown(name) + kOnly);
        if (!(it->second == object))
            return Failure::untranslated(object.type + " " + shown(name) +
                                         " is not the one the program creates" + kOnly);
    }
    for (const auto& [name, object] : expected)
        if (!schema->contains(name))
            return Failure::untranslated("it lacks " + object.type + " " + shown(name));
    return {};
}

} // namespace tavora::market
