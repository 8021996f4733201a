#pragma once
// Today's prices from the companion application merged into an opened chart: today's day bar,
// the week, month and year bars that contain it, and the analysis values (the day computations
// carry on with the one bar; the other periods are recomputed). Runs on the thread that owns
// the series at the time; nothing is written to the price database.
#include "chart/OpenChart.h"
#include "market/TodayPrices.h"

#include <string>
#include <string_view>

namespace tavora::chart {

// The day bar of the date that has no open price yet; nullptr when there is none.
market::KeisenElm* FindTodayBar(ChartSeries& series, std::string_view today);

// Merges the prices into the day bar of their date and the period bars containing it, then
// updates the analysis values. False (nothing changed) when the chart has no such day bar or
// that bar already has an open price.
bool MergeTodayPrices(ChartSeries& series, const market::TodayPrices& today);

} // namespace tavora::chart
