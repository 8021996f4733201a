#include "ChartFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavora::analysis;
using namespace tavora::analysis::test;
namespace market = tavora::market;

namespace {

using Values = std::vector<std::string>;

// Closes 101, 102, ... with high = close + 1 and low = close - 1.
std::vector<Bar> risingBars(int count, int futureDays = 0) {
    std::vector<Bar> bars;
    for (int i = 1; i <= count; ++i)
        bars.push_back({100.0 + i + 1, 100.0 + i - 1, 100.0 + i, true});
    for (int i = 0; i < futureDays; ++i)
        bars.push_back({std::nullopt, std::nullopt, std::nullopt, false});
    return bars;
}

std::string price(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// ---- half value ----

struct HanneCase {
    const char* what;
    std::string param;
    std::vector<Bar> bars;
    Values expected; // oldest first
};

class HanneKeisanTest : public ::testing::TestWithParam<HanneCase> {};

TEST_P(HanneKeisanTest, WritesTheHalfValueOfTheWindowAtTheBar) {
    const HanneCase& c = GetParam();
    Period p;
    p.open(c.bars, definitions({definition("転換線", KindHanne, c.param)}));
    EXPECT_EQ(p.values("転換線"), c.expected);
}

const std::vector<Bar> kNineBars = pricedBars(
    {10, 12, 11, 15, 14, 13, 12, 11, 10}, {8, 9, 7, 10, 11, 6, 9, 8, 9}, {9, 10, 10, 12, 12, 10, 10, 9, 9});

INSTANTIATE_TEST_SUITE_P(
    Cases, HanneKeisanTest,
    ::testing::Values(
        // Highest high 15 (bar 4) and lowest low 6 (bar 6): (15 + 6) / 2 at the 9th bar.
        HanneCase{"nineOnNineBars", "9", kNineBars, {"", "", "", "", "", "", "", "", "10.50"}},
        HanneCase{"nineOnEightBars",
                  "9",
                  std::vector<Bar>(kNineBars.begin(), kNineBars.end() - 1),
                  {"", "", "", "", "", "", "", ""}},
        // The high of 9 (bars 2 and 3) outlives bar 2 through bar 3; then 4 is the highest.
        HanneCase{"extremeLeavesTheWindow",
                  "3",
                  pricedBars({5, 9, 9, 4, 3, 2}, {1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}),
                  {"", "", "5.00", "5.00", "5.00", "2.50"}},
        // Days without trade carry lows of 0; an all-zero window has no value.
        HanneCase{"zeroLowsAreNeverTheLowest",
                  "2",
                  pricedBars({10, 0, 12, 0, 0, 11}, {8, 0, 9, 0, 0, 7}, {9, 0, 10, 0, 0, 8}),
                  {"", "9.00", "10.50", "10.50", "", "9.00"}},
        HanneCase{"parameterIsNotANumber", "基準線", kNineBars, Values(9, "")},
        HanneCase{"parameterIsZero", "0", kNineBars, Values(9, "")},
        HanneCase{"parameterIsNegative", "-3", kNineBars, Values(9, "")},
        // A window longer than the bar list costs nothing and writes nothing.
        HanneCase{"windowBeyondTheBars", "2000000000", kNineBars, Values(9, "")},
        // Future market days (no open) are not fed and get no value with shift 1.
        HanneCase{"futureDaysSkipped", "2", risingBars(3, 2), {"", "101.50", "102.50", "", ""}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- lagging span ----

struct ChikouCase {
    std::string param;
    int count;
    // expected[i] is the number of the bar (1-based, oldest first) whose close bar i shows,
    // 0 for none.
    std::vector<int> closeOf;
};

class ChikouSpanKeisanTest : public ::testing::TestWithParam<ChikouCase> {};

TEST_P(ChikouSpanKeisanTest, PlacesTheCloseEarlier) {
    const ChikouCase& c = GetParam();
    Period p;
    p.open(risingBars(c.count), definitions({definition("遅行スパン", KindChikouSpan, c.param)}));
    Values expected;
    for (int k : c.closeOf)
        expected.push_back(k == 0 ? "" : price(100.0 + k));
    EXPECT_EQ(p.values("遅行スパン"), expected);
}

std::vector<int> shifted(int count, int by) {
    std::vector<int> v;
    for (int i = 1; i <= count; ++i)
        v.push_back(i + by <= count ? i + by : 0);
    return v;
}

INSTANTIATE_TEST_SUITE_P(Params, ChikouSpanKeisanTest,
                         ::testing::Values(ChikouCase{"0", 4, {1, 2, 3, 4}}, ChikouCase{"1", 4, {2, 3, 4, 0}},
                                           ChikouCase{"2", 4, {2, 3, 4, 0}},
                                           // The first 25 bars' places lie before the oldest bar.
                                           ChikouCase{"26", 30, shifted(30, 25)},
                                           ChikouCase{"26", 20, shifted(20, 25)}),
                         [](const auto& info) {
                             return "param" + info.param.param + "_" + std::to_string(info.param.count) +
                                    "bars";
                         });

TEST(ChikouSpanKeisan, AnAbsentCloseIsWrittenAsZero) {
    Period p;
    p.open({{5.0, 4.0, std::nullopt, true}, {5.0, 4.0, 4.5, true}},
           definitions({definition("遅行スパン", KindChikouSpan, "0")}));
    EXPECT_EQ(p.values("遅行スパン"), (Values{"0.00", "4.50"}));
}

// ---- leading spans ----

TEST(SenkouSpanKeisan, LeadingSpan2IsPlacedTwentyFiveBarsAheadAndLostPastTheNewestFutureBar) {
    // 40 priced bars and 10 future days: values of bars 3..25 land on bars 28..50; the
    // later ones fall past the newest future day.
    Period p;
    p.open(risingBars(40, 10), definitions({definition("先行スパン2", KindSenkouSpan2, "3")}));
    Values expected(50, "");
    for (int bar = 3; bar <= 25; ++bar)
        expected[bar + 25 - 1] = price(99.0 + bar); // (high of the bar + low of two bars before) / 2
    EXPECT_EQ(p.values("先行スパン2"), expected);
}

const std::vector<BunsekiElement> kIchimoku = {
    definition("転換線", KindHanne, "2"), definition("基準線", KindHanne, "3"),
    definition("先行スパン1", KindSenkouSpan1, "基準線", "転換線")};

TEST(SenkouSpanKeisan, LeadingSpan1AveragesItsSourcesTwentyFiveBarsAhead) {
    Period p;
    p.open(risingBars(30, 5), definitions(kIchimoku));
    const Values tenkan = p.values("転換線");
    const Values kijun = p.values("基準線");
    const Values span = p.values("先行スパン1");
    ASSERT_EQ(span.size(), 35u);
    for (int i = 0; i < 35; ++i) {
        const int from = i - 25;
        std::string want;
        if (from >= 0 && from < 30 && !kijun[from].empty())
            want = price((std::stod(tenkan[from]) + std::stod(kijun[from])) * 0.5);
        EXPECT_EQ(span[i], want) << "bar " << i;
    }
    // Bar 3 (the first with a base line): (102.50 + 102.00) / 2 lands on bar 28.
    EXPECT_EQ(span[27], "102.25");
    EXPECT_EQ(span[26], "");
}

struct Span1Case {
    const char* what;
    std::vector<BunsekiElement> defs;
};

class SenkouSpan1EmptyTest : public ::testing::TestWithParam<Span1Case> {};

TEST_P(SenkouSpan1EmptyTest, HasNoValues) {
    Period p;
    p.open(risingBars(30, 26), definitions(GetParam().defs));
    EXPECT_EQ(p.values("先行スパン1"), Values(56, ""));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SenkouSpan1EmptyTest,
    ::testing::Values(Span1Case{"definedBeforeItsSources", {kIchimoku[2], kIchimoku[0], kIchimoku[1]}},
                      Span1Case{
                          "baseLineHidden",
                          {kIchimoku[0], definition("基準線", KindHanne, "3", {}, false), kIchimoku[2]}},
                      Span1Case{"conversionLineMissing", {kIchimoku[1], kIchimoku[2]}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- the run, the texts and the incremental path ----

TEST(RunGraphKeisan, AppendsOneLinePerValueToTheBarWhereItIsPlaced) {
    Period p;
    p.open(risingBars(3),
           definitions({definition("転換線", KindHanne, "2"), definition("遅行スパン", KindChikouSpan, "2"),
                        definition("式", KindFormula, "")}));
    EXPECT_EQ(p.graphs.size(), 3u); // the formula graph has a list but no values
    EXPECT_EQ(p.keisan.size(), 2u);
    EXPECT_EQ(p.bars[2].analysis, "遅行スパン 102.00\r\n");                  // oldest
    EXPECT_EQ(p.bars[1].analysis, "転換線 101.50\r\n遅行スパン 103.00\r\n"); // middle
    EXPECT_EQ(p.bars[0].analysis, "転換線 102.50\r\n");                      // newest
}

TEST(RunGraphKeisan, ALineThatWouldNotFitIsDroppedWholeButTheValueStays) {
    Period p;
    market::KeisenList& bars = p.bars;
    buildBars(bars, risingBars(1));
    bars[0].analysis = std::string(1023 - 14, 'x'); // room for 14 more characters
    CreateBunsekiGraphLists(
        bars,
        definitions({definition("A", KindChikouSpan, "0"), definition("遅行スパン", KindChikouSpan, "0")}),
        p.graphs);
    CreateGraphKeisanList(p.keisan, p.graphs);
    RunGraphKeisan(bars, p.keisan);
    // "A 101.00\r\n" (10) fits; "遅行スパン 101.00\r\n" (24) does not.
    EXPECT_EQ(bars[0].analysis, std::string(1023 - 14, 'x') + "A 101.00\r\n");
    EXPECT_EQ(p.values("遅行スパン"), Values{"101.00"});
}

TEST(RunGraphKeisan, EmptiesBarsAfterTheNewestPricedDayBeforeTheirTurn) {
    Period p;
    std::vector<Bar> bars = risingBars(4);
    buildBars(p.bars, bars);
    const int cut = p.bars[2].dateNumber(); // the second oldest bar
    p.open(bars, definitions({definition("遅行スパン", KindChikouSpan, "0")}), cut);
    EXPECT_EQ(p.values("遅行スパン"), (Values{"101.00", "102.00", "", ""}));
    EXPECT_FALSE(p.bars[0].high.has_value());
    EXPECT_TRUE(p.bars[2].high.has_value());
}

const std::vector<BunsekiElement> kFiveGraphs = {
    definition("転換線", KindHanne, "9"), definition("基準線", KindHanne, "26"),
    definition("遅行スパン", KindChikouSpan, "26"),
    definition("先行スパン1", KindSenkouSpan1, "基準線", "転換線"),
    definition("先行スパン2", KindSenkouSpan2, "52")};

std::vector<Bar> wavyBars(int priced, int future) {
    std::vector<Bar> bars;
    for (int i = 0; i < priced; ++i) {
        const double c = 1000 + 50 * ((i * 7) % 13) - 3 * i;
        bars.push_back({c + 5 + i % 3, i % 11 == 5 ? 0.0 : c - 4 - i % 5, c, true});
    }
    for (int i = 0; i < future; ++i)
        bars.push_back({std::nullopt, std::nullopt, std::nullopt, false});
    return bars;
}

TEST(ComputeGraphKeisanBar, TodaysBarCarriesOnFromTheFullRun) {
    // Computed in full over 120 bars versus 119 bars and then today's bar fed alone.
    const BunsekiList defs = definitions(kFiveGraphs);
    std::vector<Bar> full = wavyBars(120, 30);
    Period whole;
    whole.open(full, defs);

    std::vector<Bar> before = full;
    before[119] = {std::nullopt, std::nullopt, std::nullopt, false};
    Period step;
    step.open(before, defs);
    market::KeisenElm& today = step.bars[30]; // the 120th bar, oldest first
    today.open = full[119].close;
    today.high = full[119].high;
    today.low = full[119].low;
    today.close = full[119].close;
    ComputeGraphKeisanBar(step.keisan, today);

    for (const auto& d : kFiveGraphs)
        EXPECT_EQ(step.values(d.name), whole.values(d.name)) << d.name;
    for (std::size_t i = 0; i < whole.bars.size(); ++i)
        EXPECT_EQ(step.bars[i].analysis, whole.bars[i].analysis) << i;
}

TEST(RebuildGraphKeisan, GivesTheSameValuesAndTextsAsTheFirstRun) {
    const BunsekiList defs = definitions(kFiveGraphs);
    Period p;
    p.open(wavyBars(90, 20), defs);
    const std::vector<Values> first = {p.values("転換線"), p.values("先行スパン1"), p.values("遅行スパン")};
    const std::string text = p.bars[40].analysis;
    ASSERT_FALSE(text.empty());
    RebuildGraphKeisan(p.bars, p.graphs, p.keisan);
    EXPECT_EQ((std::vector<Values>{p.values("転換線"), p.values("先行スパン1"), p.values("遅行スパン")}),
              first);
    EXPECT_EQ(p.bars[40].analysis, text);
}

TEST(CreateBunsekiGraphLists, OneListPerShownDefinitionWithOneElementPerBar) {
    BunsekiElement dashed = definition("基準線", KindHanne, "26");
    dashed.lineStyle = BunsekiLineStyle::Dashed;
    dashed.colour = 0x00FF0000;
    dashed.width = 0;
    Period p;
    p.open(risingBars(5, 3), definitions({definition("転換線", KindHanne, "9", {}, false), dashed}));
    ASSERT_EQ(p.graphs.size(), 1u);
    const BunsekiGraphList& g = p.graphs[0];
    EXPECT_EQ(g.name, "基準線");
    EXPECT_EQ(g.count(), 8u);
    EXPECT_EQ(g.bar(0), &p.bars[0]);
    EXPECT_EQ(g.bar(7), &p.bars[7]);
    EXPECT_EQ(g.pen, (tavora::framework::Pen{0x00FF0000, 1, tavora::framework::LineDashed}));

    p.open(risingBars(30), definitions({definition("転換線", KindHanne, "2")}));
    ASSERT_TRUE(p.graphs[0].hasValue(0));
    ClearBunsekiGraphValues(p.graphs);
    EXPECT_EQ(p.values("転換線"), Values(30, ""));
}

} // namespace
