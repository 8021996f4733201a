#include "chart/ChartGeometry.h"
#include "chart/ChartLayers.h"
#include "chart/ChartPainter.h"

#include "ChartTestSupport.h"
#include "analysis/BunsekiGraphList.h"
#include "framework/RecordingCanvas.h"
#include "market/DateList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace tavora::chart {
namespace {

using framework::CanvasOp;
using framework::Point;
using framework::RecordingCanvas;
using market::ChartPeriod;
using Kind = CanvasOp::Kind;

const Rect kClient{0, 0, 400, 300};

struct PaintFixture : ::testing::Test {
    RecordingCanvas canvas{{400, 300}};
    market::KeisenList bars;
    GraphViewState vs = makeViewState(ChartPeriod::Day, "2024-06-01");

    void load(const std::vector<test::BarSpec>& spec, int pitch = 5) {
        test::buildBars(bars, spec);
        vs.bars = &bars;
        vs.x_haba_p = pitch;
        vs.start_bar = 1;
    }
    // One yen per row from `bottom`.
    void oneYenPerRow(int grid, int bottom) {
        vs.grid_yen = grid;
        vs.y_ichimemori = 2;
        vs.recomputeScale();
        vs.pixel_to_yen = 1.0;
        vs.bottom_yen = bottom;
    }
};

std::vector<CanvasOp> linesFrom(const RecordingCanvas& c, int x) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.opsOf(Kind::Line))
        if (op.points[0].x == x)
            out.push_back(op);
    return out;
}

TEST_F(PaintFixture, PriceAxisWithGrid10DrawsMajorsAndTenPixelTicksOnly) {
    vs.grid_yen = 10;
    vs.y_ichimemori = 1;
    vs.recomputeScale();  // 0.2 yen per row: a whole yen every 5 rows
    vs.bottom_yen = 0;
    paintPriceAxis(canvas, kClient, vs);
    int majors = 0, ticks = 0;
    for (const CanvasOp& op : canvas.opsOf(Kind::Line)) {
        int y = op.points[0].y;
        ASSERT_EQ(op.points[1].y, y);
        ASSERT_EQ(op.points[1].x, 400);
        int price = (300 - y) / 5;
        if (op.points[0].x == 0) {
            ++majors;
            EXPECT_EQ(price % 10, 0) << y;
        } else {
            ++ticks;
            EXPECT_EQ(op.points[0].x, 390);
            EXPECT_EQ(price % 2, 0) << y;
        }
    }
    EXPECT_EQ(majors, 6);   // 0, 10, ... 50 (rows 300 .. 50)
    EXPECT_EQ(ticks, 24);   // 4 between majors, below 60 (row 0 is not walked)
    // The labels of 0 and 10 (rows 300 and 250) would stand among the date labels (the
    // bottom 61 rows of a day chart): left out.
    auto texts = canvas.opsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "20");
    EXPECT_EQ(texts[0].rect, (Rect{0, 202, 390, 212}));
    EXPECT_EQ(texts[0].format, framework::TextFormat::singleLine(framework::TextAlign::Right));
}

TEST_F(PaintFixture, PriceAxisWithGrid100DrawsMajorsTenAndFivePixelTicks) {
    oneYenPerRow(100, 1000);
    paintPriceAxis(canvas, kClient, vs);  // rows 300 .. 1 are 1000 .. 1299
    std::map<int, int> byLength;
    for (const CanvasOp& op : canvas.opsOf(Kind::Line))
        ++byLength[op.points[1].x - op.points[0].x];
    EXPECT_EQ(byLength[400], 3);
    EXPECT_EQ(byLength[10], 12);
    EXPECT_EQ(byLength[5], 45);
    EXPECT_EQ(byLength.size(), 3u);
    const auto texts = canvas.opsOf(Kind::Text); // 1000 at the bottom row has no label
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].text, "1200");
    EXPECT_EQ(canvas.opsOf(Kind::Line)[0].pen, (framework::Pen{0xE9E9E9, 1, 1}));
}

TEST_F(PaintFixture, DayDateAxisStartingInJanuaryLabelsTheYearAtJanuarysEndLine) {
    auto spec = test::weekdays(2024, 1, 15, 40);  // Mon 15 Jan .. Fri 8 Mar
    load(spec, 5);
    market::DateList weeks({2024, 6, 1});
    vs.weeks = &weeks;
    paintDateAxis(canvas, kClient, vs);
    const auto& ops = canvas.ops();
    auto xOf = [&](const std::string& date) {
        auto it = std::find_if(spec.begin(), spec.end(), [&](const test::BarSpec& b) { return b.date == date; });
        return static_cast<int>(it - spec.begin()) * 5;
    };
    // Baseline first.
    ASSERT_EQ(ops[0].kind, Kind::Line);
    EXPECT_EQ(ops[0].points, (std::vector<Point>{{0, 300}, {400, 300}}));
    // Week ticks on the first bar after each Sunday: Mondays 22 Jan, 29 Jan, 5 Feb ...
    int feb1 = xOf("2024-02-01"), jan22 = xOf("2024-01-22"), mar1 = xOf("2024-03-01");
    auto tick = linesFrom(canvas, jan22);
    ASSERT_EQ(tick.size(), 1u);
    EXPECT_EQ(tick[0].points[1], (Point{jan22, 290}));
    EXPECT_TRUE(linesFrom(canvas, xOf("2024-01-19")).empty());
    // Month lines at 1 Feb and 1 Mar, full height.
    ASSERT_EQ(linesFrom(canvas, feb1).size(), 1u);
    EXPECT_EQ(linesFrom(canvas, feb1)[0].points[1], (Point{feb1, 0}));
    // Texts: the January label and its year only at January's end line, none for February.
    std::vector<CanvasOp> texts = canvas.opsOf(Kind::Text);
    auto find = [&](const std::string& t) {
        return std::find_if(texts.begin(), texts.end(), [&](const CanvasOp& op) { return op.text == t; });
    };
    auto jan = find("01");
    ASSERT_NE(jan, texts.end());
    EXPECT_EQ(jan->rect, (Rect{1, 259, feb1, 279}));
    EXPECT_EQ(jan->font.pointSize, 8);
    auto year = find("2024");
    ASSERT_NE(year, texts.end());
    EXPECT_EQ(year->rect, (Rect{1, 239, feb1, 259}));
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const CanvasOp& op) { return op.text == "2024"; }), 1);
    auto feb = find("02");
    ASSERT_NE(feb, texts.end());
    EXPECT_EQ(feb->rect, (Rect{feb1 + 1, 259, mar1, 279}));
    auto day22 = find("22");
    ASSERT_NE(day22, texts.end());
    EXPECT_EQ(day22->rect, (Rect{jan22 + 1, 279, jan22 + 31, 299}));
    EXPECT_EQ(day22->font.pointSize, 6);
}

// At the narrowest pitches ticks come closer than a label is wide: a label that would touch
// the one before it is left out, while every tick and the month and year rows stay.
TEST_F(PaintFixture, DayRowLabelsNeverOverlapAtNarrowPitches) {
    struct Case {
        ChartPeriod period;
        int pitch;
    };
    for (const Case& c : {Case{ChartPeriod::Day, 2}, Case{ChartPeriod::Day, 3}, Case{ChartPeriod::Week, 2}}) {
        SCOPED_TRACE(testing::Message() << market::periodLetter(c.period) << " pitch " << c.pitch);
        RecordingCanvas rec({400, 300});
        // Weekdays from a Monday; a week chart takes the Mondays only.
        std::vector<test::BarSpec> spec = test::weekdays(2016, 1, 18, 1600);
        if (c.period == ChartPeriod::Week) {
            std::vector<test::BarSpec> mondays;
            for (std::size_t i = 0; i < spec.size(); i += 5)
                mondays.push_back(spec[i]);
            spec = mondays;
        }
        load(spec, c.pitch);
        vs.kikan = std::string(market::periodLetter(c.period));
        market::DateList weeks({2026, 6, 1});
        vs.weeks = &weeks;
        paintDateAxis(rec, kClient, vs);

        int ticks = 0, monthRow = 0;
        for (const CanvasOp& op : rec.opsOf(Kind::Line))
            ticks += op.points[1].y == 290;
        std::vector<CanvasOp> dayRow;
        for (const CanvasOp& op : rec.opsOf(Kind::Text)) {
            if (op.rect.top == 279)
                dayRow.push_back(op);
            else
                ++monthRow;
        }
        // Every tick is drawn: a day chart ticks each Monday after the first bar, a week chart
        // each change of month, both while the bar's left edge is inside the picture.
        int expectedTicks = 0;
        for (int i = 1; i <= 400 / c.pitch; ++i) {
            if (c.period == ChartPeriod::Day)
                expectedTicks += i % 5 == 0;
            else
                expectedTicks +=
                    spec[std::size_t(i)].date.substr(5, 2) != spec[std::size_t(i - 1)].date.substr(5, 2);
        }
        EXPECT_EQ(ticks, expectedTicks);
        ASSERT_GT(dayRow.size(), 3u);
        if (c.pitch == 2) // ticks 10 pixels apart are closer than a label is wide
            EXPECT_LT(dayRow.size(), std::size_t(ticks));
        else // 15 pixels: every label fits
            EXPECT_EQ(dayRow.size(), std::size_t(ticks));
        for (std::size_t i = 1; i < dayRow.size(); ++i) {
            const int previousEnd =
                dayRow[i - 1].rect.left + RecordingCanvas::textWidth(dayRow[i - 1].font, dayRow[i - 1].text);
            EXPECT_GT(dayRow[i].rect.left, previousEnd) << dayRow[i - 1].text << " " << dayRow[i].text;
        }
        EXPECT_GE(monthRow, 2); // the month row (years on a week chart) keeps its labels
    }
}

struct LongAxisCase {
    ChartPeriod period;
    std::vector<std::string> dates;  // oldest first, pitch 10
    // Expected lines as (x, end y), the baseline first, and texts as (text, rect).
    std::vector<Point> lines;
    std::vector<std::pair<std::string, Rect>> texts;
};

TEST_F(PaintFixture, WeekMonthAndYearAxesLabelTheirChanges) {
    const std::vector<LongAxisCase> cases{
        {ChartPeriod::Week,
         {"2023-11-27", "2023-12-04", "2023-12-11", "2024-01-01", "2024-01-08"},
         {{0, 300}, {10, 290}, {30, 0}, {30, 290}},
         {{"12", {11, 279, 41, 299}}, {"2023", {1, 259, 30, 279}}, {"01", {31, 279, 61, 299}}}},
        {ChartPeriod::Month,
         {"2019-11-01", "2019-12-02", "2020-01-06", "2020-02-03", "2021-01-04"},
         {{0, 300}, {20, 0}, {20, 290}, {40, 290}},
         {{"2020", {21, 279, 141, 299}}, {"2021", {41, 279, 161, 299}}}},
        {ChartPeriod::Year,
         {"2009-01-05", "2010-01-04", "2011-01-04"},
         {{0, 300}, {10, 0}},
         {{"2010", {11, 279, 111, 299}}}},
    };
    for (const LongAxisCase& c : cases) {
        RecordingCanvas rec({400, 300});
        std::vector<test::BarSpec> spec;
        for (const std::string& d : c.dates)
            spec.push_back({d, 100, 100, 100, 100});
        load(spec, 10);
        vs.kikan = std::string(market::periodLetter(c.period));
        paintDateAxis(rec, kClient, vs);
        std::vector<Point> lines;
        for (const CanvasOp& op : rec.opsOf(Kind::Line))
            lines.push_back({op.points[0].x, op.points[1].y});
        EXPECT_EQ(lines, c.lines) << vs.kikan;
        std::vector<std::pair<std::string, Rect>> texts;
        for (const CanvasOp& op : rec.opsOf(Kind::Text))
            texts.emplace_back(op.text, op.rect);
        EXPECT_EQ(texts, c.texts) << vs.kikan;
    }
}

TEST_F(PaintFixture, CandlesAtPitchTwo) {
    load({{"2024-01-04", 1010, 1030, 1000, 1020},   // up
          {"2024-01-05", 1020, 1025, 1005, 1010},   // down
          {"2024-01-09", 1015, 1020, 1010, 1015},   // open = close: an up line
          {"2024-01-10", std::nullopt, std::nullopt, std::nullopt, std::nullopt}},  // empty bar
         2);
    oneYenPerRow(100, 1000);
    paintCandles(canvas, kClient, vs);
    auto lines = canvas.opsOf(Kind::Line);
    auto rects = canvas.opsOf(Kind::Rectangle);
    ASSERT_EQ(lines.size(), 4u);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{1, 270}, {1, 300}}));  // wick at x + 1
    EXPECT_EQ(rects[0].rect, (Rect{0, 280, 2, 290}));                      // body 2 wide
    EXPECT_EQ(rects[0].brush, 0xFFFFFFu);
    EXPECT_EQ(rects[1].rect, (Rect{2, 280, 4, 290}));
    EXPECT_EQ(rects[1].brush, 0x181818u);
    EXPECT_EQ(lines[3].points, (std::vector<Point>{{4, 285}, {6, 285}}));
    EXPECT_EQ(lines[3].pen.color, 0x202020u);
    EXPECT_EQ(vs.end_bar, 5);  // the series ends inside the plot: count + 1
}

TEST_F(PaintFixture, CandlesStopPastTheRightEdgeAndKeepTheLastBar) {
    load(test::weekdays(2024, 1, 1, 300), 5);
    oneYenPerRow(100, 900);
    vs.start_bar = 11;
    paintCandles(canvas, kClient, vs);
    EXPECT_EQ(canvas.opsOf(Kind::Rectangle).size(), 81u);  // left edges 0 .. 400 (= W)
    EXPECT_EQ(vs.end_bar, 11 + 80);
}

TEST_F(PaintFixture, CandlesAndLinesNeedAScale) {
    load(test::weekdays(2024, 1, 1, 10));
    vs.pixel_to_yen = 0.0;
    paintCandles(canvas, kClient, vs);
    paintAnalysisLines(canvas, kClient, vs);
    EXPECT_TRUE(canvas.ops().empty());
}

TEST_F(PaintFixture, VolumeUnder150DrawsNothing) {
    auto spec = test::weekdays(2024, 1, 1, 5);
    for (auto& b : spec)
        b.volume = 149;
    load(spec);
    paintVolume(canvas, kClient, vs);
    EXPECT_TRUE(canvas.ops().empty());
}

TEST_F(PaintFixture, VolumeScaledTo150PixelsWithSplitMarker) {
    auto spec = test::weekdays(2024, 1, 1, 3);
    spec[0].volume = 300;
    spec[1].volume = 151;
    spec[1].split = "2";
    spec[2].volume = 0;
    load(spec, 6);
    paintVolume(canvas, kClient, vs);
    auto rects = canvas.opsOf(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].rect, (Rect{0, 150, 6, 300}));
    EXPECT_EQ(rects[1].rect, (Rect{6, 225, 12, 300}));
    EXPECT_EQ(rects[0].pen.color, 0xD3D3D3u);
    auto triangles = canvas.opsOf(Kind::Polygon);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0].points, (std::vector<Point>{{9, 299}, {12, 291}, {6, 291}}));
    EXPECT_EQ(triangles[0].brush, 0x383838u);
    EXPECT_EQ(rects[2].pen.color, 0xD3D3D3u);  // back to the volume colours after the marker
}

struct AnalysisFixture : PaintFixture {
    analysis::BunsekiGraphListList graphs;
    void values(const std::vector<double>& oldestFirst) {
        analysis::BunsekiGraphList& g = graphs.append();
        g.colour = 0x00FF00;
        g.width = 1;
        analysis::CreateGraphPen(g);
        g.attachBars(bars);
        for (std::size_t k = 0; k < oldestFirst.size(); ++k)
            if (oldestFirst[k] != 0)
                std::snprintf(g.element(bars.size() - 1 - k).value, analysis::kValueTextSize, "%.2f", oldestFirst[k]);
        vs.graphs = &graphs;
    }
};

TEST_F(AnalysisFixture, LineBridgesAZeroValue) {
    load(test::weekdays(2024, 1, 1, 4), 10);
    oneYenPerRow(100, 1000);
    values({1100, 0, 1120, 1130});
    paintAnalysisLines(canvas, kClient, vs);
    auto lines = canvas.opsOf(Kind::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{5, 200}, {25, 180}, {35, 170}}));
    EXPECT_EQ(lines[0].pen.color, 0x00FF00u);
}

TEST_F(AnalysisFixture, FirstPointPastTheRightEdgeIsStillDrawn) {
    load(test::weekdays(2024, 1, 1, 60), 10);
    oneYenPerRow(100, 1000);
    values(std::vector<double>(60, 1100));
    vs.start_bar = 11;
    paintAnalysisLines(canvas, kClient, vs);
    auto lines = canvas.opsOf(Kind::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.size(), 42u);  // left edges 0 .. 400, then the one at 410
    EXPECT_EQ(lines[0].points.back().x, 415);
}

// An element that reports its draw calls.
struct TestElement : ChartAnnotation {
    TestElement(int s, int e, std::string k = "LineElm", bool visible = true)
        : start(s), end(e), kind(std::move(k)), shown(visible) {}
    int start = 0, end = 0;
    std::string kind = "LineElm";
    bool shown = true;
    int drawn = 0;
    int drawnStartBar = 0;
    std::string firstBarDate;
    bool isVisible() const override { return shown; }
    int startDateNumber() const override { return start; }
    int endDateNumber() const override { return end; }
    std::string_view className() const override { return kind; }
    void draw(framework::Canvas&, const Rect&, const GraphViewState&, int, int startBar, double, int, int,
              const market::KeisenElm* firstBar) override {
        ++drawn;
        drawnStartBar = startBar;
        firstBarDate = firstBar ? firstBar->date : "";
    }
};

TEST_F(PaintFixture, AnnotationsReachingIntoTheVisibleBarsAreDrawnAndListed) {
    load(test::weekdays(2024, 1, 1, 200), 5);  // 2 Jan 2024 is bar 2
    vs.start_bar = 21;                            // 29 Jan
    vs.end_bar = 100;                             // 17 May
    TestElement spanning{20240101, 20241231, "TextElm"};
    TestElement startInside{20240301, 20250101, "MemoElm"};
    TestElement endInside{20230101, 20240129};
    TestElement before{20230101, 20240126};
    TestElement after{20240520, 20240601};
    TestElement deleted{20240301, 20240301, "TextElm", false};
    std::vector<ChartAnnotation*> all{&spanning, &startInside, &endInside, &before, &after, &deleted};
    VisibleAnnotations visible;
    visible.all.push_back(&after);  // stale entries go
    paintAnnotations(canvas, kClient, vs, all, visible);
    EXPECT_EQ(visible.all, (std::vector<ChartAnnotation*>{&spanning, &startInside, &endInside}));
    EXPECT_EQ(visible.texts, (std::vector<ChartAnnotation*>{&spanning}));
    EXPECT_EQ(visible.memos, (std::vector<ChartAnnotation*>{&startInside}));
    EXPECT_EQ(spanning.drawn, 1);
    EXPECT_EQ(before.drawn + after.drawn + deleted.drawn, 0);
    EXPECT_EQ(spanning.drawnStartBar, 21);
    EXPECT_EQ(spanning.firstBarDate, "2024-01-29");
}

// A series placed in a plot wider than itself starts right of x = 0 (start_bar below 1): every
// layer begins at the oldest bar's column, x0 = (1 - start_bar) x pitch.
TEST_F(AnalysisFixture, LayersOfASeriesStartingRightOfTheLeftEdge) {
    auto spec = test::weekdays(2024, 1, 1, 12);
    for (auto& b : spec)
        b.volume = 1500;
    load(spec, 10);
    oneYenPerRow(100, 900);
    values(std::vector<double>(12, 1100));
    vs.start_bar = -4; // five empty columns: the oldest bar at x = 50
    paintVolume(canvas, kClient, vs);
    auto rects = canvas.opsOf(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 12u);
    EXPECT_EQ(rects[0].rect.left, 50);
    canvas.clear();
    paintCandles(canvas, kClient, vs);
    rects = canvas.opsOf(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 12u);
    EXPECT_EQ(rects[0].rect.left, 50);
    EXPECT_EQ(rects[11].rect.left, 160);
    EXPECT_EQ(vs.end_bar, 13); // the series ends inside the plot
    canvas.clear();
    paintAnalysisLines(canvas, kClient, vs);
    auto lines = canvas.opsOf(Kind::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.size(), 12u);
    EXPECT_EQ(lines[0].points.front(), (Point{55, 100})); // 1100 yen, 200 rows above 900
    canvas.clear();
    TestElement inside{20240102, 20240105};
    VisibleAnnotations visible;
    paintAnnotations(canvas, kClient, vs, {&inside}, visible);
    EXPECT_EQ(inside.drawn, 1);
    EXPECT_EQ(inside.firstBarDate, "2024-01-01"); // the oldest bar, the first drawn
    EXPECT_EQ(inside.drawnStartBar, -4);

    // The year axis labels its decades from the oldest bar's column on.
    market::KeisenList years;
    std::vector<test::BarSpec> yearSpec;
    for (int y = 2008; y <= 2040; ++y)
        yearSpec.push_back({std::to_string(y) + "-01-04", 100, 110, 90, 105});
    test::buildBars(years, yearSpec);
    vs = makeViewState(ChartPeriod::Year, "2026-12-11");
    vs.bars = &years;
    vs.x_haba_p = 3;
    vs.start_bar = -9; // the oldest bar (2008) at x = 30, 2010 at x = 36
    canvas.clear();
    paintDateAxis(canvas, kClient, vs);
    std::vector<std::pair<std::string, int>> labels;
    for (const CanvasOp& op : canvas.opsOf(Kind::Text))
        labels.emplace_back(op.text, op.rect.left);
    EXPECT_EQ(labels, (std::vector<std::pair<std::string, int>>{
                          {"2010", 37}, {"2020", 67}, {"2030", 97}, {"2040", 127}}));
}

// The price labels stand below their grid lines; one that would reach into the date axis's
// label rows (61 pixels on a day chart, 41 on a week chart, 21 on month and year charts) is
// left out, its line stays.
TEST_F(PaintFixture, PriceLabelsStayAboveTheDateAxis) {
    struct Case {
        ChartPeriod period;
        std::vector<int> labelled; // rows of the grid lines that keep their labels
    };
    for (const Case& c :
         {Case{ChartPeriod::Day, {200, 150, 100, 50}}, Case{ChartPeriod::Week, {200, 150, 100, 50}},
          Case{ChartPeriod::Month, {250, 200, 150, 100, 50}},
          Case{ChartPeriod::Year, {250, 200, 150, 100, 50}}}) {
        vs = makeViewState(c.period, "2024-06-01");
        oneYenPerRow(50, 1000); // grid lines at rows 300, 250, ... 50 (1000, 1050, ... 1250)
        canvas.clear();
        paintPriceAxis(canvas, kClient, vs);
        std::vector<int> labelled;
        for (const CanvasOp& op : canvas.opsOf(Kind::Text)) {
            labelled.push_back(op.rect.top - 2);
            EXPECT_LE(op.rect.bottom, 300 - dateAxisHeight(c.period)) << op.text;
        }
        EXPECT_EQ(labelled, c.labelled) << vs.kikan;
        std::vector<int> majors;
        for (const CanvasOp& op : canvas.opsOf(Kind::Line))
            if (op.points[0].x == 0)
                majors.push_back(op.points[0].y);
        EXPECT_EQ(majors, (std::vector<int>{300, 250, 200, 150, 100, 50})) << vs.kikan;
    }
}

TEST_F(PaintFixture, TitleHasTwoLinesAndReportsItsBottom) {
    load(test::weekdays(2024, 1, 1, 3));
    int bottom = paintTitle(canvas, kClient, vs, {"0001", "日経平均", "東証指数", "指数"});
    auto texts = canvas.opsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "日経平均");
    EXPECT_EQ(texts[0].font.weight, 700);
    EXPECT_EQ(texts[0].rect, (Rect{10, 10, 400, 34}));  // 17 points: 34 pixels high
    EXPECT_EQ(texts[1].text, "0001 東証指数 指数  日足");
    EXPECT_EQ(texts[1].rect, (Rect{10, 34, 400, 52}));
    EXPECT_EQ(bottom, 52);
}

TEST_F(PaintFixture, FullPaintOrderAndFastPaintLeavesOutVolumeAndAnnotations) {
    auto spec = test::weekdays(2024, 1, 1, 30);
    for (auto& b : spec)
        b.volume = 3000;
    load(spec);
    oneYenPerRow(100, 900);
    market::DateList weeks({2024, 6, 1});
    vs.weeks = &weeks;
    TestElement element{20240101, 20241231};
    ChartContent content{true, {"0001", "name", "market", "sector"}, {&element}, {}};
    ChartPainter painter;
    painter.paintFull(canvas, vs, content);
    const auto& ops = canvas.ops();
    EXPECT_EQ(ops.front().kind, Kind::FillRect);
    EXPECT_EQ(ops.front().fill, 0xFCFCFCu);
    EXPECT_EQ(ops.back().kind, Kind::CopyToClean);
    EXPECT_EQ(ops[1].kind, Kind::Rectangle);  // volume right after the background
    EXPECT_EQ(ops[1].pen.color, 0xD3D3D3u);
    EXPECT_EQ(element.drawn, 1);
    EXPECT_EQ(painter.titleBottom(), 18 + 34);
    EXPECT_TRUE(painter.cleanCopyReady());

    canvas.clear();
    painter.paintFast(canvas, vs, content);
    for (const CanvasOp& op : canvas.opsOf(Kind::Rectangle))
        EXPECT_NE(op.pen.color, 0xD3D3D3u);
    EXPECT_EQ(element.drawn, 1);
    EXPECT_EQ(canvas.ops().back().kind, Kind::CopyToClean);
}

TEST_F(PaintFixture, NoCodeScreenIsPaintedAfterTheCleanCopy) {
    ChartContent content;
    content.noCode.background = 0xF0F8FF;
    content.noCode.notice = "Tavora notice text that wraps";
    Rect logo;
    content.noCode.drawLogo = [&](framework::Canvas&, const Rect& r) { logo = r; };
    ChartPainter painter;
    painter.paintFull(canvas, vs, content);
    const auto& ops = canvas.ops();
    auto copy = std::find_if(ops.begin(), ops.end(), [](const CanvasOp& op) { return op.kind == Kind::CopyToClean; });
    ASSERT_NE(copy, ops.end());
    ASSERT_EQ(std::next(copy)->kind, Kind::FillRect);
    EXPECT_EQ(std::next(copy)->fill, 0xF0F8FFu);
    const CanvasOp& text = ops.back();
    ASSERT_EQ(text.kind, Kind::Text);
    EXPECT_TRUE(text.format.wrap);
    EXPECT_EQ(text.textColor, 0x8A8A8Au);
    EXPECT_EQ(text.rect, (Rect{10, 290 - 16, 390, 290}));  // one line of 8 points
    EXPECT_EQ(logo, (Rect{200 - 250, 150 - 50, 200 + 250, 150 + 50}));
    // Only the date axis baseline is drawn under it.
    EXPECT_EQ(canvas.opsOf(Kind::Line).size(), 1u);
}

TEST_F(PaintFixture, NothingIsPaintedOnAnEmptyCanvas) {
    RecordingCanvas empty({0, 300});
    ChartPainter painter;
    painter.paintFull(empty, vs, ChartContent{});
    EXPECT_TRUE(empty.ops().empty());
}

}  // namespace
}  // namespace tavora::chart
