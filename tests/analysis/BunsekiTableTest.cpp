#include "analysis/BunsekiTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tavora::analysis;
using tavora::test::readFile;
using tavora::test::TempDir;
using tavora::test::writeFile;

namespace {

class BunsekiTableTest : public ::testing::Test {
protected:
    std::string csv() const { return (dir / "others/bunseki.csv").string(); }
    std::string db() const { return (dir / "bunseki.db").string(); }
    void writeCsv(const std::string& text) const { writeFile(dir / "others/bunseki.csv", text); }
    std::vector<std::string> names(const BunsekiList& list) const {
        std::vector<std::string> out;
        for (const auto& e : list)
            out.push_back(e.name);
        return out;
    }
    // The table as the editor reads it.
    std::vector<BunsekiRow> stored() {
        tavora::framework::ZSqlElement conn;
        EXPECT_EQ(tavora::framework::SQL_Open(conn, db()), 0);
        tavora::framework::SQLList rows;
        tavora::framework::SQL_exec(conn, "SELECT * FROM bunsekitb;", rows);
        std::vector<BunsekiRow> out;
        const char* cols[9] = {"graphmei", "hyouji_bl", "cr",      "width",  "sensyu",
                               "siki",     "sonota1",   "sonota2", "sonota3"};
        for (const auto& r : rows.rows) {
            BunsekiRow row;
            for (int i = 0; i < 9; ++i)
                row[i] = r.value(cols[i]);
            out.push_back(row);
        }
        return out;
    }
    TempDir dir;
};

const std::vector<std::string> kIchimokuNames = {"転換線", "基準線", "遅行スパン", "先行スパン1",
                                                 "先行スパン2"};

TEST_F(BunsekiTableTest, FirstStartWithTheBundledFileYieldsTheFiveGraphsInFileOrder) {
    writeFile(dir / "others/bunseki.csv",
              readFile(std::filesystem::path(TAVORA_DATA_DIR) / "others/bunseki.csv"));
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    EXPECT_EQ(names(list), kIchimokuNames);
    EXPECT_EQ(stored().size(), 5u);
    const BunsekiElement& kijun = list[1];
    EXPECT_TRUE(kijun.shown);
    EXPECT_EQ(kijun.kind, KindHanne);
    EXPECT_EQ(kijun.param1, "26");
    EXPECT_EQ(list[3].kind, KindSenkouSpan1);
    EXPECT_EQ(list[3].param1, "基準線");
    EXPECT_EQ(list[3].param2, "転換線");
    EXPECT_EQ(list[4].param1, "52");
}

TEST_F(BunsekiTableTest, LaterStartKeepsTheUsersSettingsAndTakesTheServersKindAndParameters) {
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n基準線\t1\t16711680\t1\t1\t\t1\t26\t\n");
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    // The user makes the base line green, wide and dotted, and hides the conversion line.
    std::vector<BunsekiRow> rows = stored();
    const std::vector<BunsekiRow> loaded = rows;
    rows[1][2] = "65280";
    rows[1][3] = "3";
    rows[1][4] = "2";
    rows[0][1] = "0";
    ASSERT_EQ(SaveBunsekiTable(db(), rows, loaded, list).outcome, BunsekiSaveOutcome::Saved);

    // The server changes the base line's window and adds a graph.
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n基準線\t1\t16711680\t1\t1\t\t1\t30\t\n先行スパン2\t1\t8388736\t"
             "1\t1\t\t4\t52\n");
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    EXPECT_EQ(names(list), (std::vector<std::string>{"転換線", "基準線", "先行スパン2"}));
    EXPECT_FALSE(list[0].shown);
    EXPECT_EQ(list[1].colour, 0x00FF00u);
    EXPECT_EQ(list[1].width, 3);
    EXPECT_EQ(list[1].lineStyle, BunsekiLineStyle::Dotted);
    EXPECT_EQ(list[1].param1, "30");
    // A record of eight fields takes the ninth as empty.
    EXPECT_EQ(stored()[2][8], "");
    EXPECT_EQ(list[2].kind, KindSenkouSpan2);
}

TEST_F(BunsekiTableTest, WithoutTheFileTheTableKeepsWhatItHad) {
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(std::filesystem::exists(db()));

    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n\n"); // the blank line is no graph
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    std::filesystem::remove(csv());
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    EXPECT_EQ(names(list), std::vector<std::string>{"転換線"});
}

TEST_F(BunsekiTableTest, ADatabaseThatCannotBeOpenedLeavesTheListEmpty) {
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n");
    BunsekiList list;
    list.CreateBunsekiElement().name = "old";
    const auto r = SeedBunsekiTable(csv(), (dir / "missing/dir/bunseki.db").string(), list);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(names(list), std::vector<std::string>{"old"}); // untouched: nothing was loaded
}

struct LoadCase {
    const char* what;
    BunsekiRow row;
    bool shown;
    std::uint32_t colour;
    int width;
    BunsekiLineStyle style;
    int kind;
};

class LoadBunsekiListTest : public BunsekiTableTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadBunsekiListTest, MapsTheColumns) {
    const LoadCase& c = GetParam();
    BunsekiList list;
    ASSERT_EQ(SaveBunsekiTable(db(), {c.row}, {}, list).outcome, BunsekiSaveOutcome::Saved);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].shown, c.shown);
    EXPECT_EQ(list[0].colour, c.colour);
    EXPECT_EQ(list[0].width, c.width);
    EXPECT_EQ(list[0].lineStyle, c.style);
    EXPECT_EQ(list[0].kind, c.kind);
    EXPECT_EQ(list[0].formula, c.row[5]);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadBunsekiListTest,
    ::testing::Values(
        LoadCase{"dashed",
                 {"a", "1", "255", "2", "3", "", "1", "9", ""},
                 true,
                 255,
                 2,
                 BunsekiLineStyle::Dashed,
                 1},
        LoadCase{
            "dotted", {"a", "1", "0", "1", "2", "", "2", "26", ""}, true, 0, 1, BunsekiLineStyle::Dotted, 2},
        LoadCase{"unknownStyleIsSolid",
                 {"a", "0", "x", "", "9", "", "", "", ""},
                 false,
                 0,
                 0,
                 BunsekiLineStyle::Solid,
                 0},
        LoadCase{"formula",
                 {"a", "1", "16777215", "5", "1", "(H+L)/2", "0", "", ""},
                 true,
                 0xFFFFFF,
                 5,
                 BunsekiLineStyle::Solid,
                 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(BunsekiTableTest, SaveWithoutAChangeTouchesNothing) {
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n");
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    const std::string before = readFile(db());
    std::vector<BunsekiRow> rows = stored();
    const std::vector<BunsekiRow> loaded = rows;
    rows[0][1] = "1";
    EXPECT_EQ(SaveBunsekiTable((dir / "missing/bunseki.db").string(), rows, loaded, list).outcome,
              BunsekiSaveOutcome::Unchanged);
    EXPECT_EQ(readFile(db()), before);
}

TEST_F(BunsekiTableTest, SaveReplacesTheRowsInTheEditorsOrderOrKeepsThemOnFailure) {
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n基準線\t1\t16711680\t1\t1\t\t1\t26\t\n");
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    const std::vector<BunsekiRow> loaded = stored();

    // Reordered, one shown cell carrying something other than "1".
    std::vector<BunsekiRow> rows = {loaded[1], loaded[0]};
    rows[0][1] = "checked";
    ASSERT_EQ(SaveBunsekiTable(db(), rows, loaded, list).outcome, BunsekiSaveOutcome::Saved);
    EXPECT_EQ(names(list), (std::vector<std::string>{"基準線", "転換線"}));
    EXPECT_EQ(stored()[0][1], "0");

    // Two rows of one name cannot both be stored: the table keeps what it had.
    const std::vector<BunsekiRow> now = stored();
    std::vector<BunsekiRow> dup = {now[0], now[0], now[1]};
    const auto r = SaveBunsekiTable(db(), dup, now, list);
    EXPECT_EQ(r.outcome, BunsekiSaveOutcome::Failed);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(stored(), now);
    EXPECT_EQ(names(list), (std::vector<std::string>{"基準線", "転換線"}));
}

TEST_F(BunsekiTableTest, ASaveThatCannotReachTheFileKeepsTheList) {
    writeCsv("転換線\t1\t255\t1\t1\t\t1\t9\t\n");
    BunsekiList list;
    ASSERT_TRUE(SeedBunsekiTable(csv(), db(), list).ok);
    const std::vector<BunsekiRow> loaded = stored();
    std::filesystem::remove(db());
    std::filesystem::create_directory(db()); // something that is no file has its name now
    std::vector<BunsekiRow> rows = loaded;
    rows[0][2] = "0";
    EXPECT_EQ(SaveBunsekiTable(db(), rows, loaded, list).outcome, BunsekiSaveOutcome::Failed);
    EXPECT_EQ(names(list), (std::vector<std::string>{"転換線"}));
    EXPECT_EQ(list[0].colour, 255u);
}

} // namespace
