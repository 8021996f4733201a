// Each kind drawn on a recording canvas, call by call, at zoom 1 and another zoom, and the hit
// tests. The view: x_haba_p 10 from bar 1, 2 yen per pixel row from 0 in a 400 x 300 plot, so
// bar k's left edge is (k - 1) * 10 and a price p lies on row 300 - p / 2.
#include "annotations/ElementGeometry.h"
#include "annotations/GraphDrawList.h"
#include "annotations/LineElm.h"
#include "annotations/RangeNedanElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"

#include "../chart/ChartTestSupport.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLayers.h"
#include "framework/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <climits>

namespace tavora::annotations {
namespace {

using framework::CanvasOp;
using framework::Point;
using framework::RecordingCanvas;
using framework::TextAlign;
using Kind = CanvasOp::Kind;

const Rect kClient{0, 0, 400, 300};

struct DrawFixture : ::testing::Test {
    RecordingCanvas canvas{{400, 300}};
    market::KeisenList bars;
    chart::GraphViewState vs = chart::makeViewState(market::ChartPeriod::Day, "2026-01-05");
    GraphDrawList list;

    void SetUp() override {
        chart::test::buildBars(bars, {
                                         {"2026-01-05", 100, 110, 90, 105},
                                         {"2026-01-06", 105, 120, 100, 115},
                                         {"2026-01-07", 115, 130, 110, 112},
                                         {"2026-01-08", 112, 1234.5, 108, 120},
                                         {"2026-01-09", 120, 125, 118, 121},
                                     });
        vs.bars = &bars;
        vs.x_haba_p = 10;
        vs.start_bar = 1;
        vs.pixel_to_yen = 2.0;
        vs.bottom_yen = 0;
        vs.y_ichimemori = 5;
    }
    void draw(GraphDrawElement& e, int yIchimemori = 5) {
        canvas.clear();
        e.Draw(canvas, kClient, vs, vs.x_haba_p, vs.start_bar, vs.pixel_to_yen, vs.bottom_yen, yIchimemori,
               chart::barByNumber(vs, vs.start_bar));
    }
    std::vector<std::vector<Point>> lines() const {
        std::vector<std::vector<Point>> out;
        for (const auto& op : canvas.opsOf(Kind::Line))
            out.push_back(op.points);
        return out;
    }
};

using Lines = std::vector<std::vector<Point>>;

void expectBox(const GraphDrawElement& e, int l, int t, int w, int h) {
    EXPECT_EQ(e.left, l);
    EXPECT_EQ(e.top, t);
    EXPECT_EQ(e.width, w);
    EXPECT_EQ(e.height, h);
}

TEST_F(DrawFixture, LineLeftToRightEndsThreeShortRightToLeftTenPast) {
    struct Case {
        const char* from;
        const char* to;
        int yIchimemori;
        Point p1, p2;
    };
    // Start low 100 (row 250) with range_y -7, end low 108 (row 246) with endrange_y 3.
    const Case cases[] = {
        {"2026-01-06", "2026-01-08", 5, {11, 243}, {28, 249}},  // Z = 1: x2 = 31 - 3
        {"2026-01-06", "2026-01-08", 10, {11, 236}, {28, 252}}, // Z = 2
        {"2026-01-06", "2026-01-08", 4, {11, 244}, {28, 248}},  // Z = 0.8: 244.4 and 248.4 truncated
        {"2026-01-08", "2026-01-06", 5, {31, 249}, {21, 243}},  // leftward: x2 = 11 + 10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + std::to_string(c.yIchimemori));
        auto& line = list.createLine();
        line.SetDate(c.from);
        line.SetEndDate(c.to);
        line.range_x = 1;
        line.range_y = c.from == std::string("2026-01-06") ? -7 : 3;
        line.endrange_y = c.from == std::string("2026-01-06") ? 3 : -7;
        line.init_y_ichimemori = 5;
        line.pen_cr = 0x112233;
        line.penWidth = 2;
        line.penStyle = 3;
        draw(line, c.yIchimemori);
        ASSERT_EQ(canvas.ops().size(), 1u);
        EXPECT_EQ(canvas.ops()[0].points, (std::vector<Point>{c.p1, c.p2}));
        EXPECT_EQ(canvas.ops()[0].pen, (framework::Pen{0x112233, 2, 3}));
        expectBox(line, std::min(c.p1.x, c.p2.x), std::min(c.p1.y, c.p2.y), std::abs(c.p2.x - c.p1.x),
                  std::abs(c.p2.y - c.p1.y));
    }
}

TEST_F(DrawFixture, TextSitsAtItsOffsetsWhateverTheZoomAndMeasuresExplicitLinesOnly) {
    auto& text = list.createText();
    text.SetDate("2026-01-07"); // bar 3, left edge 20; high 130 on row 235
    text.takane_kijyun = true;
    text.range_x = 4;
    text.range_y = -30;
    text.init_y_ichimemori = 5;
    text.str = "AB CD EF\r\nG"; // one line of 8 characters and one of 1, 9-point: 72 x 36
    text.font_cr = 0x0000FF;
    for (int tick : {5, 10}) {
        draw(text, tick);
        ASSERT_EQ(canvas.ops().size(), 1u);
        const CanvasOp& op = canvas.ops()[0];
        EXPECT_EQ(op.kind, Kind::Text);
        EXPECT_EQ(op.rect, (Rect{24, 205, 96, 241}));
        EXPECT_EQ(op.text, text.str);
        EXPECT_TRUE(op.format.wrap);
        EXPECT_EQ(op.textColor, 0x0000FFu);
        EXPECT_EQ(op.font, (framework::Font{"メイリオ", 9, 400}));
        expectBox(text, 24, 205, 72, 36);
    }
}

TEST_F(DrawFixture, MemoDrawsTheNoteIconAndNoText) {
    auto& memo = list.createMemo();
    memo.SetDate("2026-01-07"); // low 110 on row 245
    memo.range_y = -10;
    memo.str = "2026年1月7日メモ\r\n";
    memo.pen_cr = 0x8A8A8A;
    draw(memo);
    const auto polys = canvas.opsOf(Kind::Polyline);
    ASSERT_EQ(canvas.ops().size(), 2u);
    ASSERT_EQ(polys.size(), 2u);
    EXPECT_EQ(polys[0].points, (std::vector<Point>{{31, 236}, {31, 240}, {35, 240}}));
    EXPECT_EQ(polys[1].points,
              (std::vector<Point>{{35, 250}, {21, 250}, {21, 236}, {32, 236}, {35, 239}, {35, 251}}));
    EXPECT_EQ(polys[0].pen.color, 0x8A8A8Au);
    expectBox(memo, 20, 235, 16, 16);
    // Hit anywhere inside the icon.
    EXPECT_TRUE(memo.HitTest(20, 235));
    EXPECT_TRUE(memo.HitTest(36, 251));
    EXPECT_FALSE(memo.HitTest(37, 240));
}

TEST_F(DrawFixture, HighLowMarkIsCentredOnTheBarsLeftEdgeAndPlacedByTheWholeYenPrice) {
    vs.bottom_yen = 1000; // the high 1234.5 of bar 4 (left edge 30): row 300 - 234 / 2 = 183
    auto& mark = list.createTakayasu();
    mark.SetDate("2026-01-08");
    mark.takane_kijyun = true;
    mark.range_x = 50; // not used by a mark
    draw(mark, 10);
    ASSERT_EQ(canvas.ops().size(), 1u);
    const CanvasOp& op = canvas.ops()[0];
    EXPECT_EQ(op.text, "1234.50\r\n2026-01-08");
    // 10 characters wide (90) over two lines (36): left 30 - 45, top 183 - 36 - 2.
    EXPECT_EQ(op.rect, (Rect{-15, 145, 75, 181}));
    EXPECT_TRUE(op.format.wrap);
    EXPECT_EQ(op.format.align, TextAlign::Center);
    expectBox(mark, -15, 145, 90, 36);

    vs.bottom_yen = 0;
    mark.takane_kijyun = false; // the low 108: row 246, the mark 2 below
    draw(mark);
    EXPECT_EQ(canvas.ops()[0].text, "108.00\r\n2026-01-08");
    EXPECT_EQ(canvas.ops()[0].rect, (Rect{-15, 248, 75, 284}));
}

TEST_F(DrawFixture, DayCountBracketsBarCentresAndRewritesItsEndDate) {
    auto& count = list.createRangeTime();
    count.SetDate("2026-01-06"); // bar 2, left edge 10; low 100 on row 250
    count.SetEndDate("2000-01-01");
    count.daycount = "3";
    count.range_x = 2;
    count.range_y = 6;
    count.init_y_ichimemori = 5;
    struct Case {
        int tick;
        int top;
    };
    for (const Case& c : {Case{5, 256}, Case{10, 262}}) {
        SCOPED_TRACE(c.tick);
        draw(count, c.tick);
        const int b = c.top + 18; // one 9-point line
        EXPECT_EQ(count.enddate, "2026-01-08");
        EXPECT_EQ(count.enddate_number, 20260108);
        EXPECT_EQ(
            lines(),
            (Lines{{{17, b - 4}, {37, b - 4}}, {{17, b - 6}, {17, b - 1}}, {{37, b - 6}, {37, b - 1}}}));
        const auto texts = canvas.opsOf(Kind::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rect, (Rect{17, c.top, 37, b}));
        EXPECT_EQ(texts[0].format, framework::TextFormat::singleLine(TextAlign::Center));
        expectBox(count, 17, c.top, 20, 18);
    }

    // A count of 1 is a bracket of no length at the bar's centre.
    count.daycount = "1";
    count.range_x = 0;
    draw(count);
    EXPECT_EQ(count.enddate, "2026-01-06");
    EXPECT_EQ(lines()[1], lines()[2]);
    EXPECT_EQ(lines()[1][0].x, 15);
}

TEST_F(DrawFixture, DayCountTextMovesInsideThePlotNearItsEdges) {
    auto& count = list.createRangeTime();
    count.SetDate("2026-01-06");
    count.daycount = "3";
    count.range_x = 360; // bracket 375..395, middle 385 > 400 - 30: right-aligned, ending at 380
    draw(count);
    auto text = canvas.opsOf(Kind::Text).at(0);
    EXPECT_EQ(text.format.align, TextAlign::Right);
    EXPECT_EQ(text.rect.left, 375);
    EXPECT_EQ(text.rect.right, 380);
    count.range_x = -60; // bracket -45..-25, middle -35 left of the plot: left-aligned from 20
    draw(count);
    text = canvas.opsOf(Kind::Text).at(0);
    EXPECT_EQ(text.format.align, TextAlign::Left);
    EXPECT_EQ(text.rect.left, 20);
    EXPECT_EQ(text.rect.right, -25);
}

TEST_F(DrawFixture, DayCountFromADocumentIsClampedToTheBarsThatExist) {
    auto& count = list.createRangeTime();
    count.SetDate("2026-01-07"); // bar 3 of 5, centre 25
    count.SetEndDate("2026-01-07");
    struct Case {
        const char* text;
        int right;
        const char* end;
    };
    const Case cases[] = {
        {"", 25, "2026-01-07"},  {"-4", 25, "2026-01-07"}, {"99999999999999999999", 45, "2026-01-07"},
        {"3", 45, "2026-01-09"}, {"4", 45, "2026-01-09"}, // past the series: the end date stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        count.daycount = c.text;
        draw(count);
        EXPECT_EQ(lines().at(0).at(1).x, c.right);
        EXPECT_EQ(count.enddate, c.end);
    }
}

TEST_F(DrawFixture, PriceRangeBarByYokoIchiWithTheDifference) {
    auto& range = list.createRangeNedan();
    range.SetDate("2026-01-06"); // bar 2, left edge 10
    range.startdate = "2026-01-06";
    range.owaridate = "2026-01-08"; // bar 4, left edge 30
    range.SetEndDate("2026-01-08");
    range.startyonhonne = YonhonneHigh; // 120: row 240
    range.endyonhonne = YonhonneLow;    // 108: row 246
    range.range_y = -4;
    range.init_y_ichimemori = 5;
    struct Case {
        int yoko;
        int tick;
        int u;
        int top, bottom;
    };
    const Case cases[] = {{1, 5, 22, 236, 242},
                          {2, 5, 20, 236, 242},
                          {3, 5, 2, 236, 242},
                          {7, 5, 2, 236, 242},
                          {1, 10, 22, 232, 238}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.yoko) + " " + std::to_string(c.tick));
        range.yoko_ichi = c.yoko;
        draw(range, c.tick);
        const int u = c.u, t = c.top, b = c.bottom;
        EXPECT_EQ(lines(),
                  (Lines{{{u + 1, t}, {u + 1, b}}, {{u - 1, t}, {u + 4, t}}, {{u - 1, b}, {u + 4, b}}}));
        EXPECT_EQ(range.nehaba, "12.00");
        const auto text = canvas.opsOf(Kind::Text).at(0);
        EXPECT_EQ(text.text, "12.00");
        EXPECT_EQ(text.rect, (Rect{0, t, u, b}));
        EXPECT_EQ(text.format, framework::TextFormat::singleLine(TextAlign::Right));
        expectBox(range, u, t, 5, b - t);
    }
    // Equal prices: "0.00" and a bar of no height.
    range.endyonhonne = YonhonneOpen; // bar 5 opens at 120 as well
    range.owaridate = "2026-01-09";
    range.yoko_ichi = 1;
    draw(range);
    EXPECT_EQ(range.nehaba, "0.00");
    EXPECT_EQ(range.height, 0);
}

TEST_F(DrawFixture, SelectedElementsGetTheirFrame) {
    auto& text = list.createText();
    text.SetDate("2026-01-07");
    text.str = "AB";
    text.selected = true;
    draw(text);
    const auto frame = canvas.opsOf(Kind::Polyline);
    ASSERT_EQ(frame.size(), 1u);
    // "AB" (18 x 18) at bar 3's left edge 20 and its low 110 (row 245).
    EXPECT_EQ(frame[0].points, (std::vector<Point>{{20, 245}, {38, 245}, {38, 263}, {20, 263}, {20, 245}}));
    EXPECT_EQ(frame[0].pen, (framework::Pen{vs.paint.selectionFrame, 1, 1}));
}

TEST_F(DrawFixture, NothingIsDrawnWithoutAScaleOrWithoutTheAnchorBar) {
    GraphDrawElement* all[] = {&list.createLine(),     &list.createText(),      &list.createMemo(),
                               &list.createTakayasu(), &list.createRangeTime(), &list.createRangeNedan()};
    for (GraphDrawElement* e : all) {
        SCOPED_TRACE(e->classname);
        e->SetDate("2026-01-06");
        e->SetEndDate("2026-01-07");
        if (auto* r = dynamic_cast<RangeNedanElm*>(e)) {
            r->startdate = "2026-01-06";
            r->owaridate = "2026-01-07";
        }
        if (auto* c = dynamic_cast<RangeTimeElm*>(e))
            c->daycount = "2";
        vs.pixel_to_yen = 0;
        draw(*e);
        EXPECT_TRUE(canvas.ops().empty());
        vs.pixel_to_yen = -1;
        draw(*e);
        EXPECT_TRUE(canvas.ops().empty());
        vs.pixel_to_yen = 2;
        draw(*e);
        EXPECT_FALSE(canvas.ops().empty());
        e->SetDate("2025-12-31"); // no such bar
        draw(*e);
        EXPECT_TRUE(canvas.ops().empty());
    }
}

TEST_F(DrawFixture, ValuesFromADocumentAreClampedForDrawing) {
    auto& line = list.createLine();
    line.SetDate("2026-01-06");
    line.SetEndDate("2026-01-08");
    line.range_x = INT_MAX;
    line.range_y = INT_MIN;
    line.endrange_y = INT_MAX;
    line.init_y_ichimemori = -3; // reads as 1
    line.penWidth = 100000;
    draw(line, 10);
    const auto op = canvas.ops().at(0);
    EXPECT_EQ(op.points[0], (Point{int(kCoordLimit), -int(kCoordLimit)}));
    EXPECT_EQ(op.points[1], (Point{int(kCoordLimit), int(kCoordLimit)}));
    EXPECT_EQ(op.pen.width, drawPenWidth(100000));
    EXPECT_LE(op.pen.width, 32);

    auto& text = list.createText();
    text.SetDate("2026-01-06");
    text.str = "A";
    text.font_size = 100000;
    draw(text);
    EXPECT_EQ(canvas.ops().at(0).font.pointSize, 96);
    text.font_size = -5;
    draw(text);
    EXPECT_EQ(canvas.ops().at(0).font.pointSize, 1);
}

TEST(ElementHitTest, BoxAndSegment) {
    GraphDrawElement box;
    box.left = 10;
    box.top = 20;
    box.width = 30;
    box.height = 40;
    struct BoxCase {
        int x, y;
        bool hit;
    };
    for (const BoxCase& c : {BoxCase{10, 20, true}, BoxCase{40, 60, true}, BoxCase{41, 60, false},
                             BoxCase{9, 30, false}, BoxCase{25, 61, false}}) {
        EXPECT_EQ(box.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(box.hit, c.hit);
    }

    struct LineCase {
        Point a, b;
        int x, y;
        bool hit;
    };
    const LineCase cases[] = {
        {{0, 0}, {20, 0}, 10, 4, true},    {{0, 0}, {20, 0}, 10, 5, false},
        {{0, 0}, {20, 0}, 24, 0, true},    {{0, 0}, {20, 0}, 25, 0, false},
        {{0, 0}, {20, 0}, -3, -3, false},  {{0, 0}, {30, 40}, 20, 21, true}, // 3.4 from the segment
        {{0, 0}, {30, 40}, 21, 20, false},                                   // 4.8
        {{5, 5}, {5, 5}, 5, 5, true}, // zero length: distance to the point
        {{5, 5}, {5, 5}, 5, 9, true},      {{5, 5}, {5, 5}, 8, 8, false},
    };
    LineElm line;
    for (const auto& c : cases) {
        line.x1 = c.a.x;
        line.y1 = c.a.y;
        line.x2 = c.b.x;
        line.y2 = c.b.y;
        EXPECT_EQ(line.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
    }
}

} // namespace
} // namespace tavora::annotations
