// The analysis part of opening a code: graph lists built over a bar list and the five
// Ichimoku computations run over it, for day-sized lists of 2,500 to 40,000 bars.
#include "analysis/BunsekiGraphList.h"
#include "analysis/GraphKeisan.h"
#include "analysis/ValueText.h"
#include "market/Keisen.h"
#include "support/IchimokuDefinitions.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

using namespace tavora;

namespace {

// A random walk with decimal prices (the harder case for "%.2f"), plus 250 future days.
void fillBars(market::KeisenList& bars, int priced) {
    bars.reset();
    bars.reserve(static_cast<std::size_t>(priced) + 250);
    for (int i = 0; i < 250; ++i)
        bars.append();
    double price = 1000.0;
    unsigned seed = 1;
    for (int i = 0; i < priced; ++i) {
        seed = seed * 1664525u + 1013904223u;
        price = std::max(10.0, price + (static_cast<int>(seed >> 16) % 2001 - 1000) / 100.0);
        auto& b = bars.append();
        b.open = price;
        b.high = price + (seed % 700) / 100.0;
        b.low = price - (seed % 500) / 100.0;
        b.close = price + (seed % 300) / 100.0 - 1.5;
    }
}

void BM_AnalysisRun(benchmark::State& state) {
    const auto defs = test::ichimokuDefinitions();
    market::KeisenList bars;
    fillBars(bars, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (auto& b : bars)
            b.analysis.clear();
        analysis::BunsekiGraphListList graphs;
        analysis::GraphKeisanList keisan;
        analysis::CreateBunsekiGraphLists(bars, defs, graphs);
        analysis::CreateGraphKeisanList(keisan, graphs);
        analysis::RunGraphKeisan(bars, keisan);
        benchmark::DoNotOptimize(graphs[0].value(300));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AnalysisRun)->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMicrosecond)->Complexity();

void BM_FormatValue2(benchmark::State& state) {
    double v = 1234.565;
    char buf[analysis::kValueTextSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(analysis::FormatValue2(v, buf, sizeof buf - 1));
        v += 0.005;
    }
}
BENCHMARK(BM_FormatValue2);

void BM_Snprintf2(benchmark::State& state) {
    double v = 1234.565;
    char buf[analysis::kValueTextSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.2f", v));
        v += 0.005;
    }
}
BENCHMARK(BM_Snprintf2);

} // namespace

BENCHMARK_MAIN();
