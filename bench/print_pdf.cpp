// Printing a 10-year day chart: every sheet (about 20, two cells a bar, upright A4) written as
// a PDF file, as `tavora-cli print` and the dialog's PDF button do; and one sheet of the
// preview. Run with --benchmark_repetitions=N --benchmark_report_aggregates_only=true for
// medians.
#include "BenchGuiApp.h"
#include "framework/ui/QtPlatform.h"
#include "printing/PrintSnapshot.h"
#include "printing/SheetDrawing.h"
#include "printing/ui/SheetOutput.h"
#include "support/RandomWalkBars.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace tavora;

// 2,450 weekdays (ten years) of a random walk around 20,000 yen, taken as the dialog takes it.
printing::PrintSnapshot tenYears() {
    static market::KeisenList bars;
    static const market::DateList weeks({2026, 12, 1});
    if (bars.empty())
        test::buildRandomWalkDayBars(bars, 2450, 11);
    chart::GraphViewState day = chart::makeViewState(market::ChartPeriod::Day, "2026-12-01");
    day.bars = &bars;
    day.weeks = &weeks;
    day.grid_yen = 2000;
    const chart::TitleText title{"0001", "日経平均株価", "東証指数", "指数"};
    return printing::takeSnapshot({&day, nullptr, nullptr, nullptr}, &title);
}

printing::SheetInput inputFor(const printing::PrintSnapshot& snap, bool printing) {
    printing::PrintChoices c;
    c.step = 2000;
    c.lowest = 10000;
    return printing::makeSheetInput(snap, c, printing);
}

void BM_PdfTenYearDayChart(benchmark::State& state) {
    bench::guiApp();
    const printing::PrintSnapshot snap = tenYears();
    const printing::SheetInput in = inputFor(snap, true);
    const auto path = std::filesystem::temp_directory_path() / "tavora-bench-print.pdf";
    int pages = 0;
    for (auto _ : state) {
        const auto result = printing::ui::writeSheetsPdf(path.string(), in, "日経平均株価日足");
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        pages = result.pages;
    }
    state.counters["pages"] = pages;
    state.counters["bytes"] = double(std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0);
    std::filesystem::remove(path);
}
BENCHMARK(BM_PdfTenYearDayChart)->Unit(benchmark::kMillisecond);

void BM_PreviewSheet(benchmark::State& state) {
    bench::guiApp();
    const printing::PrintSnapshot snap = tenYears();
    const printing::SheetInput in = inputFor(snap, false);
    for (auto _ : state) {
        QImage image = printing::ui::renderSheetImage(in, 10);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewSheet)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
