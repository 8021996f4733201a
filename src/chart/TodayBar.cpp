#include "chart/TodayBar.h"

namespace tavora::chart {

namespace {

void mergeIntoPeriod(market::KeisenElm& bar, const market::TodayPrices& t) {
    if (!bar.open) {
        bar.open = t.open;
        bar.high = t.high;
        bar.low = t.low;
        bar.volume = t.volume;
    } else {
        if (!bar.high || t.high > *bar.high)
            bar.high = t.high;
        if (!bar.low || t.low < *bar.low)
            bar.low = t.low;
        bar.volume = market::addVolume(bar.volume, t.volume);
    }
    bar.close = t.close;
}

template <class Match> market::KeisenElm* findPeriodBar(market::KeisenList& bars, Match match) {
    for (auto& bar : bars)
        if (match(bar))
            return &bar;
    return nullptr;
}

} // namespace

market::KeisenElm* FindTodayBar(ChartSeries& series, std::string_view today) {
    market::KeisenList& day = series.period(market::ChartPeriod::Day).bars;
    market::KeisenElm* bar = day.findByDate(today);
    return bar && !bar->open ? bar : nullptr;
}

bool MergeTodayPrices(ChartSeries& series, const market::TodayPrices& today) {
    market::KeisenElm* bar = FindTodayBar(series, today.date);
    if (!bar)
        return false;
    bar->open = today.open;
    bar->high = today.high;
    bar->low = today.low;
    bar->close = today.close;
    bar->volume = today.volume;

    // The period bars of today. A week is matched by year and week key only: a week bar is
    // dated by its first day, which may lie in the previous month.
    const int weekKey = bar->weekKey();
    if (market::KeisenElm* w =
            findPeriodBar(series.period(market::ChartPeriod::Week).bars, [&](const market::KeisenElm& b) {
                return b.year == bar->year && b.weekKey() == weekKey && b.dateNumber() <= bar->dateNumber();
            }))
        mergeIntoPeriod(*w, today);
    if (market::KeisenElm* m =
            findPeriodBar(series.period(market::ChartPeriod::Month).bars, [&](const market::KeisenElm& b) {
                return b.year == bar->year && b.month == bar->month;
            }))
        mergeIntoPeriod(*m, today);
    if (market::KeisenElm* y = findPeriodBar(series.period(market::ChartPeriod::Year).bars,
                                             [&](const market::KeisenElm& b) { return b.year == bar->year; }))
        mergeIntoPeriod(*y, today);

    ApplyTodayBarToAnalysis(series, *bar);
    if (series.priced.newestDateNumber < bar->dateNumber()) {
        series.priced.newest = series.period(market::ChartPeriod::Day).bars.indexOf(*bar);
        series.priced.newestDateNumber = bar->dateNumber();
    }
    return true;
}

} // namespace tavora::chart
