#include "annotations/DocumentFile.h"

#include "annotations/MemoEdit.h"
#include "annotations/PointerTools.h"
#include "framework/Files.h"
#include "framework/InputFile.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavora::annotations {

using framework::SqlStatement;
using framework::SqlTransaction;
using framework::ZSqlElement;

namespace {

// A document holds annotations and favourites; a file far above any real document is refused
// before it is read into memory.
constexpr std::int64_t kMaxDocumentBytes = std::int64_t(1) << 30;
constexpr int kCancelCheckRows = 512;

struct ReadFailure {
    std::string message;
    bool notADocument = false;
};

std::string notADocumentText(const std::string& path) {
    return "タボラファイルではありません。\n" + path;
}

// The file's bytes in memory SQLite may own (sqlite3_malloc64), or a failure.
struct FileImage {
    unsigned char* bytes = nullptr;
    sqlite3_int64 size = 0;
};

// Smaller than an SQLite header, or far above any real document.
bool implausibleSize(std::int64_t size) {
    return size < 100 || size > kMaxDocumentBytes;
}

bool readFileImage(const std::string& path, FileImage& image, ReadFailure& failure) {
    framework::InputFile file;
    if (!file.open(path)) {
        failure.message = "ファイルを開けません。\n" + path + "\n" + file.reason();
        return false;
    }
    if (implausibleSize(file.size())) {
        failure = {notADocumentText(path), true};
        return false;
    }
    image.size = file.size();
    image.bytes = static_cast<unsigned char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(image.size)));
    if (!image.bytes) {
        failure.message = "メモリが足りません。\n" + path;
        return false;
    }
    sqlite3_int64 done = 0;
    while (done < image.size) {
        const long n = file.read(image.bytes + done, static_cast<std::size_t>(image.size - done));
        if (n <= 0) {
            failure.message = "ファイルを読めません。\n" + path + "\n" +
                              (n < 0 ? file.reason() : "the file became shorter");
            sqlite3_free(image.bytes);
            image.bytes = nullptr;
            return false;
        }
        done += n;
    }
    return true;
}

// Checks the SQLite header of an image; frees it when it is no SQLite file.
bool acceptImage(FileImage& image, const std::string& path, ReadFailure& failure) {
    if (std::memcmp(image.bytes, "SQLite format 3", 16) != 0) {
        failure = {notADocumentText(path), true};
        sqlite3_free(image.bytes);
        image.bytes = nullptr;
        return false;
    }
    // A document left in WAL mode is read from its main file alone: as a rollback-journal
    // database, so that SQLite looks for no -wal or -shm file.
    if (image.bytes[18] == 2)
        image.bytes[18] = 1;
    if (image.bytes[19] == 2)
        image.bytes[19] = 1;
    return true;
}

// A private read-only database over the file image, with nothing of the document's own SQL
// (triggers, views, schema functions) able to run.
bool openImage(ZSqlElement& source, FileImage image, const std::string& path, ReadFailure& failure) {
    if (framework::SQL_Open(source, ":memory:", false) != 0) {
        sqlite3_free(image.bytes);
        failure.message = "ファイルを開けません。\n" + path;
        return false;
    }
    sqlite3* db = source.handle();
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    const int rc = sqlite3_deserialize(db, "main", image.bytes, image.size, image.size,
                                       SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY);
    if (rc != SQLITE_OK) { // the image was freed by SQLite
        failure = {notADocumentText(path), true};
        return false;
    }
    return true;
}

std::string pragmaText(ZSqlElement& db, const char* sql) {
    SqlStatement st(db, sql);
    return st.ok() && st.step() == SQLITE_ROW ? st.columnText(0) : std::string();
}

// The plain columns of a table that is an ordinary table; false when the name is missing or
// is a view or virtual table. Generated columns are left out (reading them would evaluate the
// document's expressions).
bool plainTableColumns(ZSqlElement& db, const char* table, std::vector<std::string>& columns) {
    {
        SqlStatement st(db, "SELECT type, sql FROM main.sqlite_master WHERE name = ? COLLATE NOCASE;");
        if (!st.ok() || st.bindText(1, table) != SQLITE_OK || st.step() != SQLITE_ROW)
            return false;
        const std::string type = st.columnText(0);
        const std::string sql = st.columnText(1);
        const std::size_t start = sql.find_first_not_of(" \t\r\n");
        if (type != "table" || start == std::string::npos ||
            strncasecmp(sql.c_str() + start, "CREATE TABLE", 12) != 0)
            return false;
    }
    SqlStatement st(db, "SELECT name, hidden FROM pragma_table_xinfo(?) ;");
    if (!st.ok() || st.bindText(1, table) != SQLITE_OK)
        return false;
    while (st.step() == SQLITE_ROW)
        if (st.columnInt64(1) == 0)
            columns.push_back(st.columnText(0));
    return !columns.empty();
}

bool hasColumn(const std::vector<std::string>& columns, std::string_view name) {
    for (const auto& c : columns)
        if (c.size() == name.size() && strncasecmp(c.c_str(), name.data(), name.size()) == 0)
            return true;
    return false;
}

// The text of an element cut to what its editor takes (a memo's or a text's), in characters:
// a text no editor could have made would otherwise be laid out in full at every paint.
// Texts within the limit, counted in bytes so that a NUL inside does not end the count, are
// taken byte for byte as they are.
std::string limitedText(const std::string& column) {
    const std::string limit = "CASE WHEN \"classname\" = 'MemoElm' THEN " + std::to_string(kMemoMaxCharacters) +
                              " ELSE " + std::to_string(kMaxTextCharacters) + " END";
    return "CASE WHEN typeof(" + column + ") IN ('text','blob') AND length(CAST(" + column + " AS BLOB)) > " +
           limit + " THEN substr(" + column + ",1," + limit + ") ELSE " + column + " END";
}

// SELECT of the known columns by quoted name; NULL for the ones the document lacks.
std::string selectKnownColumns(const std::vector<std::string>& present) {
    std::string sql = "SELECT ";
    for (std::size_t c = 0; c < kGraphCtrlColumns.size(); ++c) {
        if (c)
            sql += ',';
        const auto name = kGraphCtrlColumns[c].name;
        if (!hasColumn(present, name))
            sql += "NULL";
        else if (name == "str" && hasColumn(present, "classname"))
            sql += limitedText(framework::quoteIdentifier(name));
        else
            sql += framework::quoteIdentifier(name);
    }
    return sql + " FROM main.\"graphctrltb\" ORDER BY rowid;";
}

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

// Copies the favourites and the known columns of every element row into the new working
// document at step 0, in one transaction.
bool copyDocument(ZSqlElement& source, const std::vector<std::string>& ctrlColumns, WorkingDocument& document,
                  std::vector<std::string>& favourites, const std::atomic<bool>* cancel, const std::string& path,
                  ReadFailure& failure) {
    auto fail = [&failure](ReadFailure f) {
        failure = std::move(f);
        return false;
    };
    SqlTransaction transaction(document.database());
    {
        SqlStatement codes(source, "SELECT \"code\" FROM main.\"okinitb\" ORDER BY rowid;");
        if (!codes.ok())
            return fail({notADocumentText(path), true});
        int rc;
        while ((rc = codes.step()) == SQLITE_ROW) {
            if (codes.columnIsNull(0))
                continue;
            favourites.push_back(codes.columnText(0));
            if (!HistoryWriter::addFavourite(document, favourites.back()))
                return fail({"作業用データベースに書き込めません。", false});
        }
        if (rc != SQLITE_DONE)
            return fail({notADocumentText(path), true});
    }
    {
        SqlStatement rows(source, selectKnownColumns(ctrlColumns));
        HistoryWriter writer(document, 0);
        if (!rows.ok() || !writer.ok())
            return fail({notADocumentText(path), true});
        int rc;
        int count = 0;
        while ((rc = rows.step()) == SQLITE_ROW) {
            if (++count % kCancelCheckRows == 0 && cancelled(cancel))
                return fail({"中止しました。", false});
            if (!writer.addColumns(rows.handle()))
                return fail({"作業用データベースに書き込めません。", false});
        }
        if (rc != SQLITE_DONE) // a damaged page, or a row SQLite cannot read
            return fail({notADocumentText(path), true});
    }
    if (transaction.commit() != SQLITE_OK)
        return fail({"作業用データベースに書き込めません。", false});
    return true;
}

} // namespace

namespace {

DocumentReadResult failedRead(ReadFailure failure) {
    DocumentReadResult result;
    result.error = std::move(failure.message);
    result.notADocument = failure.notADocument;
    return result;
}

// Everything after the file's bytes are in memory: `image` (owned from here on) is checked,
// opened as a private database and copied into a new working document.
DocumentReadResult readImage(FileImage image, const std::string& path, const std::atomic<bool>* cancel) {
    DocumentReadResult result;
    ReadFailure failure;
    auto fail = [&](ReadFailure f) {
        result.error = std::move(f.message);
        result.notADocument = f.notADocument;
        result.favourites.clear();
        return std::move(result);
    };
    if (!acceptImage(image, path, failure))
        return fail(failure);
    ZSqlElement source;
    if (!openImage(source, image, path, failure))
        return fail(failure);

    const std::string encoding = pragmaText(source, "pragma encoding;");
    if (encoding != "UTF-8" && encoding != "UTF-16le" && encoding != "UTF-16be")
        return fail({notADocumentText(path), true});
    std::vector<std::string> okiniColumns;
    std::vector<std::string> ctrlColumns;
    if (!plainTableColumns(source, "okinitb", okiniColumns) || !hasColumn(okiniColumns, "code") ||
        !plainTableColumns(source, "graphctrltb", ctrlColumns))
        return fail({notADocumentText(path), true});
    for (const auto& c : kGraphCtrlColumns)
        if (c.name != "yoko_ichi" && !hasColumn(ctrlColumns, c.name))
            return fail({notADocumentText(path), true});

    WorkingDocument document = WorkingDocument::createForLoading(encoding);
    if (!document.isOpen())
        return fail({"作業用データベースを作成できません。", false});
    if (!copyDocument(source, ctrlColumns, document, result.favourites, cancel, path, failure))
        return fail(failure);
    if (!document.finishLoading())
        return fail({"作業用データベースを作成できません。", false});
    result.document = std::move(document);
    return result;
}

} // namespace

DocumentReadResult readDocument(const std::string& path, const std::atomic<bool>* cancel) {
    FileImage image;
    ReadFailure failure;
    if (!readFileImage(path, image, failure))
        return failedRead(std::move(failure));
    return readImage(image, path, cancel);
}

DocumentReadResult readDocumentImage(std::string_view bytes, const std::string& name,
                                     const std::atomic<bool>* cancel) {
    if (implausibleSize(static_cast<std::int64_t>(bytes.size())))
        return failedRead({notADocumentText(name), true});
    FileImage image;
    image.size = static_cast<sqlite3_int64>(bytes.size());
    image.bytes = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    if (!image.bytes)
        return failedRead({"メモリが足りません。\n" + name, false});
    std::memcpy(image.bytes, bytes.data(), bytes.size());
    return readImage(image, name, cancel);
}

bool writeDocument(const std::string& path, std::string_view image, std::string* error) {
    return framework::WriteZFileAtomic(path, image, -1, error);
}

bool writeDocument(const std::string& path, const WorkingDocument& working,
                   const std::vector<std::string>& favourites, std::string* error) {
    std::string image;
    return working.documentImage(favourites, image, error) && writeDocument(path, image, error);
}

} // namespace tavora::annotations
