// From process start to the first painted chart: tavora is started on a data folder whose
// first catalogue entry has 10,000 day bars in a catalogue of 4,000 codes, and the time runs
// until the program reports its first chart (TAVORA_QUIT_AFTER_FIRST_CHART=1), after which it
// ends through its normal exit (not timed). The reference server is a closed loopback port.
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tavora;

namespace {
constexpr int kBars = 10000;
constexpr int kCatalogue = 4000;

std::filesystem::path g_appdata;

void prepare() {
    g_appdata = std::filesystem::temp_directory_path() / ("tavora-startup-" + std::to_string(::getpid()));
    const auto root = g_appdata / "Tavora";
    std::filesystem::create_directories(root / "others");
    std::filesystem::create_directories(root / "data" / "kabukadb");
    std::filesystem::permissions(root, std::filesystem::perms::owner_all);
    {
        std::ofstream list(root / "others" / "code_info.csv");
        for (int i = 0; i < kCatalogue; ++i)
            list << (1001 + i) << ",銘柄" << (1001 + i) << ",電気機器,東証プライム\n";
    }
    framework::ZSqlElement db;
    market::PriceDatabase::open(db, (root / "data" / "kabukadb").string());
    std::vector<market::PriceRow> rows;
    int y = 1985, m = 1, d = 1;
    for (int i = 0; i < kBars; ++i) {
        char date[40];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
        const double mid = 1500.0 * (1.0 + 0.3 * std::sin(i / 50.0));
        rows.push_back({"1001", date, mid - 4, mid + 9, mid - 11, mid + 2, 1000 + i});
        if (++d > 28) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    market::PriceDatabase(db).write(rows);
    framework::ZSqlElement settings;
    framework::SQL_Open(settings, (root / "settei.db").string());
    framework::SQL_exec(settings, "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT);");
    framework::SQL_exec(settings, "INSERT INTO koumokutb (koumoku,value) VALUES ('refserver_host','127.0.0.1'),"
                                  "('refserver_port','9'),('sync_moravel_db','0')");
}

QString tavoraPath() {
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    return QString::fromStdString((exe.parent_path().parent_path() / "bin" / "tavora").string());
}

void BM_StartToFirstChart(benchmark::State& state) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVORA_APPDATA", QString::fromStdString(g_appdata.string()));
    env.insert("TAVORA_QUIT_AFTER_FIRST_CHART", "1");
    env.insert("TAVORA_NONINTERACTIVE", "1");
    if (!env.contains("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto _ : state) {
        QProcess tavora;
        tavora.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        tavora.start(tavoraPath());
        QByteArray out;
        while (!out.contains("first-chart") && tavora.state() != QProcess::NotRunning) {
            tavora.waitForReadyRead(50);
            out += tavora.readAllStandardOutput();
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        tavora.waitForFinished(30000);
        if (!out.contains("first-chart")) {
            state.SkipWithError("tavora ended without painting a chart");
            break;
        }
    }
}
BENCHMARK(BM_StartToFirstChart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(g_appdata);
    return 0;
}
