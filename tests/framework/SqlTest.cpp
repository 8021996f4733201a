#include "framework/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavora::framework;

namespace {

class SqlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SQL_Open(db, ":memory:"), 0);
        ASSERT_EQ(SQL_exec(db, "CREATE TABLE t (i INTEGER, s TEXT, r REAL);"), 0);
    }
    ZSqlElement db;
};

TEST_F(SqlTest, ExecSqlElm2BindsEachRowInOrderAndQueryFindsValuesByName) {
    SQLList rows;
    for (int i = 0; i < 3; ++i) {
        SQLListRow r;
        r.add(SQLListElement::integer("i", i));
        r.add(SQLListElement::text("s", "名前'" + std::to_string(i)));
        r.add(i == 1 ? SQLListElement::null("r", SqlReal) : SQLListElement::real("r", i + 0.25));
        rows.rows.push_back(r);
    }
    ASSERT_EQ(ExecSqlElm2(db, "INSERT INTO t VALUES (?,?,?)", rows), 0);

    SQLList out;
    out.columns = {"s", "r", "missing"};
    ASSERT_EQ(SQL_exec(db, "SELECT * FROM t WHERE i >= ? ORDER BY i", out, SQLListRow{{SQLListElement::integer("", 1)}}),
              0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out.rows[0].value("s"), "名前'1");
    EXPECT_TRUE(out.rows[0].GetKeyElement("r")->isNull);
    EXPECT_EQ(out.rows[1].value("r"), "2.25");
    EXPECT_EQ(out.rows[1].value("missing"), "");
    EXPECT_EQ(out.rows[1].GetKeyElement("nothing"), nullptr);
}

TEST_F(SqlTest, FailuresAreRecordedOnTheConnection) {
    EXPECT_NE(SQL_exec(db, "SELECT * FROM nosuchtable;"), 0);
    EXPECT_NE(db.lastResult(), 0);
    EXPECT_NE(db.lastError().find("nosuchtable"), std::string::npos);
    SQLList rows;
    rows.rows.push_back(SQLListRow{{SQLListElement::integer("i", 1)}});
    EXPECT_NE(ExecSqlElm2(db, "INSERT INTO nosuchtable VALUES (?)", rows), 0);
}

TEST_F(SqlTest, TransactionRollsBackUnlessCommitted) {
    {
        SqlTransaction tx(db);
        ASSERT_TRUE(tx.active());
        ASSERT_EQ(SQL_exec(db, "INSERT INTO t VALUES (1,'a',1.0);"), 0);
    }
    SQLList out;
    SQL_exec(db, "SELECT count(*) AS n FROM t", out);
    EXPECT_EQ(out.rows.at(0).value("n"), "0");
    {
        SqlTransaction tx(db);
        ASSERT_EQ(SQL_exec(db, "INSERT INTO t VALUES (1,'a',1.0);"), 0);
        EXPECT_EQ(tx.commit(), 0);
    }
    out.reset();
    SQL_exec(db, "SELECT count(*) AS n FROM t", out);
    EXPECT_EQ(out.rows.at(0).value("n"), "1");
}

// What each open mode does with a file that is missing and with one that exists.
struct OpenModeCase {
    const char* name;
    SqlOpenMode mode;
    bool opensMissing; // and creates it
    bool writes;       // an existing file
};

class SqlOpenModes : public ::testing::TestWithParam<OpenModeCase> {};

TEST_P(SqlOpenModes, CreateOnlyWhenAskedAndWriteOnlyWhenAllowed) {
    const OpenModeCase& c = GetParam();
    tavora::test::TempDir dir;
    const std::string missing = (dir / "missing.db").string();
    ZSqlElement db;
    EXPECT_EQ(SQL_Open(db, missing, c.mode) == 0, c.opensMissing);
    EXPECT_EQ(std::filesystem::exists(missing), c.opensMissing);
    if (!c.opensMissing) {
        EXPECT_FALSE(db.lastError().empty());
    }
    SQL_Close(db);

    const std::string existing = (dir / "existing.db").string();
    {
        ZSqlElement made;
        ASSERT_EQ(SQL_Open(made, existing), 0);
        ASSERT_EQ(SQL_exec(made, "CREATE TABLE t (i INTEGER);"), 0);
    }
    ASSERT_EQ(SQL_Open(db, existing, c.mode), 0);
    SqlStatement insert(db, "INSERT INTO t VALUES (?);");
    ASSERT_TRUE(insert.ok());
    insert.bindInt64(1, 7);
    EXPECT_EQ(insert.step() == 101 /* SQLITE_DONE */, c.writes) << insert.error();
}

INSTANTIATE_TEST_SUITE_P(Modes, SqlOpenModes,
                         ::testing::Values(OpenModeCase{"Create", SqlOpenMode::Create, true, true},
                                           OpenModeCase{"ReadWrite", SqlOpenMode::ReadWrite, false, true},
                                           OpenModeCase{"ReadOnly", SqlOpenMode::ReadOnly, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SqlTest, CloseReportsAStatementLeftOpenAndGivesTheHandleUp) {
    {
        SqlStatement open(db, "SELECT 1;");
        ASSERT_TRUE(open.ok());
        EXPECT_NE(SQL_Close(db), 0);
        EXPECT_FALSE(db.isOpen());
    } // the statement ends after its connection was given up, as a zombie connection allows
    ZSqlElement other;
    ASSERT_EQ(SQL_Open(other, ":memory:"), 0);
    EXPECT_EQ(SQL_Close(other), 0);
    EXPECT_EQ(SQL_Close(other), 0); // closing twice is harmless
}

TEST(SqlIdentifier, PlainIdentifiersOnly) {
    EXPECT_TRUE(isPlainIdentifier("graphdata_tb"));
    EXPECT_FALSE(isPlainIdentifier("x; DROP TABLE y"));
    EXPECT_FALSE(isPlainIdentifier("1abc"));
    EXPECT_FALSE(isPlainIdentifier(""));
    EXPECT_EQ(quoteIdentifier("a\"b"), "\"a\"\"b\"");
}

}  // namespace
