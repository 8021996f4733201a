#include "chart/ChartPainter.h"

namespace tavora::chart {

void ChartPainter::paintLayers(Canvas& canvas, const Rect& client, GraphViewState& vs, const ChartContent& content,
                               bool full) {
    m_cleanCopyReady = false;
    canvas.fillRect(client, vs.paint.background);
    if (content.codeOpen) {
        if (full)
            paintVolume(canvas, client, vs);
        paintPriceAxis(canvas, client, vs);
        paintDateAxis(canvas, client, vs);
        paintCandles(canvas, client, vs);
        m_titleBottom = paintTitle(canvas, client, vs, content.title);
        paintAnalysisLines(canvas, client, vs);
        if (full)
            paintAnnotations(canvas, client, vs, content.annotations, m_visible);
    } else {
        paintDateAxis(canvas, client, vs, false);
        if (full)
            m_visible.clear();
    }
    canvas.copyToCleanCopy();
    m_cleanCopyReady = true;
}

void ChartPainter::paintFull(Canvas& canvas, GraphViewState& vs, const ChartContent& content) {
    framework::Size size = canvas.size();
    if (size.width <= 0 || size.height <= 0)
        return;
    Rect client{0, 0, size.width, size.height};
    paintLayers(canvas, client, vs, content, true);
    if (!content.codeOpen)
        paintNoCodeScreen(canvas, client, content.noCode);
}

void ChartPainter::paintFast(Canvas& canvas, GraphViewState& vs, const ChartContent& content) {
    framework::Size size = canvas.size();
    if (size.width <= 0 || size.height <= 0)
        return;
    paintLayers(canvas, Rect{0, 0, size.width, size.height}, vs, content, false);
}

}  // namespace tavora::chart
