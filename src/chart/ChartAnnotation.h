#pragma once
// What the chart's annotation layer needs of an annotation element: its visibility, its
// date span, its kind and its draw call. The annotation elements implement it; the layer
// calls it on the UI thread while painting.
#include "framework/Canvas.h"
#include "market/Keisen.h"

#include <string_view>

namespace tavora::chart {

struct GraphViewState;

class ChartAnnotation {
public:
    virtual ~ChartAnnotation() = default;

    // view_bl: false marks a deleted element, which is not drawn.
    virtual bool isVisible() const = 0;
    // Start and end date as YYYYMMDD.
    virtual int startDateNumber() const = 0;
    virtual int endDateNumber() const = 0;
    // "LineElm", "TextElm", "MemoElm", "TakayasuElm", "RangeTimeElm" or "RangeNedanElm".
    virtual std::string_view className() const = 0;
    // Draws the element and updates its box. `firstBar` is the bar at `startBar`.
    virtual void draw(framework::Canvas& canvas, const framework::Rect& client, const GraphViewState& view,
                      int xHabaP, int startBar, double pixelToYen, int bottomYen, int yIchimemori,
                      const market::KeisenElm* firstBar) = 0;
};

}  // namespace tavora::chart
