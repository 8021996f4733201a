#include "printing/DocumentName.h"

namespace tavora::printing {

std::string documentTitle(std::string_view name, market::ChartPeriod period) {
    return std::string(name) + std::string(market::periodCaption(period));
}

std::string proposedPdfName(std::string_view name, market::ChartPeriod period) {
    std::string kept;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || u < 0x20 || u == 0x7F)
            continue;
        kept += c;
    }
    // The period caption always follows, so the name is never empty, "." or "..".
    return documentTitle(kept, period) + ".pdf";
}

} // namespace tavora::printing
