#include "chart/ui/ChartImage.h"

#include "chart/ChartGeometry.h"
#include "chart/ChartPainter.h"
#include "chart/ChartSettings.h"
#include "framework/ui/QtCanvas.h"
#include "market/DateList.h"

namespace tavora::chart::ui {

QImage renderChartImage(const ChartImageRequest& request) {
    if (!chartImageSizeAllowed(request.size.width(), request.size.height()))
        return QImage();
    QImage image(request.size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const market::DateList weeks(request.today);
    GraphViewState vs = makeViewState(request.period, framework::formatDate(request.today));
    applySettings(vs, request.settings);
    ChartContent content;
    content.noCode = request.noCode;
    if (request.series) {
        vs.bars = &request.series->bars;
        vs.graphs = &request.series->graphs;
        vs.weeks = &weeks;
        content.codeOpen = true;
        content.title = request.title;
        content.annotations = request.annotations;
        showNewSeries(vs, request.scale, image.width(), image.height());
    }
    // A picture needs no clean copy for pointer tools: one image is all the memory it takes.
    framework::ui::QtCanvas canvas(image);
    ChartPainter painter;
    painter.paintFull(canvas, vs, content);
    return image;
}

}  // namespace tavora::chart::ui
