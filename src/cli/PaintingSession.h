#pragma once
// What the subcommands that paint (render, print) share: a started core with a
// QGuiApplication for fonts, on the offscreen platform when there is no display, and a code's
// chart opened as the desktop opens it. Main thread only.
#include "app/core/AppContext.h"
#include "chart/OpenChart.h"

#include <functional>
#include <string>

namespace tavora::cli {

// Starts the core and the catalogue, then runs `body`; its result is the exit status.
int runPaintingCommand(const std::function<int(app::AppContext&)>& body);

// Opens the chart of a catalogue code. False with `error` when the code is not in the
// catalogue or has no prices.
bool openCodeChart(app::AppContext& ctx, const std::string& code, const market::CodeElm*& entry,
                   chart::ChartSeries& series, std::string& error);

} // namespace tavora::cli
