// A chart document (".tvrd") as a file manager or a mail attachment hands it over. The first
// byte chooses: even, the rest is the file itself (an SQLite file, as damaged as it comes);
// odd, the rest is CSV rows of `graphctrltb` (cells in column order, stored as text) in a
// sound file with the favourites "7203" and "9984". Invariants: a document that reads is
// turned into elements for each of its codes, and the file saved from it reads again with the
// same favourites and, code by code, the same elements still shown. The file's bytes never
// touch the disk: readDocumentImage is the reader readDocument runs once it has the bytes.
// fuzz-dict: tests/fuzz/dict/document.dict
#include "FuzzSupport.h"
#include "annotations/CodeAnnotations.h"
#include "annotations/DocumentFile.h"
#include "annotations/DocumentHistory.h"
#include "annotations/DocumentSchema.h"
#include "framework/CsvReader.h"
#include "framework/Sql.h"

#include <sqlite3.h>

#include <map>

using namespace tavora;

namespace {

// The image of a sound document holding the rows; false when the rows do not make one.
bool storeRows(std::string_view csv, std::string& image) {
    framework::ZSqlElement file;
    if (framework::SQL_Open(file, ":memory:", false) != 0 ||
        framework::SQL_exec(file, annotations::kCreateOkiniSql) != 0 ||
        framework::SQL_exec(file, annotations::kCreateGraphCtrlSql) != 0)
        return false;
    for (const char* code : {"7203", "9984"}) {
        framework::SqlStatement okini(file, annotations::kInsertOkiniSql);
        okini.bindText(1, code);
        okini.step();
    }
    const auto rows = framework::ParseCsvBytes(csv, framework::CsvEncoding::Utf8, ',');
    if (!rows.ok() || rows.rows.size() > 500)
        return false;
    framework::SqlStatement insert(file, annotations::kInsertGraphCtrlSql);
    for (const auto& row : rows.rows) {
        insert.reset();
        for (int i = 0; i < annotations::GraphCtrlColumnCount; ++i) {
            if (i < static_cast<int>(row.size()))
                insert.bindText(i + 1, row[static_cast<std::size_t>(i)]);
            else
                insert.bindNull(i + 1);
        }
        insert.step();
    }
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(file.handle(), "main", &size, 0);
    if (!bytes)
        return false;
    image.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    sqlite3_free(bytes);
    return true;
}

// For each code of the document (at most ten), the number of its elements still shown.
std::map<std::string, std::size_t> shownElements(annotations::WorkingDocument& working) {
    std::map<std::string, std::size_t> shown;
    framework::SQLList codes;
    framework::SQL_exec(working.database(),
                        "SELECT DISTINCT code FROM history_graphctrltb WHERE code IS NOT NULL ORDER BY code LIMIT 10;",
                        codes);
    for (const auto& row : codes.rows) {
        const std::string code = row.value("code");
        annotations::CodeAnnotations lists;
        lists.reset(code);
        annotations::fillCodeAnnotations(working.codeState(code), lists);
        std::size_t count = 0;
        for (auto period : market::kAllPeriods)
            for (std::size_t i = 0; i < lists.list(period).size(); ++i)
                count += lists.list(period)[i].isVisible() ? 1 : 0;
        shown[code] = count;
    }
    return shown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SqliteUse sqlite;
    fuzz::FuzzInput in(data, size);
    const bool asRows = in.byte() % 2 == 1;
    std::string rowsImage;
    if (asRows && !storeRows(in.rest(), rowsImage))
        return 0;

    auto first =
        annotations::readDocumentImage(asRows ? std::string_view(rowsImage) : in.rest(), "document.tvrd");
    if (!first.ok())
        return 0;
    const auto shown = shownElements(first.document);

    std::string saved;
    std::string error;
    fuzz::check(first.document.documentImage(first.favourites, saved, &error),
                "a document that reads cannot be saved", error);
    auto second = annotations::readDocumentImage(saved, "saved.tvrd");
    fuzz::check(second.ok(), "a saved document does not read", second.error);
    fuzz::check(second.favourites == first.favourites, "favourites changed by a save");
    const auto shownAgain = shownElements(second.document);
    for (const auto& [code, count] : shown) {
        const auto it = shownAgain.find(code);
        const std::size_t again = it == shownAgain.end() ? 0 : it->second;
        fuzz::check(again == count, "shown elements changed by a save", code);
    }
    return 0;
}
