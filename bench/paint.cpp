// Full and fast paint of a 1600 x 900 day chart of 10,000 bars with the five Ichimoku lines,
// through the Qt canvas on a QImage (the chart panel's path). Reports the time per paint;
// run with --benchmark_repetitions=N --benchmark_report_aggregates_only=true for medians.
#include "BenchGuiApp.h"
#include "analysis/BunsekiGraphList.h"
#include "analysis/GraphKeisan.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartPainter.h"
#include "framework/ui/QtCanvas.h"
#include "framework/ui/QtPlatform.h"
#include "market/DateList.h"
#include "support/RandomWalkBars.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace tavora;

struct Chart {
    market::KeisenList bars;
    analysis::BunsekiGraphListList graphs;
    analysis::GraphKeisanList keisan;
    market::DateList weeks{{2026, 12, 1}};
    chart::GraphViewState vs = chart::makeViewState(market::ChartPeriod::Day, "2026-12-01");
    chart::ChartContent content;

    Chart() {
        // 10,000 weekdays ending late 2026, a random walk around 20,000 yen.
        test::buildRandomWalkDayBars(bars, 10000, 7);
        analysis::BunsekiList definitions;
        struct Def {
            const char* name;
            std::uint32_t colour;
            int kind;
            const char* p1;
        };
        for (Def d :
             {Def{"転換線", 255, 1, "9"}, Def{"基準線", 16711680, 1, "26"}, Def{"遅行スパン", 32768, 2, "26"},
              Def{"先行スパン1", 36095, 3, "基準線"}, Def{"先行スパン2", 8388736, 4, "52"}}) {
            analysis::BunsekiElement& e = definitions.CreateBunsekiElement();
            e.name = d.name;
            e.colour = d.colour;
            e.kind = d.kind;
            e.param1 = d.p1;
        }
        analysis::CreateBunsekiGraphLists(bars, definitions, graphs);
        analysis::ResetGraphKeisan(bars, graphs, keisan);

        vs.bars = &bars;
        vs.graphs = &graphs;
        vs.weeks = &weeks;
        vs.x_haba_p = 5;
        vs.y_ichimemori = 2;
        chart::scaleNewSeries(vs, 0);
        chart::positionAfterLoad(vs, 1600, 900);
        content.codeOpen = true;
        content.title = {"0001", "日経平均株価", "東証指数", "指数"};
    }
};

Chart& chartData() {
    static Chart chart;
    return chart;
}

void paint(benchmark::State& state, bool full) {
    bench::guiApp();
    Chart& chart = chartData();
    QImage image(1600, 900, QImage::Format_RGB32);
    QImage clean(1600, 900, QImage::Format_RGB32);
    chart::ChartPainter painter;
    for (auto _ : state) {
        framework::ui::QtCanvas canvas(image, &clean);
        if (full)
            painter.paintFull(canvas, chart.vs, chart.content);
        else
            painter.paintFast(canvas, chart.vs, chart.content);
    }
    if (state.thread_index() == 0 && full && std::getenv("BENCH_PAINT_PNG"))
        image.save(QString::fromLocal8Bit(std::getenv("BENCH_PAINT_PNG")));
}

void BM_FullPaint(benchmark::State& state) {
    paint(state, true);
}
void BM_FastPaint(benchmark::State& state) {
    paint(state, false);
}

BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FastPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
