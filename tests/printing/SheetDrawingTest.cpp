// One sheet drawn on the recording canvas: the grid line classes and their colours, the price
// labels, candles and volume, date marks, title and margins, and what the mended cases draw.
#include "printing/SheetDrawing.h"

#include "PrintTestSupport.h"
#include "framework/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tavora::printing {
namespace {

using framework::CanvasOp;
using framework::ColorRef;
using framework::RecordingCanvas;
using market::ChartPeriod;
using test::BarSpec;
using test::snapshotWith;
using test::weekdays;

constexpr ColorRef rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

struct Drawn {
    RecordingCanvas canvas{{kA4WidthPx, kA4HeightPx}};
    explicit Drawn(const SheetInput& in, int sheet = 1) {
        canvas = RecordingCanvas(in.geometry.sheet);
        drawSheet(canvas, in, sheet);
    }
    std::vector<CanvasOp> lines(ColorRef colour) const {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : canvas.opsOf(CanvasOp::Kind::Line))
            if (op.pen.color == colour)
                out.push_back(op);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const CanvasOp& op : canvas.opsOf(CanvasOp::Kind::Text))
            out.push_back(op.text);
        return out;
    }
    const CanvasOp* text(const std::string& t) const {
        for (const CanvasOp& op : canvas.ops())
            if (op.kind == CanvasOp::Kind::Text && op.text == t)
                return &op;
        return nullptr;
    }
};

SheetInput inputFor(const PrintSnapshot& snap, PrintChoices choices = {}, bool printing = false) {
    choices.start = {};
    return makeSheetInput(snap, choices, printing);
}

TEST(SheetDrawing, GridLineClassesInTheSchemeColours) {
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2026, 6, 1, 20));
    struct Scheme {
        LineScheme scheme;
        ColorRef fine, five, ten, fifty, text, tick;
    };
    const Scheme schemes[] = {
        {LineScheme::Blue, rgb(239, 247, 255), rgb(229, 242, 255), rgb(224, 239, 255), rgb(204, 230, 255),
         rgb(137, 194, 255), rgb(127, 190, 255)},
        {LineScheme::Grey, rgb(239, 239, 239), rgb(229, 229, 229), rgb(224, 224, 224), rgb(204, 204, 204),
         rgb(128, 128, 128), rgb(127, 127, 127)},
    };
    for (const Scheme& s : schemes) {
        PrintChoices c;
        c.scheme = s.scheme;
        const Drawn d(inputFor(snap, c));
        // Upright: 251 vertical and 351 horizontal lines of every cell, and of every 5th,
        // 10th and 50th cell.
        EXPECT_EQ(d.lines(s.fine).size(), 251u + 351u);
        EXPECT_EQ(d.lines(s.five).size(), 51u + 71u);
        EXPECT_EQ(d.lines(s.ten).size(), 26u + 36u);
        EXPECT_EQ(d.lines(s.fifty).size(), 6u + 8u);
        EXPECT_FALSE(d.lines(s.tick).empty());
        // Price and date texts in the scheme's colour; only the title keeps its own.
        const ColorRef title = snap.period(ChartPeriod::Day).paint.titleColor;
        int schemeTexts = 0;
        for (const CanvasOp& op : d.canvas.opsOf(CanvasOp::Kind::Text)) {
            if (op.textColor != title) {
                EXPECT_EQ(op.textColor, s.text) << op.text;
                ++schemeTexts;
            }
        }
        EXPECT_GT(schemeTexts, 8);
    }
}

TEST(SheetDrawing, EachUntickedLineClassIsAbsent) {
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2026, 6, 1, 20));
    const LineColours blue = lineColours(LineScheme::Blue);
    struct Case {
        GridLines lines;
        ColorRef absent;
    };
    const Case cases[] = {
        {{false, true, true, true}, blue.every50},
        {{true, false, true, true}, blue.every10},
        {{true, true, false, true}, blue.every5},
        {{true, true, true, false}, blue.fine},
    };
    for (const Case& c : cases) {
        PrintChoices choices;
        choices.lines = c.lines;
        const Drawn d(inputFor(snap, choices));
        EXPECT_TRUE(d.lines(c.absent).empty());
        for (ColorRef other : {blue.fine, blue.every5, blue.every10, blue.every50}) {
            if (other != c.absent) {
                EXPECT_FALSE(d.lines(other).empty());
            }
        }
        // Without the lines every 50 cells the grid keeps its border.
        const auto borders = d.canvas.opsOf(CanvasOp::Kind::Polyline);
        if (!c.lines.every50) {
            ASSERT_EQ(borders.size(), 1u);
            EXPECT_EQ(borders[0].pen.color, blue.every50);
            EXPECT_EQ(borders[0].points, (std::vector<framework::Point>{
                                             {22, 36}, {772, 36}, {772, 1086}, {22, 1086}, {22, 36}}));
        } else {
            EXPECT_TRUE(borders.empty());
        }
    }
}

TEST(SheetDrawing, PriceLabelsEveryFiftyCellsAndCandlesOnThatScale) {
    // Open 12,500, high 13,000, low 12,000, close 12,800 on a sheet from 12,000 by 1,000:
    // 1,000 yen are 150 pixels.
    PrintSnapshot snap =
        snapshotWith(ChartPeriod::Day, {BarSpec{"2026-06-01", 12500, 13000, 12000, 12800, 300},
                                        BarSpec{"2026-06-02", 12800, 12900, 12100, 12200, 150}});
    PrintChoices c;
    c.lowest = 12000;
    c.step = 1000;
    const Drawn d(inputFor(snap, c));
    EXPECT_EQ(d.texts().size(), 8u + 2u + 1u + 1u); // prices, title, year, month
    for (int k = 0; k <= 7; ++k) {
        const CanvasOp* label = d.text(std::to_string(12000 + 1000 * k));
        ASSERT_NE(label, nullptr) << k;
        EXPECT_EQ(label->rect, (framework::Rect{22, 1086 - 150 * k, 122, 1106 - 150 * k}));
        EXPECT_EQ(label->font.pointSize, 9);
    }
    const auto up = d.canvas.opsOf(CanvasOp::Kind::Rectangle);
    ASSERT_EQ(up.size(), 2u);
    // A rising candle: the body from the close (y 1086 - 120) to the open (y 1086 - 75).
    EXPECT_EQ(up[0].rect, (framework::Rect{22, 966, 28, 1011}));
    EXPECT_EQ(up[0].brush, snap.period(ChartPeriod::Day).paint.upBody);
    EXPECT_EQ(up[1].rect, (framework::Rect{28, 966, 34, 966 + 90}));
    EXPECT_EQ(up[1].brush, snap.period(ChartPeriod::Day).paint.downBody);
    // The wicks at the body's middle, from the high to the low.
    const auto wicks = d.lines(snap.period(ChartPeriod::Day).paint.upOutline);
    ASSERT_GE(wicks.size(), 2u);
    EXPECT_EQ(wicks[0].points, (std::vector<framework::Point>{{25, 1086 - 150}, {25, 1086}}));
    // Volume lines: the largest is 150 pixels high (unit 300 / 150 = 2).
    const auto volume = d.lines(snap.period(ChartPeriod::Day).paint.volumeOutline);
    ASSERT_EQ(volume.size(), 2u);
    EXPECT_EQ(volume[0].points, (std::vector<framework::Point>{{25, 1086}, {25, 1086 - 150}}));
    EXPECT_EQ(volume[1].points, (std::vector<framework::Point>{{31, 1086}, {31, 1086 - 75}}));
}

TEST(SheetDrawing, TitleAndWhiteMargins) {
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Week, weekdays(2026, 6, 1, 5));
    PrintChoices c;
    c.period = ChartPeriod::Week;
    const Drawn d(inputFor(snap, c));
    const CanvasOp* name = d.text("極東電機");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->font.weight, 700);
    EXPECT_EQ(name->font.pointSize, 17);
    EXPECT_EQ(name->rect, (framework::Rect{42, 56, 772, 56 + 34}));
    const CanvasOp* line2 = d.text("1001 東証プライム 電気機器  週足");
    ASSERT_NE(line2, nullptr);
    EXPECT_EQ(line2->rect.top, 90);
    // The four margins come last, white.
    const auto& ops = d.canvas.ops();
    ASSERT_GE(ops.size(), 4u);
    const std::vector<framework::Rect> margins{
        {0, 0, 794, 36}, {0, 1087, 794, 1123}, {0, 36, 22, 1087}, {773, 36, 794, 1087}};
    for (std::size_t i = 0; i < 4; ++i) {
        const CanvasOp& op = ops[ops.size() - 4 + i];
        EXPECT_EQ(op.kind, CanvasOp::Kind::FillRect);
        EXPECT_EQ(op.fill, 0xFFFFFFu);
        EXPECT_EQ(op.rect, margins[i]);
    }
}

// Only grid lines and the margins: no text, no candle, no volume.
void expectGridOnly(const Drawn& d) {
    EXPECT_TRUE(d.canvas.opsOf(CanvasOp::Kind::Text).empty());
    EXPECT_TRUE(d.canvas.opsOf(CanvasOp::Kind::Rectangle).empty());
    const LineColours blue = lineColours(LineScheme::Blue);
    const std::set<ColorRef> grid{blue.fine, blue.every5, blue.every10, blue.every50};
    for (const CanvasOp& op : d.canvas.opsOf(CanvasOp::Kind::Line))
        EXPECT_TRUE(grid.count(op.pen.color)) << op.pen.color;
}

TEST(SheetDrawing, WithoutACodeOrWithAnEmptyRangeOnlyTheGrid) {
    expectGridOnly(Drawn(makeSheetInput(PrintSnapshot{}, PrintChoices{}, false)));
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 11, 3, 70));
    PrintChoices c;
    c.start = {2026, 1};
    c.end = {2025, 12};
    const SheetInput in = makeSheetInput(snap, c, false);
    EXPECT_EQ(in.sheets, 1);
    expectGridOnly(Drawn(in));
}

TEST(SheetDrawing, WalksStopAtTheNewestBarAndCandlesAtTheEndMonth) {
    // 30 bars: 2026-06-01 .. 2026-07-10; the range ends with June (22 bars).
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2026, 6, 1, 30));
    const chart::ChartPaint& paint = snap.period(ChartPeriod::Day).paint;
    PrintChoices c;
    c.start = {2026, 6};
    c.end = {2026, 6};
    c.step = 10; // 15 pixels a yen: open and close apart
    c.lowest = 990;
    const Drawn d(makeSheetInput(snap, c, false));
    EXPECT_EQ(d.canvas.opsOf(CanvasOp::Kind::Rectangle).size(), 22u);
    // The volume lines run on past the end month to the newest bar, never further.
    EXPECT_EQ(d.lines(paint.volumeOutline).size(), 30u);
}

TEST(SheetDrawing, PricesFarOutsideTheSheetAreClamped) {
    const PrintSnapshot snap =
        snapshotWith(ChartPeriod::Day, {BarSpec{"2026-06-01", 1e15, 1e300, -1e300, 2e15, 5},
                                        BarSpec{"2026-06-02", -1e15, 1e18, 1, -5e14, 5}});
    PrintChoices c;
    c.lowest = 12000;
    const Drawn d(inputFor(snap, c));
    ASSERT_EQ(d.canvas.opsOf(CanvasOp::Kind::Line).empty(), false);
    for (const CanvasOp& op : d.canvas.ops())
        for (const framework::Point& p : op.points) {
            EXPECT_GE(p.y, 36 - 1);
            EXPECT_LE(p.y, 1086 + 1);
        }
}

TEST(SheetDrawing, VolumeLinesNeedSomeVolume) {
    const chart::ChartPaint paint;
    std::vector<BarSpec> bars = weekdays(2026, 6, 1, 10);
    for (BarSpec& b : bars)
        b.volume = 0;
    EXPECT_TRUE(Drawn(inputFor(snapshotWith(ChartPeriod::Day, bars))).lines(paint.volumeOutline).empty());
    // A largest volume under 150 still draws (one share a pixel).
    bars[3].volume = 40;
    const auto lines = Drawn(inputFor(snapshotWith(ChartPeriod::Day, bars))).lines(paint.volumeOutline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points[1].y, 1086 - 40);
}

TEST(SheetDrawing, DayChartsBefore1983KeepMonthsAndYearsAndTickWeeksFromThen) {
    // Weekdays from 1982-11-01 into February 1983; the week list starts on 1983-01-02.
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(1982, 11, 1, 70));
    const LineColours blue = lineColours(LineScheme::Blue);
    const Drawn d(inputFor(snap));
    std::vector<int> weekTicks;
    int monthTicks = 0;
    for (const CanvasOp& op : d.lines(blue.tick)) {
        if (op.points[1].y == 1086 - 10)
            weekTicks.push_back(op.points[0].x);
        else if (op.points[1].y == 1086 - 20)
            ++monthTicks;
    }
    EXPECT_EQ(monthTicks, 4); // 11, 12, 01, 02
    for (const char* t : {"1982", "1983", "11", "12", "01", "02"})
        EXPECT_NE(d.text(t), nullptr) << t;
    // 1983-01-03 is bar 45 (x = 22 + 45 * 6): the first weekly tick, then one a week to the
    // 31st (the last bars are 1 to 4 February).
    ASSERT_FALSE(weekTicks.empty());
    EXPECT_EQ(weekTicks.front(), 22 + 45 * 6);
    EXPECT_EQ(weekTicks.size(), 5u);
    for (const char* day : {"03", "10", "17", "24", "31"})
        EXPECT_NE(d.text(day), nullptr) << day;
}

TEST(SheetDrawing, MonthAndYearChartsMarkYears) {
    std::vector<BarSpec> months;
    for (int y = 2008; y <= 2012; ++y)
        for (int m = 1; m <= 12; ++m)
            months.push_back(BarSpec{framework::formatDate(y, m, 1), 100, 110, 90, 105, 10});
    PrintChoices c;
    c.period = ChartPeriod::Month;
    const Drawn monthly(inputFor(snapshotWith(ChartPeriod::Month, months), c));
    for (const char* year : {"2008", "2009", "2010", "2011", "2012"}) {
        const CanvasOp* label = monthly.text(year);
        ASSERT_NE(label, nullptr) << year;
        EXPECT_EQ(label->rect.width(), 99);
        EXPECT_EQ(label->font.pointSize, 6);
    }
    std::vector<BarSpec> years;
    for (int y = 1995; y <= 2026; ++y)
        years.push_back(BarSpec{framework::formatDate(y, 1, 4), 100, 110, 90, 105, 10});
    c.period = ChartPeriod::Year;
    c.step = 100; // price labels 0 .. 700, apart from the years
    const Drawn yearly(inputFor(snapshotWith(ChartPeriod::Year, years), c));
    for (const char* year : {"2000", "2010", "2020"})
        EXPECT_NE(yearly.text(year), nullptr) << year;
    EXPECT_EQ(yearly.text("1995"), nullptr);
    EXPECT_EQ(yearly.text("2001"), nullptr);
}

// Records every page a run of sheets draws, as a PDF or printer run would.
class RecordingTarget : public SheetPageTarget {
public:
    explicit RecordingTarget(framework::Size size) : m_size(size) { m_pages.emplace_back(size); }
    framework::Canvas& canvas() override { return m_pages.back(); }
    bool newPage() override {
        m_pages.emplace_back(m_size);
        return true;
    }
    const std::vector<RecordingCanvas>& pages() const { return m_pages; }

private:
    framework::Size m_size;
    std::vector<RecordingCanvas> m_pages;
};

TEST(SheetDrawing, PreviewAndPrintedPagesDrawTheSameButTheOffset) {
    // 300 bars in two-cell bars: three sheets.
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 300, 14000));
    PrintChoices c;
    c.start = {2025, 3};
    c.lowest = 12000;
    const SheetInput preview = makeSheetInput(snap, c, false);
    const SheetInput printed = makeSheetInput(snap, c, true);
    ASSERT_EQ(printed.sheets, 3);
    RecordingTarget target(printed.geometry.sheet);
    ASSERT_EQ(drawSheets(target, printed, 1, 99), 3);
    ASSERT_EQ(target.pages().size(), 3u);
    const chart::ChartPaint& paint = snap.period(ChartPeriod::Day).paint;
    const std::set<ColorRef> shifted{paint.volumeOutline, paint.upOutline, paint.downOutline};
    for (int k = 1; k <= 3; ++k) {
        RecordingCanvas shown(preview.geometry.sheet);
        drawSheet(shown, preview, k);
        const auto& a = shown.ops();
        const auto& b = target.pages()[std::size_t(k - 1)].ops();
        ASSERT_EQ(a.size(), b.size()) << "sheet " << k;
        int moved = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            CanvasOp expected = a[i];
            // Wicks and volume lines (vertical lines in those pens) move one pixel right.
            if (expected.kind == CanvasOp::Kind::Line && shifted.count(expected.pen.color) &&
                expected.points[0].x == expected.points[1].x) {
                for (framework::Point& p : expected.points)
                    ++p.x;
                ++moved;
            }
            EXPECT_EQ(b[i].kind, expected.kind) << i;
            EXPECT_EQ(b[i].points, expected.points) << i;
            EXPECT_EQ(b[i].rect, expected.rect) << i;
            EXPECT_EQ(b[i].text, expected.text) << i;
            EXPECT_EQ(b[i].pen, expected.pen) << i;
        }
        EXPECT_GE(moved, 100) << "sheet " << k;
    }
}

} // namespace
} // namespace tavora::printing
