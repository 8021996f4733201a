// End-to-end registration speed of price CSV files: 250 KABU+ daily all-stock files of 4,000
// codes each (CP932, the real column layout, "-" for codes without trades), read through the
// default mapping and stored one all-or-nothing bulk write per file, into an empty database
// and into one that already holds the year before. BM_ParseMap measures the reading and
// mapping alone (no database).
#include "BenchScratch.h"
#include "PriceYear.h"
#include "csv/PriceRegistration.h"
#include "framework/CsvReader.h"
#include "framework/Dates.h"
#include "framework/Encoding.h"
#include "framework/Progress.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"
#include "support/KabuPlusFiles.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;
using namespace tavora;
using bench::removePriceDb;

namespace {

constexpr int kDays = 250;
constexpr int kCodes = 4000;
constexpr int kNoTradeEvery = 50; // one code in fifty without trades: stored with zeros

const fs::path& benchDir() {
    return tavora::bench::scratchFolder("csv");
}

std::string dayDate(int year, int day) {
    // Weekdays from the first Monday of the year on.
    long long first = framework::daysFromCivil(year, 1, 1);
    for (;;) {
        const auto ymd = framework::civilFromDays(first);
        if (framework::dayOfWeek(ymd.year, ymd.month, ymd.day) == 1)
            break;
        ++first;
    }
    const long long d = first + day / 5 * 7 + day % 5;
    return framework::formatDate(framework::civilFromDays(d));
}

// The day files of a year in the import folder, made once.
const std::vector<fs::path>& dayFiles(int year) {
    static std::map<int, std::vector<fs::path>> made;
    auto& files = made[year];
    if (!files.empty())
        return files;
    const fs::path dir = benchDir() / ("csv" + std::to_string(year));
    fs::create_directories(dir);
    for (int d = 0; d < kDays; ++d) {
        const std::string date = dayDate(year, d);
        const fs::path path =
            dir / ("japan-all-stock-prices_" + framework::RemoveHyfunCarender(date) + ".csv");
        std::ofstream(path, std::ios::binary) << test::kabuPlusDayFile(date, kCodes, d, kNoTradeEvery);
        files.push_back(path);
    }
    return files;
}

csv::RegistrationResult registerYear(const fs::path& dbDir, int year) {
    csv::RegistrationRequest request;
    request.files = dayFiles(year);
    request.priceDbDir = dbDir.string();
    framework::NullProgress quiet;
    return csv::registerPriceFiles(request, quiet);
}

const fs::path& filledTemplate() {
    static const fs::path dir = [] {
        fs::path d = benchDir() / "template";
        fs::create_directories(d);
        removePriceDb(d);
        registerYear(d, 2025);
        return d;
    }();
    return dir;
}

void run(benchmark::State& state, bool filled) {
    const fs::path dir = benchDir() / (filled ? "filled" : "empty");
    fs::create_directories(dir);
    dayFiles(2026);
    if (filled)
        filledTemplate();
    std::int64_t stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removePriceDb(dir);
        if (filled)
            fs::copy_file(filledTemplate() / market::kPriceDbFileName, dir / market::kPriceDbFileName);
        state.ResumeTiming();
        const auto result = registerYear(dir, 2026);
        if (!result.ok())
            state.SkipWithError("a file was not registered");
        stored += static_cast<std::int64_t>(result.rowsStored);
    }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(stored), benchmark::Counter::kIsRate);
    removePriceDb(dir);
}

void BM_RegisterIntoEmpty(benchmark::State& state) {
    run(state, false);
}
void BM_RegisterIntoFilled(benchmark::State& state) {
    run(state, true);
}

void BM_ParseMap(benchmark::State& state) {
    const auto& files = dayFiles(2026);
    const csv::CsvMapping mapping;
    std::int64_t rows = 0;
    for (auto _ : state) {
        for (const auto& path : files) {
            auto parsed = csv::readPriceCsv(path, mapping);
            rows += static_cast<std::int64_t>(parsed.rows.size());
            benchmark::DoNotOptimize(parsed);
        }
    }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

// The stages of reading one day file, over 25 files held in memory: decoding CP932, splitting
// into cells, mapping the cells to price rows.
std::vector<std::string> someFileBytes() {
    std::vector<std::string> bytes;
    const auto& files = dayFiles(2026);
    for (std::size_t i = 0; i < 25; ++i) {
        std::ifstream in(files[i], std::ios::binary);
        bytes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
}

void BM_StageDecode(benchmark::State& state) {
    const auto files = someFileBytes();
    std::int64_t rows = 0;
    for (auto _ : state)
        for (const auto& bytes : files) {
            benchmark::DoNotOptimize(framework::ConvSJIStoUTF(bytes));
            rows += kCodes;
        }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_StageSplit(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const auto& bytes : someFileBytes())
        texts.push_back(framework::ConvSJIStoUTF(bytes).text);
    std::int64_t rows = 0;
    for (auto _ : state)
        for (const auto& text : texts) {
            auto csv = framework::ParseCsvText(text, ',', '"');
            rows += static_cast<std::int64_t>(csv.rows.size());
            benchmark::DoNotOptimize(csv);
        }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_StageMap(benchmark::State& state) {
    std::vector<framework::ZStringListX> split;
    for (const auto& bytes : someFileBytes())
        split.push_back(framework::ParseCsvText(framework::ConvSJIStoUTF(bytes).text, ',', '"').rows);
    const csv::CsvMapping mapping;
    std::int64_t rows = 0;
    for (auto _ : state)
        for (const auto& cells : split) {
            auto parsed = csv::mapPriceRows(cells, mapping);
            rows += static_cast<std::int64_t>(parsed.rows.size());
            benchmark::DoNotOptimize(parsed);
        }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_StageDecode)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_StageSplit)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_StageMap)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_ParseMap)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_RegisterIntoEmpty)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_RegisterIntoFilled)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv) {
    return tavora::bench::runThenRemove(argc, argv, benchDir());
}
