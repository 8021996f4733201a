#include "printing/SeriesSnapshot.h"

#include "chart/ChartGeometry.h"
#include "chart/ChartSettings.h"
#include "market/DateList.h"

namespace tavora::printing {

namespace {
// The plot a panel of the default window has; the grid interval does not depend on it.
constexpr int kPlotWidth = 1200;
constexpr int kPlotHeight = 700;
} // namespace

PrintSnapshot snapshotOfSeries(const chart::ChartSeries& series, const chart::TitleText& title,
                               const chart::CodeScale& scale, const settings::Settings& settings,
                               const framework::YmdDate& today) {
    const market::DateList weeks(today);
    std::array<chart::GraphViewState, 4> states;
    std::array<const chart::GraphViewState*, 4> pointers{};
    for (std::size_t i = 0; i < states.size(); ++i) {
        const market::ChartPeriod p = market::kAllPeriods[i];
        chart::GraphViewState& vs = states[i];
        vs = chart::makeViewState(p, framework::formatDate(today));
        chart::applySettings(vs, settings);
        vs.bars = &series.period(p).bars;
        vs.graphs = &series.period(p).graphs;
        vs.weeks = &weeks;
        chart::showNewSeries(vs, scale, kPlotWidth, kPlotHeight);
        pointers[i] = &vs;
    }
    return takeSnapshot(pointers, &title);
}

} // namespace tavora::printing
