#include "annotations/TextElm.h"

#include "annotations/ElementGeometry.h"
#include "chart/ChartGeometry.h"

#include <array>

namespace tavora::annotations {

using framework::Point;

void TextElm::SetDate(std::string_view text) {
    GraphDrawElement::SetDate(text);
    SetEndDate(text);
}

bool TextElm::place(const chart::GraphViewState& view, const Rect& client, int x_haba_p, int start_bar,
                    double pixel_to_yen, int bottom_yen, const market::KeisenElm* firstBar, int& x,
                    int& y) const {
    const int k = findBarForward(view, firstBarNumber(view, start_bar, firstBar), date);
    if (k == 0)
        return false;
    const market::KeisenElm* bar = chart::barByNumber(view, k);
    const DrawGeometry g{client, x_haba_p, start_bar, pixel_to_yen, bottom_yen, 1.0f};
    const double anchor = priceOr0(takane_kijyun ? bar->high : bar->low);
    x = clampCoord(g.barLeft(k) + range_x);
    y = clampCoord(std::int64_t(range_y) + g.truncRow(anchor));
    return true;
}

void TextElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                   int start_bar, double pixel_to_yen, int bottom_yen, int,
                   const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    int x = 0, y = 0;
    if (!place(view, client, x_haba_p, start_bar, pixel_to_yen, bottom_yen, firstBar, x, y))
        return;
    canvas.setFont(drawFont());
    canvas.setTextColor(font_cr);
    const framework::Size size = canvas.measureTextLines(str);
    setBox(x, y, size.width, size.height);
    canvas.drawText(Rect{x, y, x + size.width, y + size.height}, str, framework::TextFormat::wrapped());
    drawSelection(canvas, view);
}

void MemoElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                   int start_bar, double pixel_to_yen, int bottom_yen, int,
                   const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    int l = 0, t = 0;
    if (!place(view, client, x_haba_p, start_bar, pixel_to_yen, bottom_yen, firstBar, l, t))
        return;
    setBox(l, t, kIconSize, kIconSize);
    canvas.setPen(drawPen());
    const std::array<Point, 3> fold{{{l + 11, t + 1}, {l + 11, t + 5}, {l + 15, t + 5}}};
    canvas.polyline(fold);
    const std::array<Point, 6> page{{{l + 15, t + 15},
                                     {l + 1, t + 15},
                                     {l + 1, t + 1},
                                     {l + 12, t + 1},
                                     {l + 15, t + 4},
                                     {l + 15, t + 16}}};
    canvas.polyline(page);
    drawSelection(canvas, view);
}

} // namespace tavora::annotations
