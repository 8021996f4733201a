#pragma once
// The names a print carries: the document title (the code's name followed by the period,
// "…日足") and the PDF file name proposed in the save dialog. Pure functions; any thread.
#include "market/ChartPeriod.h"

#include <string>
#include <string_view>

namespace tavora::printing {

// The code's name followed by the period caption, e.g. "極東電機日足".
std::string documentTitle(std::string_view name, market::ChartPeriod period);
// The title as a file name ending in ".pdf": "/" and control characters are dropped, so the
// name can neither leave the chosen folder nor carry line breaks.
std::string proposedPdfName(std::string_view name, market::ChartPeriod period);

} // namespace tavora::printing
