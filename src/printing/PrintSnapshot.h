#pragma once
// What printing reads of the chart, copied when the print dialog opens and again whenever
// another series is shown: the bars of the four periods (oldest first, prices and volume
// only), each panel's grid interval, anchor date and colours, the code's title and the
// week-start Sundays. A snapshot owns all of it, so the chart may replace its series at any
// time. Built on the UI thread (or the cli's), read by whoever draws sheets from it.
#include "chart/ChartLayers.h"
#include "chart/GraphViewState.h"
#include "market/ChartPeriod.h"
#include "market/DateList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavora::printing {

struct SheetBar {
    std::string date; // "YYYY-MM-DD"
    int year = 0;
    int month = 0;
    int day = 0;
    std::optional<double> open;
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> close;
    std::int64_t volume = 0;

    int dateNumber() const { return year * 10000 + month * 100 + day; }
};

struct PeriodSnapshot {
    market::ChartPeriod period = market::ChartPeriod::Day;
    std::vector<SheetBar> bars; // oldest first
    std::int64_t largestVolume = 0;
    int gridYen = 0;         // the panel's grid interval now (0 before a series was scaled)
    std::string anchorDate;  // "YYYY-MM-DD": the panel's anchor (the day it was made)
    chart::ChartPaint paint; // candle, volume and title colours, title sizes, font face
};

struct PrintSnapshot {
    bool codeOpen = false;
    chart::TitleText title;
    std::array<PeriodSnapshot, 4> periods;
    market::DateList weeks; // the day panel's week-start Sundays

    PeriodSnapshot& period(market::ChartPeriod p) { return periods[std::size_t(market::periodIndex(p))]; }
    const PeriodSnapshot& period(market::ChartPeriod p) const {
        return periods[std::size_t(market::periodIndex(p))];
    }
};

// A snapshot of the four panels' view states (day, week, month, year order; a null state
// gives an empty period). `title` is null when no code is open: the periods then carry no
// bars, but keep their anchors and colours.
PrintSnapshot takeSnapshot(const std::array<const chart::GraphViewState*, 4>& states,
                           const chart::TitleText* title);

} // namespace tavora::printing
