#pragma once
// A print snapshot of a freshly opened series as the four chart panels show it right after
// loading: each period scaled with the code's stored scale (its grid interval is the default
// price per 50 cells), painted in the user's colours, anchored at today. For printing
// without the desktop (`tavora-cli print`, benchmarks). Any single thread.
#include "chart/ChartLayers.h"
#include "chart/CodeScale.h"
#include "chart/OpenChart.h"
#include "framework/Dates.h"
#include "printing/PrintSnapshot.h"
#include "settings/Settings.h"

namespace tavora::printing {

PrintSnapshot snapshotOfSeries(const chart::ChartSeries& series, const chart::TitleText& title,
                               const chart::CodeScale& scale, const settings::Settings& settings,
                               const framework::YmdDate& today);

} // namespace tavora::printing
