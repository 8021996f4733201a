#pragma once
// A chart picture without a window: one period of an opened code (or the no-code screen)
// laid out, scaled and positioned as a chart panel does after loading, and fully painted
// into an image. Used by `tavora-cli render`; any thread that may use QImage and fonts (a
// QGuiApplication must exist).
#include "chart/ChartLayers.h"
#include "chart/CodeScale.h"
#include "chart/OpenChart.h"
#include "framework/Dates.h"
#include "settings/Settings.h"

#include <QImage>
#include <QSize>

namespace tavora::chart::ui {

struct ChartImageRequest {
    const chart::PeriodSeries* series = nullptr; // null: the no-code screen
    market::ChartPeriod period = market::ChartPeriod::Day;
    TitleText title;
    CodeScale scale;  // the code's stored scale, or the defaults
    settings::Settings settings;
    framework::YmdDate today;  // the anchor date and the end of the week list
    QSize size{1200, 700};
    NoCodeScreen noCode;
    // Annotations drawn over the series (not owned; they live while the image is made).
    std::vector<ChartAnnotation*> annotations;
};

// The largest picture made: a side of at most 16,384 pixels (a poster at 300 dpi is under
// 14,000) and 256 M pixels in all, 1 GiB at 4 bytes a pixel.
inline constexpr int kMaxChartImageSide = 16384;
inline constexpr long long kMaxChartImagePixels = 256LL * 1024 * 1024;
// True when a picture of that size may be made.
constexpr bool chartImageSizeAllowed(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxChartImageSide && height <= kMaxChartImageSide &&
           static_cast<long long>(width) * height <= kMaxChartImagePixels;
}

// A null image when the size is not allowed or the memory cannot be had.
QImage renderChartImage(const ChartImageRequest& request);

}  // namespace tavora::chart::ui
