#pragma once
// The application icon, drawn by the program itself: three candles on a blue tile.
#include <QIcon>

namespace tavora::app {

QIcon appIcon();

}  // namespace tavora::app
