#include "chart/GraphViewState.h"

#include <algorithm>

namespace tavora::chart {

void ScrollModel::setRange(int lo, int hi) {
    min = lo;
    max = std::max(lo, hi);
    pos = std::clamp(pos, min, max);
}

int ScrollModel::accept(int requested) {
    pos = std::clamp(requested, min, max);
    return pos;
}

market::ChartPeriod GraphViewState::period() const {
    return market::periodFromLetter(kikan).value_or(market::ChartPeriod::Day);
}

void GraphViewState::recomputeScale() {
    five_ticks_px = 5 * y_ichimemori;
    grid_px = 50.0 * y_ichimemori;
    pixel_to_yen = grid_px > 0 ? grid_yen / grid_px : 0.0;
}

GraphViewState makeViewState(market::ChartPeriod period, std::string today) {
    GraphViewState vs;
    vs.kikan = std::string(market::periodLetter(period));
    vs.anchor_date = std::move(today);
    return vs;
}

}  // namespace tavora::chart
