#include "annotations/DocumentFile.h"

#include "AnnotationTestSupport.h"
#include "annotations/CodeAnnotations.h"
#include "annotations/DocumentHistory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tavora::annotations {
namespace {

namespace fs = std::filesystem;
using framework::SqlValue;
using framework::ZSqlElement;
using market::ChartPeriod;
using tavora::test::readFile;
using tavora::test::TempDir;
using test::deleted;
using test::elementRow;

const fs::path kFixtures = fs::path(TAVORA_FIXTURES) / "annotations";

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Runs SQL on a file as another program (or an attacker) would have written it.
void onFile(const fs::path& file, const std::string& sql) {
    ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, file.string()), 0);
    ASSERT_EQ(framework::SQL_exec(db, sql), 0) << db.lastError() << "\n" << sql;
}

std::string fileQuery(const fs::path& file, const std::string& sql) {
    ZSqlElement db;
    framework::SQL_Open(db, file.string());
    framework::SQLList rows;
    framework::SQL_exec(db, sql, rows);
    std::string out;
    for (const auto& r : rows.rows)
        for (const auto& e : r.elements)
            out += (e.isNull ? std::string("NULL") : e.value) + "|";
    return out;
}

class DocumentFileTest : public ::testing::Test {
protected:
    fs::path doc(const std::string& name = "a.tvrd") const { return m_dir / name; }

    // Saves the working document's current step (with these favourites) to a file.
    void save(const WorkingDocument& working, const fs::path& file, std::vector<std::string> favourites = {}) {
        std::string error;
        ASSERT_TRUE(writeDocument(file.string(), working, favourites, &error)) << error;
    }
    DocumentReadResult read(const fs::path& file) {
        auto r = readDocument(file.string());
        EXPECT_TRUE(r.ok()) << r.error;
        return r;
    }

    TempDir m_dir;
};

// Every column of every kind goes through a file in DocumentHistoryTest; here the stored forms.
TEST_F(DocumentFileTest, RowsAreStoredInTheFormsEveryVersionReads) {
    auto working = WorkingDocument::createEmpty();
    GraphCtrlRow row = elementRow(2, "TextElm", ChartPeriod::Week, "1301");
    row.init_pixel_to_yen = 1234.56789012;
    row.pen_cr = 0xB2B2B2;
    row.takane_kijyun = true;
    row.top = -17;
    ASSERT_TRUE(working.recordStep({row}));
    save(working, doc(), {"1301", "7203", "1301"});
    auto back = read(doc());
    EXPECT_EQ(back.favourites, (std::vector<std::string>{"1301", "7203"}));
    EXPECT_EQ(back.document.step(), 0);
    // "%.8f", colour text, flags; `top` (bound as an integer) takes the column's TEXT affinity
    // as every version's file does.
    EXPECT_EQ(fileQuery(doc(), "SELECT idkikancode, init_pixel_to_yen, pen_cr, takane_kijyun, typeof(top), top "
                               "FROM graphctrltb"),
              "2w1301|1234.56789012|11711154|1|text|-17|");
}

TEST_F(DocumentFileTest, AnOldDocumentWithoutYokoIchiLoadsAsAbsentAndIsSavedWithOne) {
    const fs::path old = doc("old.tvrd");
    fs::copy_file(kFixtures / "old-document.tvrd", old);
    const std::string before = readFile(old);
    auto back = read(old);
    // Reading changed nothing in the user's file (no column added, no table created).
    EXPECT_EQ(readFile(old), before);
    EXPECT_EQ(namesIn(m_dir.path()), std::set<std::string>{"old.tvrd"});
    EXPECT_EQ(back.favourites, (std::vector<std::string>{"7203", "9984"}));
    const auto rows = back.document.codeState("7203");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text(ColClassName), "RangeNedanElm");
    EXPECT_FALSE(rows[0].has(ColYokoIchi)); // the element keeps its factory value
    EXPECT_EQ(rows[0].text(ColNehaba), "120.00");

    save(back.document, doc("new.tvrd"), back.favourites);
    EXPECT_EQ(fileQuery(doc("new.tvrd"), "SELECT idkikancode, yoko_ichi FROM graphctrltb ORDER BY id"),
              "1d7203|1|2d7203|1|");
}

TEST_F(DocumentFileTest, SaveAfterADeleteOmitsItAndUndoBeforeTheSaveKeepsIt) {
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({elementRow(1), elementRow(2, "TextElm")}));
    ASSERT_TRUE(working.recordStep({deleted(elementRow(1))}));
    save(working, doc());
    EXPECT_EQ(fileQuery(doc(), "SELECT idkikancode FROM graphctrltb"), "2d7203|");

    working.undo();
    save(working, doc());
    EXPECT_EQ(fileQuery(doc(), "SELECT idkikancode FROM graphctrltb ORDER BY id"), "1d7203|2d7203|");
    // The save changed no step: redo still reaches the deletion.
    EXPECT_TRUE(working.redo());
}

TEST_F(DocumentFileTest, RowsOfUnknownKindsOrPeriodsGoBackUnchanged) {
    const fs::path file = doc();
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({elementRow(1)}));
    save(working, file);
    onFile(file, "INSERT INTO graphctrltb (idkikancode,id,classname,kikan,code,view_bl,top,str,yoko_ichi) "
                 "VALUES ('5d7203',5,'ArrowElm','d','7203','1',X'0102','future',7),"
                 "('6q7203',6,'LineElm','q','7203','1','12','odd period',2)");
    auto back = read(file);
    const auto rows = back.document.codeState("7203");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[2].period().has_value()); // not drawn: no such period
    save(back.document, doc("b.tvrd"));
    EXPECT_EQ(fileQuery(doc("b.tvrd"), "SELECT idkikancode, classname, kikan, hex(top), typeof(top), str, yoko_ichi "
                                       "FROM graphctrltb WHERE id >= 5 ORDER BY id"),
              "5d7203|ArrowElm|d|0102|blob|future|7|6q7203|LineElm|q|3132|text|odd period|2|");
}

// A text no editor could have made (a crafted document) is cut to the editor's length when
// read, character by character, and the next save keeps the cut text.
TEST_F(DocumentFileTest, TextsLongerThanTheirEditorTakesAreCutWhenRead) {
    auto repeat = [](const std::string& unit, std::size_t times) {
        std::string out;
        for (std::size_t i = 0; i < times; ++i)
            out += unit;
        return out;
    };
    struct Case {
        const char* classname;
        std::string text;
        std::string kept;
    };
    const Case cases[] = {
        {"TextElm", repeat("株", 5000), repeat("株", 4095)}, // three bytes a character
        {"TextElm", repeat("a", 4095), repeat("a", 4095)},   // at the limit: whole
        {"MemoElm", repeat("メモ", 1500), repeat("メモ", 1024)},
        {"LineElm", repeat("x", 10000), repeat("x", 4095)},
        {"TextElm", "短い", "短い"},
    };
    auto working = WorkingDocument::createEmpty();
    std::vector<GraphCtrlRow> rows;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        GraphCtrlRow row = elementRow(int(i) + 1, cases[i].classname);
        row.str = cases[i].text;
        rows.push_back(row);
    }
    ASSERT_TRUE(working.recordStep(rows));
    save(working, doc());
    auto back = read(doc());
    const auto state = back.document.codeState("7203");
    ASSERT_EQ(state.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(state[i].text(ColStr), cases[i].kept) << cases[i].classname << " " << i;
    save(back.document, doc("b.tvrd"));
    EXPECT_EQ(fileQuery(doc("b.tvrd"), "SELECT length(str) FROM graphctrltb ORDER BY id"),
              "4095|4095|2048|4095|2|");
}

TEST_F(DocumentFileTest, TextsOfTheShiftJisVersionReadAsJapanese) {
    auto back = read(kFixtures / "cp932-text.tvrd");
    const auto rows = back.document.codeState("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text(ColStr), "日本語のメモ－～");
    EXPECT_EQ(rows[0].text(ColFontMenu), "ＭＳ ゴシック");
}

TEST_F(DocumentFileTest, SavingIntoAFolderThatRefusesWritesFailsAndKeepsTheOldFile) {
    const fs::path folder = m_dir / "locked";
    fs::create_directory(folder);
    const fs::path file = folder / "kept.tvrd";
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({elementRow(1)}));
    save(working, file);
    const std::string before = readFile(file);

    ASSERT_TRUE(working.recordStep({elementRow(2)}));
    std::string error;
    bool saved = true;
    {
        test::LockedFolder locked(folder);
        if (!locked.ok())
            GTEST_SKIP() << "this file system cannot make a folder refuse writes to root";
        saved = writeDocument(file.string(), working, {}, &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("kept.tvrd"), std::string::npos) << error;
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(namesIn(folder), std::set<std::string>{"kept.tvrd"});
}

// An element is shown only when its stored `view_bl` is "1", the same test the save applies
// to keep it: one shown on opening is never dropped by the next save.
struct ViewFlagCase {
    const char* name;
    const char* stored; // SQL literal put into view_bl
    bool shown;
};

class StoredViewFlagTest : public DocumentFileTest, public ::testing::WithParamInterface<ViewFlagCase> {};

TEST_P(StoredViewFlagTest, ShowsTheElementExactlyWhenTheSaveKeepsIt) {
    const auto& c = GetParam();
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({elementRow(1, "LineElm")}));
    save(working, doc(), {"7203"});
    onFile(doc(), std::string("UPDATE graphctrltb SET view_bl = ") + c.stored + ";");

    auto opened = read(doc());
    CodeAnnotations lists;
    lists.reset("7203");
    fillCodeAnnotations(opened.document.codeState("7203"), lists);
    ASSERT_EQ(lists.list(ChartPeriod::Day).size(), 1u);
    EXPECT_EQ(lists.list(ChartPeriod::Day)[0].isVisible(), c.shown);

    save(opened.document, doc("saved.tvrd"), opened.favourites);
    EXPECT_EQ(fileQuery(doc("saved.tvrd"), "SELECT count(*) FROM graphctrltb"), c.shown ? "1|" : "0|");
}

INSTANTIATE_TEST_SUITE_P(Values, StoredViewFlagTest,
                         ::testing::Values(ViewFlagCase{"one", "'1'", true},
                                           ViewFlagCase{"zero", "'0'", false},
                                           ViewFlagCase{"empty", "''", false},
                                           ViewFlagCase{"null", "NULL", false},
                                           ViewFlagCase{"integerOne", "1", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Files that are no document: each is refused with a message, and nothing is created or changed.
struct NotADocumentCase {
    const char* name;
    const char* sql; // run on a fresh SQLite file; nullptr: `bytes` is the file (or no file)
    const char* bytes;
    bool exists;
};

class NotADocumentTest : public DocumentFileTest, public ::testing::WithParamInterface<NotADocumentCase> {};

TEST_P(NotADocumentTest, IsRefusedWithoutTouchingAnything) {
    const auto& c = GetParam();
    const fs::path file = doc("x.tvrd");
    if (c.sql) {
        onFile(file, c.sql);
    } else if (c.exists) {
        tavora::test::writeFile(file, c.bytes);
    }
    const auto namesBefore = namesIn(m_dir.path());
    const std::string bytesBefore = readFile(file);
    const auto r = readDocument(file.string());
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(r.document.isOpen());
    EXPECT_EQ(r.notADocument, c.exists);
    EXPECT_EQ(namesIn(m_dir.path()), namesBefore);
    EXPECT_EQ(readFile(file), bytesBefore);
}

const std::string kOkini = "CREATE TABLE okinitb (code TEXT PRIMARY KEY);";
const std::string kCtrlNoStr =
    "CREATE TABLE graphctrltb (idkikancode TEXT PRIMARY KEY,id INTEGER,classname TEXT,date TEXT,enddate "
    "TEXT,hichi INTEGER,vichi INTEGER,takane_kijyun TEXT,range_x INTEGER,range_y INTEGER,init_range_y "
    "INTEGER,left INTEGER,top TEXT,width INTEGER,height INTEGER,font_cr TEXT,font_size INTEGER,fontweight "
    "INTEGER,fontmenu TEXT,pen_cr TEXT,penStyle INTEGER,penWidth INTEGER,prev_pixel_to_yen TEXT,pixel_to_yen "
    "TEXT,init_y_ichimemori INTEGER,init_x_haba_p INTEGER,init_pixel_to_yen TEXT,view_bl TEXT,kikan "
    "TEXT,daycount TEXT,nehaba TEXT,endyonhonne INTEGER,startyonhonne INTEGER,endpixel INTEGER,startdate "
    "TEXT,owaridate TEXT,endrange_y INTEGER,code TEXT,yoko_ichi INTEGER";
const std::string kStrColumnMissing = kOkini + kCtrlNoStr + ");";
const std::string kStrGenerated = kOkini + kCtrlNoStr + ",str TEXT GENERATED ALWAYS AS (upper(code)));";
const std::string kNoOkini = std::string(kCreateGraphCtrlSql) + ";";
const std::string kNoCtrl = std::string(kCreateOkiniSql) + ";";
const std::string kCtrlIsView = std::string(kCreateOkiniSql) + ";CREATE TABLE t (idkikancode TEXT);" +
                                "CREATE VIEW graphctrltb AS SELECT * FROM t;";

INSTANTIATE_TEST_SUITE_P(
    Files, NotADocumentTest,
    ::testing::Values(NotADocumentCase{"missing", nullptr, "", false},
                      NotADocumentCase{"text", nullptr, "code,name\n7203,トヨタ\n", true},
                      NotADocumentCase{"empty", nullptr, "", true},
                      NotADocumentCase{"truncatedHeader", nullptr, "SQLite format 3", true},
                      NotADocumentCase{"noOkinitb", kNoOkini.c_str(), nullptr, true},
                      NotADocumentCase{"noGraphctrltb", kNoCtrl.c_str(), nullptr, true},
                      NotADocumentCase{"columnMissing", kStrColumnMissing.c_str(), nullptr, true},
                      NotADocumentCase{"generatedColumn", kStrGenerated.c_str(), nullptr, true},
                      NotADocumentCase{"viewInsteadOfTable", kCtrlIsView.c_str(), nullptr, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A document's bytes already in memory read exactly as the file holding them: the same
// favourites and rows, the same refusal with the name given in the message.
struct ImageCase {
    const char* name;
    const char* fixture; // a file of the fixtures, or nullptr for `bytes`
    const char* bytes;
};

class DocumentImageTest : public DocumentFileTest, public ::testing::WithParamInterface<ImageCase> {};

std::vector<SqlValue> storedValues(const DocumentReadResult& r) {
    std::vector<SqlValue> out;
    if (!r.document.isOpen())
        return out;
    for (const char* code : {"7203", "9984", "1301"})
        for (const auto& row : r.document.codeState(code))
            out.insert(out.end(), row.values().begin(), row.values().end());
    return out;
}

TEST_P(DocumentImageTest, ReadsAsTheFileHoldingTheBytes) {
    const auto& c = GetParam();
    const fs::path file = doc("image.tvrd");
    if (c.fixture)
        fs::copy_file(kFixtures / c.fixture, file);
    else
        tavora::test::writeFile(file, c.bytes);
    const std::string bytes = readFile(file);

    const auto fromFile = readDocument(file.string());
    const auto fromImage = readDocumentImage(bytes, file.string());
    EXPECT_EQ(fromImage.ok(), fromFile.ok());
    EXPECT_EQ(fromImage.error, fromFile.error);
    EXPECT_EQ(fromImage.notADocument, fromFile.notADocument);
    EXPECT_EQ(fromImage.favourites, fromFile.favourites);
    EXPECT_EQ(storedValues(fromImage), storedValues(fromFile));
    if (c.fixture) {
        EXPECT_TRUE(fromImage.ok()) << fromImage.error;
        EXPECT_FALSE(storedValues(fromImage).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DocumentImageTest,
                         ::testing::Values(ImageCase{"oldDocument", "old-document.tvrd", nullptr},
                                           ImageCase{"shiftJisTexts", "cp932-text.tvrd", nullptr},
                                           ImageCase{"text", nullptr, "code,name\n7203,トヨタ\n"},
                                           ImageCase{"truncatedHeader", nullptr, "SQLite format 3"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentFileTest, ASavedImageReadsBackWithoutAFile) {
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({elementRow(1, "LineElm", ChartPeriod::Day, "9984")}));
    std::string image;
    std::string error;
    ASSERT_TRUE(working.documentImage({"9984"}, image, &error)) << error;
    const auto back = readDocumentImage(image, "saved.tvrd");
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.favourites, std::vector<std::string>{"9984"});
    ASSERT_EQ(back.document.codeState("9984").size(), 1u);
    EXPECT_EQ(back.document.codeState("9984")[0].text(ColClassName), "LineElm");
    EXPECT_TRUE(namesIn(m_dir.path()).empty());
}

TEST_F(DocumentFileTest, ACraftedDocumentOpensWithoutRunningItsSql) {
    const fs::path file = doc("crafted.tvrd");
    const fs::path evil = m_dir / "evil.db";
    auto working = WorkingDocument::createEmpty();
    auto withNul = elementRow(1, "TextElm");
    withNul.str = std::string("before\0after\0", 13);
    ASSERT_TRUE(working.recordStep({withNul}));
    save(working, file, {"7203"});
    // A table named with SQL, a trigger and a view that would write if they ran, and SQL after
    // the stored CREATE statement of graphctrltb.
    onFile(file, "CREATE TABLE \"x'); DROP TABLE graphctrltb; --\" (a);"
                 "CREATE TABLE log (a);"
                 "CREATE TRIGGER t AFTER INSERT ON okinitb BEGIN INSERT INTO log VALUES (1); END;"
                 "CREATE VIEW v AS SELECT * FROM graphctrltb;");
    onFile(file, "PRAGMA writable_schema=ON;"
                 "UPDATE sqlite_master SET sql = sql || '; ATTACH ''" + evil.string() +
                     "'' AS evil; DROP TABLE okinitb' WHERE name = 'graphctrltb';");
    const std::string before = readFile(file);

    auto back = read(file);
    EXPECT_FALSE(fs::exists(evil));
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(back.favourites, std::vector<std::string>{"7203"});
    const auto rows = back.document.codeState("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value(ColStr).bytes, std::string("before\0after\0", 13));
    // Nothing but the two tables came into the working document.
    EXPECT_EQ(back.document.codeState("x").size(), 0u);
}

TEST(StoredRowTest, ValuesFromADocumentAreReadSafely) {
    StoredValues v;
    v[ColInitYIchimemori] = SqlValue::ofInteger(0);
    v[ColPixelToYen] = SqlValue::ofText(" 12.50000000");
    v[ColPrevPixelToYen] = SqlValue::ofText("nan");
    v[ColFontCr] = SqlValue::ofText("16579836");
    v[ColTakaneKijyun] = SqlValue::ofText("1");
    v[ColViewBl] = SqlValue::ofText("yes");
    v[ColTop] = SqlValue::ofText("-17");
    v[ColKikan] = SqlValue::ofText("w");
    const StoredRow row(v);
    EXPECT_EQ(row.initYIchimemori(), 1);
    EXPECT_EQ(StoredRow().initYIchimemori(), 1);
    v[ColInitYIchimemori] = SqlValue::ofInteger(-4);
    EXPECT_EQ(StoredRow(v).initYIchimemori(), 1);
    v[ColInitYIchimemori] = SqlValue::ofInteger(10);
    EXPECT_EQ(StoredRow(v).initYIchimemori(), 10);
    EXPECT_EQ(row.real(ColPixelToYen), 12.5);
    EXPECT_EQ(row.real(ColPrevPixelToYen), 0.0);
    EXPECT_EQ(row.real(ColInitPixelToYen), std::nullopt);
    EXPECT_EQ(row.colour(ColFontCr), 0xFCFCFCu);
    EXPECT_EQ(row.flag(ColTakaneKijyun), true);
    EXPECT_EQ(row.flag(ColViewBl), false);
    EXPECT_EQ(row.integer(ColTop), -17);
    EXPECT_EQ(row.period(), ChartPeriod::Week);
    EXPECT_EQ(formatReal8(1234.5), "1234.50000000");
    EXPECT_EQ(formatReal8(-0.000000004), "-0.00000000");
}

} // namespace
} // namespace tavora::annotations
