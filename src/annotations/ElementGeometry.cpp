#include "annotations/ElementGeometry.h"

#include "annotations/GraphDrawElement.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavora::annotations {

using chart::GraphViewState;

int clampCoord(std::int64_t value) {
    return static_cast<int>(std::clamp(value, -kCoordLimit, kCoordLimit));
}

int clampCoord(double value) {
    if (std::isnan(value))
        return 0;
    const double limit = static_cast<double>(kCoordLimit);
    return static_cast<int>(std::clamp(std::trunc(value), -limit, limit));
}

int drawFontSize(int points) {
    return std::clamp(points, 1, 96);
}
int drawPenWidth(int pixels) {
    return std::clamp(pixels, 1, 32);
}

int findBarForward(const GraphViewState& view, int from, std::string_view date) {
    // Walked by the dates' numbers (bars are in date order), the text compared on a match.
    const int target = dateTextNumber(date);
    const int count = chart::barCount(view);
    if (date.empty())
        return 0;
    for (int k = std::max(1, from); k <= count; ++k) {
        const market::KeisenElm* bar = chart::barByNumber(view, k);
        const int number = bar->dateNumber();
        if (number == target && market::sameDateText(bar->date, date))
            return k;
        if (number > target)
            return 0;
    }
    return 0;
}

int findBarBackward(const GraphViewState& view, int from, std::string_view date) {
    const int target = dateTextNumber(date);
    const int count = chart::barCount(view);
    if (date.empty())
        return 0;
    for (int k = std::min(from, count); k >= 1; --k) {
        const market::KeisenElm* bar = chart::barByNumber(view, k);
        const int number = bar->dateNumber();
        if (number == target && market::sameDateText(bar->date, date))
            return k;
        if (number < target)
            return 0;
    }
    return 0;
}

int findBarEitherWay(const GraphViewState& view, int from, std::string_view date, int dateNumber) {
    const market::KeisenElm* first = chart::barByNumber(view, from);
    if (first && first->dateNumber() < dateNumber)
        return findBarForward(view, from, date);
    return findBarBackward(view, from, date);
}

int firstBarNumber(const GraphViewState& view, int startBar, const market::KeisenElm* firstBar) {
    if (firstBar && view.bars && view.bars->contains(firstBar))
        return chart::barNumber(view, *firstBar);
    return startBar;
}

std::int64_t DrawGeometry::barLeft(int k) const {
    return (static_cast<std::int64_t>(k) - startBar) * xHabaP + client.left;
}

double DrawGeometry::row(double price) const {
    return client.bottom - (price - bottomYen) / pixelToYen;
}

int DrawGeometry::zoomed(int base, int offset) const {
    const float value = static_cast<float>(base) + static_cast<float>(offset) * zoom;
    return clampCoord(static_cast<double>(value));
}

float zoomFactor(int yIchimemori, int initYIchimemori) {
    return static_cast<float>(yIchimemori) / static_cast<float>(initYIchimemori > 0 ? initYIchimemori : 1);
}

double priceOr0(const std::optional<double>& price) {
    return price.value_or(0.0);
}

bool hasPrices(const market::KeisenElm& bar) {
    return bar.open && *bar.open > 0;
}

std::string formatPrice(double value) {
    if (!std::isfinite(value))
        return "0.00";
    char buf[400]; // room for the largest double in fixed notation
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0.00");
}

} // namespace tavora::annotations
