// The pointer tools on a recording canvas with a host that notes what it is asked: the cross
// cursor's read-out, the snap label's tie order, the measurements and their edge scrolling,
// the two-click tools, texts and memos, Delete, and what a reload or a tool change leaves.
// The view: x_haba_p 10 from bar 1, 1 yen per row from 1000 in a 400 x 300 plot.
#include "annotations/PointerTools.h"
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

#include <algorithm>

namespace tavora::annotations {
namespace {

using framework::CanvasOp;
using framework::RecordingCanvas;
using Kind = CanvasOp::Kind;

struct FakeHost : PointerToolHost {
    int fullPaints = 0;
    std::vector<std::pair<int, int>> scrolls;
    std::vector<std::vector<GraphDrawElement*>> steps;
    MemoElm* memo = nullptr;
    int codeRequests = 0;
    std::optional<EditorRequest> editor;
    std::string typed;
    bool focus = false;

    void repaintFull() override { ++fullPaints; }
    void scrollStep(int dx, int dy) override { scrolls.emplace_back(dx, dy); }
    void recordStep(std::vector<GraphDrawElement*> elements) override {
        steps.push_back(std::move(elements));
    }
    void openMemo(MemoElm& m) override { memo = &m; }
    void requestCode() override { ++codeRequests; }
    void showEditor(const EditorRequest& r) override {
        editor = r;
        typed = r.text;
        focus = true;
    }
    void hideEditor() override {
        editor.reset();
        focus = false;
    }
    std::string editorText() const override { return typed; }
    bool editorHasFocus() const override { return focus; }
    int titleBottom() const override { return 40; }
};

struct ToolsFixture : ::testing::Test {
    RecordingCanvas canvas{{400, 300}};
    market::KeisenList bars;
    chart::GraphViewState vs = chart::makeViewState(market::ChartPeriod::Day, "2026-01-05");
    GraphDrawList list;
    FakeHost host;
    PointerTools tools{vs, host};

    void SetUp() override {
        chart::test::buildBars(bars, {
                                         {"2026-01-05", 1100, 1110, 1090, 1095, 1234, "1:2"},
                                         {"2026-01-06", 1100, 1110, 1080, 1102},
                                         {"2026-01-07", 1115, 1130, 1110, 1112},
                                         {"2026-01-08", 1112, 1134, 1108, 1120},
                                         {"2026-01-09", 1120, 1125, 1118, 1121},
                                     });
        bars[4].analysis = "転換線 1100.00\r\n";
        vs.bars = &bars;
        vs.x_haba_p = 10;
        vs.start_bar = 1;
        vs.pixel_to_yen = 1.0;
        vs.bottom_yen = 1000;
        vs.y_ichimemori = 5;
        list.reset("7203");
        tools.setList(&list);
        tools.setClientSize({400, 300});
    }
    // Row of a price: 300 - (p - 1000).
    static int row(double p) { return int(300 - (p - 1000)); }
    static int centre(int bar) { return (bar - 1) * 10 + 5; }
    void move(int x, int y) {
        canvas.clear();
        tools.onMotion(canvas, x, y);
    }
    void press(int x, int y, bool ctrl = false) {
        canvas.clear();
        tools.onPress(x, y, ctrl);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& op : canvas.opsOf(Kind::Text))
            out.push_back(op.text);
        return out;
    }
    // What a full paint would tell the tools.
    void paintVisible() {
        chart::VisibleAnnotations drawn;
        for (chart::ChartAnnotation* a : list.chartAnnotations()) {
            drawn.all.push_back(a);
            if (a->className() == "TextElm")
                drawn.texts.push_back(a);
            if (a->className() == "MemoElm")
                drawn.memos.push_back(a);
            static_cast<GraphDrawElement*>(a)->Draw(canvas, {0, 0, 400, 300}, vs, 10, 1, 1.0, 1000, 5,
                                                    chart::barByNumber(vs, 1));
        }
        tools.setVisible(drawn);
    }
};

TEST_F(ToolsFixture, CrossCursorDrawsTheCrossAndTheBarReadout) {
    vs.tools.cross = true;
    move(centre(1), 200);
    ASSERT_FALSE(canvas.ops().empty());
    EXPECT_EQ(canvas.ops()[0].kind, Kind::RestoreFromClean);
    const auto lines = canvas.opsOf(Kind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<framework::Point>{{5, 0}, {5, 300}}));
    EXPECT_EQ(lines[1].points, (std::vector<framework::Point>{{0, 200}, {400, 200}}));
    EXPECT_EQ(lines[0].pen.color, vs.toolDefaults.cross.lineColor);
    EXPECT_EQ(texts(), (std::vector<std::string>{"2026-01-05", "1100.00", "2026-01-05", "始値 1100.00",
                                                 "高値 1110.00", "安値 1090.00", "終値 1095.00",
                                                 "出来高 1234 分割 1:2", "転換線 1100.00\r\n"}));
    const auto ops = canvas.opsOf(Kind::Text);
    EXPECT_EQ(ops[0].rect, (framework::Rect{7, 0, 7 + 10 * 9, 18})); // the date from x + 2
    // The price under the line at the right edge, on the background so no axis label shows
    // through it.
    EXPECT_EQ(ops[1].rect, (framework::Rect{400 - 7 * 9 - 2, 202, 400, 220}));
    EXPECT_EQ(ops[1].format.align, framework::TextAlign::Right);
    const auto fills = canvas.opsOf(Kind::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, ops[1].rect);
    EXPECT_EQ(fills[0].fill, vs.paint.background);
    EXPECT_EQ(ops[2].rect, (framework::Rect{10, 40, 300, 58})); // read-out from the title's bottom
    EXPECT_EQ(ops[7].rect, (framework::Rect{10, 130, 300, 148}));
    EXPECT_EQ(ops[8].rect.top, 148);
    EXPECT_TRUE(ops[8].format.wrap);

    // The same position again is not drawn again; outside the bars nothing is drawn.
    move(centre(1), 200);
    EXPECT_TRUE(canvas.ops().empty());
    move(395, 200);
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(tools.currentBar(), 0);
}

// Near the bottom the price goes above the line: below it, it would stand among the date
// labels (61 rows on a day chart, 21 on a year chart); with the pointer among them, just above.
TEST_F(ToolsFixture, CrossCursorPriceStaysAboveTheDateAxis) {
    vs.tools.cross = true;
    struct Case {
        market::ChartPeriod period;
        int y;
        int top; // of the price
    };
    for (const Case& c : {Case{market::ChartPeriod::Day, 219, 221}, Case{market::ChartPeriod::Day, 220, 200},
                          Case{market::ChartPeriod::Day, 299, 221}, Case{market::ChartPeriod::Year, 259, 261},
                          Case{market::ChartPeriod::Year, 260, 240}}) {
        SCOPED_TRACE(c.y);
        vs.kikan = std::string(market::periodLetter(c.period));
        move(centre(2), c.y);
        const auto ops = canvas.opsOf(Kind::Text);
        ASSERT_GE(ops.size(), 2u);
        EXPECT_EQ(ops[1].rect.top, c.top);
        EXPECT_LE(ops[1].rect.bottom, 300 - chart::dateAxisHeight(c.period));
        EXPECT_EQ(canvas.opsOf(Kind::FillRect).at(0).rect, ops[1].rect);
    }
}

TEST_F(ToolsFixture, SnapLabelTiesGoHighThenOpenThenClose) {
    vs.tools.takayasu = true;
    struct Case {
        int bar;
        double price; // the pointer's price (whole yen)
        int kind;
        const char* label;
    };
    const Case cases[] = {
        {1, 1105, YonhonneHigh, "高値 1110.00"},  // halfway between open 1100 and high 1110
        {2, 1100, YonhonneOpen, "始値 1100.00"},  // open 1100 and close 1102: the open
        {2, 1101, YonhonneOpen, "始値 1100.00"},  // open and close 1 away: the open
        {4, 1116, YonhonneOpen, "始値 1112.00"},  // open and close 4 away: the open
        {4, 1117, YonhonneClose, "終値 1120.00"}, // close 3 away
        {3, 1111, YonhonneClose, "終値 1112.00"}, // low and close 1 away: the close
        {3, 1001, YonhonneLow, "安値 1110.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        move(centre(c.bar), row(c.price));
        EXPECT_EQ(vs.snap_kind, c.kind);
        EXPECT_EQ(tools.snapLabel(), c.label);
    }
}

TEST_F(ToolsFixture, DayCountRightToLeftEqualsLeftToRight) {
    vs.tools.rangeTime = true;
    struct Case {
        int from, to;
    };
    for (const Case c : {Case{2, 4}, Case{4, 2}}) {
        SCOPED_TRACE(c.from);
        press(centre(c.from), 150);
        ASSERT_TRUE(vs.inProgress);
        move(centre(c.to), 150);
        press(centre(c.to), 150);
        EXPECT_FALSE(vs.inProgress);
    }
    ASSERT_EQ(host.steps.size(), 2u);
    auto& a = static_cast<RangeTimeElm&>(*host.steps[0].at(0));
    auto& b = static_cast<RangeTimeElm&>(*host.steps[1].at(0));
    EXPECT_EQ(a.date, "2026-01-06");
    EXPECT_EQ(a.daycount, "3");
    EXPECT_EQ(b.date, a.date);
    EXPECT_EQ(b.daycount, a.daycount);
    EXPECT_EQ(b.range_y, a.range_y);
    EXPECT_EQ(a.init_y_ichimemori, 5);
    EXPECT_EQ(a.pen_cr, vs.toolDefaults.rangeTime.lineColor);
}

TEST_F(ToolsFixture, PriceRangeLineAndMarkTakeThePointer) {
    vs.tools.rangeNedan = true;
    move(centre(2), row(1110)); // snaps to bar 2's high
    press(centre(2), row(1110));
    move(centre(4), row(1108)); // bar 4's low
    press(centre(4), row(1108));
    auto& range = static_cast<RangeNedanElm&>(*host.steps.at(0).at(0));
    EXPECT_EQ(range.startdate, "2026-01-06");
    EXPECT_EQ(range.owaridate, "2026-01-08");
    EXPECT_EQ(range.enddate, "2026-01-08");
    EXPECT_EQ(range.startyonhonne, YonhonneHigh);
    EXPECT_EQ(range.endyonhonne, YonhonneLow);
    EXPECT_EQ(range.nehaba, "2.00");
    EXPECT_EQ(range.yoko_ichi, vs.toolDefaults.rangeNedanYoko);
    EXPECT_EQ(range.init_x_haba_p, 10);

    vs.tools = {};
    vs.tools.line = true;
    press(centre(1), row(1070)); // 20 below the low 1090
    move(centre(3), row(1100));  // 10 under the low 1110, less the 4 of the end
    press(centre(3), row(1100));
    auto& line = static_cast<LineElm&>(*host.steps.at(1).at(0));
    EXPECT_EQ(line.date, "2026-01-05");
    EXPECT_EQ(line.enddate, "2026-01-07");
    EXPECT_EQ(line.range_y, 20);
    EXPECT_EQ(line.endrange_y, 6);

    vs.tools = {};
    vs.tools.takayasu = true;
    press(centre(4), row(1135)); // above the high 1134: a high mark
    press(centre(4), row(1134)); // on it: a low mark
    EXPECT_TRUE(host.steps.at(2).at(0)->takane_kijyun);
    EXPECT_FALSE(host.steps.at(3).at(0)->takane_kijyun);
    EXPECT_EQ(host.steps.at(3).at(0)->date, "2026-01-08");
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3].id, 4);
}

// The click decides the element it acts on, not the last motion processed (a click can follow
// a fast move before the move is drawn).
TEST_F(ToolsFixture, SelectionTakesTheElementUnderTheClick) {
    auto& a = list.createTakayasu();
    a.SetDate("2026-01-06");
    auto& b = list.createTakayasu();
    b.SetDate("2026-01-09");
    paintVisible();
    vs.tools.select = true;
    move(a.left + a.width / 2, a.top + a.height / 2);
    ASSERT_EQ(tools.hovered(), &a);
    press(b.left + b.width / 2, b.top + b.height / 2);
    EXPECT_TRUE(b.selected);
    EXPECT_FALSE(a.selected);
    press(centre(2), 5); // on nothing: nothing selected, nothing hovered
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(tools.hovered(), nullptr);
}

TEST_F(ToolsFixture, TimePriceMeasureScrollsAtTheEdges) {
    vs.tools.timePrice = true;
    press(centre(2), row(1100));
    ASSERT_TRUE(vs.inProgress);
    move(centre(4), row(1150));
    EXPECT_TRUE(host.scrolls.empty());
    const auto t = texts();
    // Snap label (date, label), then count, difference, both dates, both prices.
    ASSERT_EQ(t.size(), 8u);
    EXPECT_EQ(t[2], "3");
    EXPECT_EQ(t[3], "50.00");
    EXPECT_EQ(t[4], "2026-01-06");
    EXPECT_EQ(t[5], "2026-01-08");
    EXPECT_EQ(t[6], "1100.00");
    EXPECT_EQ(t[7], "1150.00");
    const auto box = canvas.opsOf(Kind::Polyline).at(0);
    EXPECT_EQ(box.points,
              (std::vector<framework::Point>{{15, 200}, {35, 200}, {35, 150}, {15, 150}, {15, 200}}));
    move(centre(4), 10);  // near the top: one step up
    move(centre(4), 295); // near the bottom: one step down
    move(25, 100);        // at the left edge: one step back
    EXPECT_EQ(host.scrolls, (std::vector<std::pair<int, int>>{{0, -1}, {0, 1}, {-1, 0}}));
    press(centre(1), 100);
    EXPECT_FALSE(vs.inProgress);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(ToolsFixture, TextsAreMadeEditedAndEmptiedThroughTheEditor) {
    vs.tools.text = true;
    press(centre(3), row(1100)); // 10 under bar 3's low
    ASSERT_TRUE(host.editor);
    EXPECT_EQ(host.editor->rect, (framework::Rect{20, 200, 270, 300}));
    EXPECT_EQ(host.editor->textColor, vs.toolDefaults.text.textColor);
    host.typed = "売り場\r\n様子見";
    press(centre(1), 50); // the click that ends typing
    ASSERT_EQ(host.steps.size(), 1u);
    auto& text = static_cast<TextElm&>(*host.steps[0].at(0));
    EXPECT_EQ(text.str, "売り場\r\n様子見");
    EXPECT_EQ(text.date, "2026-01-07");
    EXPECT_EQ(text.range_y, 10);
    EXPECT_FALSE(host.editor);
    EXPECT_FALSE(vs.inProgress);

    // Hovering the text and clicking it opens the editor on it; emptied, it is deleted.
    paintVisible();
    move(text.left + 2, text.top + 2);
    ASSERT_EQ(tools.hovered(), &text);
    press(text.left + 2, text.top + 2);
    ASSERT_TRUE(host.editor);
    EXPECT_EQ(host.editor->text, text.str);
    EXPECT_EQ(tools.editing(), &text);
    host.typed.clear();
    press(centre(5), 50);
    ASSERT_EQ(host.steps.size(), 2u);
    EXPECT_EQ(host.steps[1].at(0), &text);
    EXPECT_FALSE(text.view_bl);

    // An empty new text makes nothing.
    press(centre(2), 100);
    host.typed.clear();
    press(centre(2), 100);
    EXPECT_EQ(host.steps.size(), 2u);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(ToolsFixture, MemoIsMadeWithItsDateTextAndOpensOnClick) {
    vs.tools.memo = true;
    press(centre(4), row(1100));
    ASSERT_EQ(host.steps.size(), 1u);
    auto& memo = static_cast<MemoElm&>(*host.steps[0].at(0));
    EXPECT_EQ(memo.str, "2026年1月8日メモ\r\n");
    EXPECT_EQ(memo.font_cr, vs.toolDefaults.memo.textColor);
    EXPECT_EQ(memo.pen_cr, vs.toolDefaults.memo.textColor);
    EXPECT_EQ(memo.range_y, 8);
    paintVisible();
    move(memo.left + 3, memo.top + 3);
    ASSERT_EQ(tools.hovered(), &memo);
    // The memo's text beside the icon.
    EXPECT_EQ(texts().back(), memo.str);
    press(memo.left + 3, memo.top + 3);
    EXPECT_EQ(host.memo, &memo);
    EXPECT_EQ(host.steps.size(), 1u);
}

TEST_F(ToolsFixture, SelectionAndDelete) {
    auto& a = list.createTakayasu();
    a.SetDate("2026-01-06");
    auto& b = list.createTakayasu();
    b.SetDate("2026-01-08");
    paintVisible();
    vs.tools.select = true;
    auto clickOn = [&](GraphDrawElement& e, bool ctrl) {
        const int x = e.left + e.width / 2, y = e.top + e.height / 2;
        move(x, y);
        ASSERT_EQ(tools.hovered(), &e);
        press(x, y, ctrl);
    };
    clickOn(a, false);
    clickOn(b, true);
    EXPECT_TRUE(a.selected);
    EXPECT_TRUE(b.selected);
    clickOn(a, false); // a selected element clicked: deselected
    EXPECT_FALSE(a.selected);
    clickOn(a, false); // selected again, the other deselected without Ctrl
    EXPECT_TRUE(a.selected);
    EXPECT_FALSE(b.selected);
    b.selected = true;
    tools.onDelete();
    ASSERT_EQ(host.steps.size(), 1u);
    EXPECT_EQ(host.steps[0].size(), 2u);
    EXPECT_FALSE(a.view_bl);
    EXPECT_FALSE(b.view_bl);
    EXPECT_FALSE(a.selected);
    // Nothing selected: no step at all.
    tools.onDelete();
    EXPECT_EQ(host.steps.size(), 1u);
}

TEST_F(ToolsFixture, AnotherToolDropsAHalfMadeElementAndCommitsTheEditor) {
    vs.tools.line = true;
    press(centre(1), 100);
    move(centre(3), 100);
    ASSERT_NE(tools.creating(), nullptr);
    tools.abandonOperation();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(tools.creating(), nullptr);
    EXPECT_FALSE(vs.inProgress);
    EXPECT_TRUE(host.steps.empty());

    vs.tools = {};
    vs.tools.text = true;
    press(centre(2), 100);
    host.typed = "メモ書き";
    tools.abandonOperation();
    ASSERT_EQ(host.steps.size(), 1u);
    EXPECT_EQ(host.steps[0].at(0)->str, "メモ書き");
    EXPECT_FALSE(host.editor);
    press(centre(2), 100);
    host.typed.clear();
    tools.abandonOperation();
    EXPECT_EQ(host.steps.size(), 1u);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(ToolsFixture, AReloadDropsEveryElementPointer) {
    vs.tools.text = true;
    auto& text = list.createText();
    text.SetDate("2026-01-07");
    text.str = "AB";
    paintVisible();
    move(text.left + 1, text.top + 1);
    press(text.left + 1, text.top + 1);
    ASSERT_EQ(tools.editing(), &text);
    list.reset("7203"); // undo, redo, new, open or another code
    EXPECT_EQ(tools.editing(), nullptr);
    EXPECT_EQ(tools.hovered(), nullptr);
    tools.listReloaded();
    EXPECT_FALSE(host.editor);
    EXPECT_FALSE(vs.inProgress);
    // The stale visible lists are not walked either.
    move(50, 50);
    EXPECT_EQ(tools.hovered(), nullptr);

    vs.tools = {};
    vs.tools.rangeTime = true;
    press(centre(1), 100);
    list.reset("7203");
    move(centre(3), 100); // the element being made is gone: nothing continues
    press(centre(3), 100);
    EXPECT_TRUE(host.steps.empty() || host.steps.back().at(0) != nullptr);
    for (const auto& step : host.steps)
        for (GraphDrawElement* e : step)
            EXPECT_TRUE(list.contains(e));
}

TEST_F(ToolsFixture, BusyPlotIgnoresPressesAndDelete) {
    vs.tools.takayasu = true;
    vs.busy = true;
    press(centre(2), 100);
    list.createLine().selected = true;
    tools.onDelete();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(list[0].view_bl);
    EXPECT_EQ(list.size(), 1u);
    vs.busy = false;
    tools.setList(nullptr); // no code open: a click asks for one
    press(centre(2), 100);
    EXPECT_EQ(host.codeRequests, 1);
}

// The five priced days followed by five future days without prices; the plot (40 bars wide)
// shows all ten and empty columns after them.
struct FutureFixture : ToolsFixture {
    void SetUp() override {
        ToolsFixture::SetUp();
        chart::test::buildBars(bars, {
                                         {"2026-01-05", 1100, 1110, 1090, 1095, 1234},
                                         {"2026-01-06", 1100, 1110, 1080, 1102, 900},
                                         {"2026-01-07", 1115, 1130, 1110, 1112, 800},
                                         {"2026-01-08", 1112, 1134, 1108, 1120, 700},
                                         {"2026-01-09", 1120, 1125, 1118, 1121, 600},
                                         {"2026-01-12", {}, {}, {}, {}},
                                         {"2026-01-13", {}, {}, {}, {}},
                                         {"2026-01-14", {}, {}, {}, {}},
                                         {"2026-01-15", {}, {}, {}, {}},
                                         {"2026-01-16", {}, {}, {}, {}},
                                     });
    }
};

// The second click of every two-click tool, on the newest priced bar, the first future day, a
// far future day and past the last day, with and without the move to it processed first: the
// day under the click is the day the element ends on, as the cross cursor shows it there.
TEST_F(FutureFixture, SecondClickEndsOnTheDayUnderIt) {
    enum class Tool { Line, DayCount, PriceRange, TimePrice };
    struct Target {
        int bar;          // the bar under the second click (11: past the last day)
        const char* date; // its date
        bool priced;
    };
    const Target targets[] = {
        {5, "2026-01-09", true}, {6, "2026-01-12", false}, {10, "2026-01-16", false}, {11, "", false}};
    for (Tool tool : {Tool::Line, Tool::DayCount, Tool::PriceRange, Tool::TimePrice}) {
        for (const Target& target : targets) {
            for (bool moveFirst : {false, true}) {
                SCOPED_TRACE(std::to_string(int(tool)) + " to bar " + std::to_string(target.bar) +
                             (moveFirst ? " after a move" : " without a move"));
                list.reset("7203");
                tools.listReloaded();
                host.steps.clear();
                vs.tools = {};
                vs.tools.line = tool == Tool::Line;
                vs.tools.rangeTime = tool == Tool::DayCount;
                vs.tools.rangeNedan = tool == Tool::PriceRange;
                vs.tools.timePrice = tool == Tool::TimePrice;
                move(centre(2), row(1110));
                press(centre(2), row(1110));
                ASSERT_TRUE(vs.inProgress);
                if (moveFirst)
                    move(centre(target.bar), 150);
                press(centre(target.bar), 150);
                if (target.bar == 11) { // no day there: the click does nothing
                    EXPECT_TRUE(vs.inProgress);
                    EXPECT_TRUE(host.steps.empty());
                    tools.abandonOperation();
                    EXPECT_TRUE(list.empty());
                    continue;
                }
                EXPECT_FALSE(vs.inProgress);
                if (tool == Tool::TimePrice || (tool == Tool::PriceRange && !target.priced)) {
                    // The measure stores nothing; a price range ending without a price is not made.
                    EXPECT_TRUE(host.steps.empty());
                    EXPECT_TRUE(list.empty());
                    continue;
                }
                ASSERT_EQ(host.steps.size(), 1u);
                GraphDrawElement* made = host.steps[0].at(0);
                if (tool == Tool::Line) {
                    EXPECT_EQ(made->date, "2026-01-06");
                    EXPECT_EQ(made->enddate, target.date);
                } else if (tool == Tool::DayCount) {
                    EXPECT_EQ(made->date, "2026-01-06");
                    EXPECT_EQ(static_cast<RangeTimeElm*>(made)->daycount, std::to_string(target.bar - 1));
                } else {
                    auto* range = static_cast<RangeNedanElm*>(made);
                    EXPECT_EQ(range->owaridate, target.date);
                    EXPECT_EQ(range->enddate, target.date);
                    EXPECT_EQ(range->startyonhonne, YonhonneHigh);
                    EXPECT_EQ(range->endyonhonne, YonhonneHigh); // 1125, nearest to the pointer's 1150
                }
            }
        }
    }
}

// No price at the first click: a price range does not begin and no high/low mark is made (either
// would be an element with nothing to show, "0.00" far below the chart).
TEST_F(FutureFixture, NothingIsMeasuredOrMarkedOnADayWithoutPrices) {
    vs.tools.rangeNedan = true;
    press(centre(7), 150);
    EXPECT_FALSE(vs.inProgress);
    press(centre(9), 150);
    EXPECT_FALSE(vs.inProgress);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(host.steps.empty());
    vs.tools = {};
    vs.tools.takayasu = true;
    press(centre(6), 150);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(host.steps.empty());
    press(centre(5), 150); // a priced day still is
    EXPECT_EQ(host.steps.size(), 1u);
    // Day counts and lines out into the future stay: they show where they were drawn.
    vs.tools = {};
    vs.tools.rangeTime = true;
    press(centre(6), 150);
    press(centre(9), 150);
    ASSERT_EQ(host.steps.size(), 2u);
    EXPECT_EQ(static_cast<RangeTimeElm*>(host.steps[1].at(0))->daycount, "4");
}

TEST_F(FutureFixture, CrossCursorOnAFutureDayShowsNoVolume) {
    vs.tools.cross = true;
    move(centre(7), 150);
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), "始値 "), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "出来高 "), t.end());
    move(centre(5), 150);
    const auto priced = texts();
    EXPECT_NE(std::find(priced.begin(), priced.end(), "出来高 600"), priced.end());
}

// Leaving the chart wipes what follows the pointer; an element being made stays drawn.
TEST_F(ToolsFixture, LeavingTheChartWipesWhatFollowsThePointer) {
    vs.tools.takayasu = true;
    move(centre(2), 150);
    EXPECT_FALSE(texts().empty()); // the snap label
    canvas.clear();
    EXPECT_TRUE(tools.onLeave(canvas));
    ASSERT_EQ(canvas.ops().size(), 1u);
    EXPECT_EQ(canvas.ops()[0].kind, Kind::RestoreFromClean);
    // Coming back to the same place draws the label again.
    move(centre(2), 150);
    EXPECT_FALSE(texts().empty());

    vs.tools = {};
    vs.tools.line = true;
    press(centre(1), 150);
    move(centre(3), 120);
    canvas.clear();
    tools.onLeave(canvas);
    EXPECT_EQ(canvas.ops().front().kind, Kind::RestoreFromClean);
    EXPECT_EQ(canvas.opsOf(Kind::Line).size(), 1u); // the line being made
    EXPECT_TRUE(canvas.opsOf(Kind::Text).empty());  // no snap label
    EXPECT_TRUE(vs.inProgress);

    vs.tools = {};
    vs.tools.select = true;
    auto& mark = list.createTakayasu();
    mark.SetDate("2026-01-06");
    paintVisible();
    move(mark.left + mark.width / 2, mark.top + mark.height / 2);
    ASSERT_EQ(tools.hovered(), &mark);
    tools.onLeave(canvas);
    EXPECT_EQ(tools.hovered(), nullptr);
}

TEST(LimitCharacters, NeverCutsACharacter) {
    EXPECT_EQ(limitCharacters("あいう", 2), "あい");
    EXPECT_EQ(limitCharacters("aあb", 2), "aあ");
    EXPECT_EQ(limitCharacters("ab", 5), "ab");
    EXPECT_EQ(limitCharacters("", 0), "");
}

} // namespace
} // namespace tavora::annotations
