#pragma once
// The geometry of a printed sheet: an A4 page at 96 dots per inch (794 x 1123 pixels upright)
// with a grid of 3-pixel cells centred on it, 250 x 350 cells upright, 350 x 250 on its side.
// Plain values, usable from any thread.
#include "framework/Canvas.h"

namespace tavora::printing {

enum class Orientation { Portrait, Landscape };

inline constexpr int kCellPx = 3;        // one grid cell
inline constexpr int kSheetDpi = 96;     // the resolution sheets are laid out in
inline constexpr int kA4WidthPx = 794;   // 210 mm at 96 dpi
inline constexpr int kA4HeightPx = 1123; // 297 mm at 96 dpi
inline constexpr int kA4Columns = 250;   // grid cells across an upright A4 sheet
inline constexpr int kA4Rows = 350;      // and down it

struct SheetGeometry {
    framework::Size sheet; // the whole page in pixels
    int columns = 0;       // grid cells across
    int rows = 0;          // grid cells down
    // The grid's outer lines: the first vertical line at x = left, the last at x = right
    // (left + 3 x columns); likewise top and bottom.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

SheetGeometry sheetGeometry(Orientation orientation);

} // namespace tavora::printing
