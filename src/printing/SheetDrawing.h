#pragma once
// Draws one printed sheet: the graph-paper grid, the price labels every 50 cells, the volume
// lines, the candles (one or two cells per bar), the date marks, the title, and white margins
// that cut off whatever reached past the grid. The preview, the printer, the PDF and
// `tavora-cli print` all draw through drawSheet, in the sheet's own 96-dpi pixels. Called on
// the thread that owns the canvas.
#include "framework/Canvas.h"
#include "printing/PrintChoices.h"
#include "printing/PrintSnapshot.h"
#include "printing/SheetGeometry.h"
#include "printing/SheetPlan.h"

namespace tavora::printing {

struct SheetInput {
    const PrintSnapshot* snapshot = nullptr; // null, or no code open: the grid only
    PrintChoices choices;
    SheetGeometry geometry;
    BarRange range;
    int sheets = 1; // sheets the range needs
    // Printer and PDF output draw the wicks and volume lines one pixel further right than
    // the preview does.
    bool printing = false;

    const PeriodSnapshot* period() const { return snapshot ? &snapshot->period(choices.period) : nullptr; }
};

// The input for the choices: geometry of the orientation, the range and the sheet count.
// The step and the lowest price are taken as chosen (a step of 0 or less draws as 1000).
SheetInput makeSheetInput(const PrintSnapshot& snapshot, const PrintChoices& choices, bool printing);

// Draws sheet `sheet` (1-based; outside 1..sheets only the grid) onto a canvas of the
// geometry's sheet size.
void drawSheet(framework::Canvas& canvas, const SheetInput& input, int sheet);

// Where a run of sheets goes page by page (a PDF writer, a printer, a test recorder).
class SheetPageTarget {
public:
    virtual ~SheetPageTarget() = default;
    // The canvas of the current page.
    virtual framework::Canvas& canvas() = 0;
    // Starts the next page; false when the device refuses.
    virtual bool newPage() = 0;
};

// Draws sheets first..last (clamped to 1..sheets) onto consecutive pages of the target.
// Returns the number of pages drawn; -1 when the target failed to start a page.
int drawSheets(SheetPageTarget& target, const SheetInput& input, int first, int last);

} // namespace tavora::printing
