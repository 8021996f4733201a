#pragma once
// The price series a formula reads: open, high, low, close and volume of every bar of a
// period, oldest first, NaN where a bar has no value. A bar has no prices when its open price
// is absent (a future market day) or 0 (a day or week without trade, filled with zeros), or
// when it lies after `emptyAfter`; a single price that is absent or 0 (the stored form of
// "no price") is missing on its own. Prices are the bars' own, so split-adjusted as drawn.
// Plain values; any thread.
#include "analysis/FormulaTree.h"
#include "market/Keisen.h"

#include <cstddef>
#include <span>
#include <vector>

namespace tavora::analysis {

struct BarSeries {
    std::vector<double> open, high, low, close, volume;
    // Whether the bar has prices at all: only such bars receive a value.
    std::vector<unsigned char> priced;

    std::size_t size() const { return close.size(); }
    const std::vector<double>& field(SeriesField s) const;
};

// The series of bars given newest first (as a KeisenList holds them): position size-1-i is
// bar i. A bar whose date number is later than `emptyAfter` (when it is not 0) has no prices.
BarSeries BarSeriesOf(std::span<const market::KeisenElm> newestFirst, int emptyAfter = 0);

} // namespace tavora::analysis
