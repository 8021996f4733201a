// Chart documents: a save (the state read from the history on the UI thread, then the file
// written by the worker) and an open of a document with 10,000 elements (ten codes of 1,000,
// the six kinds in turn, all four periods), and the undo/redo reload of one code's 1,000
// elements with 100 steps recorded on top.
#include "annotations/DocumentFile.h"
#include "annotations/WorkingDocument.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace tavora;
using annotations::GraphCtrlRow;
using annotations::WorkingDocument;

constexpr const char* kKinds[] = {"LineElm", "TextElm", "MemoElm", "TakayasuElm", "RangeTimeElm", "RangeNedanElm"};

GraphCtrlRow row(int id, const std::string& code) {
    GraphCtrlRow r;
    r.id = id;
    r.classname = kKinds[id % 6];
    r.kikan = market::kAllPeriods[static_cast<std::size_t>(id % 4)];
    r.code = code;
    r.date = "2024-03-01";
    r.enddate = "2024-03-29";
    r.str = id % 6 == 1 ? "注目\r\n決算発表の前日" : "";
    r.range_x = id % 17;
    r.range_y = -(id % 23);
    r.pixel_to_yen = 2.5;
    r.init_pixel_to_yen = 2.5;
    r.daycount = "21";
    r.nehaba = "35.50";
    return r;
}

std::string codeOf(int i) {
    return std::to_string(1301 + i);
}

// Ten codes of `perCode` elements, each code recorded in one step.
WorkingDocument documentOf(int perCode) {
    auto doc = WorkingDocument::createEmpty();
    for (int c = 0; c < 10; ++c) {
        std::vector<GraphCtrlRow> rows;
        for (int i = 1; i <= perCode; ++i)
            rows.push_back(row(i, codeOf(c)));
        doc.recordStep(rows);
    }
    return doc;
}

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("tavora_bench_" + std::to_string(::getpid()) + "_" + name + ".tvrd"))
        .string();
}

// The UI thread's part of a save: the file built from the history.
void BM_SaveBuildImage(benchmark::State& state) {
    const auto doc = documentOf(1000);
    std::string image;
    for (auto _ : state) {
        if (!doc.documentImage({"1301", "7203"}, image, nullptr))
            state.SkipWithError("no image");
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_SaveBuildImage)->Unit(benchmark::kMillisecond);

// The worker's part: the file written beside the old one and renamed into place.
void BM_SaveWriteFile(benchmark::State& state) {
    const auto doc = documentOf(1000);
    std::string image;
    doc.documentImage({"1301", "7203"}, image, nullptr);
    const std::string file = benchFile("save");
    for (auto _ : state)
        annotations::writeDocument(file, image);
    std::filesystem::remove(file);
}
BENCHMARK(BM_SaveWriteFile)->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& state) {
    const auto doc = documentOf(1000);
    const std::string file = benchFile("open");
    annotations::writeDocument(file, doc, {"1301"});
    for (auto _ : state) {
        auto read = annotations::readDocument(file);
        if (!read.ok())
            state.SkipWithError(read.error.c_str());
        benchmark::DoNotOptimize(read);
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);

// Undo or redo, then the code's rows at the new step.
void BM_UndoRedoReload(benchmark::State& state) {
    auto doc = documentOf(1000);
    const std::string code = codeOf(3);
    for (int s = 0; s < 100; ++s) {
        GraphCtrlRow changed = row(s * 7 % 1000 + 1, code);
        changed.view_bl = s % 2 == 0;
        doc.recordStep({changed});
    }
    bool back = true;
    for (auto _ : state) {
        if (back ? !doc.undo() : !doc.redo())
            back = !back;
        benchmark::DoNotOptimize(doc.codeState(code));
    }
}
BENCHMARK(BM_UndoRedoReload)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
