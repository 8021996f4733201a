#pragma once
// What a chart panel shows while no code is open: the theme's ground, the program's logo and
// its notice text. Shared by the desktop's panels and the command-line renderer.
#include "chart/ChartLayers.h"

#include <string>

namespace tavora::app {

// `notice` empty: the program's own notice text.
chart::NoCodeScreen programNoCodeScreen(const std::string& notice);

} // namespace tavora::app
