#pragma once
// The scratch folder of a benchmark program and its main: run the benchmarks, then remove it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace tavora::bench {

// This run's scratch folder "tavora_bench_NAME_PID" under the temporary folder, made on first
// use (one per program: the first name asked for).
inline const std::filesystem::path& scratchFolder(const std::string& name) {
    static const std::filesystem::path dir = [&] {
        auto d = std::filesystem::temp_directory_path() / ("tavora_bench_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// Runs the benchmarks the command line selects and removes `dir` afterwards.
inline int runThenRemove(int argc, char** argv, const std::filesystem::path& dir) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}

} // namespace tavora::bench
