#include "annotations/LineElm.h"

#include "annotations/ElementGeometry.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tavora::annotations {

void LineElm::initialize() {
    GraphDrawElement::initialize();
    endrange_y = 0;
    x1 = y1 = x2 = y2 = 0;
}

bool LineElm::HitTest(int x, int y) {
    // In single precision like the chart's own collision test. A line of zero length (both
    // ends on one pixel) is hit by the distance to that point rather than dividing by zero.
    const float px = static_cast<float>(x) - static_cast<float>(x1);
    const float py = static_cast<float>(y) - static_cast<float>(y1);
    const float dx = static_cast<float>(x2) - static_cast<float>(x1);
    const float dy = static_cast<float>(y2) - static_cast<float>(y1);
    const float length2 = dx * dx + dy * dy;
    float t = 0.0f;
    if (length2 > 0.0f)
        t = std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f);
    const float ex = px - t * dx;
    const float ey = py - t * dy;
    hit = std::sqrt(ex * ex + ey * ey) <= kLineHitDistance;
    return hit;
}

void LineElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                   int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
                   const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    const int first = firstBarNumber(view, start_bar, firstBar);
    const int ks = findBarEitherWay(view, first, date, date_number);
    const int ke = findBarEitherWay(view, first, enddate, enddate_number);
    if (ks == 0 || ke == 0)
        return;
    const DrawGeometry g{client,       x_haba_p,   start_bar,
                         pixel_to_yen, bottom_yen, zoomFactor(y_ichimemori, init_y_ichimemori)};
    const std::int64_t sx = g.barLeft(ks) + range_x;
    std::int64_t ex = g.barLeft(ke) + range_x;
    // The end sits just short of the end bar when drawn rightward, past it when leftward.
    ex += sx < ex ? -3 : 10;
    x1 = clampCoord(sx);
    x2 = clampCoord(ex);
    y1 = g.zoomed(g.truncRow(priceOr0(chart::barByNumber(view, ks)->low)), range_y);
    y2 = g.zoomed(g.truncRow(priceOr0(chart::barByNumber(view, ke)->low)), endrange_y);
    canvas.setPen(drawPen());
    canvas.line({x1, y1}, {x2, y2});
    setBox(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
    drawSelection(canvas, view);
}

KindColumns LineElm::kindColumns() const {
    KindColumns k = GraphDrawElement::kindColumns();
    k.endrange_y = endrange_y;
    return k;
}

void LineElm::setKindColumns(const KindColumns& columns) {
    if (columns.endrange_y)
        endrange_y = *columns.endrange_y;
}

} // namespace tavora::annotations
