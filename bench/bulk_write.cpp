// Bulk registration speed of the price database: 1,000,000 rows (250 trading days of 4,000
// codes, the shape of a year of KABU+ daily files) written with PriceBulkWriter into an
// empty database and into one that already holds another year of the same codes.
#include "BenchScratch.h"
#include "PriceYear.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using tavora::framework::ZSqlElement;
using tavora::bench::removePriceDb;
using tavora::market::PriceDatabase;

namespace {

constexpr std::int64_t kRows = tavora::bench::kYearRows;

const fs::path& benchDir() {
    return tavora::bench::scratchFolder("bulk");
}

std::int64_t writeYear(ZSqlElement& db, int year) {
    return tavora::bench::writePriceYear(db, year);
}

// A database holding the year before, made once and copied for every iteration.
const fs::path& filledTemplate() {
    static const fs::path dir = [] {
        fs::path d = benchDir() / "template";
        fs::create_directories(d);
        removePriceDb(d);
        ZSqlElement db;
        PriceDatabase::open(db, d.string());
        writeYear(db, 2025);
        return d;
    }();
    return dir;
}

void run(benchmark::State& state, bool filled) {
    const fs::path dir = benchDir() / (filled ? "filled" : "empty");
    fs::create_directories(dir);
    std::int64_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removePriceDb(dir);
        if (filled)
            fs::copy_file(filledTemplate() / tavora::market::kPriceDbFileName, dir / tavora::market::kPriceDbFileName);
        ZSqlElement db;
        PriceDatabase::open(db, dir.string());
        state.ResumeTiming();
        written += writeYear(db, 2026);
    }
    if (written != kRows * static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("the bulk write did not commit every row");
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
    removePriceDb(dir);
}

void BM_BulkWriteEmpty(benchmark::State& state) {
    run(state, false);
}
void BM_BulkWriteFilled(benchmark::State& state) {
    run(state, true);
}

} // namespace

BENCHMARK(BM_BulkWriteEmpty)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_BulkWriteFilled)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv) {
    return tavora::bench::runThenRemove(argc, argv, benchDir());
}
