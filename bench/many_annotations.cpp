// A chart document with 300,000 annotations on one code's day chart, as `tavora-cli render
// --document` meets it: the file read and the code's elements loaded (Open), then the full paint
// of a 1600 x 900 chart of 10,000 bars with them, once with the elements spread over the whole
// history (a few hundred in view) and once with every one of them in view. Reading scales with
// the document; painting with what is in view.
#include "BenchGuiApp.h"
#include "BenchScratch.h"
#include "annotations/CodeAnnotations.h"
#include "annotations/DocumentFile.h"
#include "annotations/DocumentHistory.h"
#include "annotations/WorkingDocument.h"
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

constexpr int kElements = 300000;
constexpr const char* kKinds[] = {"LineElm", "TextElm", "RangeTimeElm", "TakayasuElm"};

struct Chart {
    market::KeisenList bars;
    market::DateList weeks{{2026, 12, 1}};
    chart::GraphViewState vs = chart::makeViewState(market::ChartPeriod::Day, "2026-12-01");

    Chart() {
        test::buildRandomWalkDayBars(bars, 10000, 11);
        vs.bars = &bars;
        vs.weeks = &weeks;
        vs.x_haba_p = 5;
        vs.y_ichimemori = 2;
        chart::scaleNewSeries(vs, 0);
        chart::positionAfterLoad(vs, 1600, 900);
    }
};

Chart& chartData() {
    static Chart chart;
    return chart;
}

// A document of kElements rows for code 0001's day chart, written once into the scratch
// folder. `inView`: every element starts on one of the bars in view; else anywhere.
const std::string& documentFile(bool inView) {
    static std::string files[2];
    std::string& file = files[inView ? 1 : 0];
    if (!file.empty())
        return file;
    Chart& chart = chartData();
    const int count = chart::barCount(chart.vs);
    const int first = inView ? chart.vs.start_bar : 1;
    const int last = inView ? std::min(count - 10, chart.vs.start_bar + 250) : count - 10;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(first, last);
    std::vector<annotations::GraphCtrlRow> rows;
    rows.reserve(kElements);
    for (int i = 1; i <= kElements; ++i) {
        const int k = pick(rng);
        annotations::GraphCtrlRow r;
        r.id = i;
        r.classname = kKinds[i % 4];
        r.kikan = market::ChartPeriod::Day;
        r.code = "0001";
        r.date = chart::barByNumber(chart.vs, k)->date;
        r.enddate = chart::barByNumber(chart.vs, k + 8)->date;
        r.str = i % 4 == 1 ? "押し目買い" : "";
        r.daycount = "9";
        r.range_y = -20;
        rows.push_back(std::move(r));
    }
    auto doc = annotations::WorkingDocument::createEmpty();
    doc.recordStep(rows);
    file = (bench::scratchFolder("many_annotations") / (inView ? "inview.tvrd" : "spread.tvrd")).string();
    annotations::writeDocument(file, doc, {});
    return file;
}

// The render's path up to the paint: the file read and the code's elements made.
void loadElements(const std::string& file, annotations::CodeAnnotations& lists) {
    annotations::ChartDocument document;
    document.working = annotations::readDocument(file).document;
    lists.reset("0001");
    annotations::DocumentHistory(document).load(lists);
}

void BM_OpenManyAnnotations(benchmark::State& state) {
    const std::string& file = documentFile(false);
    for (auto _ : state) {
        annotations::CodeAnnotations lists;
        loadElements(file, lists);
        if (lists.list(market::ChartPeriod::Day).size() != std::size_t(kElements))
            state.SkipWithError("elements missing");
    }
}

// Arg 0: spread over the history; 1: all in view. Reports how many were drawn.
void BM_PaintManyAnnotations(benchmark::State& state) {
    bench::guiApp();
    Chart& chart = chartData();
    annotations::CodeAnnotations lists;
    loadElements(documentFile(state.range(0) == 1), lists);
    chart::ChartContent content;
    content.codeOpen = true;
    content.title = {"0001", "日経平均株価", "東証指数", "指数"};
    content.annotations = lists.list(market::ChartPeriod::Day).chartAnnotations();
    QImage image(1600, 900, QImage::Format_RGB32);
    chart::ChartPainter painter;
    for (auto _ : state) {
        framework::ui::QtCanvas canvas(image);
        painter.paintFull(canvas, chart.vs, content);
    }
    state.counters["drawn"] = double(painter.visible().all.size());
}

BENCHMARK(BM_OpenManyAnnotations)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaintManyAnnotations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return bench::runThenRemove(argc, argv, bench::scratchFolder("many_annotations"));
}
