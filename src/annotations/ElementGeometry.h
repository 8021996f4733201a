#pragma once
// The arithmetic the annotation kinds draw with: finding a bar by its date as the chart walks
// its bars, left edges and price rows, the zoom factor, and the clamping that keeps values read
// from a document (offsets, sizes, counts) from overflowing a coordinate. Pure functions.
#include "chart/GraphViewState.h"
#include "framework/Canvas.h"
#include "market/Keisen.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavora::annotations {

// Coordinates are computed in 64 bits and kept within this many pixels of the origin: far
// enough off screen for any real chart, small enough for every painter.
inline constexpr std::int64_t kCoordLimit = 1'000'000;

int clampCoord(std::int64_t value);
// Truncated toward zero, then clamped; NaN reads 0.
int clampCoord(double value);

// Font sizes and pen widths read from a document, as drawn.
int drawFontSize(int points);
int drawPenWidth(int pixels);

// Number of the bar with `date`, walking from bar `from` toward newer bars (forward) or older
// bars (backward), as far as the series goes; 0 when not met. Dates compare case-insensitively;
// the walk ends early once it has passed the date (bars are in date order).
int findBarForward(const chart::GraphViewState& view, int from, std::string_view date);
int findBarBackward(const chart::GraphViewState& view, int from, std::string_view date);
// Forward when the bar `from` is earlier than the date, otherwise backward.
int findBarEitherWay(const chart::GraphViewState& view, int from, std::string_view date, int dateNumber);
// The number of `firstBar` (the bar at start_bar) or start_bar when it is not given.
int firstBarNumber(const chart::GraphViewState& view, int startBar, const market::KeisenElm* firstBar);

// What one Draw call works with.
struct DrawGeometry {
    framework::Rect client;
    int xHabaP = 1;
    int startBar = 1;
    double pixelToYen = 0;
    int bottomYen = 0;
    float zoom = 1; // y_ichimemori / init_y_ichimemori, single precision

    // (k - start_bar) * x_haba_p + client left, 64-bit.
    std::int64_t barLeft(int k) const;
    // H - (p - bottom_yen) / pixel_to_yen, double.
    double row(double price) const;
    // truncate(row(price)), clamped.
    int truncRow(double price) const { return clampCoord(row(price)); }
    // truncate(base + offset * zoom) in single precision, clamped: the zoomed vertical offsets.
    int zoomed(int base, int offset) const;
};

// Z = y_ichimemori / init_y_ichimemori as float; an init value <= 0 counts as 1.
float zoomFactor(int yIchimemori, int initYIchimemori);

// A price of a bar, a missing one counting as 0.
double priceOr0(const std::optional<double>& price);
// Whether a bar has prices to measure or mark: a future day (no open) or a day filled in
// without data (open 0) has none.
bool hasPrices(const market::KeisenElm& bar);
// "%.2f" in the C locale whatever the process locale.
std::string formatPrice(double value);

} // namespace tavora::annotations
