#include "market/PriceDatabase.h"

#include "framework/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavora::market {
namespace {

using framework::SQLList;
using framework::SQLListElement;
using framework::SQLListRow;

PriceRow row(std::string code, std::string date, std::optional<double> close, std::int64_t volume = 100) {
    return {std::move(code), std::move(date), 10.0, 12.0, 9.0, close, volume};
}

class PriceDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(PriceDatabase::open(m_db, m_dir.str()), 0); }

    test::TempDir m_dir;
    framework::ZSqlElement m_db;
    PriceDatabase m_prices{m_db};
};

// SQLite stores a CREATE statement without its "IF NOT EXISTS".
std::string stored(std::string sql) {
    const std::string clause = " IF NOT EXISTS";
    return sql.erase(sql.find(clause), clause.size());
}

TEST_F(PriceDatabaseTest, CreatesExactlyTheTableAndIndexes) {
    SQLList schema;
    ASSERT_EQ(framework::SQL_exec(
                  m_db, "SELECT name, sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY name;", schema),
              0);
    ASSERT_EQ(schema.size(), 3u);
    EXPECT_EQ(schema.rows[0].value("sql"), stored(kCreateCodeIndexSql));
    EXPECT_EQ(schema.rows[1].value("sql"), stored(kCreateDateIndexSql));
    EXPECT_EQ(schema.rows[2].value("sql"), stored(kCreatePriceTableSql));
    EXPECT_TRUE(framework::isliveFile(m_dir / "kabuka.db"));
}

TEST_F(PriceDatabaseTest, SecondWriteOfADayReplacesTheFirst) {
    ASSERT_TRUE(m_prices.write({row("7203", "2026-01-05", 100.0, 1)}).ok());
    ASSERT_TRUE(m_prices.write({row("7203", "2026-01-05", 200.0, 2)}).ok());
    auto rows = m_prices.rowsNewestFirst("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].close, 200.0);
    EXPECT_EQ(rows[0].volume, 2);
}

TEST_F(PriceDatabaseTest, ReadsOrderedAndAbsentPricesAsNone) {
    PriceRow zero{"1301", "2026-01-06", 0.0, std::nullopt, 5.0, 0.0, 7};
    auto result = m_prices.write({row("1301", "2026-01-05", 1.5), zero, row("1301", "2026-01-07", 2.5),
                                  row("9999", "2026-01-08", 3.0)});
    ASSERT_TRUE(result.ok()) << result.outcome.english();
    EXPECT_EQ(result.rowsWritten, 4u);

    auto newest = m_prices.rowsNewestFirst("1301");
    ASSERT_EQ(newest.size(), 3u);
    EXPECT_EQ(newest[0].date, "2026-01-07");
    EXPECT_EQ(newest[2].date, "2026-01-05");
    const PriceRow& stored = newest[1];
    EXPECT_FALSE(stored.open); // stored 0
    EXPECT_FALSE(stored.high); // stored NULL
    EXPECT_EQ(stored.low, 5.0);
    EXPECT_FALSE(stored.close);
    EXPECT_EQ(stored.volume, 7);

    auto oldest = m_prices.rowsOldestFirst("1301");
    ASSERT_EQ(oldest.size(), 3u);
    EXPECT_EQ(oldest[0].date, "2026-01-05");
    EXPECT_EQ(m_prices.lastDate("1301"), "2026-01-07");
    EXPECT_FALSE(m_prices.lastDate("0000"));
    EXPECT_TRUE(m_prices.rowsNewestFirst("0000").empty());
    // The code is bound: a quote in it is just a character.
    EXPECT_TRUE(m_prices.rowsNewestFirst("1301' OR '1'='1").empty());
}

TEST_F(PriceDatabaseTest, BulkWriteWithABadRowStoresNothingAndSaysSo) {
    ASSERT_TRUE(m_prices.write({row("1301", "2025-12-30", 1.0)}).ok());
    auto result = m_prices.write({row("1301", "2026-01-05", 1.0), row("1301", "", 2.0),
                                  row("", "2026-01-07", 3.0), row("1301", "2026-01-08", 4.0)});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.rowsFailed, 2u);
    EXPECT_EQ(result.rowsWritten, 0u);
    EXPECT_NE(result.outcome.english().find("NOT NULL"), std::string::npos) << result.outcome.english();
    EXPECT_EQ(result.firstFailedRow, 2u);
    auto rows = m_prices.rowsNewestFirst("1301");
    ASSERT_EQ(rows.size(), 1u); // only what was there before
    EXPECT_EQ(rows[0].date, "2025-12-30");
}

// A row the database refuses when its sorted batch is written is named by its place in the
// run, not in the batch.
TEST_F(PriceDatabaseTest, RefusedRowIsNamedByItsPlaceInTheRun) {
    ASSERT_EQ(framework::SQL_exec(m_db, "CREATE TRIGGER refuse BEFORE INSERT ON kabukadb WHEN NEW.code='1301' "
                                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
              0);
    auto result = m_prices.write({row("7203", "2026-01-05", 1.0), row("9984", "2026-01-05", 1.0),
                                  row("1301", "2026-01-05", 1.0)});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.firstFailedRow, 3u);
    EXPECT_TRUE(m_prices.rowsNewestFirst("7203").empty());
}

// Rows are written in sorted batches; whatever the batch size, the stored table must be what
// row-by-row upserts in input order give: the last row of a code and day wins.
TEST_F(PriceDatabaseTest, SortedBatchesKeepTheLastRowOfADay) {
    const std::vector<PriceRow> input = {
        row("7203", "2026-01-07", 1.0, 1), row("1301", "2026-01-05", 2.0, 2),
        row("7203", "2026-01-05", 3.0, 3), row("1301", "2026-01-05", 4.0, 4),
        row("7203", "2026-01-07", 5.0, 5), row("1301", "2026-01-06", 6.0, 6),
        row("1301", "2026-01-05", 7.0, 7),
    };
    for (std::size_t batch : {1u, 2u, 3u, 1000u}) {
        SCOPED_TRACE("batch " + std::to_string(batch));
        test::TempDir dir;
        framework::ZSqlElement db;
        ASSERT_EQ(PriceDatabase::open(db, dir.str()), 0);
        PriceBulkWriter writer(db, {.sortBatchRows = batch});
        for (const auto& r : input)
            ASSERT_TRUE(writer.add(r));
        auto result = writer.finish();
        ASSERT_TRUE(result.ok()) << result.outcome.english();
        EXPECT_EQ(result.rowsWritten, input.size());
        PriceDatabase prices(db);
        auto r1301 = prices.rowsOldestFirst("1301");
        ASSERT_EQ(r1301.size(), 2u);
        EXPECT_EQ(r1301[0].volume, 7);
        EXPECT_EQ(r1301[1].volume, 6);
        auto r7203 = prices.rowsOldestFirst("7203");
        ASSERT_EQ(r7203.size(), 2u);
        EXPECT_EQ(r7203[0].volume, 3);
        EXPECT_EQ(r7203[1].volume, 5);
    }
}

// A run large against the table rebuilds the two secondary indexes inside its transaction:
// committed or rolled back, the schema is exactly the one the program creates.
TEST_F(PriceDatabaseTest, LargeRunLeavesTheExactSchemaWhetherCommittedOrNot) {
    auto schema = [&] {
        SQLList list;
        framework::SQL_exec(m_db, "SELECT type, name, sql FROM sqlite_master ORDER BY name;", list);
        std::vector<std::string> objects;
        for (const auto& r : list.rows)
            objects.push_back(r.value("type") + " " + r.value("name") + " " + r.value("sql"));
        return objects;
    };
    const auto before = schema();
    ASSERT_TRUE(m_prices.write({row("0001", "2020-01-06", 1.0)}).ok());
    const std::size_t count = kRebuildIndexesMinRows + 10;
    auto runRows = [&](bool withBadRow) {
        PriceBulkWriter writer(m_db, {.expectedRows = count, .sortBatchRows = 4096});
        for (std::size_t i = 0; i < count; ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "%04zu", 1000 + i % 500);
            char date[16];
            std::snprintf(date, sizeof date, "2021-%02zu-%02zu", 1 + (i / 500) / 28 % 12, 1 + (i / 500) % 28);
            writer.add(row(code, date, static_cast<double>(i), static_cast<std::int64_t>(i)));
        }
        if (withBadRow)
            writer.add(row("", "2021-01-01", 1.0));
        return writer.finish();
    };

    auto failedRun = runRows(true);
    EXPECT_FALSE(failedRun.ok());
    EXPECT_EQ(schema(), before);
    EXPECT_EQ(m_prices.rowsNewestFirst("1000").size(), 0u);
    EXPECT_EQ(m_prices.rowsNewestFirst("0001").size(), 1u);

    auto run = runRows(false);
    ASSERT_TRUE(run.ok()) << run.outcome.english();
    EXPECT_EQ(schema(), before);
    SQLList counted;
    ASSERT_EQ(framework::SQL_exec(m_db, "SELECT count(*) AS n FROM kabukadb INDEXED BY idx_kabukadb_date;",
                                  counted),
              0);
    EXPECT_EQ(counted.rows.at(0).value("n"), std::to_string(count + 1));
    EXPECT_EQ(m_prices.lastDate("1000"), "2021-05-20");
}

TEST(PriceDatabaseClosed, ReadsNothingAndRefusesWrites) {
    framework::ZSqlElement closed;
    PriceDatabase prices(closed);
    EXPECT_TRUE(prices.rowsNewestFirst("1301").empty());
    auto result = prices.write({row("1301", "2026-01-05", 1.0)});
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.outcome.english().empty());
}

} // namespace
} // namespace tavora::market
