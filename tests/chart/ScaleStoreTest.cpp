#include "chart/ScaleStore.h"
#include "chart/OpenChart.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavora::chart {
namespace {

using framework::SQLList;
using framework::ZSqlElement;

class ScaleStoreTest : public ::testing::Test {
protected:
    std::string file() const { return (m_dir / "graphdata.tvd").string(); }

    // Runs SQL on the file itself, as another program (or an attacker) would have written it.
    void onFile(const std::string& sql) const {
        ZSqlElement db;
        ASSERT_EQ(framework::SQL_Open(db, file()), 0);
        ASSERT_EQ(framework::SQL_exec(db, sql), 0) << db.lastError();
    }
    std::vector<std::string> memoryTables() {
        SQLList list;
        framework::SQL_exec(m_memory, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name;",
                            list);
        std::vector<std::string> names;
        for (const auto& r : list.rows)
            names.push_back(r.value("name"));
        return names;
    }

    test::TempDir m_dir;
    ZSqlElement m_memory;
    ScaleStore m_store{m_memory};
};

TEST_F(ScaleStoreTest, CodeWithoutARowGetsTheDefaults) {
    m_store.loadFile(file());
    CodeScale current;
    current.pitch = {9, 9, 9, 9};
    current.fixedGrid = {100, 0, 0, 0};
    const CodeScale loaded = m_store.load("7203", current);
    EXPECT_EQ(loaded, CodeScale{});
    EXPECT_EQ(loaded.pitch[0], 3);
    EXPECT_EQ(loaded.tick[3], 5);
}

TEST_F(ScaleStoreTest, SavedScalesSurviveTheWriteBackAndTheNextStart) {
    auto first = m_store.loadFile(file());
    EXPECT_TRUE(first.fileOpened);
    CodeScale a{{5, 7, 9, 11}, {1, 2, 4, 10}, {10, 0, 200, 0}};
    CodeScale b{{2, 3, 3, 3}, {5, 5, 5, 5}, {0, 0, 0, 3000000}};
    ASSERT_TRUE(m_store.save("7203", a));
    ASSERT_TRUE(m_store.save("0000", b));
    a.pitch[0] = 21; // a second save of the same code updates it
    ASSERT_TRUE(m_store.save("7203", a));
    ASSERT_TRUE(m_store.writeBack(file()));
    EXPECT_FALSE(m_memory.isOpen());

    ZSqlElement nextMemory;
    ScaleStore next(nextMemory);
    next.loadFile(file());
    EXPECT_EQ(next.load("7203", CodeScale{}), a);
    EXPECT_EQ(next.load("0000", CodeScale{}), b);

    // The write-back replaces the file's whole content.
    ASSERT_TRUE(next.writeBack(file()));
    ZSqlElement third;
    ScaleStore again(third);
    again.loadFile(file());
    SQLList count;
    framework::SQL_exec(third, "SELECT count(*) AS n FROM graphdata_tb;", count);
    EXPECT_EQ(count.rows.at(0).value("n"), "2");
}

TEST_F(ScaleStoreTest, MissingColumnsKeepTheCurrentScaleAndZeroTheIntervals) {
    onFile("CREATE TABLE 'graphdata_tb' (code TEXT PRIMARY KEY,d_x_haba_p TEXT,w_y_ichimemori TEXT,sonota2 "
           "TEXT)");
    onFile("INSERT INTO graphdata_tb VALUES ('1301','13','4','500');"
           "INSERT INTO graphdata_tb VALUES ('1302',NULL,'0','x');");
    m_store.loadFile(file());
    CodeScale current{{7, 7, 7, 7}, {2, 2, 2, 2}, {9, 9, 9, 9}};
    const CodeScale first = m_store.load("1301", current);
    EXPECT_EQ(first.pitch, (std::array<int, 4>{13, 7, 7, 7}));
    EXPECT_EQ(first.tick, (std::array<int, 4>{2, 4, 2, 2}));
    EXPECT_EQ(first.fixedGrid, (std::array<int, 4>{0, 500, 0, 0}));
    // NULL keeps the current value; zero is outside the steps and takes the default.
    const CodeScale second = m_store.load("1302", current);
    EXPECT_EQ(second.pitch, current.pitch);
    EXPECT_EQ(second.tick, (std::array<int, 4>{2, CodeScale::kDefaultTick, 2, 2}));
    EXPECT_EQ(second.fixedGrid, (std::array<int, 4>{0, 0, 0, 0}));
}

// SQLite matches column names in any case, so a file that declares them in another case takes
// the store's writes; its values must read back too.
TEST_F(ScaleStoreTest, ColumnsDeclaredInAnotherCaseReadAndWriteBack) {
    onFile("CREATE TABLE 'graphdata_tb' (code TEXT PRIMARY KEY,D_X_HABA_P TEXT,d_y_ichimemori TEXT,"
           "w_x_haba_p TEXT,w_y_ichimemori TEXT,m_x_haBa_p TEXT,m_y_ichimemori TEXT,y_x_haba_p TEXT,"
           "y_y_ichimemori TEXT,Sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,sonota4 TEXT)");
    onFile("INSERT INTO graphdata_tb VALUES ('1301','13','4','5','6','7','8','9','10','500','0','0','0');");
    m_store.loadFile(file());
    const CodeScale stored{{13, 5, 7, 9}, {4, 6, 8, 10}, {500, 0, 0, 0}};
    EXPECT_EQ(m_store.load("1301", CodeScale{}), stored);

    const CodeScale saved{{2, 3, 4, 5}, {1, 2, 3, 4}, {0, 0, 100, 0}};
    ASSERT_TRUE(m_store.save("0000", saved));
    ASSERT_TRUE(m_store.writeBack(file()));
    ZSqlElement nextMemory;
    ScaleStore next(nextMemory);
    next.loadFile(file());
    EXPECT_EQ(next.load("0000", CodeScale{}), saved);
    if (auto opened = LoadCodeScale(nextMemory, "0000"))
        EXPECT_EQ(*opened, saved);
    else
        ADD_FAILURE() << "the opening of a code does not read the row";
}

// A stored tick of 2147483647 once overflowed five ticks (5 x tick) in the geometry. Both
// readers of the table (opening a code, the scale store) take the same bounds: a value outside
// the zoom steps or the grid table becomes the default.
TEST_F(ScaleStoreTest, ValuesOutsideTheScaleTablesTakeTheDefaults) {
    struct Case {
        const char* text;
        int pitch, tick, grid; // as read into the day period
    };
    const Case cases[] = {
        {"2147483647", 3, 5, 0},   {"99999999999999999999", 3, 5, 0}, {"-5", 3, 5, 0},
        {"0", 3, 5, 0},            {"abc", 3, 5, 0},                   {"", 3, 5, 0},
        {"1", 3, 1, 1},            {"2", 2, 2, 2},                     {"10", 10, 10, 10},
        {"11", 11, 5, 11},         {"21", 21, 5, 21},                  {"22", 3, 5, 22},
        {" 4x", 4, 4, 4},          {"3000000", 3, 5, 3000000},         {"3000001", 3, 5, 0},
    };
    m_store.loadFile(file());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(framework::SQL_exec(m_memory, "DELETE FROM graphdata_tb;"), 0);
        SQLList none;
        framework::SQLListRow row;
        row.add(framework::SQLListElement::text("v", c.text));
        ASSERT_EQ(framework::SQL_exec(m_memory,
                                      "INSERT INTO graphdata_tb (code,d_x_haba_p,d_y_ichimemori,sonota1) "
                                      "VALUES ('7203',?1,?1,?1);",
                                      none, row),
                  0);
        const CodeScale current{{9, 9, 9, 9}, {4, 4, 4, 4}, {7, 7, 7, 7}};
        const CodeScale fromStore = m_store.load("7203", current);
        EXPECT_EQ(fromStore.pitch[0], c.pitch);
        EXPECT_EQ(fromStore.tick[0], c.tick);
        EXPECT_EQ(fromStore.fixedGrid[0], c.grid);
        const auto fromOpening = chart::LoadCodeScale(m_memory, "7203");
        ASSERT_TRUE(fromOpening);
        EXPECT_EQ(fromOpening->pitch[0], c.pitch);
        EXPECT_EQ(fromOpening->tick[0], c.tick);
        EXPECT_EQ(fromOpening->fixedGrid[0], c.grid);
        // The other periods' columns are NULL: the current value, or the default for the opening.
        EXPECT_EQ(fromStore.pitch[1], 9);
        EXPECT_EQ(fromOpening->pitch[1], CodeScale::kDefaultPitch);
        EXPECT_EQ(fromStore.fixedGrid[1], 0);
    }
}

TEST_F(ScaleStoreTest, UsertableAndCraftedTablesStayOnDisk) {
    onFile("CREATE TABLE usertable (a TEXT); INSERT INTO usertable VALUES ('u');"
           "CREATE TABLE extra_1 (a TEXT); INSERT INTO extra_1 VALUES ('e');"
           "CREATE TABLE \"x\"\"; DROP TABLE graphdata_tb; --\" (a TEXT);"
           "CREATE TABLE \"with space\" (a TEXT);");
    const auto result = m_store.loadFile(file());
    EXPECT_EQ(memoryTables(), (std::vector<std::string>{"extra_1", "graphdata_tb"}));
    EXPECT_EQ(result.skipped.size(), 3u);
    EXPECT_NE(std::find(result.skipped.begin(), result.skipped.end(), "usertable"), result.skipped.end());
    SQLList rows;
    framework::SQL_exec(m_memory, "SELECT a FROM extra_1;", rows);
    EXPECT_EQ(rows.rows.at(0).value("a"), "e");
}

TEST_F(ScaleStoreTest, AStoredDefinitionWithMoreThanOneStatementIsNotRun) {
    // SQLite reads only the first statement of a stored definition; whatever follows would run
    // if the text were executed as it stands.
    onFile(
        "CREATE TABLE victim (a TEXT); INSERT INTO victim VALUES ('kept');"
        "CREATE TABLE t1 (a TEXT);"
        "PRAGMA writable_schema=ON;"
        "UPDATE sqlite_master SET sql='CREATE TABLE t1 (a TEXT); DROP TABLE filedb.victim' WHERE name='t1';");
    const auto result = m_store.loadFile(file());
    EXPECT_NE(std::find(result.skipped.begin(), result.skipped.end(), "t1"), result.skipped.end());
    ZSqlElement db;
    ASSERT_EQ(framework::SQL_Open(db, file()), 0);
    SQLList rows;
    EXPECT_EQ(framework::SQL_exec(db, "SELECT a FROM victim;", rows), 0);
    EXPECT_EQ(rows.size(), 1u);
}

} // namespace
} // namespace tavora::chart
