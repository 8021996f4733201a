#include "annotations/GraphDrawElement.h"

#include "annotations/ElementGeometry.h"
#include "chart/GraphViewState.h"
#include "framework/Dates.h"

#include <array>

namespace tavora::annotations {

int dateTextNumber(std::string_view text) {
    // A document is untrusted: a date that is not a real day anchors to no bar (0) instead of
    // packing an absurd year into an int.
    const auto d = framework::parseDate(text);
    return d ? framework::dateNumber(*d) : 0;
}

GraphDrawElement::GraphDrawElement(std::string className) : classname(std::move(className)) {}

void GraphDrawElement::initialize() {
    GraphDrawElement fresh(classname);
    fresh.storedRow = std::move(storedRow);
    *this = std::move(fresh);
}

void GraphDrawElement::SetDate(std::string_view text) {
    date.assign(text);
    date_number = dateTextNumber(text);
}

void GraphDrawElement::SetEndDate(std::string_view text) {
    enddate.assign(text);
    enddate_number = dateTextNumber(text);
}

bool GraphDrawElement::HitTest(int x, int y) {
    // 64-bit sums: a box read from a document may sit at the edge of the int range.
    const std::int64_t l = left, t = top;
    hit = l <= x && x <= l + width && t <= y && y <= t + height;
    return hit;
}

void GraphDrawElement::Draw(Canvas&, const Rect&, const chart::GraphViewState&, int, int, double, int, int,
                            const market::KeisenElm*) {}

void GraphDrawElement::DrawFrame(Canvas& canvas, ColorRef color) const {
    canvas.setPen(framework::Pen{color, 1, framework::LineSolid});
    const int l = clampCoord(std::int64_t(left));
    const int t = clampCoord(std::int64_t(top));
    const int r = clampCoord(std::int64_t(left) + width);
    const int b = clampCoord(std::int64_t(top) + height);
    const std::array<framework::Point, 5> frame{{{l, t}, {r, t}, {r, b}, {l, b}, {l, t}}};
    canvas.polyline(frame);
}

void GraphDrawElement::drawSelection(Canvas& canvas, const chart::GraphViewState& view) const {
    if (selected)
        DrawFrame(canvas, view.paint.selectionFrame);
}

KindColumns GraphDrawElement::kindColumns() const {
    KindColumns k;
    k.daycount = "";
    k.nehaba = "";
    k.endyonhonne = 0;
    k.startyonhonne = 0;
    k.endpixel = 0;
    k.startdate = "";
    k.owaridate = "";
    k.endrange_y = 0;
    k.yoko_ichi = 1;
    return k;
}

void GraphDrawElement::setKindColumns(const KindColumns&) {}

framework::Font GraphDrawElement::drawFont() const {
    return framework::Font{fontmenu, drawFontSize(font_size), fontweight};
}

framework::Pen GraphDrawElement::drawPen() const {
    return framework::Pen{pen_cr, drawPenWidth(penWidth), penStyle};
}

void GraphDrawElement::setBox(int x, int y, int w, int h) {
    left = x;
    top = y;
    width = w;
    height = h;
}

} // namespace tavora::annotations
