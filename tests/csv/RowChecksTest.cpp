#include "csv/RowChecks.h"

#include <gtest/gtest.h>

using namespace tavora;
using market::PriceRow;

namespace {

struct PricesCase {
    const char* name;
    std::optional<double> open, high, low, close;
    bool contradictory;
};

class PriceContradiction : public ::testing::TestWithParam<PricesCase> {};

TEST_P(PriceContradiction, IsFoundOnlyAmongPricesThatArePresent) {
    const PricesCase& c = GetParam();
    const PriceRow row{"1003", "2026-01-05", c.open, c.high, c.low, c.close, 0};
    const auto why = csv::priceContradiction(row);
    EXPECT_EQ(why.has_value(), c.contradictory) << why.value_or("");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PriceContradiction,
    ::testing::Values(PricesCase{"Consistent", 100, 110, 90, 105, false},
                      PricesCase{"AllEqual", 100, 100, 100, 100, false},
                      PricesCase{"HighBelowLow", 100, 90, 110, 100, true},
                      PricesCase{"OpenAboveHigh", 120, 110, 90, 100, true},
                      PricesCase{"OpenBelowLow", 80, 110, 90, 100, true},
                      PricesCase{"CloseAboveHigh", 100, 110, 90, 111, true},
                      PricesCase{"CloseBelowLow", 100, 110, 90, 89.99, true},
                      PricesCase{"NegativeClose", 0, 0, 0, -5, true},
                      PricesCase{"NegativeOpen", -1, 110, 90, 100, true},
                      // 0 is no price: an untraded day of KABU+ ("-") or an index row.
                      PricesCase{"OnlyAClose", 0, 0, 0, 3850, false},
                      PricesCase{"NoPricesAtAll", 0, 0, 0, 0, false},
                      PricesCase{"NoLow", 100, 110, 0, 105, false},
                      PricesCase{"NoHighButOpenBelowLow", 80, 0, 90, 0, true},
                      PricesCase{"UnmappedPrices", std::nullopt, std::nullopt, std::nullopt, 100, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RowChecksTest, DatesBefore1900OrAfterTodayAreOutOfRange) {
    const std::string today = "2026-12-11";
    EXPECT_FALSE(csv::dateOutOfRange("2026-12-11", today));
    EXPECT_FALSE(csv::dateOutOfRange("1900-01-01", today));
    EXPECT_TRUE(csv::dateOutOfRange("2026-12-12", today));
    EXPECT_TRUE(csv::dateOutOfRange("1899-12-31", today));
    EXPECT_TRUE(csv::dateOutOfRange("9999-01-01", today));
}

TEST(RowChecksTest, TheLastRowOfACodeAndDayIsKept) {
    std::vector<PriceRow> rows;
    csv::LastRowPerDay days;
    EXPECT_FALSE(days.add(rows, {"1003", "2026-01-05", 1, 1, 1, 1, 1}, 2));
    EXPECT_FALSE(days.add(rows, {"1004", "2026-01-05", 2, 2, 2, 2, 2}, 3)); // another code
    EXPECT_EQ(days.add(rows, {"1003", "2026-01-05", 3, 3, 3, 3, 3}, 4), 2u);
    EXPECT_EQ(days.add(rows, {"1003", "2026-01-05", 4, 4, 4, 4, 4}, 7), 4u);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].volume, 4);
    EXPECT_EQ(rows[1].code, "1004");
}

TEST(RowChecksTest, CountsByKindAndTheirTexts) {
    csv::SkipCounts counts;
    ++counts[csv::SkipKind::Contradiction];
    ++counts[csv::SkipKind::Contradiction];
    ++counts[csv::SkipKind::Duplicate];
    EXPECT_EQ(counts.total(), 3u);
    EXPECT_EQ(csv::skipCountsText(counts), "価格の矛盾 2, 重複日 1");
    EXPECT_EQ(csv::skipCountsNames(counts), "contradictory prices 2, duplicate day 1");
    csv::SkipCounts sum;
    sum += counts;
    sum += counts;
    EXPECT_EQ(sum[csv::SkipKind::Contradiction], 4u);
    EXPECT_EQ(csv::skipCountsText(csv::SkipCounts()), "");
}

} // namespace
