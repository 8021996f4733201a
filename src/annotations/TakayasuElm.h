#pragma once
// The high or low price of one bar (tool "高安値表示"): the price "%.2f" over the bar's date,
// centred on the bar's left edge, just above the high or just below the low.
#include "annotations/GraphDrawElement.h"

namespace tavora::annotations {

class TakayasuElm : public GraphDrawElement {
public:
    TakayasuElm() : GraphDrawElement(std::string(kTakayasuElm)) {}

    void SetDate(std::string_view text) override;
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
    bool isKnownKind() const override { return true; }
};

} // namespace tavora::annotations
