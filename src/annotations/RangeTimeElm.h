#pragma once
// A day count (tool "日数計算"): the number of bars from the anchor bar to the `daycount`-th bar
// (both counted), drawn as a bracket between their centres with the count over it. Drawing
// rewrites the end date to the end bar's. Its vertical offset follows the zoom.
#include "annotations/GraphDrawElement.h"

namespace tavora::annotations {

class RangeTimeElm : public GraphDrawElement {
public:
    RangeTimeElm() : GraphDrawElement(std::string(kRangeTimeElm)) {}

    std::string daycount; // the bar count, decimal text (stored)

    void initialize() override;
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
    KindColumns kindColumns() const override;
    void setKindColumns(const KindColumns& columns) override;
    bool isKnownKind() const override { return true; }
};

// `daycount` read like atoi (leading blanks, sign, digits; anything else ends it; saturating).
long long dayCountValue(std::string_view text);

} // namespace tavora::annotations
