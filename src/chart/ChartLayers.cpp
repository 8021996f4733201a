#include "chart/ChartLayers.h"

#include "analysis/BunsekiGraphList.h"
#include "chart/ChartGeometry.h"
#include "market/DateList.h"
#include "market/Keisen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

namespace tavora::chart {

using framework::Font;
using framework::Pen;
using framework::Point;
using framework::TextAlign;
using framework::TextFormat;
using market::KeisenElm;

namespace {

Font labelFont(const GraphViewState& vs, int size, int weight = 500) { return Font{vs.paint.fontFace, size, weight}; }

// The bar drawn `offset` pitches right of x = 0; null past the newest bar and before the oldest.
const KeisenElm* visibleBar(const GraphViewState& vs, int offset) { return barByNumber(vs, vs.start_bar + offset); }

// The offset of the first bar drawn: 0, or the empty columns before the oldest bar when the
// view is scrolled past it (a series placed in a plot wider than itself).
int firstOffset(const GraphViewState& vs) { return std::max(0, 1 - vs.start_bar); }

// Whether the row price rounds, at two decimals as "%.2f" does, to a whole number; the number.
bool wholeAtTwoDecimals(double price, long long& whole) {
    double nearest = std::nearbyint(price);
    double diff = std::fabs(price - nearest);
    if (diff < 0.0049) {
        whole = static_cast<long long>(nearest);
        return true;
    }
    if (diff > 0.0051)
        return false;
    // Close to the half-cent boundary: let the formatter decide, as the text round trip does.
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", price);
    double back = std::strtod(text, nullptr);
    if (back != std::nearbyint(back))
        return false;
    whole = static_cast<long long>(back);
    return true;
}

std::string_view month2(const KeisenElm& bar) { return std::string_view(bar.date).substr(5, 2); }
std::string_view year4(const KeisenElm& bar) { return std::string_view(bar.date).substr(0, 4); }
std::string_view yearMonth(const KeisenElm& bar) { return std::string_view(bar.date).substr(0, 7); }
std::string_view day2(const KeisenElm& bar) { return std::string_view(bar.date).substr(8, 2); }
bool datedWell(const KeisenElm& bar) { return bar.date.size() >= 10; }

// The labels of the bottom row (days of a day chart, months of a week chart) stand at their
// ticks; at narrow pitches ticks come closer than a label is wide. A label that would touch
// the one before it is left out (its tick stays), so the row never reads as one number.
class DayRowLabels {
public:
    static constexpr int kGap = 3; // pixels kept free between two labels

    void draw(Canvas& canvas, int x, int bottom, std::string_view text) {
        const int left = x + 1;
        if (left < m_end + kGap)
            return;
        canvas.drawText({left, bottom - 21, x + 31, bottom - 1}, text,
                        TextFormat::singleLine(TextAlign::Left));
        m_end = left + std::min(canvas.measureText(text).width, 30);
    }

private:
    int m_end = std::numeric_limits<int>::min() / 2;
};

void paintDayAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs, const Font& f1, const Font& f2) {
    const int h = client.bottom;
    const int w = client.right;
    const int i0 = firstOffset(vs);
    const KeisenElm* first = visibleBar(vs, i0);
    if (!first || !vs.weeks)
        return;
    const market::DateElm* boundaryElm = vs.weeks->find(first->date);
    if (!boundaryElm)
        return;
    std::size_t boundary = static_cast<std::size_t>(boundaryElm - &(*vs.weeks)[0]);
    std::string_view prevMonth = yearMonth(*first);
    const KeisenElm* prevBar = first;
    int prevLine = i0 * vs.x_haba_p + client.left;
    DayRowLabels dayLabels;
    for (int i = i0;; ++i) {
        const KeisenElm* bar = visibleBar(vs, i);
        int x = i * vs.x_haba_p + client.left;
        if (!bar || (i > i0 && x > w))
            break;
        if (!datedWell(*bar))
            continue;
        int date = bar->dateNumber();
        if (date > (*vs.weeks)[boundary].number) {
            canvas.line({x, h}, {x, h - 10});
            canvas.setFont(f2);
            dayLabels.draw(canvas, x, h, day2(*bar));
            if (++boundary >= vs.weeks->size())
                return;
            if (date > (*vs.weeks)[boundary].number && ++boundary >= vs.weeks->size())
                return;
        }
        if (yearMonth(*bar) != prevMonth) {
            canvas.line({x, h}, {x, client.top});
            canvas.setFont(f1);
            canvas.drawText({prevLine + 1, h - 41, x, h - 21}, month2(*prevBar),
                            TextFormat::singleLine(TextAlign::Center));
            if (month2(*prevBar) == "01")
                canvas.drawText({prevLine + 1, h - 61, x, h - 41}, year4(*prevBar),
                                TextFormat::singleLine(TextAlign::Center));
            prevLine = x;
            prevMonth = yearMonth(*bar);
        }
        prevBar = bar;
    }
}

// Week, month and year charts: labels drawn at changes of year or month. Walking stops once
// nothing further can reach into the client area.
void paintLongAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs, const Font& f1,
                   const Font& f2) {
    const int h = client.bottom;
    const int w = client.right;
    const int p = vs.x_haba_p;
    const int i0 = firstOffset(vs);
    const KeisenElm* first = visibleBar(vs, i0);
    if (!first || !datedWell(*first))
        return;
    const char kind = vs.kikan.empty() ? 'd' : vs.kikan[0];
    std::string_view prevYear = year4(*first);
    std::string_view prevMonth = month2(*first);
    int prevYearLine = i0 * p + client.left;
    DayRowLabels monthLabels;
    canvas.setFont(f2);
    for (int i = i0;; ++i) {
        const KeisenElm* bar = visibleBar(vs, i);
        int x = i * p + client.left;
        if (!bar || (kind != 'w' && i > i0 && x > w))
            break;
        if (!datedWell(*bar))
            continue;
        std::string_view year = year4(*bar);
        if (kind == 'w') {
            if (year != prevYear) {
                canvas.line({x, h}, {x, client.top});
                canvas.setFont(f1);
                canvas.drawText({prevYearLine + 1, h - 41, x, h - 21}, prevYear,
                                TextFormat::singleLine(TextAlign::Center));
                canvas.setFont(f2);
                prevYearLine = x;
                prevYear = year;
                if (x > w)
                    break;  // the last label reaching into the picture is drawn
            }
            if (month2(*bar) != prevMonth) {
                prevMonth = month2(*bar);
                if (x <= w) {
                    canvas.line({x, h}, {x, h - 10});
                    monthLabels.draw(canvas, x, h, prevMonth);
                }
            }
        } else if (kind == 'm') {
            if (year != prevYear) {
                prevYear = year;
                int y = std::atoi(std::string(year).c_str());
                if (y % 5 == 0)
                    canvas.line({x, h}, {x, client.top});
                canvas.line({x, h}, {x, h - 10});
                canvas.drawText({x + 1, h - 21, x + 12 * p + 1, h - 1}, year, TextFormat::singleLine(TextAlign::Center));
            }
        } else {  // 'y'
            int y = std::atoi(std::string(year).c_str());
            if (y % 10 == 0) {
                canvas.line({x, h}, {x, client.top});
                canvas.drawText({x + 1, h - 21, x + 10 * p + 1, h - 1}, year, TextFormat::singleLine(TextAlign::Center));
            }
        }
    }
}

}  // namespace

int dateAxisHeight(market::ChartPeriod period) {
    switch (period) {
    case market::ChartPeriod::Day:
        return 61;
    case market::ChartPeriod::Week:
        return 41;
    default:
        return 21;
    }
}

std::string periodSuffix(market::ChartPeriod period) {
    return std::string(" ") + std::string(market::periodCaption(period));
}

void paintVolume(Canvas& canvas, const Rect& client, const GraphViewState& vs) {
    if (!vs.bars)
        return;
    std::int64_t vmax = vs.bars->largestVolume();
    std::int64_t scale = vmax / 150;
    if (vmax <= 0 || scale <= 0)
        return;
    const int h = client.bottom;
    const int w = client.right;
    const int p = vs.x_haba_p;
    canvas.setPen(Pen{vs.paint.volumeOutline, 1, framework::LineSolid});
    canvas.setBrush(vs.paint.volumeFill);
    bool markerPen = false;
    const int i0 = firstOffset(vs);
    for (int i = i0;; ++i) {
        const KeisenElm* bar = visibleBar(vs, i);
        int x = i * p + client.left;
        if (!bar || (i > i0 && x > w))
            break;
        int top = h - static_cast<int>(std::max<std::int64_t>(bar->volume, 0) / scale);
        if (markerPen) {
            canvas.setPen(Pen{vs.paint.volumeOutline, 1, framework::LineSolid});
            canvas.setBrush(vs.paint.volumeFill);
            markerPen = false;
        }
        canvas.rectangle({x, top, x + p, h});
        if (!bar->split.empty()) {
            canvas.setPen(Pen{vs.paint.splitMarker, 1, framework::LineSolid});
            canvas.setBrush(vs.paint.splitMarker);
            const Point triangle[3] = {{x + p / 2, h - 1}, {x + p, h - 9}, {x, h - 9}};
            canvas.polygon(triangle);
            markerPen = true;
        }
    }
}

void paintPriceAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs) {
    const long long g = vs.grid_yen;
    if (g <= 0)
        return;  // no series scaled yet: there is no grid to draw
    const int h = client.bottom;
    const int w = client.right;
    const int lowestLabelBottom = h - dateAxisHeight(vs.period());
    canvas.setFont(labelFont(vs, vs.paint.priceLabelSize));
    canvas.setTextColor(vs.paint.priceLabelColor);
    canvas.setPen(Pen{vs.paint.priceGridColor, 1, vs.paint.priceGridStyle});
    const long long minor = g / 5;
    const long long fine = g / 20;
    double price = vs.bottom_yen;
    char label[32];
    for (int y = h; y >= 1; --y, price += vs.pixel_to_yen) {
        long long n = 0;
        if (!wholeAtTwoDecimals(price, n))
            continue;
        long long r = n % g;
        if (r == 0) {
            canvas.line({0, y}, {w, y});
            if (y + 12 > lowestLabelBottom)
                continue; // its label would stand among the date labels: the line alone
            int len = std::snprintf(label, sizeof label, "%lld", n);
            canvas.drawText({0, y + 2, w - 10, y + 12}, std::string_view(label, static_cast<std::size_t>(len)),
                            TextFormat::singleLine(TextAlign::Right));
        } else if (g >= 5 && r % minor == 0) {
            canvas.line({w - 10, y}, {w, y});
        } else if (g >= 20 && r % fine == 0) {
            canvas.line({w - 5, y}, {w, y});
        }
    }
}

void paintDateAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs, bool withLabels) {
    const int h = client.bottom;
    canvas.setPen(Pen{vs.paint.dateGridColor, 1, vs.paint.dateGridStyle});
    canvas.setTextColor(vs.paint.dateLabelColor);
    canvas.line({client.left, h}, {client.right, h});
    if (!withLabels || !vs.bars || vs.x_haba_p <= 0)
        return;
    Font f1 = labelFont(vs, vs.paint.dateLabelLargeSize);
    Font f2 = labelFont(vs, vs.paint.dateLabelSmallSize);
    if (vs.period() == market::ChartPeriod::Day)
        paintDayAxis(canvas, client, vs, f1, f2);
    else
        paintLongAxis(canvas, client, vs, f1, f2);
}

void paintCandles(Canvas& canvas, const Rect& client, GraphViewState& vs) {
    if (!vs.bars || vs.pixel_to_yen == 0.0)
        return;
    const int h = client.bottom;
    const int w = client.right;
    const int p = vs.x_haba_p;
    const Pen upPen{vs.paint.upOutline, 1, framework::LineSolid};
    const Pen downPen{vs.paint.downOutline, 1, framework::LineSolid};
    int current = 0;  // 1 up, 2 down: avoids setting the same pen for every bar
    const int i0 = firstOffset(vs);
    vs.end_bar = vs.start_bar + i0;
    for (int i = i0;; ++i) {
        const KeisenElm* bar = visibleBar(vs, i);
        if (!bar)
            break;
        int x = i * p + client.left;
        if (bar->open) {
            double o = bar->open.value_or(0), c = bar->close.value_or(0);
            double hi = bar->high.value_or(0), lo = bar->low.value_or(0);
            bool up = o <= c;
            if (current != (up ? 1 : 2)) {
                canvas.setPen(up ? upPen : downPen);
                canvas.setBrush(up ? vs.paint.upBody : vs.paint.downBody);
                current = up ? 1 : 2;
            }
            int cx = x + p / 2;
            canvas.line({cx, rowOfPrice(vs, h, hi)}, {cx, rowOfPrice(vs, h, lo)});
            int top = rowOfPrice(vs, h, o);
            int bottom = rowOfPrice(vs, h, c);
            if (top == bottom)
                canvas.line({x, top}, {x + p, top});
            else
                canvas.rectangle({x, std::min(top, bottom), x + p, std::max(top, bottom)});
        }
        if (x + p > w)
            break;
        vs.end_bar = vs.start_bar + i + 1;
    }
}

int paintTitle(Canvas& canvas, const Rect& client, const GraphViewState& vs, const TitleText& title) {
    const int w = client.right;
    canvas.setTextColor(vs.paint.titleColor);
    canvas.setFont(labelFont(vs, vs.paint.titleSize, 700));
    int h1 = canvas.measureText(title.name).height;
    canvas.drawText({10, 10, w, h1}, title.name, TextFormat::singleLine(TextAlign::Left));
    std::string line2 = title.code + " " + title.market + " " + title.sector + " " + periodSuffix(vs.period());
    canvas.setFont(labelFont(vs, vs.paint.subtitleSize, 500));
    int h2 = canvas.measureText(line2).height;
    canvas.drawText({10, h1, w, h1 + h2}, line2, TextFormat::singleLine(TextAlign::Left));
    return h1 + h2;
}

void paintAnalysisLines(Canvas& canvas, const Rect& client, const GraphViewState& vs) {
    if (!vs.graphs || !vs.bars || vs.pixel_to_yen == 0.0)
        return;
    const int h = client.bottom;
    const int w = client.right;
    const int p = vs.x_haba_p;
    const long long first = static_cast<long long>(vs.bars->size()) - vs.start_bar;  // element of start_bar
    const long long k0 = firstOffset(vs);  // the oldest bar's offset when it stands right of x = 0
    thread_local std::vector<Point> points;
    for (std::size_t g = 0; g < vs.graphs->size(); ++g) {
        const analysis::BunsekiGraphList& graph = (*vs.graphs)[g];
        if (first - k0 < 0 || first - k0 >= static_cast<long long>(graph.count()))
            continue;
        points.clear();
        for (long long k = k0; first - k >= 0; ++k) {
            auto index = static_cast<std::size_t>(first - k);
            int left = static_cast<int>(k) * p + client.left;
            double value = graph.number(index);
            if (value > 0)  // no value (or none yet) is bridged
                points.push_back({left + p / 2, rowOfPrice(vs, h, value)});
            if (left > w)
                break;  // the first point past the right edge still joins the line
        }
        if (points.size() >= 2) {
            canvas.setPen(graph.pen);
            canvas.polyline(points);
        }
    }
}

void paintAnnotations(Canvas& canvas, const Rect& client, const GraphViewState& vs,
                      const std::vector<ChartAnnotation*>& annotations, VisibleAnnotations& visible) {
    visible.clear();
    const KeisenElm* leftBar = barByNumber(vs, std::max(1, vs.start_bar));
    const KeisenElm* rightBar = vs.end_bar > barCount(vs) ? barByNumber(vs, barCount(vs)) : barByNumber(vs, vs.end_bar);
    if (!leftBar || !rightBar)
        return;
    const int l = leftBar->dateNumber();
    const int r = rightBar->dateNumber();
    for (ChartAnnotation* element : annotations) {
        if (!element || !element->isVisible())
            continue;
        int s = element->startDateNumber();
        int e = element->endDateNumber();
        bool inView = (s >= l && s <= r) || (e >= l && e <= r) || (s <= l && e >= r);
        if (!inView)
            continue;
        visible.all.push_back(element);
        if (element->className() == "MemoElm")
            visible.memos.push_back(element);
        else if (element->className() == "TextElm")
            visible.texts.push_back(element);
        element->draw(canvas, client, vs, vs.x_haba_p, vs.start_bar, vs.pixel_to_yen, vs.bottom_yen, vs.y_ichimemori,
                      leftBar);
    }
}

void paintNoCodeScreen(Canvas& canvas, const Rect& client, const NoCodeScreen& screen) {
    canvas.fillRect(client, screen.background);
    const int w = client.right;
    const int h = client.bottom;
    if (screen.drawLogo)
        screen.drawLogo(canvas, Rect{w / 2 - 250, h / 2 - 50, w / 2 + 250, h / 2 + 50});
    canvas.setFont(Font{"メイリオ", 8, 500});
    canvas.setTextColor(0x8A8A8A);
    int textHeight = canvas.measureWrappedText(screen.notice, std::max(0, w - 20)).height;
    canvas.drawText({10, h - 10 - textHeight, w - 10, h - 10}, screen.notice,
                    TextFormat::wrapped(TextAlign::Left, true));
}

}  // namespace tavora::chart
