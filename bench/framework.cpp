// Framework helpers on the paths that run per bar or per file: the week key of every bar of a
// long series, and the CSV reader on a KABU+-sized daily file (about 4,000 rows x 20 columns).
#include "framework/CsvReader.h"
#include "framework/Dates.h"
#include "framework/Encoding.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

using namespace tavora::framework;

namespace {

// A daily all-stock file: code, name (Japanese), market, sector, date, prices, volume, ...
std::string dailyFile(bool cp932) {
    std::string out = "code,name,market,sector,time,price,change,rate,prev,open,high,low,vwap,volume,"
                      "turnover,cap,lower,upper,ytdhigh,ytdlow\r\n";
    char line[512];
    for (int i = 0; i < 4000; ++i) {
        std::snprintf(line, sizeof line,
                      "%d,\"株式会社テスト%d\",東証プライム,電気機器,2026/12/09 15:00,%d.0,-12,-0.52,"
                      "2310,2301,2350,2290,2320.55,%d,1234567890,98765432100,1800,2800,2900,1500\r\n",
                      1300 + i, i, 2300 + i % 50, 100000 + i * 7);
        out += line;
    }
    return cp932 ? ConvUTFtoSJIS(out).text : out;
}

void BM_ParseDailyFileCp932(benchmark::State& state) {
    const std::string bytes = dailyFile(true);
    for (auto _ : state) {
        CsvResult r = ParseCsvBytes(bytes, CsvEncoding::ShiftJis, ',');
        benchmark::DoNotOptimize(r.rows.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseDailyFileCp932)->Unit(benchmark::kMillisecond);

void BM_ParseDailyFileUtf8(benchmark::State& state) {
    const std::string bytes = dailyFile(false);
    for (auto _ : state) {
        CsvResult r = ParseCsvBytes(bytes, CsvEncoding::Utf8, ',');
        benchmark::DoNotOptimize(r.rows.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseDailyFileUtf8)->Unit(benchmark::kMillisecond);

// 10,000 consecutive days, as the week aggregation asks for them.
void BM_WeekKey10000Bars(benchmark::State& state) {
    const long long first = daysFromCivil(1990, 1, 1);
    std::vector<YmdDate> dates;
    for (int i = 0; i < 10000; ++i)
        dates.push_back(civilFromDays(first + i));
    for (auto _ : state) {
        int sum = 0;
        for (const auto& d : dates)
            sum += weekKey(d.year, d.month, d.day);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WeekKey10000Bars)->Unit(benchmark::kMicrosecond);

// The libc way (mktime + strftime "%W") for comparison.
void BM_WeekKeyLibc10000Bars(benchmark::State& state) {
    const long long first = daysFromCivil(1990, 1, 1);
    std::vector<YmdDate> dates;
    for (int i = 0; i < 10000; ++i)
        dates.push_back(civilFromDays(first + i));
    for (auto _ : state) {
        int sum = 0;
        for (const auto& d : dates) {
            std::tm tm{};
            tm.tm_year = d.year - 1900;
            tm.tm_mon = d.month - 1;
            tm.tm_mday = d.day;
            tm.tm_isdst = -1;
            std::mktime(&tm);
            char buf[8];
            std::strftime(buf, sizeof buf, "%W", &tm);
            sum += std::atoi(buf);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WeekKeyLibc10000Bars)->Unit(benchmark::kMicrosecond);

// Database text that needs the CP932 fallback (one iconv descriptor per call).
void BM_TextFromDatabaseCp932(benchmark::State& state) {
    const std::string name = ConvUTFtoSJIS("株式会社テスト").text;
    for (auto _ : state)
        benchmark::DoNotOptimize(textFromDatabase(name));
}
BENCHMARK(BM_TextFromDatabaseCp932);

} // namespace

BENCHMARK_MAIN();
