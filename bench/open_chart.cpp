// Opening a code end to end: rows read from SQLite, the bundled Japanese calendar, two
// splits, four periods, the five default Ichimoku graphs and their computations; and the same
// with the lines of the editor's templates added (three moving averages and a Bollinger band
// of three formulas), to see what they cost on top.
// Arguments: number of day bars (about 250 per year).
#include "analysis/BunsekiProgram.h"
#include "analysis/BunsekiTemplates.h"
#include "chart/OpenChart.h"
#include "framework/Dates.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "support/IchimokuDefinitions.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using namespace tavora;

// A price database in a temporary directory holding `bars` weekdays of code "1234" that end on
// 2026-12-08, as a random walk (with the odd day without trade).
struct Fixture {
    std::filesystem::path dir;
    framework::ZSqlElement db;
    chart::OpenChartInput input;

    explicit Fixture(int bars) {
        dir = std::filesystem::temp_directory_path() /
              ("tavora_bench_open_" + std::to_string(::getpid()) + "_" + std::to_string(bars));
        std::filesystem::create_directories(dir);
        market::PriceDatabase::open(db, dir.string());
        std::vector<market::PriceRow> rows;
        rows.reserve(static_cast<std::size_t>(bars));
        std::mt19937 rng(42);
        std::normal_distribution<double> step(0.0, 0.015);
        double price = 1500;
        long long d = framework::daysFromCivil(2026, 12, 8);
        while (static_cast<int>(rows.size()) < bars) {
            const auto ymd = framework::civilFromDays(d--);
            if (framework::dayOfWeek(ymd.year, ymd.month, ymd.day) % 6 == 0)
                continue;
            price = std::max(1.0, price * std::exp(step(rng)));
            const double o = std::round(price * 10) / 10;
            market::PriceRow row{"1234",
                                 framework::formatDate(ymd),
                                 o,
                                 o * 1.01,
                                 o * 0.99,
                                 o * 1.003,
                                 static_cast<std::int64_t>(1000 + rng() % 100000)};
            if (rng() % 500 == 0)
                row.open = row.high = row.low = row.close = std::nullopt;
            rows.push_back(std::move(row));
        }
        // Stored oldest first, as a per-code import or the bundled samples store them.
        std::reverse(rows.begin(), rows.end());
        market::PriceDatabase(db).write(rows);
        input.priceDb = &db;
        input.code = "1234";
        input.calendarPath = std::string(TAVORA_DATA_DIR) + "/marketday/marketday_jpn.csv";
        input.definitions = test::ichimokuDefinitions();
        input.splits = {{rows[rows.size() / 3].date, "2"}, {rows[rows.size() / 5].date, "1.5"}};
    }
    ~Fixture() {
        framework::SQL_Close(db);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

void BM_OpenChart(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    std::size_t dayBars = 0;
    for (auto _ : state) {
        chart::ChartSeries s = chart::OpenChart(f.input);
        dayBars = s.period(market::ChartPeriod::Day).bars.size();
        benchmark::DoNotOptimize(s);
    }
    state.counters["day_bars"] = static_cast<double>(dayBars);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenChart)->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

// The five defaults plus 移動平均 5/25/75 and ボリンジャーバンド 20 (three formulas), compiled as
// loading the definitions compiles them.
void BM_OpenChartWithAverages(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    const auto templates = analysis::bunsekiTemplates();
    for (std::size_t t : {std::size_t(0), std::size_t(2)})
        for (const analysis::BunsekiRow& row : templates[t].rows) {
            analysis::BunsekiElement& e = f.input.definitions.CreateBunsekiElement();
            e.name = row[0];
            e.formula = row[5];
            e.kind = analysis::AtoiText(row[6]);
            e.param1 = row[7];
        }
    analysis::CompileBunsekiPrograms(f.input.definitions);
    std::size_t graphs = 0;
    for (auto _ : state) {
        chart::ChartSeries s = chart::OpenChart(f.input);
        graphs = s.period(market::ChartPeriod::Day).graphs.size();
        benchmark::DoNotOptimize(s);
    }
    state.counters["graphs"] = static_cast<double>(graphs);
}
BENCHMARK(BM_OpenChartWithAverages)->Arg(10000)->Unit(benchmark::kMillisecond);

// The rows alone, to see what reading SQLite costs of the whole.
void BM_LoadDayBars(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        market::KeisenList day;
        chart::LoadDayBars(f.db, "1234", day);
        benchmark::DoNotOptimize(day);
    }
}
BENCHMARK(BM_LoadDayBars)->Arg(10000)->Unit(benchmark::kMillisecond);

// Everything after the rows were read and the calendar applied (splits, periods, graph lists,
// computations).
void BM_BuildChartSeries(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    market::KeisenList loaded;
    chart::LoadDayBars(f.db, "1234", loaded);
    market::AppendMarketDays(loaded, f.input.calendarPath);
    for (auto _ : state) {
        state.PauseTiming();
        market::KeisenList day = loaded;
        state.ResumeTiming();
        chart::ChartSeries s;
        chart::BuildChartSeries(f.input, std::move(day), s);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_BuildChartSeries)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
