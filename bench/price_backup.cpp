// Backup of a price database of 1,000,000 rows (a year of 4,000 codes) through SQLite's online
// backup, as CreatePriceBackup makes it, against a plain copy of the same file.
#include "PriceYear.h"
#include "acquisition/PriceBackup.h"
#include "framework/Files.h"
#include "framework/FolderSwap.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tavora;

namespace {

const fs::path g_dir = fs::temp_directory_path() / ("tavora_bench_backup_" + std::to_string(::getpid()));

// Removes the bench's files at exit.
struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        fs::remove_all(g_dir, ec);
    }
} g_cleanup;

const fs::path& benchDir() {
    return g_dir;
}

// data/kabukadb/kabuka.db with 1,000,000 rows, made once.
const acquisition::PriceBackupPlaces& places() {
    static const acquisition::PriceBackupPlaces p = [] {
        acquisition::PriceBackupPlaces made{(benchDir() / "kabukadb").string(),
                                            (benchDir() / "buckup").string()};
        fs::create_directories(made.priceDbDir);
        framework::ZSqlElement db;
        market::PriceDatabase::open(db, made.priceDbDir);
        bench::writePriceYear(db, 2025);
        return made;
    }();
    return p;
}

void BM_OnlineBackup(benchmark::State& state) {
    const auto& p = places();
    framework::NullProgress quiet;
    auto when = std::chrono::system_clock::now();
    for (auto _ : state) {
        when += std::chrono::seconds(1);
        const auto result = acquisition::CreatePriceBackup(p, quiet, nullptr, when);
        if (!result.ok())
            state.SkipWithError(result.outcome.english().c_str());
    }
    state.counters["db_MiB"] =
        static_cast<double>(fs::file_size(fs::path(p.priceDbDir) / "kabuka.db")) / (1 << 20);
}
BENCHMARK(BM_OnlineBackup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same bytes copied as a file (what copying the folder by hand costs), flushed to disk
// as the backup is.
void BM_PlainFileCopy(benchmark::State& state) {
    const auto& p = places();
    const fs::path target = benchDir() / "copy.db";
    for (auto _ : state) {
        fs::copy_file(fs::path(p.priceDbDir) / "kabuka.db", target, fs::copy_options::overwrite_existing);
        framework::SyncZPath(target);
    }
}
BENCHMARK(BM_PlainFileCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
