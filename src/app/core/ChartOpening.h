#pragma once
// What opening a catalogue entry's chart takes from the context: the entry's code and splits,
// the trading calendar of its market and the analysis definitions. The caller adds the
// connections it opens with (the UI thread's, or none for a worker that opens its own).
#include "app/core/AppContext.h"
#include "chart/OpenChart.h"

namespace tavora::app {

chart::OpenChartInput chartInputFor(const AppContext& ctx, const market::CodeElm& entry);

} // namespace tavora::app
