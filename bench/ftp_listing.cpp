// Parsing of server directory listings: entries per second for a large listing (the reference
// tree holds a few hundred files; the update list a dozen; 16 MiB is the accepted maximum).
#include "framework/FtpFileList.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <string>

namespace {

std::string makeListing(int entries) {
    std::string listing;
    char line[128];
    for (int i = 0; i < entries; ++i) {
        if (i % 3 == 0)
            std::snprintf(line, sizeof line,
                          "-rw-r--r--    1 0        0         %7d Jan 15  2025 %08d.csv\r\n", i * 7, i);
        else
            std::snprintf(line, sizeof line,
                          "-rw-r--r--    1 0        0         %7d Dec 09 23:32 %08d.csv\r\n", i * 7, i);
        listing += line;
    }
    return listing;
}

void BM_SetFtpFileList(benchmark::State& state) {
    const std::string listing = makeListing(static_cast<int>(state.range(0)));
    const std::time_t now = std::time(nullptr);
    for (auto _ : state) {
        auto list = tavora::framework::SetFtpFileList(listing, now);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<long>(listing.size()));
}
BENCHMARK(BM_SetFtpFileList)->Arg(1000)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
