#pragma once
// Where the main window opens: the stored (or default) client rectangle fitted into the
// available area of the screen it opens on, so that the status bar and the date axis are
// never below the screen's edge. Pure arithmetic on rectangles; any thread.
#include <optional>
#include <vector>

namespace tavora::app {

struct PlaceRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; } // one past the last column
    int bottom() const { return y + height; }
    bool operator==(const PlaceRect&) const = default;
};

struct PlaceSize {
    int width = 0;
    int height = 0;
};

// The window decoration around the client area (title bar, borders), 0 when not known yet.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct PlacementInput {
    std::vector<PlaceRect> screens;   // the available area of each screen (without panels)
    int openingScreen = 0;            // the screen a window without a usable place opens on
    std::optional<PlaceRect> stored;  // the client rectangle kept from the last run
    PlaceSize defaultSize;            // the client size of a first start
    PlaceSize minimumSize;            // never smaller than this, even on a smaller screen
    FrameMargins frame;
};

// The client rectangle to open at.
// - The screen is the one holding the largest part of the stored rectangle (frame included);
//   with no stored rectangle, or one that lies off every screen, the opening screen, and the
//   window is centred on it.
// - The size is the stored (or default) one, cut to what the screen's area leaves after the
//   frame, but never below the minimum size.
// - A stored place is moved just enough for the window to lie inside the area; a window larger
//   than the area (its minimum size) keeps its top-left corner, title bar included, on screen.
// Without any screen the stored (or default) rectangle is returned as it is.
PlaceRect placeWindow(const PlacementInput& input);

} // namespace tavora::app
