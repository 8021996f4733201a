#include "printing/PrintSnapshot.h"

#include "market/Keisen.h"

#include <algorithm>

namespace tavora::printing {

namespace {

void copyBars(const market::KeisenList& list, PeriodSnapshot& into) {
    into.bars.clear();
    into.bars.reserve(list.size());
    std::int64_t largest = 0;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const market::KeisenElm& e = *it;
        into.bars.push_back(
            SheetBar{e.date, e.year, e.month, e.day, e.open, e.high, e.low, e.close, e.volume});
        largest = std::max(largest, e.volume);
    }
    into.largestVolume = largest;
}

} // namespace

PrintSnapshot takeSnapshot(const std::array<const chart::GraphViewState*, 4>& states,
                           const chart::TitleText* title) {
    PrintSnapshot snap;
    snap.codeOpen = title != nullptr;
    if (title)
        snap.title = *title;
    for (std::size_t i = 0; i < states.size(); ++i) {
        PeriodSnapshot& p = snap.periods[i];
        p.period = market::kAllPeriods[i];
        const chart::GraphViewState* vs = states[i];
        if (!vs)
            continue;
        p.gridYen = vs->grid_yen;
        p.anchorDate = vs->anchor_date;
        p.paint = vs->paint;
        if (title && vs->bars)
            copyBars(*vs->bars, p);
        if (p.period == market::ChartPeriod::Day && vs->weeks)
            snap.weeks = *vs->weeks;
    }
    return snap;
}

} // namespace tavora::printing
