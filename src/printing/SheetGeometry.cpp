#include "printing/SheetGeometry.h"

namespace tavora::printing {

SheetGeometry sheetGeometry(Orientation orientation) {
    const bool upright = orientation == Orientation::Portrait;
    SheetGeometry g;
    g.sheet = upright ? framework::Size{kA4WidthPx, kA4HeightPx} : framework::Size{kA4HeightPx, kA4WidthPx};
    g.columns = upright ? kA4Columns : kA4Rows;
    g.rows = upright ? kA4Rows : kA4Columns;
    g.left = (g.sheet.width - g.columns * kCellPx) / 2;
    g.right = g.left + g.columns * kCellPx;
    g.top = (g.sheet.height - g.rows * kCellPx) / 2;
    g.bottom = g.top + g.rows * kCellPx;
    return g;
}

} // namespace tavora::printing
