#pragma once
// Choosing the Qt platform before the QApplication exists.

namespace tavora::framework::ui {

// Selects the offscreen platform when no display is available (no DISPLAY and no
// WAYLAND_DISPLAY) and QT_QPA_PLATFORM is not set, so rendering works on a headless machine.
// Returns true when the offscreen platform was chosen.
bool useOffscreenPlatformWithoutDisplay();

}  // namespace tavora::framework::ui
