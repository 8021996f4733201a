#pragma once
// Fills a view state's paint parameters and tool defaults from the user settings. Called on
// the UI thread when a panel is created and after the colour settings are saved.
#include "chart/GraphViewState.h"
#include "settings/Settings.h"

namespace tavora::chart {

void applySettings(GraphViewState& vs, const settings::Settings& s);
// The tool defaults of a view into the settings the exit save writes (the reverse of the
// tool part of applySettings).
void takeToolSettings(settings::Settings& s, const ToolDefaults& t);
// Only the chart colours and grid styles (the colour settings' part).
void applyPaintSettings(ChartPaint& paint, const settings::Settings& s);

}  // namespace tavora::chart
