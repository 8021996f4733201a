// The per-code scale file "graphdata.tvd", copied into memory at start-up and read whenever a
// code opens. The first byte chooses: even, the rest is the file itself (an SQLite file, as
// damaged as it comes); odd, the rest is CSV rows (code and the twelve values) stored in a
// sound file. Invariants: a loaded pitch and tick are the current values or lie within the
// zoom steps, a fixed interval within the grid table, the geometry derived from them does
// not overflow, and a scale written back reads again as it was saved. The file is a memory
// file (FuzzSupport.h): the store opens, copies and writes it back through SQLite as it does
// the file on disk.
#include "FuzzSupport.h"
#include "chart/ChartGeometry.h"
#include "chart/OpenChart.h"
#include "chart/ScaleStore.h"
#include "framework/CsvReader.h"

using namespace tavora;

namespace {

const chart::CodeScale kCurrent{{9, 9, 9, 9}, {4, 4, 4, 4}, {7, 7, 7, 7}};

bool storeRows(const std::string& path, std::string_view csv) {
    framework::ZSqlElement file;
    if (framework::SQL_Open(file, path) != 0 || framework::SQL_exec(file, chart::kCreateScaleTableSql) != 0)
        return false;
    const auto rows = framework::ParseCsvBytes(csv, framework::CsvEncoding::Utf8, ',');
    if (!rows.ok())
        return false;
    framework::SqlStatement insert(file, "INSERT OR REPLACE INTO graphdata_tb (code,d_x_haba_p,d_y_ichimemori,"
                                         "w_x_haba_p,w_y_ichimemori,m_x_haba_p,m_y_ichimemori,y_x_haba_p,"
                                         "y_y_ichimemori,sonota1,sonota2,sonota3,sonota4) "
                                         "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?);");
    for (const auto& row : rows.rows) {
        insert.reset();
        for (int i = 0; i < 13; ++i) {
            if (i < static_cast<int>(row.size()))
                insert.bindText(i + 1, row[static_cast<std::size_t>(i)]);
            else
                insert.bindNull(i + 1);
        }
        insert.step();
    }
    return true;
}

void checkScale(const chart::CodeScale& s) {
    for (int p = 0; p < 4; ++p) {
        fuzz::check(s.pitch[p] == kCurrent.pitch[p] || s.pitch[p] == chart::CodeScale::kDefaultPitch ||
                        settings::kPitchBounds.contains(s.pitch[p]),
                    "a pitch outside the zoom steps");
        fuzz::check(s.tick[p] == kCurrent.tick[p] || settings::kTickBounds.contains(s.tick[p]),
                    "a tick outside the zoom steps");
        fuzz::check(chart::kFixedGridBounds.contains(s.fixedGrid[p]), "a fixed interval outside the table");
    }
    for (auto period : market::kAllPeriods) {
        chart::GraphViewState vs = chart::makeViewState(period, "2026-12-09");
        vs.grid_yen = 3'000'000;
        chart::applyCodeScale(vs, s);
        fuzz::check(vs.five_ticks_px == 5 * vs.y_ichimemori && vs.five_ticks_px > 0, "five ticks wrong");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SqliteUse sqlite;
    fuzz::FuzzInput in(data, size);
    const bool asRows = in.byte() % 2 == 1;
    fuzz::clearMemoryFiles();
    const std::string path = fuzz::memoryFileUri(chart::kScaleFileName);
    if (asRows) {
        if (!storeRows(path, in.rest()))
            return 0;
    } else {
        fuzz::putMemoryFile(chart::kScaleFileName, in.rest());
    }

    framework::ZSqlElement memory;
    chart::ScaleStore store(memory);
    store.loadFile(path);
    framework::SQLList codes;
    framework::SQL_exec(memory, "SELECT code FROM graphdata_tb LIMIT 20;", codes);
    for (const auto& row : codes.rows) {
        const std::string code = row.value("code");
        checkScale(store.load(code, kCurrent));
        if (const auto opened = chart::LoadCodeScale(memory, code))
            checkScale(*opened);
    }
    const bool saved = store.save("0000", kCurrent);
    if (!store.writeBack(path) || !saved)
        return 0;
    framework::ZSqlElement again;
    chart::ScaleStore reread(again);
    reread.loadFile(path);
    const chart::CodeScale back = reread.load("0000", chart::CodeScale{});
    fuzz::check(back.pitch == kCurrent.pitch && back.tick == kCurrent.tick &&
                    back.fixedGrid == kCurrent.fixedGrid,
                "a scale written back reads differently");
    return 0;
}
