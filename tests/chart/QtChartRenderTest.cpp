// A chart painted through the Qt canvas, written as a PNG and read back: the colours must be
// where the geometry puts them.
#include "chart/ChartGeometry.h"
#include "chart/ChartPainter.h"

#include "ChartTestSupport.h"
#include "analysis/BunsekiGraphList.h"
#include "framework/ui/QtCanvas.h"
#include "market/DateList.h"
#include "support/QtApplicationEnvironment.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>

namespace tavora::chart {
namespace {

QGuiApplication& app() {
    return tavora::test::QtApplicationEnvironment::app();
}

QRgb rgbOf(framework::ColorRef c) { return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

TEST(QtChartRender, ColoursLandWhereTheGeometrySays) {
    app();
    market::KeisenList bars;
    test::buildBars(bars, {{"2024-01-04", 1000, 1060, 990, 1050, 0},
                           {"2024-01-05", 1050, 1055, 1000, 1010, 0},
                           {"2024-01-09", 1010, 1030, 1000, 1020, 0}});
    analysis::BunsekiGraphListList graphs;
    analysis::BunsekiGraphList& line = graphs.append();
    line.colour = 0x00C000;
    line.width = 1;
    analysis::CreateGraphPen(line);
    line.attachBars(bars);
    for (std::size_t i = 0; i < bars.size(); ++i)
        std::snprintf(line.element(i).value, analysis::kValueTextSize, "%.2f", 1150.0);
    market::DateList weeks({2024, 6, 1});

    GraphViewState vs = makeViewState(market::ChartPeriod::Day, "2024-01-09");
    vs.bars = &bars;
    vs.graphs = &graphs;
    vs.weeks = &weeks;
    vs.x_haba_p = 9;
    vs.grid_yen = 100;
    vs.y_ichimemori = 2;
    vs.recomputeScale();  // one yen per row
    vs.bottom_yen = 900;
    vs.paint.upBody = 0x0000FF;
    vs.paint.downBody = 0xFF0000;

    QImage image(300, 300, QImage::Format_RGB32);
    QImage clean(300, 300, QImage::Format_RGB32);
    {
        framework::ui::QtCanvas canvas(image, &clean);
        ChartPainter painter;
        painter.paintFull(canvas, vs, ChartContent{true, {"0001", "日経平均株価", "東証指数", "指数"}, {}, {}});
    }
    tavora::test::TempDir dir;
    QString path = QString::fromStdString((dir.path() / "chart.png").string());
    ASSERT_TRUE(image.save(path, "PNG"));
    QImage png(path);
    ASSERT_EQ(png.size(), QSize(300, 300));
    EXPECT_EQ(clean, image);

    struct Probe {
        int x, y;
        framework::ColorRef colour;
        const char* what;
    };
    const std::vector<Probe> probes{
        {200, 150, 0xFCFCFC, "background"},
        {200, 200, 0xE9E9E9, "major grid line at 1,000"},
        {3, 175, 0x0000FF, "up body (open 1,000 at row 200, close 1,050 at row 150)"},
        {0, 175, 0x202020, "up outline, left column"},
        {4, 145, 0x202020, "wick above the body (high 1,060 at row 140)"},
        {4, 209, 0x202020, "wick's last pixel (low 990 at row 210 is not drawn)"},
        {4, 210, 0xFCFCFC, "below the wick"},
        {12, 175, 0xFF0000, "down body (open 1,050, close 1,010)"},
        {20, 185, 0x0000FF, "third bar: an up body"},
        {8, 50, 0x00C000, "analysis line at 1,150 (row 50), between the first two centres"},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(png.pixel(p.x, p.y) & 0xFFFFFF, rgbOf(p.colour) & 0xFFFFFF)
            << p.what << " at (" << p.x << ", " << p.y << "): got " << std::hex << png.pixel(p.x, p.y);
}

TEST(QtChartRender, JapaneseTextUsesTheJapaneseFont) {
    app();
    QFont font = framework::ui::makeFont({"メイリオ", 9, 500}, 96);
    EXPECT_EQ(font.families(), (QStringList{"メイリオ", "Meiryo", "Noto Sans CJK JP"}));
    EXPECT_EQ(font.pixelSize(), 12);
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        framework::ui::QtCanvas canvas(image);
        canvas.setFont({"メイリオ", 9, 500});
        canvas.setTextColor(0);
        EXPECT_GT(canvas.measureText("日経平均").width, 30);
        canvas.drawText({0, 0, 120, 40}, "日経平均", framework::TextFormat::singleLine(framework::TextAlign::Left));
    }
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);  // glyphs, not empty boxes or nothing
}

}  // namespace
}  // namespace tavora::chart
