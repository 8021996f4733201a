#pragma once
// Paints the chart of one period onto a canvas: the full paint (every layer, then the clean
// copy, then the no-code screen when no code is open) and the fast paint used while
// scrolling or dragging (no volume, no annotations). Keeps what the pointer tools read
// afterwards: the bottom of the title block and the annotations drawn. UI thread.
#include "chart/ChartLayers.h"

namespace tavora::chart {

// What is shown besides the view state's data.
struct ChartContent {
    bool codeOpen = false;
    TitleText title;
    std::vector<ChartAnnotation*> annotations;  // the elements of the code and period
    NoCodeScreen noCode;
};

class ChartPainter {
public:
    void paintFull(Canvas& canvas, GraphViewState& vs, const ChartContent& content);
    void paintFast(Canvas& canvas, GraphViewState& vs, const ChartContent& content);

    int titleBottom() const { return m_titleBottom; }
    const VisibleAnnotations& visible() const { return m_visible; }
    // Whether the clean copy holds the picture of the last paint (false while painting).
    bool cleanCopyReady() const { return m_cleanCopyReady; }

private:
    void paintLayers(Canvas& canvas, const Rect& client, GraphViewState& vs, const ChartContent& content, bool full);

    int m_titleBottom = 0;
    VisibleAnnotations m_visible;
    bool m_cleanCopyReady = false;
};

}  // namespace tavora::chart
