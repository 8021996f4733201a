#include "annotations/RangeNedanElm.h"

#include "annotations/ElementGeometry.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace tavora::annotations {

using framework::TextAlign;
using framework::TextFormat;

float yonhonnePrice(const market::KeisenElm& bar, int code) {
    switch (code) {
    case YonhonneOpen:
        return static_cast<float>(priceOr0(bar.open));
    case YonhonneClose:
        return static_cast<float>(priceOr0(bar.close));
    case YonhonneLow:
        return static_cast<float>(priceOr0(bar.low));
    case YonhonneHigh:
        return static_cast<float>(priceOr0(bar.high));
    default:
        return 0.0f;
    }
}

void RangeNedanElm::initialize() {
    GraphDrawElement::initialize();
    nehaba.clear();
    endyonhonne = startyonhonne = endpixel = 0;
    startdate.clear();
    owaridate.clear();
    yoko_ichi = 1;
}

void RangeNedanElm::SetDate(std::string_view text) {
    GraphDrawElement::SetDate(text);
    SetEndDate(text);
}

void RangeNedanElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                         int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
                         const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    const int first = firstBarNumber(view, start_bar, firstBar);
    const int ka = findBarForward(view, first, date);
    const int ko = findBarForward(view, first, owaridate);
    const int kStart = findBarForward(view, first, startdate);
    if (ka == 0 || ko == 0 || kStart == 0)
        return;
    const DrawGeometry g{client,       x_haba_p,   start_bar,
                         pixel_to_yen, bottom_yen, zoomFactor(y_ichimemori, init_y_ichimemori)};
    const std::int64_t xs = g.barLeft(ka) + range_x;
    const std::int64_t xe = g.barLeft(ko) + range_x;
    std::int64_t column = 0;
    if (yoko_ichi == 1)
        column = xe - 8;
    else if (yoko_ichi == 2)
        column = xs / 2 + xe / 2;
    else // 3, and any value the program never writes: at the start bar, the factory placement
        column = xs - 8;
    const int u = clampCoord(column);

    const float s = yonhonnePrice(*chart::barByNumber(view, kStart), startyonhonne);
    const float e = yonhonnePrice(*chart::barByNumber(view, ko), endyonhonne);
    nehaba = formatPrice(static_cast<double>(std::fabs(s - e)));
    const int t = g.zoomed(g.truncRow(static_cast<double>(std::max(s, e))), range_y);
    const int b = g.zoomed(g.truncRow(static_cast<double>(std::min(s, e))), range_y);
    setBox(u, t, 5, b - t);

    canvas.setPen(drawPen());
    canvas.line({u + 1, t}, {u + 1, b});
    canvas.line({u - 1, t}, {u + 4, t});
    canvas.line({u - 1, b}, {u + 4, b});
    canvas.setFont(drawFont());
    canvas.setTextColor(font_cr);
    canvas.drawText(Rect{client.left, t, u, b}, nehaba, TextFormat::singleLine(TextAlign::Right));
    drawSelection(canvas, view);
}

KindColumns RangeNedanElm::kindColumns() const {
    KindColumns k = GraphDrawElement::kindColumns();
    k.nehaba = nehaba;
    k.endyonhonne = endyonhonne;
    k.startyonhonne = startyonhonne;
    k.endpixel = endpixel;
    k.startdate = startdate;
    k.owaridate = owaridate;
    k.yoko_ichi = yoko_ichi;
    return k;
}

void RangeNedanElm::setKindColumns(const KindColumns& columns) {
    if (columns.nehaba)
        nehaba = *columns.nehaba;
    if (columns.endyonhonne)
        endyonhonne = *columns.endyonhonne;
    if (columns.startyonhonne)
        startyonhonne = *columns.startyonhonne;
    if (columns.endpixel)
        endpixel = *columns.endpixel;
    if (columns.startdate)
        startdate = *columns.startdate;
    if (columns.owaridate)
        owaridate = *columns.owaridate;
    if (columns.yoko_ichi)
        yoko_ichi = *columns.yoko_ichi;
}

} // namespace tavora::annotations
