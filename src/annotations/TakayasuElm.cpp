#include "annotations/TakayasuElm.h"

#include "annotations/ElementGeometry.h"
#include "chart/ChartGeometry.h"

#include <cmath>

namespace tavora::annotations {

void TakayasuElm::SetDate(std::string_view text) {
    GraphDrawElement::SetDate(text);
    SetEndDate(text);
}

void TakayasuElm::Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                       int start_bar, double pixel_to_yen, int bottom_yen, int,
                       const market::KeisenElm* firstBar) {
    if (!(pixel_to_yen > 0))
        return;
    const int k = findBarForward(view, firstBarNumber(view, start_bar, firstBar), date);
    if (k == 0)
        return;
    const market::KeisenElm* bar = chart::barByNumber(view, k);
    const double price = priceOr0(takane_kijyun ? bar->high : bar->low);
    const std::string text = formatPrice(price) + "\r\n" + bar->date;
    canvas.setFont(drawFont());
    canvas.setTextColor(font_cr);
    const framework::Size size = canvas.measureTextLines(text);
    const DrawGeometry g{client, x_haba_p, start_bar, pixel_to_yen, bottom_yen, 1.0f};
    // Centred on the bar's left edge; placed by the row of the whole-yen price.
    const int x = clampCoord(g.barLeft(k) - size.width / 2);
    const int row = g.truncRow(std::trunc(price));
    const int y = clampCoord(takane_kijyun ? std::int64_t(row) - size.height - 2 : std::int64_t(row) + 2);
    setBox(x, y, size.width, size.height);
    canvas.drawText(Rect{x, y, x + size.width, y + size.height}, text,
                    framework::TextFormat::wrapped(framework::TextAlign::Center));
    drawSelection(canvas, view);
}

} // namespace tavora::annotations
