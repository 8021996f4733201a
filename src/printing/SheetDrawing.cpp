#include "printing/SheetDrawing.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tavora::printing {

using framework::Canvas;
using framework::ColorRef;
using framework::Font;
using framework::Pen;
using framework::Point;
using framework::Rect;
using framework::TextAlign;
using framework::TextFormat;
using market::ChartPeriod;

namespace {

constexpr ColorRef kWhite = 0xFFFFFF;
constexpr int kLabelPitchPx = 50 * kCellPx; // price labels stand on every 50th line
constexpr int kShortTick = 10;
constexpr int kLongTick = 20;

Pen solid(ColorRef colour) {
    return Pen{colour, 1, framework::LineSolid};
}

// Characters `pos`..`pos + len` of a date text; empty when the text is shorter.
std::string datePart(const std::string& date, std::size_t pos, std::size_t len) {
    return pos < date.size() ? date.substr(pos, len) : std::string();
}

// Everything one sheet's layers share.
struct Sheet {
    Canvas& canvas;
    const SheetInput& in;
    const SheetGeometry& g;
    LineColours colours;
    const PeriodSnapshot* series;
    std::string face;
    int pitch;            // pixels per bar
    int offset;           // 1 when printing: wicks and volume lines
    std::size_t firstBar; // index of the sheet's first bar
    std::int64_t lowest = 0;
    // Prices map to rows by (price - lowest) x height / span: the price per pixel is span /
    // height, kept as a ratio so that whole prices land on whole rows exactly.
    double span = 1.0;
    double height = 1.0;

    Font font(int size, int weight = 500) const { return Font{face, size, weight}; }
    bool hasBar(std::size_t i) const { return i < series->bars.size(); }
};

void drawGrid(Canvas& canvas, const SheetGeometry& g, const GridLines& lines, const LineColours& colours) {
    auto every = [&](int cells, ColorRef colour) {
        canvas.setPen(solid(colour));
        for (int i = 0; i <= g.columns; i += cells)
            canvas.line({g.left + kCellPx * i, g.top}, {g.left + kCellPx * i, g.bottom});
        for (int j = 0; j <= g.rows; j += cells)
            canvas.line({g.left, g.top + kCellPx * j}, {g.right, g.top + kCellPx * j});
    };
    if (lines.fine)
        every(1, colours.fine);
    if (lines.every5)
        every(5, colours.every5);
    if (lines.every10)
        every(10, colours.every10);
    if (lines.every50) {
        every(50, colours.every50);
    } else {
        canvas.setPen(solid(colours.every50));
        const Point border[] = {
            {g.left, g.top}, {g.right, g.top}, {g.right, g.bottom}, {g.left, g.bottom}, {g.left, g.top}};
        canvas.polyline(border);
    }
}

// Labels every 50 cells from the bottom line up; sets the price per pixel from the top one.
void drawPriceLabels(Sheet& s) {
    const std::int64_t step = usableStep(s.in.choices.step);
    s.canvas.setFont(s.font(9));
    s.canvas.setTextColor(s.colours.text);
    std::int64_t value = s.lowest;
    std::int64_t topLabel = s.lowest;
    for (int y = s.g.bottom; y >= s.g.top; y -= kLabelPitchPx, value += step) {
        s.canvas.drawText({s.g.left, y, s.g.left + 100, y + 20}, std::to_string(value),
                          TextFormat::singleLine(TextAlign::Left));
        topLabel = value;
    }
    s.height = s.g.bottom - s.g.top;
    s.span = double(topLabel - s.lowest);
    if (s.span <= 0 || s.height <= 0) { // a grid too low for a second label
        s.span = double(step);
        s.height = kLabelPitchPx;
    }
}

void drawVolume(Sheet& s) {
    const std::int64_t unit = volumeUnit(s.series->largestVolume);
    if (unit == 0)
        return;
    s.canvas.setPen(solid(s.series->paint.volumeOutline));
    s.canvas.setBrush(s.series->paint.volumeFill);
    // The lines run on past the end of the range to the grid's edge (the margins cut what
    // reaches beyond), but never past the newest bar.
    int x = s.g.left;
    for (std::size_t i = s.firstBar; s.hasBar(i) && x <= s.g.right; ++i, x += s.pitch) {
        const std::int64_t h = std::max<std::int64_t>(0, s.series->bars[i].volume) / unit;
        const int cx = x + s.pitch / 2 + s.offset;
        if (h > 0)
            s.canvas.line({cx, s.g.bottom}, {cx, s.g.bottom - int(std::min<std::int64_t>(h, s.g.bottom))});
    }
}

// The pixel row of a price, kept just outside the grid when the price lies beyond it, so a
// wild price never becomes a wild coordinate (the margins cover those rows).
int rowOf(const Sheet& s, const std::optional<double>& price) {
    const double yen = price ? std::trunc(*price) : 0.0;
    double y = s.g.bottom - std::trunc((yen - double(s.lowest)) * s.height / s.span);
    if (std::isnan(y))
        y = s.g.bottom + 1;
    return int(std::clamp(y, double(s.g.top - 1), double(s.g.bottom + 1)));
}

void drawCandles(Sheet& s) {
    const chart::ChartPaint& paint = s.series->paint;
    int x = s.g.left;
    for (std::size_t i = s.firstBar; s.hasBar(i) && i <= s.in.range.last && x < s.g.right;
         ++i, x += s.pitch) {
        const SheetBar& bar = s.series->bars[i];
        if (!bar.open || *bar.open == 0)
            continue;
        const bool rising = *bar.open <= bar.close.value_or(0.0);
        s.canvas.setPen(solid(rising ? paint.upOutline : paint.downOutline));
        s.canvas.setBrush(rising ? paint.upBody : paint.downBody);
        const int wick = x + s.pitch / 2 + s.offset;
        s.canvas.line({wick, rowOf(s, bar.high)}, {wick, rowOf(s, bar.low)});
        const int yOpen = rowOf(s, bar.open);
        const int yClose = rowOf(s, bar.close);
        if (yOpen == yClose)
            s.canvas.line({x, yOpen}, {x + s.pitch, yOpen});
        else
            s.canvas.rectangle({x, std::min(yOpen, yClose), x + s.pitch, std::max(yOpen, yClose)});
    }
}

class DateMarks {
public:
    explicit DateMarks(Sheet& s) : m_s(s), m_base(s.g.bottom) {}

    void draw() {
        const auto& bars = m_s.series->bars;
        const ChartPeriod period = m_s.in.choices.period;
        if (period == ChartPeriod::Day)
            startWeeks(bars[m_s.firstBar]);
        int x = m_s.g.left;
        for (std::size_t i = m_s.firstBar; m_s.hasBar(i) && i <= m_s.in.range.last && x <= m_s.g.right;
             ++i, x += m_s.pitch) {
            const SheetBar& bar = bars[i];
            const SheetBar* previous = i > m_s.firstBar ? &bars[i - 1] : nullptr;
            const bool newYear = !previous || previous->year != bar.year;
            switch (period) {
            case ChartPeriod::Day:
                dayMarks(x, bar, newYear, newYear || previous->month != bar.month);
                break;
            case ChartPeriod::Week:
                // The month is compared with the bar before in the list, also across sheets.
                weekMarks(x, bar, newYear, i == 0 || bars[i - 1].month != bar.month);
                break;
            case ChartPeriod::Month:
                if (newYear)
                    tickAndWideLabel(x, datePart(bar.date, 0, 4));
                break;
            case ChartPeriod::Year:
                if (bar.year % 10 == 0)
                    tickAndWideLabel(x, datePart(bar.date, 0, 4));
                break;
            }
        }
    }

private:
    // The Sunday on or after the sheet's first date; before the first Sunday of the list
    // (charts reaching back before 1983) the list's first Sunday, so the ticks start there.
    void startWeeks(const SheetBar& first) {
        const market::DateList& weeks = m_s.in.snapshot->weeks;
        m_week = weeks.size();
        if (weeks.empty())
            return;
        if (const market::DateElm* e = weeks.find(first.date))
            m_week = std::size_t(e - &weeks[0]);
        else if (first.dateNumber() < weeks[0].number)
            m_week = 0;
    }

    void dayMarks(int x, const SheetBar& bar, bool newYear, bool newMonth) {
        const market::DateList& weeks = m_s.in.snapshot->weeks;
        if (m_week < weeks.size() && bar.dateNumber() > weeks[m_week].number) {
            tick(x, kShortTick);
            smallLabel(x, datePart(bar.date, 8, 2));
            while (m_week < weeks.size() && bar.dateNumber() > weeks[m_week].number)
                ++m_week;
        }
        if (newYear)
            text(Rect{x, m_base - 45, x + 100, m_base - 31}, datePart(bar.date, 0, 4), 9);
        if (newMonth) {
            tick(x, kLongTick);
            largeLabel(x, datePart(bar.date, 5, 2));
        }
    }

    void weekMarks(int x, const SheetBar& bar, bool newYear, bool newMonth) {
        if (newYear) {
            tick(x, kLongTick);
            largeLabel(x, datePart(bar.date, 0, 4));
        }
        if (newMonth) {
            tick(x, kShortTick);
            smallLabel(x, datePart(bar.date, 5, 2));
        }
    }

    void tick(int x, int length) {
        m_s.canvas.setPen(solid(m_s.colours.tick));
        m_s.canvas.line({x, m_base}, {x, m_base - length});
    }

    void text(const Rect& r, const std::string& t, int size) {
        m_s.canvas.setFont(m_s.font(size));
        m_s.canvas.setTextColor(m_s.colours.text);
        m_s.canvas.drawText(r, t, TextFormat::singleLine(TextAlign::Left));
    }

    void largeLabel(int x, const std::string& t) { text(Rect{x, m_base - 30, x + 100, m_base - 15}, t, 9); }

    // A small label standing on the bottom of its row.
    void smallLabel(int x, const std::string& t) {
        m_s.canvas.setFont(m_s.font(6));
        const int h = m_s.canvas.measureText(t).height;
        text(Rect{x + 1, std::max(m_base - 15, m_base - 1 - h), x + 31, m_base - 1}, t, 6);
    }

    // Month and year charts: a short tick and the year in a 100-pixel row.
    void tickAndWideLabel(int x, const std::string& year) {
        tick(x, kShortTick);
        text(Rect{x + 1, m_base - 15, x + 100, m_base - 1}, year, 6);
    }

    Sheet& m_s;
    int m_base;
    std::size_t m_week = 0;
};

void drawTitle(Sheet& s) {
    const chart::TitleText& title = s.in.snapshot->title;
    const chart::ChartPaint& paint = s.series->paint;
    const int left = s.g.left + 20;
    const int top = s.g.top + 20;
    s.canvas.setTextColor(paint.titleColor);
    s.canvas.setFont(s.font(paint.titleSize, 700));
    const int h1 = s.canvas.measureText(title.name).height;
    s.canvas.drawText({left, top, s.g.right, top + h1}, title.name, TextFormat::singleLine(TextAlign::Left));
    const std::string line2 =
        title.code + " " + title.market + " " + title.sector + " " + chart::periodSuffix(s.in.choices.period);
    s.canvas.setFont(s.font(paint.subtitleSize));
    const int h2 = s.canvas.measureText(line2).height;
    s.canvas.drawText({left, top + h1, s.g.right, top + h1 + h2}, line2,
                      TextFormat::singleLine(TextAlign::Left));
}

// White everywhere between the sheet's edge and the grid, cutting off what reached past it.
void drawMargins(Canvas& canvas, const SheetGeometry& g) {
    const int w = g.sheet.width;
    const int h = g.sheet.height;
    canvas.fillRect({0, 0, w, g.top}, kWhite);
    canvas.fillRect({0, g.bottom + 1, w, h}, kWhite);
    canvas.fillRect({0, g.top, g.left, g.bottom + 1}, kWhite);
    canvas.fillRect({g.right + 1, g.top, w, g.bottom + 1}, kWhite);
}

} // namespace

SheetInput makeSheetInput(const PrintSnapshot& snapshot, const PrintChoices& choices, bool printing) {
    SheetInput in;
    in.snapshot = &snapshot;
    in.choices = choices;
    in.choices.barCells = choices.barCells == 1 ? 1 : 2;
    in.geometry = sheetGeometry(choices.orientation);
    if (snapshot.codeOpen)
        in.range = printRange(snapshot.period(choices.period), choices.start, choices.end);
    in.sheets = sheetCount(in.range, in.choices.barCells, in.geometry.columns);
    in.printing = printing;
    return in;
}

void drawSheet(Canvas& canvas, const SheetInput& in, int sheet) {
    const SheetGeometry& g = in.geometry;
    const LineColours colours = lineColours(in.choices.scheme);
    drawGrid(canvas, g, in.choices.lines, colours);
    const PeriodSnapshot* series = in.period();
    const bool bars =
        in.snapshot && in.snapshot->codeOpen && series && !in.range.empty && sheet >= 1 && sheet <= in.sheets;
    if (bars) {
        const int cells = in.choices.barCells == 1 ? 1 : 2;
        Sheet s{canvas,
                in,
                g,
                colours,
                series,
                series->paint.fontFace,
                kCellPx * cells,
                in.printing ? 1 : 0,
                sheetFirstBar(in.range, sheet, cells, g.columns)};
        s.lowest = in.choices.lowest;
        drawPriceLabels(s);
        if (s.hasBar(s.firstBar) && s.firstBar <= in.range.last) {
            drawVolume(s);
            drawCandles(s);
            DateMarks(s).draw();
        }
        drawTitle(s);
    }
    drawMargins(canvas, g);
}

int drawSheets(SheetPageTarget& target, const SheetInput& input, int first, int last) {
    first = std::max(1, first);
    last = std::min(input.sheets, last);
    int pages = 0;
    for (int k = first; k <= last; ++k) {
        if (pages > 0 && !target.newPage())
            return -1;
        drawSheet(target.canvas(), input, k);
        ++pages;
    }
    return pages;
}

} // namespace tavora::printing
