// Formula graphs (kind 0) and moving averages (kinds 5 and 6) computed as a chart computes
// them: values written "%.2f" at their bars, nothing on bars without prices, missing values
// where an input is missing; split-adjusted bars through the opening of a code; today's bar.
#include "ChartFixture.h"

#include "analysis/BunsekiProgram.h"
#include "analysis/FormulaEvaluator.h"
#include "analysis/FormulaParser.h"
#include "chart/OpenChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace tavora::analysis;
using namespace tavora::analysis::test;
namespace market = tavora::market;
namespace chart = tavora::chart;

namespace {

using Values = std::vector<std::string>;

struct Ohlcv {
    double open, high, low, close;
    std::int64_t volume;
};

// Seven bars oldest first; the fourth is a day without trade (filled with zeros as opening a
// code fills it), the eighth a future market day without prices.
//        O   H   L   C    V
//   1   10  11   9  10  100
//   2   11  13  10  12  200
//   3   12  12  10  11  150
//   4    -   -   -   -    -   no trade
//   5   11  14  11  13  300
//   6   13  16  12  15  250
//   7   15  15  13  14  100
//   8    -   -   -   -    -   future
void buildSeries(market::KeisenList& list) {
    const std::vector<std::optional<Ohlcv>> rows = {
        Ohlcv{10, 11, 9, 10, 100},  Ohlcv{11, 13, 10, 12, 200}, Ohlcv{12, 12, 10, 11, 150}, std::nullopt,
        Ohlcv{11, 14, 11, 13, 300}, Ohlcv{13, 16, 12, 15, 250}, Ohlcv{15, 15, 13, 14, 100}, std::nullopt};
    list.reset();
    for (std::size_t k = rows.size(); k-- > 0;) {
        market::KeisenElm& e = list.append();
        char date[32];
        std::snprintf(date, sizeof date, "2024-01-%02d", static_cast<int>(k) + 1);
        e.setDate(date);
        if (rows[k]) {
            e.open = rows[k]->open;
            e.high = rows[k]->high;
            e.low = rows[k]->low;
            e.close = rows[k]->close;
            e.volume = rows[k]->volume;
        } else if (k == 3) {
            e.open = e.high = e.low = e.close = 0.0;
            e.noData = 1;
        }
    }
}

struct FormulaCase {
    const char* what;
    const char* formula;
    Values expected; // bars 1 to 8
};

class FormulaGraphTest : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(FormulaGraphTest, WritesTheHandComputedValues) {
    const FormulaCase& c = GetParam();
    BunsekiElement def = definition("式", KindFormula, "");
    def.formula = c.formula;
    Period p;
    buildSeries(p.bars);
    CreateBunsekiGraphLists(p.bars, definitions({def}), p.graphs);
    CreateGraphKeisanList(p.keisan, p.graphs);
    RunGraphKeisan(p.bars, p.keisan);
    EXPECT_EQ(p.values("式"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaGraphTest,
    ::testing::Values(
        FormulaCase{"close", "C", {"10.00", "12.00", "11.00", "", "13.00", "15.00", "14.00", ""}},
        FormulaCase{"constantOnlyOnPricedBars",
                    "100",
                    {"100.00", "100.00", "100.00", "", "100.00", "100.00", "100.00", ""}},
        // The window skips the day without trade: bar 5 averages bars 2, 3 and 5.
        FormulaCase{"movingAverage", "MA(C,3)", {"", "", "11.00", "", "12.00", "13.00", "14.00", ""}},
        // alpha 0.5: 11 (mean of the first three), 11 + (13 - 11) / 2, 12 + (15 - 12) / 2, ...
        FormulaCase{"exponentialAverage", "EMA(C,3)", {"", "", "11.00", "", "12.00", "13.50", "13.75", ""}},
        // (1*10 + 2*12 + 3*11) / 6 = 67/6, then 73/6, 82/6, 85/6.
        FormulaCase{"weightedAverage", "WMA(C,3)", {"", "", "11.17", "", "12.17", "13.67", "14.17", ""}},
        FormulaCase{
            "sumOfVolumes", "SUM(V,2)", {"", "300.00", "350.00", "", "450.00", "550.00", "350.00", ""}},
        FormulaCase{"highest", "HHV(H,3)", {"", "", "13.00", "", "14.00", "16.00", "16.00", ""}},
        FormulaCase{"lowest", "LLV(L,3)", {"", "", "9.00", "", "10.00", "10.00", "11.00", ""}},
        // Population deviations: sqrt(2/3) for 10 12 11, sqrt(8/3) for 11 13 15.
        FormulaCase{"standardDeviation", "STD(C,3)", {"", "", "0.82", "", "0.82", "1.63", "0.82", ""}},
        // The bar before bar 5 had no trade: no value there.
        FormulaCase{"previousClose", "REF(C,1)", {"", "10.00", "12.00", "", "", "13.00", "15.00", ""}},
        FormulaCase{"absolute", "ABS(O-C)", {"0.00", "1.00", "1.00", "", "2.00", "2.00", "1.00", ""}},
        FormulaCase{"larger", "MAX(O,C)", {"10.00", "12.00", "12.00", "", "13.00", "15.00", "15.00", ""}},
        FormulaCase{"smaller", "MIN(O,C)", {"10.00", "11.00", "11.00", "", "11.00", "13.00", "14.00", ""}},
        FormulaCase{"midpoint", "(H+L)/2", {"10.00", "11.50", "11.00", "", "12.50", "14.00", "14.00", ""}},
        FormulaCase{"unaryMinus", "-C+2*3", {"-4.00", "-6.00", "-5.00", "", "-7.00", "-9.00", "-8.00", ""}},
        FormulaCase{"negatedZero", "-(C-C)", {"0.00", "0.00", "0.00", "", "0.00", "0.00", "0.00", ""}},
        FormulaCase{"divisionByZero", "C/(H-H)", {"", "", "", "", "", "", "", ""}},
        FormulaCase{
            "partlyZeroDivisor", "10/(O-C)", {"", "-10.00", "10.00", "", "-5.00", "-5.00", "10.00", ""}},
        FormulaCase{"tooFewBars", "MA(C,20)+2*STD(C,20)", {"", "", "", "", "", "", "", ""}},
        FormulaCase{
            "ichimokuStyle", "(HHV(H,3)+LLV(L,3))/2", {"", "", "11.00", "", "12.00", "13.00", "13.50", ""}},
        // EMA(C,2): 11, 11, 12.33, 14.11, 14.04; minus EMA(C,3), plus C.
        FormulaCase{"emaDifferencePlusClose",
                    "EMA(C,2)-EMA(C,3)+C",
                    {"", "", "11.00", "", "13.33", "15.61", "14.29", ""}},
        FormulaCase{"fullWidth", "ＭＡ（Ｃ，３）", {"", "", "11.00", "", "12.00", "13.00", "14.00", ""}},
        FormulaCase{"doesNotParse", "MA(C,3", {"", "", "", "", "", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- kinds 5 and 6 ----

struct AverageCase {
    const char* what;
    int kind;
    std::string window;
    std::vector<Bar> bars;
    Values expected;
};

class MovingAverageKindTest : public ::testing::TestWithParam<AverageCase> {};

TEST_P(MovingAverageKindTest, WritesTheHandComputedValues) {
    const AverageCase& c = GetParam();
    Period p;
    p.open(c.bars, definitions({definition("平均", c.kind, c.window)}));
    EXPECT_EQ(p.values("平均"), c.expected);
}

// Closes 100, 104, 102, 110, 108, 120 and two future days.
const std::vector<Bar> kSixBars = {{101, 99, 100, true},  {105, 103, 104, true}, {103, 101, 102, true},
                                   {111, 109, 110, true}, {109, 107, 108, true}, {121, 119, 120, true},
                                   {{}, {}, {}, false},   {{}, {}, {}, false}};
// The same with the third bar a day without trade (its prices filled with zeros).
const std::vector<Bar> kGapBars = {{101, 99, 100, true},  {105, 103, 104, true}, {0, 0, 0, true},
                                   {111, 109, 110, true}, {109, 107, 108, true}, {121, 119, 120, true}};

INSTANTIATE_TEST_SUITE_P(
    Kinds, MovingAverageKindTest,
    ::testing::Values(
        // (100+104+102)/3 = 102, (104+102+110)/3 = 105.33, (102+110+108)/3 = 106.67, 112.67.
        AverageCase{"simple",
                    KindMovingAverage,
                    "3",
                    kSixBars,
                    {"", "", "102.00", "105.33", "106.67", "112.67", "", ""}},
        AverageCase{"simpleOne",
                    KindMovingAverage,
                    "1",
                    kSixBars,
                    {"100.00", "104.00", "102.00", "110.00", "108.00", "120.00", "", ""}},
        AverageCase{
            "simpleWholeSeries", KindMovingAverage, "6", kSixBars, {"", "", "", "", "", "107.33", "", ""}},
        AverageCase{
            "simpleLongerThanTheSeries", KindMovingAverage, "7", kSixBars, {"", "", "", "", "", "", "", ""}},
        // A window far beyond the bars is no reason to allocate it.
        AverageCase{
            "simpleHugeWindow", KindMovingAverage, "2000000000", kSixBars, {"", "", "", "", "", "", "", ""}},
        AverageCase{
            "simpleNotANumber", KindMovingAverage, "基準線", kSixBars, {"", "", "", "", "", "", "", ""}},
        AverageCase{"simpleZero", KindMovingAverage, "0", kSixBars, {"", "", "", "", "", "", "", ""}},
        // The day without trade counts for nothing: bar 4 averages bars 1, 2 and 4.
        AverageCase{"simpleSkipsADayWithoutTrade",
                    KindMovingAverage,
                    "3",
                    kGapBars,
                    {"", "", "", "104.67", "107.33", "112.67"}},
        // alpha = 2/4: 102 (the mean of the first three), 102 + (110-102)/2 = 106,
        // 106 + (108-106)/2 = 107, 107 + (120-107)/2 = 113.50.
        AverageCase{"exponential",
                    KindExponentialAverage,
                    "3",
                    kSixBars,
                    {"", "", "102.00", "106.00", "107.00", "113.50", "", ""}},
        // alpha = 2/3 from the mean 102 of 100 and 104: 102 + 2/3*(102-102) = 102,
        // 102 + 2/3*8 = 107.33, 107.33 + 2/3*(108-107.33) = 107.78, 107.78 + 2/3*12.22 = 115.93.
        AverageCase{"exponentialTwo",
                    KindExponentialAverage,
                    "2",
                    kSixBars,
                    {"", "102.00", "102.00", "107.33", "107.78", "115.93", "", ""}},
        AverageCase{"exponentialSkipsADayWithoutTrade",
                    KindExponentialAverage,
                    "3",
                    kGapBars,
                    {"", "", "", "104.67", "106.33", "113.17"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(MovingAverageKindTest2, MatchesTheFormulaOfTheSameWindow) {
    std::vector<Bar> bars;
    for (int i = 0; i < 300; ++i) {
        const double c = 1000 + 50 * std::sin(i * 0.1) + (i % 7) * 3.3;
        bars.push_back({c + 5, c - 5, c, i % 37 != 5});
    }
    BunsekiElement ma = definition("ma", KindFormula, "");
    ma.formula = "MA(C,25)";
    BunsekiElement ema = definition("ema", KindFormula, "");
    ema.formula = "EMA(C,25)";
    Period p;
    p.open(bars, definitions({definition("5", KindMovingAverage, "25"),
                              definition("6", KindExponentialAverage, "25"), ma, ema}));
    EXPECT_EQ(p.values("5"), p.values("ma"));
    EXPECT_EQ(p.values("6"), p.values("ema"));
    EXPECT_EQ(p.values("5")[24], "");
    EXPECT_NE(p.values("5")[299], "");
}

TEST(MovingAverageKindTest2, WritesItsLineIntoTheBarsAnalysisTextInGraphOrder) {
    Period p;
    p.open(kSixBars,
           definitions({definition("平均3", KindMovingAverage, "3"), definition("転換線", KindHanne, "2")}));
    EXPECT_EQ(p.bars[2].analysis, "平均3 112.67\r\n転換線 114.00\r\n");
}

TEST(MovingAverageKindTest2, TodaysBarArrivingLaterGetsItsValue) {
    // The chart was computed while the newest day had no prices yet.
    std::vector<Bar> bars = kSixBars;
    Period p;
    p.open(bars, definitions({definition("平均", KindMovingAverage, "3"),
                              definition("指数", KindExponentialAverage, "3")}));
    market::KeisenElm& today = p.bars[1]; // the first future day
    today.open = today.close = 111.0;
    today.high = 112.0;
    today.low = 110.0;
    ComputeGraphKeisanBar(p.keisan, today);
    // (108 + 120 + 111) / 3 = 113; 113.50 + (111 - 113.50) / 2 = 112.25.
    EXPECT_EQ(p.values("平均"), (Values{"", "", "102.00", "105.33", "106.67", "112.67", "113.00", ""}));
    EXPECT_EQ(p.values("指数"), (Values{"", "", "102.00", "106.00", "107.00", "113.50", "112.25", ""}));
}

TEST(MovingAverageKindTest2, DefinitionsLoadedFromTheTableCarryTheirProgram) {
    BunsekiElement formula = definition("式", KindFormula, "");
    formula.formula = "ＭＡ（Ｃ，５）";
    BunsekiElement broken = definition("壊れた式", KindFormula, "");
    broken.formula = "MA(C,";
    BunsekiList list = definitions(
        {formula, broken, definition("5", KindMovingAverage, "25"), definition("半値", KindHanne, "9")});
    CompileBunsekiPrograms(list);
    ASSERT_TRUE(list[0].program);
    EXPECT_TRUE(sameFormula(*list[0].program, *ParseFormula("MA(C,5)").tree));
    EXPECT_FALSE(list[1].program);
    EXPECT_EQ(list[1].formula, "MA(C,"); // kept as typed
    ASSERT_TRUE(list[2].program);
    EXPECT_TRUE(sameFormula(*list[2].program, *ParseFormula("MA(C,25)").tree));
    EXPECT_FALSE(list[3].program);
}

// ---- split adjustment, through the opening of a code ----

TEST(FormulaSplitTest, AveragesAreComputedOnSplitAdjustedPrices) {
    // Four days closing 200, 210, 105, 110 with a 1:2 split on the third: the first two are
    // drawn as 100 and 105.
    market::KeisenList day;
    const double closes[4] = {200, 210, 105, 110};
    for (int k = 3; k >= 0; --k) {
        market::KeisenElm& e = day.append();
        char date[32];
        std::snprintf(date, sizeof date, "2024-01-%02d", 8 + k);
        e.setDate(date);
        e.open = e.high = e.low = e.close = closes[k];
        e.volume = 1000;
    }
    chart::OpenChartInput in;
    in.splits = {{"2024-01-10", "2"}};
    BunsekiElement f = definition("式", KindFormula, "");
    f.formula = "MA(C,2)*2-C";
    in.definitions = definitions({definition("平均", KindMovingAverage, "3"), f});
    chart::ChartSeries s;
    chart::BuildChartSeries(in, std::move(day), s);
    const chart::PeriodSeries& d = s.period(market::ChartPeriod::Day);
    ASSERT_EQ(d.bars.size(), 4u);
    EXPECT_EQ(d.bars[3].closeText(), "100.00");
    // (100 + 105 + 105) / 3 and (105 + 105 + 110) / 3.
    EXPECT_EQ(d.graphs[0].value(1), "103.33");
    EXPECT_EQ(d.graphs[0].value(0), "106.67");
    // MA(C,2)*2-C is the previous close: 100, 105, 105.
    EXPECT_EQ(d.graphs[1].value(2), "100.00");
    EXPECT_EQ(d.graphs[1].value(1), "105.00");
    EXPECT_EQ(d.graphs[1].value(0), "105.00");
    // The week holds all four days: one bar, too few for a window of 3.
    const chart::PeriodSeries& w = s.period(market::ChartPeriod::Week);
    ASSERT_EQ(w.bars.size(), 1u);
    EXPECT_FALSE(w.graphs[0].hasValue(0));
}

// ---- evaluation never yields anything but finite values or missing ----

TEST(FormulaEvaluatorTest, OverflowsAndHugeValuesBecomeMissing) {
    BarSeries s;
    s.close = {1e308, 1e308, 1e308, 5, 6, 7};
    s.open = s.high = s.low = s.volume = s.close;
    s.priced.assign(6, 1);
    for (const char* text :
         {"C*C", "SUM(C,2)", "MA(C,2)", "STD(C,2)", "WMA(C,2)", "EMA(C,2)", "-C*10", "C/0.0"}) {
        const auto p = ParseFormula(text);
        ASSERT_TRUE(p.ok()) << text;
        const std::vector<double> v = EvaluateFormula(*p.tree, s);
        ASSERT_EQ(v.size(), 6u);
        for (double x : v)
            EXPECT_TRUE(std::isnan(x) || std::isfinite(x)) << text;
    }
    // The running sums recover once the huge values left the window.
    const auto sum = ParseFormula("SUM(C,2)");
    const std::vector<double> v = EvaluateFormula(*sum.tree, s);
    EXPECT_TRUE(std::isnan(v[1]));
    EXPECT_EQ(v[4], 11.0);
    EXPECT_EQ(v[5], 13.0);
}

} // namespace
