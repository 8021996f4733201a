// Taking the companion's price warehouse over: a companion database of 1,000,000 rows (250
// trading days of 4,000 codes) merged into an empty price database, and into one that already
// holds the first half of those days (half of the rows are then ignored).
#include "acquisition/CompanionMerge.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using tavora::framework::ZSqlElement;

namespace {

constexpr int kDays = 250;
constexpr int kCodes = 4000;

fs::path benchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("tavora_bench_merge_" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// Writes days [from, to) of every code with one prepared insert in one transaction.
void writeDays(ZSqlElement& db, const char* table, int from, int to) {
    tavora::framework::SQL_exec(db, "BEGIN;");
    tavora::framework::SqlStatement insert(db, std::string("INSERT OR IGNORE INTO ") + table +
                                                   " (code, date, open, high, low, close, volume) "
                                                   "VALUES (?,?,?,?,?,?,?);");
    char date[32];
    char code[16];
    for (int d = from; d < to; ++d) {
        std::snprintf(date, sizeof date, "2025-%02d-%02d", 1 + d / 21, 1 + d % 21);
        for (int c = 0; c < kCodes; ++c) {
            std::snprintf(code, sizeof code, "%d", 1300 + c * 2);
            const double base = 100.0 + c % 900 + d * 0.5;
            insert.bindText(1, code);
            insert.bindText(2, date);
            insert.bindDouble(3, base);
            insert.bindDouble(4, base + 3);
            insert.bindDouble(5, base - 2);
            insert.bindDouble(6, base + 1);
            insert.bindInt64(7, 1000 + c * 7 + d);
            insert.step();
            insert.reset();
        }
    }
    tavora::framework::SQL_exec(db, "COMMIT;");
}

const fs::path& companionFile() {
    static const fs::path file = [] {
        const fs::path f = benchDir() / "moravel.db";
        ZSqlElement db;
        tavora::framework::SQL_Open(db, f.string());
        tavora::framework::SQL_exec(db, "PRAGMA journal_mode=WAL;");
        tavora::framework::SQL_exec(
            db, "CREATE TABLE sync_kabukadb (code TEXT NOT NULL, date TEXT NOT NULL, open "
                "REAL, high REAL, low REAL, close REAL, volume INTEGER, PRIMARY "
                "KEY(code, date));");
        writeDays(db, "sync_kabukadb", 0, kDays);
        return f;
    }();
    return file;
}

// A price database holding the first `heldDays` days, as a template copied before each run.
fs::path priceTemplate(int heldDays) {
    const fs::path dir = benchDir() / ("template" + std::to_string(heldDays));
    if (!fs::exists(dir / tavora::market::kPriceDbFileName)) {
        fs::create_directories(dir);
        ZSqlElement db;
        tavora::market::PriceDatabase::open(db, dir.string());
        writeDays(db, "kabukadb", 0, heldDays);
    }
    return dir;
}

void BM_MergeCompanion(benchmark::State& state) {
    const int heldDays = static_cast<int>(state.range(0));
    const fs::path& companion = companionFile();
    const fs::path templ = priceTemplate(heldDays);
    const fs::path run = benchDir() / "run";
    std::int64_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(run);
        fs::create_directories(run);
        fs::copy_file(templ / tavora::market::kPriceDbFileName, run / tavora::market::kPriceDbFileName);
        ZSqlElement db;
        tavora::market::PriceDatabase::open(db, run.string());
        state.ResumeTiming();
        const auto result = tavora::acquisition::MergeMoravelWarehouse(db, companion.string());
        if (!result.ok())
            state.SkipWithError(result.error.c_str());
        added = result.rowsAdded;
    }
    state.counters["rows_added"] = static_cast<double>(added);
    state.counters["companion_rows_per_s"] =
        benchmark::Counter(double(kDays) * kCodes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MergeCompanion)->Arg(0)->Arg(kDays / 2)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(benchDir(), ec);
    return 0;
}
