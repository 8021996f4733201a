// Bulk registration speed of the price database: 1,000,000 rows (250 trading days of 4,000
// codes, the shape of a year of KABU+ daily files) written with PriceBulkWriter into an
// empty database and into one that already holds another year of the same codes.
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using tavora::framework::ZSqlElement;
using tavora::market::PriceBulkWriter;
using tavora::market::PriceDatabase;
using tavora::market::PriceRow;

namespace {

constexpr int kDays = 250;
constexpr int kCodes = 4000;
constexpr std::int64_t kRows = std::int64_t{kDays} * kCodes;

fs::path benchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("tavora_bench_bulk_" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// Day files in date order, codes ascending within a day, as the registration feeds them.
std::int64_t writeYear(ZSqlElement& db, int year) {
    PriceBulkWriter writer(db, {.expectedRows = static_cast<std::size_t>(kRows)});
    char date[16];
    char code[8];
    PriceRow row;
    for (int d = 0; d < kDays; ++d) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, 1 + d / 21, 1 + d % 21);
        row.date = date;
        for (int c = 0; c < kCodes; ++c) {
            std::snprintf(code, sizeof code, "%d", 1300 + c * 2);
            row.code = code;
            const double base = 100.0 + c % 900 + d * 0.5;
            row.open = base;
            row.high = base + 3;
            row.low = base - 2;
            row.close = base + 1;
            row.volume = 1000 + c * 7 + d;
            writer.add(row);
        }
    }
    auto result = writer.finish();
    return result.committed ? static_cast<std::int64_t>(result.rowsWritten) : 0;
}

void removeDb(const fs::path& dir) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        fs::remove(dir / (std::string("kabuka.db") + suffix));
}

// A database holding the year before, made once and copied for every iteration.
const fs::path& filledTemplate() {
    static const fs::path dir = [] {
        fs::path d = benchDir() / "template";
        fs::create_directories(d);
        removeDb(d);
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
        removeDb(dir);
        if (filled)
            fs::copy_file(filledTemplate() / "kabuka.db", dir / "kabuka.db");
        ZSqlElement db;
        PriceDatabase::open(db, dir.string());
        state.ResumeTiming();
        written += writeYear(db, 2026);
    }
    if (written != kRows * static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("the bulk write did not commit every row");
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
    removeDb(dir);
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(benchDir(), ec);
    return 0;
}
