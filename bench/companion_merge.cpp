// Taking the companion's price warehouse over: a companion database of 1,000,000 rows (250
// trading days of 4,000 codes) merged into an empty price database, and into one that already
// holds the first half of those days (half of the rows are then ignored).
#include "BenchScratch.h"
#include "PriceYear.h"
#include "acquisition/CompanionMerge.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using tavora::framework::ZSqlElement;

namespace {

constexpr int kDays = tavora::bench::kYearDays;
constexpr int kYear = 2025;

const fs::path& benchDir() {
    return tavora::bench::scratchFolder("merge");
}

// The companion's database: the benchmark year in its table `sync_kabukadb`, in WAL mode as a
// running companion keeps it.
const fs::path& companionFile() {
    static const fs::path file = [] {
        const fs::path dir = benchDir() / "moravel";
        fs::create_directories(dir);
        ZSqlElement db;
        tavora::market::PriceDatabase::open(db, dir.string());
        tavora::bench::writePriceYear(db, kYear);
        tavora::framework::SQL_exec(db, "ALTER TABLE kabukadb RENAME TO sync_kabukadb;");
        tavora::framework::SQL_exec(db, "PRAGMA journal_mode=WAL;");
        return dir / tavora::market::kPriceDbFileName;
    }();
    return file;
}

// A price database holding the year's first `heldDays` days, as a template copied before each run.
fs::path priceTemplate(int heldDays) {
    const fs::path dir = benchDir() / ("template" + std::to_string(heldDays));
    if (!fs::exists(dir / tavora::market::kPriceDbFileName)) {
        fs::create_directories(dir);
        ZSqlElement db;
        tavora::market::PriceDatabase::open(db, dir.string());
        tavora::bench::writePriceYear(db, kYear);
        char firstDropped[32]; // the date of day `heldDays`, as writePriceYear numbers the days
        std::snprintf(firstDropped, sizeof firstDropped, "%04d-%02d-%02d", kYear, 1 + heldDays / 21,
                      1 + heldDays % 21);
        tavora::framework::SqlStatement drop(db, "DELETE FROM kabukadb WHERE date >= ?;");
        drop.bindText(1, firstDropped);
        drop.step();
        drop.reset();
        tavora::framework::SQL_exec(db, "VACUUM;");
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
            state.SkipWithError(result.outcome.english().c_str());
        added = result.rowsAdded;
    }
    state.counters["rows_added"] = static_cast<double>(added);
    state.counters["companion_rows_per_s"] =
        benchmark::Counter(double(tavora::bench::kYearRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MergeCompanion)->Arg(0)->Arg(kDays / 2)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return tavora::bench::runThenRemove(argc, argv, benchDir());
}
