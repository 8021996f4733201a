#pragma once
// A straight line between two bars (tool "直線"): from the start bar's low plus range_y to the
// end bar's low plus endrange_y, both offsets scaled by the zoom factor. Hit within 4 pixels
// of the segment.
#include "annotations/GraphDrawElement.h"

namespace tavora::annotations {

class LineElm : public GraphDrawElement {
public:
    LineElm() : GraphDrawElement(std::string(kLineElm)) {}

    int endrange_y = 0; // end point's offset from the end bar's low (stored)
    // End points of the last drawing (not stored).
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    void initialize() override;
    bool HitTest(int x, int y) override;
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
    KindColumns kindColumns() const override;
    void setKindColumns(const KindColumns& columns) override;
    bool isKnownKind() const override { return true; }
};

// Distance within which a point hits a line.
inline constexpr float kLineHitDistance = 4.0f;

} // namespace tavora::annotations
