#pragma once
// Building the week, month and year bars of a code from its day bars: split adjustment while
// walking from new to old, the gap fill between the oldest and the newest priced day, the
// future month and year bars, and the emptying of period bars after the last price.
// Pure functions over the lists they are given; any thread.
#include "market/Keisen.h"

#include <optional>
#include <string>

namespace tavora::market {

inline constexpr int kFutureMonths = 60;
inline constexpr int kFutureYears = 100;

// The newest and the oldest day bar that have an open price (indexes into the day list).
struct PricedRange {
    std::optional<std::size_t> newest;
    std::optional<std::size_t> oldest;
    int newestDateNumber = 0; // 0 when no day has an open price

    bool empty() const { return !newest.has_value(); }
};

// Walks the day bars from the newest to the oldest with a running split factor: adjusts each
// day's prices for the splits after it, merges the day into its week, month and year bar
// (appended to the emptied period lists as the keys change) and combines split ratios into
// the period bars. Returns the priced range of the day list.
PricedRange AggregatePeriods(KeisenList& day, KeisenList& week, KeisenList& month, KeisenList& year);

// From the oldest priced day up to (not including) the newest: an absent open becomes 0 and
// marks the day as without data; absent high, low and close become 0.
void FillGaps(KeisenList& day, const PricedRange& range);

// Inserts empty bars for the 60 months after the newest month bar and the 100 years after the
// newest year bar (nothing for an empty list).
void AppendFuturePeriods(KeisenList& month, KeisenList& year);

// Makes the four prices of every bar dated after `newestDateNumber` absent, so no period bar
// after the last price carries values; with no priced day at all (`range.empty()`), every bar.
void EmptyBarsAfterLastPrice(KeisenList& bars, const PricedRange& range);

} // namespace tavora::market
