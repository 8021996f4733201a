#pragma once
// Sheets onto Qt devices: the preview image, an A4 PDF file and a printer. Every path draws
// through drawSheet in the sheet's 96-dpi pixels; printed and PDF pages are scaled to the
// whole A4 page (no margins). Used by the print dialog and `tavora-cli print` on the thread
// that owns the fonts (the UI thread, or the cli's main thread).
#include "printing/SheetDrawing.h"

#include <QImage>

#include <atomic>
#include <climits>
#include <string>

class QPagedPaintDevice;
class QPrinter;

namespace tavora::printing::ui {

// Sheet `sheet` as the preview shows it (no print offset), on white, at 96 dpi.
QImage renderSheetImage(const SheetInput& input, int sheet);

struct OutputResult {
    bool ok = false;
    int pages = 0;
    std::string error; // why it failed, for the message the user sees
    bool cancelled = false; // the cancel flag stopped it; nothing was written
};

// Writes sheets first..last (clamped to the range's sheets) as an A4 PDF with the title and
// searchable text. The file is written under a temporary name beside `path` and renamed into
// place only when complete; a failure leaves any existing file untouched. `cancel` (optional)
// is looked at before each page and before the file is put in place.
OutputResult writeSheetsPdf(const std::string& path, const SheetInput& input, const std::string& title,
                            int first = 1, int last = INT_MAX, const std::atomic<bool>* cancel = nullptr);

// Prints sheets first..last on a printer the caller has chosen: A4 in the input's
// orientation, the whole page, one sheet per page.
OutputResult printSheets(QPrinter& printer, const SheetInput& input, const std::string& title, int first = 1,
                         int last = INT_MAX);

// A4 in the orientation, zero margins, for a printer or PDF writer before painting starts.
void prepareA4(QPagedPaintDevice& device, Orientation orientation);

} // namespace tavora::printing::ui
