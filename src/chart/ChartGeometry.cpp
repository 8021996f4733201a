#include "chart/ChartGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tavora::chart {

using market::ChartPeriod;
using market::KeisenElm;
using market::KeisenList;

namespace {

const KeisenList* listOf(const GraphViewState& vs) { return vs.bars; }

// Truncation toward zero into int, with values out of range held at its ends (a price far
// outside the view must not overflow).
int truncToInt(double v) {
    if (std::isnan(v))
        return 0;
    constexpr double lo = -1e9, hi = 1e9;
    return static_cast<int>(std::clamp(v, lo, hi));
}

// Pixel rows are held within a few million pixels of the view: far beyond any picture, and
// within the fixed-point range painting engines work in.
constexpr int kRowLimit = 1 << 22;

int truncatedHigh(const KeisenElm& bar) { return bar.high ? truncToInt(*bar.high) : 0; }

// The bar that stands for a date when a series is positioned: the bar of the period that
// holds the date, which is the newest bar dated on or before it (period bars carry the date of
// their first day, so a later bar belongs to a later period); the oldest bar when the date is
// before the whole series.
const KeisenElm* anchorBar(const KeisenList& bars, std::string_view date) {
    for (const KeisenElm& bar : bars)
        if (market::sameDateText(bar.date, date) || bar.date < date)
            return &bar;
    return bars.oldest();
}

// Bars the plot shows at once, counting one for a plot narrower than a bar.
int barsAcross(const GraphViewState& vs, int width) { return std::max(0, width) / std::max(1, vs.x_haba_p); }

struct Band {
    int from;  // lowest M of the band
    int grid;
};

// Bands from high to low; the last band (from 0) catches everything below.
const std::vector<Band>& bands(ChartPeriod period) {
    static const std::array<std::vector<Band>, 4> table{{
        {{3000000, 1000000}, {800000, 100000}, {300000, 50000}, {100000, 20000}, {80000, 10000},
         {50000, 5000}, {20000, 2000}, {8000, 1000}, {3000, 500}, {1000, 200}, {300, 100}, {150, 50}, {0, 5}},
        {{3000000, 2000000}, {800000, 200000}, {300000, 100000}, {100000, 40000}, {60000, 20000},
         {30000, 10000}, {8000, 2000}, {3000, 1000}, {1000, 400}, {300, 200}, {150, 100}, {0, 10}},
        {{3000000, 2000000}, {800000, 200000}, {300000, 100000}, {100000, 40000}, {60000, 20000},
         {18000, 10000}, {8000, 4000}, {5000, 2000}, {3000, 1000}, {1000, 400}, {300, 200}, {150, 100},
         {0, 10}},
        {{3000000, 3000000}, {800000, 2000000}, {300000, 200000}, {100000, 100000}, {60000, 40000},
         {30000, 20000}, {14000, 10000}, {5000, 4000}, {3000, 2000}, {1000, 1000}, {300, 400}, {150, 200},
         {0, 100}},
    }};
    return table[market::periodIndex(period)];
}

}  // namespace

int barCount(const GraphViewState& vs) { return listOf(vs) ? static_cast<int>(listOf(vs)->size()) : 0; }

const KeisenElm* barByNumber(const GraphViewState& vs, int k) {
    int n = barCount(vs);
    if (k < 1 || k > n)
        return nullptr;
    return &(*vs.bars)[static_cast<std::size_t>(n - k)];
}

int barNumber(const GraphViewState& vs, const KeisenElm& bar) {
    if (!vs.bars || !vs.bars->contains(&bar))
        return 0;
    return barCount(vs) - static_cast<int>(vs.bars->indexOf(bar));
}

int dateNumberOf(const GraphViewState& vs, std::string_view date) {
    return vs.bars ? vs.bars->positionOfDate(date) : 0;
}

int barsBetween(const GraphViewState& vs, const KeisenElm& from, const KeisenElm& to) {
    return vs.bars ? vs.bars->positionOfBar(from, to) : 0;
}

std::optional<int> barAtColumn(const GraphViewState& vs, int x) {
    if (vs.x_haba_p <= 0)
        return std::nullopt;
    int k = vs.start_bar + x / vs.x_haba_p;
    if (k < 1 || k > barCount(vs))
        return std::nullopt;
    return k;
}

int barLeft(const GraphViewState& vs, int k) { return (k - vs.start_bar) * vs.x_haba_p; }

int barCentre(const GraphViewState& vs, int k) { return barLeft(vs, k) + vs.x_haba_p / 2; }

double priceAtRow(const GraphViewState& vs, int height, int y) {
    return (height - y) * vs.pixel_to_yen + vs.bottom_yen;
}

int rowOfPrice(const GraphViewState& vs, int height, double price) {
    if (vs.pixel_to_yen == 0.0)
        return height;
    return std::clamp(truncToInt(height - (price - vs.bottom_yen) / vs.pixel_to_yen), -kRowLimit, kRowLimit);
}

int recentHighestHigh(const KeisenList& bars) {
    std::size_t first = 0;
    while (first < bars.size() && !bars[first].open)
        ++first;
    if (first == bars.size())
        return 0;
    int highest = 0;
    std::size_t end = std::min(bars.size(), first + 1002);
    for (std::size_t i = first; i < end; ++i)
        highest = std::max(highest, truncatedHigh(bars[i]));
    return highest;
}

int highestHigh(const KeisenList& bars) {
    int highest = 0;
    for (const KeisenElm& bar : bars)
        highest = std::max(highest, truncatedHigh(bar));
    return highest;
}

int automaticGridYen(ChartPeriod period, int highest) {
    for (const Band& band : bands(period))
        if (highest >= band.from)
            return band.grid;
    return bands(period).back().grid;
}

const std::vector<std::string>& scaleComboEntries(ChartPeriod period) {
    static const std::vector<std::string> day{"1000000", "100000", "50000", "20000", "10000",
                                              "5000",    "2000",   "1000",  "500",   "200",
                                              "100",     "50",     "20",    "10",    "5"};
    static const std::vector<std::string> week{"2000000", "200000", "100000", "40000", "20000",
                                               "10000",   "2000",   "1000",   "400",   "200",
                                               "100",     "50",     "10"};
    static const std::vector<std::string> monthYear{"2000000", "200000", "100000", "40000", "20000",
                                                    "10000",   "4000",   "2000",   "1000",  "400",
                                                    "200",     "100",    "50",     "10"};
    switch (period) {
    case ChartPeriod::Day:
        return day;
    case ChartPeriod::Week:
        return week;
    default:
        return monthYear;
    }
}

int highLimitFor(int highest, int gridYen) {
    if (gridYen <= 0)
        return 0;
    std::int64_t target = std::int64_t(highest) + 10 * std::int64_t(gridYen);
    std::int64_t limit = (target + gridYen - 1) / gridYen * gridYen;
    return static_cast<int>(std::min<std::int64_t>(limit, std::numeric_limits<int>::max() / 2));
}

std::string scaleNewSeries(GraphViewState& vs, int fixedGridYen) {
    int highest = vs.bars ? recentHighestHigh(*vs.bars) : 0;
    vs.grid_yen = fixedGridYen > 0 ? fixedGridYen : automaticGridYen(vs.period(), highest);
    vs.recomputeScale();
    vs.high_limit_yen = highLimitFor(highest, vs.grid_yen);
    vs.low_limit_yen = 0;
    return std::to_string(vs.grid_yen);
}

void chooseScale(GraphViewState& vs, int gridYen, CodeScale& scale, int height) {
    if (gridYen <= 0)
        return;
    vs.grid_yen = gridYen;
    scale.fixedGrid[market::periodIndex(vs.period())] = gridYen;
    vs.recomputeScale();
    vs.high_limit_yen = highLimitFor(vs.bars ? highestHigh(*vs.bars) : 0, vs.grid_yen);
    vs.low_limit_yen = 0;
    setVerticalRange(vs, height);
    const KeisenElm* newestPriced = nullptr;
    if (vs.bars)
        for (const KeisenElm& bar : *vs.bars)
            if (bar.open) {
                newestPriced = &bar;
                break;
            }
    centreVertically(vs, newestPriced, height);
}

std::optional<int> pitchForSlider(double r) {
    if (r < 0.05)
        return 2;
    if (r < 0.1)
        return std::nullopt;
    struct Step {
        double below;
        int pitch;
    };
    static constexpr std::array<Step, 10> steps{{{0.2, 3}, {0.3, 5}, {0.4, 7}, {0.5, 9}, {0.6, 11},
                                                 {0.7, 13}, {0.8, 15}, {0.9, 17}, {0.95, 19}, {2.0, 21}}};
    for (const Step& step : steps)
        if (r < step.below)
            return step.pitch;
    return 21;
}

std::optional<double> sliderForPitch(int pitch) {
    switch (pitch) {
    case 2: return 0.0;
    case 3: return 0.15;
    case 5: return 0.25;
    case 7: return 0.35;
    case 9: return 0.45;
    case 11: return 0.55;
    case 13: return 0.65;
    case 15: return 0.75;
    case 17: return 0.85;
    case 19: return 0.925;
    case 21: return 1.0;
    default: return std::nullopt;
    }
}

void setHorizontalRange(GraphViewState& vs, int width) {
    // From the oldest bar at the left edge to the newest at the right edge, widened to take
    // the placements of today's bar and of the newest priced bar: a series shorter than the
    // plot, or with few bars after those, shows empty columns before or after it there.
    int lo = 1;
    int hi = barCount(vs) - barsAcross(vs, width);
    for (const KeisenElm* bar : {anchoredBar(vs), newestPricedBar(vs)}) {
        if (!bar)
            continue;
        const int position = placementPosition(vs, barNumber(vs, *bar), width);
        lo = std::min(lo, position);
        hi = std::max(hi, position);
    }
    vs.hscroll.setRange(lo, std::max(hi, 1));
}

void scrollHorizontally(GraphViewState& vs, int position) { vs.start_bar = vs.hscroll.accept(position); }

void zoomHorizontally(GraphViewState& vs, double r, int width) {
    vs.prev_x_haba_p = vs.x_haba_p;
    if (std::optional<int> pitch = pitchForSlider(r))
        vs.x_haba_p = *pitch;
    setHorizontalRange(vs, width);
    if (const KeisenElm* anchor = anchoredBar(vs))
        bringIntoViewHorizontally(vs, *anchor, width);
}

std::optional<int> nextPitch(int pitch, int direction) {
    static constexpr std::array<int, 11> pitches{2, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21};
    if (direction > 0) {
        for (int p : pitches)
            if (p > pitch)
                return p;
    } else if (direction < 0) {
        for (auto it = pitches.rbegin(); it != pitches.rend(); ++it)
            if (*it < pitch)
                return *it;
    }
    return std::nullopt;
}

int tickForSlider(double r) {
    if (r < 0.2)
        return 1;
    if (r < 0.4)
        return 2;
    if (r < 0.6)
        return 4;
    if (r < 0.8)
        return 5;
    return 10;
}

std::optional<double> sliderForTick(int tick) {
    switch (tick) {
    case 1: return 0.0;
    case 2: return 0.3;
    case 4: return 0.5;
    case 5: return 0.7;
    case 10: return 1.0;
    default: return std::nullopt;
    }
}

int verticalScrollMax(const GraphViewState& vs, int height) {
    double unit = vs.y_ichimemori * vs.pixel_to_yen;
    if (unit <= 0.0 || vs.y_ichimemori <= 0)
        return 0;
    return truncToInt((vs.high_limit_yen - vs.low_limit_yen) / unit) - height / vs.y_ichimemori;
}

void setVerticalRange(GraphViewState& vs, int height) { vs.vscroll.setRange(0, verticalScrollMax(vs, height)); }

void scrollVertically(GraphViewState& vs, int position) {
    int p = vs.vscroll.accept(position);
    vs.bottom_yen = truncToInt((vs.vscroll.max - p) * vs.y_ichimemori * vs.pixel_to_yen);
}

void zoomVertically(GraphViewState& vs, double r, int height) {
    vs.prev_pixel_to_yen = vs.pixel_to_yen;
    vs.y_ichimemori = tickForSlider(r);
    vs.recomputeScale();
    // The range's upper end depends on the plot height in ticks; keep the bottom price where
    // it was by moving the position along with the end.
    int oldMax = vs.vscroll.max;
    int oldPos = vs.vscroll.pos;
    setVerticalRange(vs, height);
    scrollVertically(vs, oldPos + (vs.vscroll.max - oldMax));
}

bool fitPricesToView(GraphViewState& vs, int width, int height) {
    if (vs.grid_yen <= 0 || vs.x_haba_p <= 0 || height <= 0)
        return false;
    std::optional<double> high, low;
    for (int k = std::max(1, vs.start_bar); k <= barCount(vs) && barLeft(vs, k) < std::max(width, 1); ++k) {
        const KeisenElm& bar = *barByNumber(vs, k);
        if (!bar.open)
            continue; // an empty bar (a future day) has nothing to show
        for (const auto& price : {bar.open, bar.high, bar.low, bar.close}) {
            if (!price)
                continue;
            high = std::max(high.value_or(*price), *price);
            low = std::min(low.value_or(*price), *price);
        }
    }
    if (!high)
        return false;
    const int margin = std::max(1, height / 10);
    const int usable = std::max(1, height - 2 * margin);
    int tick = 1;
    for (int candidate : {10, 5, 4, 2}) {
        if ((*high - *low) * 50.0 * candidate / vs.grid_yen <= usable) {
            tick = candidate;
            break;
        }
    }
    vs.prev_pixel_to_yen = vs.pixel_to_yen;
    vs.y_ichimemori = tick;
    vs.recomputeScale();
    setVerticalRange(vs, height);
    // The middle of the prices at the middle row: bottom_yen = (V - p) x one tick in yen.
    const double tickYen = vs.y_ichimemori * vs.pixel_to_yen;
    const double bottom = (*high + *low) / 2.0 - (height / 2) * vs.pixel_to_yen;
    scrollVertically(vs, vs.vscroll.max - truncToInt(std::floor(bottom / tickYen)));
    return true;
}

Redraw redrawFor(ScrollSource source) {
    return source == ScrollSource::Drag || source == ScrollSource::EdgeScroll ? Redraw::Fast : Redraw::Full;
}

int placementPosition(const GraphViewState& vs, int k, int width) {
    // Bar k's left edge at (W / pitch - 30) pitches, but never the whole series off the left.
    return std::min(k - barsAcross(vs, width) + kPlacementPitches, barCount(vs) - 1);
}

const KeisenElm* anchoredBar(const GraphViewState& vs) {
    return vs.bars && !vs.bars->empty() ? anchorBar(*vs.bars, vs.anchor_date) : nullptr;
}

const KeisenElm* newestPricedBar(const GraphViewState& vs) {
    if (!vs.bars)
        return nullptr;
    for (const KeisenElm& bar : *vs.bars)
        if (bar.open)
            return &bar;
    return nullptr;
}

void bringIntoViewHorizontally(GraphViewState& vs, const KeisenElm& bar, int width) {
    if (!vs.bars || !vs.bars->contains(&bar))
        return;
    vs.start_bar = vs.hscroll.accept(placementPosition(vs, barNumber(vs, bar), width));
}

std::optional<int> newestPosition(const GraphViewState& vs, int width) {
    const KeisenElm* newest = newestPricedBar(vs);
    if (!newest)
        return std::nullopt;
    return placementPosition(vs, barNumber(vs, *newest), width);
}

std::optional<int> anchorPosition(const GraphViewState& vs, int width) {
    const KeisenElm* anchor = anchoredBar(vs);
    if (!anchor)
        return std::nullopt;
    return placementPosition(vs, barNumber(vs, *anchor), width);
}

void centreVertically(GraphViewState& vs, const KeisenElm* bar, int height) {
    int v = vs.vscroll.max;
    int position = v;
    double unit = vs.y_ichimemori * vs.pixel_to_yen;
    if (vs.period() != ChartPeriod::Year && unit > 0.0 && vs.y_ichimemori > 0) {
        int close = bar && bar->close ? truncToInt(*bar->close) : 0;
        position = v - truncToInt((close - vs.low_limit_yen) / unit) + (height / 2) / vs.y_ichimemori;
    }
    scrollVertically(vs, position);
}

const KeisenElm* newestClosedBar(const KeisenList& bars) {
    std::size_t i = 0;
    while (i < bars.size() && !bars[i].open)
        ++i;
    for (; i < bars.size(); ++i)
        if (bars[i].close && std::fabs(*bars[i].close) >= 0.005)
            return &bars[i];
    return nullptr;
}

void positionAfterLoad(GraphViewState& vs, int width, int height) {
    setVerticalRange(vs, height);
    setHorizontalRange(vs, width);
    if (!vs.bars || vs.bars->empty())
        return;
    bringIntoViewHorizontally(vs, *anchoredBar(vs), width);
    centreVertically(vs, newestClosedBar(*vs.bars), height);
}

std::string showNewSeries(GraphViewState& vs, const CodeScale& scale, int width, int height) {
    applyCodeScale(vs, scale);
    std::string combo = scaleNewSeries(vs, scale.fixedGrid[static_cast<std::size_t>(market::periodIndex(vs.period()))]);
    positionAfterLoad(vs, width, height);
    return combo;
}

void applyCodeScale(GraphViewState& vs, const CodeScale& scale) {
    auto i = static_cast<std::size_t>(market::periodIndex(vs.period()));
    // A pitch or tick outside the zoom steps (a damaged row) would divide by zero or overflow
    // the geometry; keep the current one.
    if (settings::kPitchBounds.contains(scale.pitch[i]))
        vs.x_haba_p = scale.pitch[i];
    if (settings::kTickBounds.contains(scale.tick[i]))
        vs.y_ichimemori = scale.tick[i];
    vs.recomputeScale();
}

void storeCodeScale(const GraphViewState& vs, CodeScale& scale) {
    auto i = static_cast<std::size_t>(market::periodIndex(vs.period()));
    scale.pitch[i] = vs.x_haba_p;
    scale.tick[i] = vs.y_ichimemori;
}

}  // namespace tavora::chart
