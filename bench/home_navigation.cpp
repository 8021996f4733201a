// "次へ" on the Home page: from the command to the new chart painted, for codes of 10,000
// day bars in a 4,000-entry catalogue. The reopen worker opens the code off the UI thread;
// the time runs until the UI thread has swapped the series in and repainted.
#include "app/HomePanel.h"
#include "app/core/AppContext.h"
#include "framework/ui/StatusBar.h"
#include "market/PriceDatabase.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

using namespace tavora;

namespace {
constexpr int kBars = 10000;
constexpr int kCatalogue = 4000;

// 10,000 consecutive calendar days (weekends included: only the count matters here).
std::vector<market::PriceRow> barsOf(const std::string& code, double base) {
    std::vector<market::PriceRow> rows;
    rows.reserve(kBars);
    int y = 1990, m = 1, d = 1;
    for (int i = 0; i < kBars; ++i) {
        char date[40];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
        const double mid = base * (1.0 + 0.3 * std::sin(i / 50.0));
        rows.push_back({code, date, mid - 4, mid + 9, mid - 11, mid + 2, 1000 + i});
        if (++d > 28) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    return rows;
}

struct Fixture {
    std::filesystem::path root;
    app::AppContext ctx;
    framework::ui::StatusBar status;
    std::unique_ptr<app::HomePanel> home;

    Fixture() {
        root = std::filesystem::temp_directory_path() / ("tavora-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "kabukadb");
        ctx.paths.priceDbDir = (root / "kabukadb").string();
        ctx.paths.priceDbFile = ctx.paths.priceDbDir + "/kabuka.db";
        market::PriceDatabase::open(ctx.priceDb, ctx.paths.priceDbDir);
        std::vector<market::PriceRow> rows;
        for (int c = 0; c < 3; ++c) {
            auto more = barsOf(std::to_string(1001 + c), 1000.0 * (c + 1));
            rows.insert(rows.end(), more.begin(), more.end());
        }
        market::PriceDatabase(ctx.priceDb).write(rows);
        framework::SQL_Open(ctx.scaleDb, ":memory:");
        for (int i = 0; i < kCatalogue; ++i) {
            const std::string code = std::to_string(1001 + i);
            ctx.catalogue.append({code, "銘柄" + code, "電気機器", "東証プライム", code + ".T", {}, false});
        }
        ctx.currentCode = 0;
        home = std::make_unique<app::HomePanel>(ctx, &status, nullptr);
        home->resize(1280, 760);
        home->show();
        home->openCurrentCode();
    }
    ~Fixture() {
        home.reset();
        std::filesystem::remove_all(root);
    }
};

void BM_NextCodeRepaint(benchmark::State& state) {
    Fixture f;
    bool forward = true;
    for (auto _ : state) {
        bool shown = false;
        auto connection = QObject::connect(f.home.get(), &app::HomePanel::chartShown, [&] { shown = true; });
        QElapsedTimer timer;
        timer.start();
        f.home->navigate(forward ? app::Command::NextCode : app::Command::PrevCode);
        while (!shown)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        QObject::disconnect(connection);
        // 1001 -> 1002 -> 1003 -> 1002 -> ... : every step opens a 10,000-bar code.
        if (*f.ctx.currentCode == 2)
            forward = false;
        else if (*f.ctx.currentCode == 0)
            forward = true;
    }
}
BENCHMARK(BM_NextCodeRepaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
