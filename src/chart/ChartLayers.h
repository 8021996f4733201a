#pragma once
// The layers of a chart picture, each painted onto a canvas within the client rectangle from
// a view state: volume, price axis, date axis, candles, title, analysis lines, annotations,
// and the screen shown when no code is open. Called by ChartPainter (and the print sheet) on
// the thread that owns the view state.
#include "chart/ChartAnnotation.h"
#include "chart/GraphViewState.h"
#include "framework/Canvas.h"

#include <functional>
#include <string>
#include <vector>

namespace tavora::chart {

using framework::Canvas;
using framework::Rect;

// The annotations drawn by the last paint: all of them, the memos and the texts (hit tests
// and in-place editing use them).
struct VisibleAnnotations {
    std::vector<ChartAnnotation*> all;
    std::vector<ChartAnnotation*> memos;
    std::vector<ChartAnnotation*> texts;
    void clear() {
        all.clear();
        memos.clear();
        texts.clear();
    }
};

// The code shown in the title.
struct TitleText {
    std::string code;
    std::string name;
    std::string market;
    std::string sector;
};

// What the screen without a code shows.
struct NoCodeScreen {
    ColorRef background = 0xFFF8F0;  // the theme's pale ground
    std::string notice;
    // Draws the program's logo into the given 500 x 100 rectangle; none when there is no logo.
    std::function<void(Canvas&, const Rect&)> drawLogo;
};

void paintVolume(Canvas& canvas, const Rect& client, const GraphViewState& vs);
void paintPriceAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs);
// Baseline only when `withLabels` is false (no code open).
void paintDateAxis(Canvas& canvas, const Rect& client, const GraphViewState& vs, bool withLabels = true);
// Updates end_bar.
void paintCandles(Canvas& canvas, const Rect& client, GraphViewState& vs);
// Returns the bottom of the title block.
int paintTitle(Canvas& canvas, const Rect& client, const GraphViewState& vs, const TitleText& title);
void paintAnalysisLines(Canvas& canvas, const Rect& client, const GraphViewState& vs);
// Draws the visible annotations whose dates reach into the bars on screen and lists them.
void paintAnnotations(Canvas& canvas, const Rect& client, const GraphViewState& vs,
                      const std::vector<ChartAnnotation*>& annotations, VisibleAnnotations& visible);
void paintNoCodeScreen(Canvas& canvas, const Rect& client, const NoCodeScreen& screen);

// Height of the date axis's label rows above the bottom edge: days, months and years on a day
// chart, months and years on a week chart, one row on month and year charts. Price labels
// stay above it.
int dateAxisHeight(market::ChartPeriod period);

// " 日足", " 週足", " 月足" or " 年足".
std::string periodSuffix(market::ChartPeriod period);

}  // namespace tavora::chart
