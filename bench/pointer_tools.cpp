// One frame of the cross cursor (the clean copy restored, the cross, date and price, the bar
// read-out) and of the snap label with a hover test, on a 1600 x 900 day chart of 10,000 bars
// carrying 1,000 annotations of every kind in view, through the Qt canvas on a QImage (the plot
// area's path). Also the full paint of that chart with its annotations. Time per frame.
#include "BenchGuiApp.h"
#include "annotations/GraphDrawList.h"
#include "annotations/LineElm.h"
#include "annotations/PointerTools.h"
#include "annotations/RangeNedanElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartPainter.h"
#include "framework/ui/QtCanvas.h"
#include "framework/ui/QtPlatform.h"
#include "market/DateList.h"
#include "support/RandomWalkBars.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace tavora;

struct NullHost : annotations::PointerToolHost {
    void repaintFull() override {}
    void scrollStep(int, int) override {}
    void recordStep(std::vector<annotations::GraphDrawElement*>) override {}
    void openMemo(annotations::MemoElm&) override {}
    void requestCode() override {}
    void showEditor(const annotations::EditorRequest&) override {}
    void hideEditor() override {}
    std::string editorText() const override { return {}; }
    bool editorHasFocus() const override { return false; }
    int titleBottom() const override { return 40; }
};

struct Chart {
    market::KeisenList bars;
    market::DateList weeks{{2026, 12, 1}};
    chart::GraphViewState vs = chart::makeViewState(market::ChartPeriod::Day, "2026-12-01");
    chart::ChartContent content;
    annotations::GraphDrawList list;

    Chart() {
        test::buildRandomWalkDayBars(bars, 10000, 11);
        for (market::KeisenElm& bar : bars)
            bar.analysis = "転換線 " + bar.closeText() + "\r\n基準線 " + bar.openText() + "\r\n";
        vs.bars = &bars;
        vs.weeks = &weeks;
        vs.x_haba_p = 5;
        vs.y_ichimemori = 2;
        chart::scaleNewSeries(vs, 0);
        chart::positionAfterLoad(vs, 1600, 900);
        content.codeOpen = true;
        content.title = {"0001", "日経平均株価", "東証指数", "指数"};

        // 1,000 annotations on the bars in view, every kind in turn.
        list.reset("0001");
        const int first = vs.start_bar;
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> pick(first, std::min(chart::barCount(vs) - 10, first + 300));
        for (int i = 0; i < 1000; ++i) {
            const int k = pick(rng);
            const std::string& date = chart::barByNumber(vs, k)->date;
            const std::string& later = chart::barByNumber(vs, k + 8)->date;
            switch (i % 6) {
            case 0: {
                auto& e = list.createLine();
                e.SetDate(date);
                e.SetEndDate(later);
                e.range_y = -20;
                break;
            }
            case 1: {
                auto& e = list.createText();
                e.SetDate(date);
                e.str = "押し目買い\r\n様子見";
                break;
            }
            case 2:
                list.createMemo().SetDate(date);
                break;
            case 3:
                list.createTakayasu().SetDate(date);
                break;
            case 4: {
                auto& e = list.createRangeTime();
                e.SetDate(date);
                e.daycount = "9";
                break;
            }
            default: {
                auto& e = list.createRangeNedan();
                e.SetDate(date);
                e.startdate = date;
                e.owaridate = later;
                e.SetEndDate(later);
                e.endyonhonne = 3;
                break;
            }
            }
        }
        content.annotations = list.chartAnnotations();
    }
};

Chart& chartData() {
    static Chart chart;
    return chart;
}

struct Frame {
    QImage image{1600, 900, QImage::Format_RGB32};
    QImage clean{1600, 900, QImage::Format_RGB32};
    chart::ChartPainter painter;
    NullHost host;
    annotations::PointerTools tools;

    explicit Frame(Chart& chart) : tools(chart.vs, host) {
        {
            framework::ui::QtCanvas canvas(image, &clean);
            painter.paintFull(canvas, chart.vs, chart.content);
        }
        tools.setList(&chart.list);
        tools.setVisible(painter.visible());
        tools.setClientSize({1600, 900});
    }
};

void BM_CrossCursorFrame(benchmark::State& state) {
    bench::guiApp();
    Chart& chart = chartData();
    Frame frame(chart);
    chart.vs.tools.clear();
    chart.vs.tools.cross = true;
    int i = 0;
    for (auto _ : state) {
        framework::ui::QtCanvas canvas(frame.image, &frame.clean);
        // A different position every frame (an equal one would not be drawn).
        frame.tools.onMotion(canvas, 200 + (i % 1000), 300 + (i % 400));
        ++i;
    }
}

void BM_SnapLabelAndHoverFrame(benchmark::State& state) {
    bench::guiApp();
    Chart& chart = chartData();
    Frame frame(chart);
    chart.vs.tools.clear();
    chart.vs.tools.select = true;
    int i = 0;
    for (auto _ : state) {
        framework::ui::QtCanvas canvas(frame.image, &frame.clean);
        frame.tools.onMotion(canvas, 200 + (i % 1000), 300 + (i % 400));
        ++i;
    }
}

void BM_FullPaintWithAnnotations(benchmark::State& state) {
    bench::guiApp();
    Chart& chart = chartData();
    Frame frame(chart);
    for (auto _ : state) {
        framework::ui::QtCanvas canvas(frame.image, &frame.clean);
        frame.painter.paintFull(canvas, chart.vs, chart.content);
    }
}

BENCHMARK(BM_CrossCursorFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SnapLabelAndHoverFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FullPaintWithAnnotations)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
