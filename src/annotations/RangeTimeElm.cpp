#include "annotations/RangeTimeElm.h"

#include "annotations/ElementGeometry.h"
#include "chart/ChartGeometry.h"

#include <algorithm>

namespace tavora::annotations {

using framework::TextAlign;
using framework::TextFormat;

long long dayCountValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    constexpr long long kLimit = 1'000'000'000'000LL;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(kLimit, value * 10 + (text[i] - '0'));
    return negative ? -value : value;
}

void RangeTimeElm::initialize() {
    GraphDrawElement::initialize();
    daycount.clear();
}

void RangeTimeElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                        int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
                        const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    const int ks = findBarEitherWay(view, firstBarNumber(view, start_bar, firstBar), date, date_number);
    if (ks == 0)
        return;
    // The count as stored may be empty, negative or far beyond the series (a document is
    // untrusted): the bracket never reaches past the bars that exist. A count that does not fit
    // keeps the previous end date.
    const long long stored = dayCountValue(daycount);
    const int remaining = chart::barCount(view) - ks + 1;
    if (stored >= 1 && stored <= remaining)
        SetEndDate(chart::barByNumber(view, ks + int(stored) - 1)->date);
    const int n = static_cast<int>(std::clamp<long long>(stored, 1, remaining));

    const DrawGeometry g{client,       x_haba_p,   start_bar,
                         pixel_to_yen, bottom_yen, zoomFactor(y_ichimemori, init_y_ichimemori)};
    const std::int64_t x0 = g.barLeft(ks) + range_x;
    const int l = clampCoord(x0 + x_haba_p / 2);
    const int r = clampCoord(x0 + std::int64_t(x_haba_p) * (n - 1) + x_haba_p / 2);
    const market::KeisenElm* start = chart::barByNumber(view, ks);
    const int t = g.zoomed(g.truncRow(priceOr0(takane_kijyun ? start->high : start->low)), range_y);

    canvas.setFont(drawFont());
    canvas.setTextColor(font_cr);
    const int textHeight = canvas.measureText(daycount).height;
    const int b = clampCoord(std::int64_t(t) + textHeight);
    setBox(l, t, r - l, textHeight);

    canvas.setPen(drawPen());
    canvas.line({l, b - 4}, {r, b - 4});
    canvas.line({l, b - 6}, {l, b - 1});
    canvas.line({r, b - 6}, {r, b - 1});

    // The count stays readable when the bracket's middle is off either side of the plot.
    const std::int64_t mid = (std::int64_t(l) + r) / 2;
    const int clientRight = client.right;
    if (mid > clientRight - 30)
        canvas.drawText(Rect{l, t, clientRight - 20, b}, daycount, TextFormat::singleLine(TextAlign::Right));
    else if (mid < client.left)
        canvas.drawText(Rect{client.left + 20, t, r, b}, daycount, TextFormat::singleLine(TextAlign::Left));
    else
        canvas.drawText(Rect{l, t, r, b}, daycount, TextFormat::singleLine(TextAlign::Center));
    drawSelection(canvas, view);
}

KindColumns RangeTimeElm::kindColumns() const {
    KindColumns k = GraphDrawElement::kindColumns();
    k.daycount = daycount;
    return k;
}

void RangeTimeElm::setKindColumns(const KindColumns& columns) {
    if (columns.daycount)
        daycount = *columns.daycount;
}

} // namespace tavora::annotations
