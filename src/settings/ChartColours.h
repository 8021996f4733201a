#pragma once
// The chart colours the colour settings edit: ten colours (background, grid lines, texts,
// rising and falling candles, volume bars) and the styles of the two grid directions, with
// the caption, settings key and initial value of each colour row. Plain values; UI thread.
#include "settings/Settings.h"

#include <array>
#include <string>

namespace tavora::settings {

struct ChartColourRow {
    const char* label;       // the row's caption
    const char* key;         // its settings key
    Colour Settings::*field; // where Settings keeps it
    Colour initial;          // what "初期値に戻す" shows
};
// The ten rows in their order.
const std::array<ChartColourRow, 10>& chartColourRows();

struct ChartColours {
    std::array<Colour, 10> colours{}; // in row order
    std::string xStyle = kLineSolid;  // x_sen_cb: the price (horizontal) grid lines
    std::string yStyle = kLineSolid;  // y_sen_cb: the date (vertical) grid lines
    bool operator==(const ChartColours&) const = default;
};

// The colours and grid styles as the settings hold them.
ChartColours chartColoursOf(const Settings& settings);
// The settings with these colours and styles (every other key as it was).
void setChartColours(Settings& settings, const ChartColours& colours);
// The initial values: the settings defaults, both grid styles solid.
ChartColours initialChartColours();

} // namespace tavora::settings
