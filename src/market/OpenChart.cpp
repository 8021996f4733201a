#include "market/OpenChart.h"

#include "analysis/BunsekiGraphList.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "market/Splits.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace tavora::market {

namespace {

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

int columnIndex(sqlite3_stmt* stmt, std::string_view name) {
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i)
        if (const char* c = sqlite3_column_name(stmt, i); c && name == c)
            return i;
    return -1;
}

// A price column: NULL and 0 read as absent.
std::optional<double> priceColumn(sqlite3_stmt* stmt, int col) {
    if (col < 0 || sqlite3_column_type(stmt, col) == SQLITE_NULL)
        return std::nullopt;
    const double v = sqlite3_column_double(stmt, col);
    return v == 0 ? std::nullopt : std::optional<double>(v);
}

}  // namespace

int LoadDayBars(framework::ZSqlElement& priceDb, const std::string& code, KeisenList& day,
                const std::atomic<bool>* cancel) {
    if (!priceDb.isOpen())
        return SQLITE_MISUSE;
    framework::SqlStatement stmt(priceDb, kSelectCodeNewestFirstSql);
    if (!stmt.ok())
        return priceDb.lastResult() ? priceDb.lastResult() : SQLITE_ERROR;
    stmt.bindText(1, code);
    sqlite3_stmt* s = stmt.handle();
    // Columns are found by name once, as the query selects every column of the table.
    const int cDate = columnIndex(s, "date");
    const int cOpen = columnIndex(s, "open");
    const int cHigh = columnIndex(s, "high");
    const int cLow = columnIndex(s, "low");
    const int cClose = columnIndex(s, "close");
    const int cVolume = columnIndex(s, "volume");
    if (cDate < 0)
        return SQLITE_ERROR;
    int rc;
    std::size_t rows = 0;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        if ((++rows & 1023) == 0 && cancelled(cancel))
            return -1;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, cDate));
        if (!text || !*text)
            continue;
        KeisenElm& bar = day.append();
        bar.setDate(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(s, cDate))));
        bar.open = priceColumn(s, cOpen);
        bar.high = priceColumn(s, cHigh);
        bar.low = priceColumn(s, cLow);
        bar.close = priceColumn(s, cClose);
        bar.volume = cVolume < 0 ? 0 : sqlite3_column_int64(s, cVolume);
    }
    return rc == SQLITE_DONE ? 0 : rc;
}

std::optional<chart::CodeScale> LoadCodeScale(framework::ZSqlElement& scaleDb, const std::string& code) {
    if (!scaleDb.isOpen())
        return std::nullopt;
    framework::SQLList result;
    framework::SQLListRow params;
    params.add(framework::SQLListElement::text("code", code));
    if (framework::SQL_exec(scaleDb, "select * from graphdata_tb where code = ?", result, params) != 0 ||
        result.empty())
        return std::nullopt;
    const auto& row = result.rows.front();
    const auto number = [&](const std::string& column) { return std::atoi(row.value(column).c_str()); };
    chart::CodeScale scale;
    for (ChartPeriod p : kAllPeriods) {
        const std::string prefix(periodLetter(p));
        const auto i = static_cast<std::size_t>(periodIndex(p));
        scale.pitch[i] = number(prefix + "_x_haba_p");
        scale.tick[i] = number(prefix + "_y_ichimemori");
        scale.fixedGrid[i] = number("sonota" + std::to_string(i + 1));
    }
    return scale;
}

ChartSeries OpenChart(const OpenChartInput& input, const std::atomic<bool>* cancel) {
    ChartSeries series;
    series.code = input.code;
    auto stop = [&] {
        series.cancelled = true;
        return std::move(series);
    };

    // The code's annotations from the document's history, as of the current undo position.
    if (input.loadAnnotations)
        input.loadAnnotations(series);

    PeriodSeries& day = series.period(ChartPeriod::Day);
    PeriodSeries& week = series.period(ChartPeriod::Week);
    PeriodSeries& month = series.period(ChartPeriod::Month);
    PeriodSeries& year = series.period(ChartPeriod::Year);

    if (input.priceDb && LoadDayBars(*input.priceDb, input.code, day.bars, cancel) < 0)
        return stop();
    if (cancelled(cancel))
        return stop();

    // Future market days, so the time axis and the leading spans run on past the last price.
    if (!day.bars.empty() && !input.calendarPath.empty())
        AppendMarketDays(day.bars, input.calendarPath);
    analysis::CreateBunsekiGraphLists(day.bars, input.definitions, day.graphs);

    ApplySplits(input.splits, day.bars, &series.log);
    for (auto& line : series.log)
        line = input.code + ": " + line;
    analysis::CreateGraphKeisanList(day.keisan, day.graphs);
    series.priced = AggregatePeriods(day.bars, week.bars, month.bars, year.bars);
    FillGaps(day.bars, series.priced);
    AppendFuturePeriods(month.bars, year.bars);
    if (cancelled(cancel))
        return stop();

    for (PeriodSeries* p : {&week, &month, &year}) {
        analysis::CreateBunsekiGraphLists(p->bars, input.definitions, p->graphs);
        analysis::CreateGraphKeisanList(p->keisan, p->graphs);
    }
    // No week or month bar after the last price carries values (they hold zeros or nothing).
    EmptyBarsAfterLastPrice(week.bars, series.priced);
    EmptyBarsAfterLastPrice(month.bars, series.priced);
    for (PeriodSeries* p : {&day, &week, &month, &year}) {
        analysis::RunGraphKeisan(p->bars, p->keisan);
        if (cancelled(cancel))
            return stop();
    }

    if (input.scaleDb) {
        if (auto scale = LoadCodeScale(*input.scaleDb, input.code)) {
            series.scale = *scale;
            series.scaleStored = true;
        }
    }
    return series;
}

void ApplyTodayBarToAnalysis(ChartSeries& series, KeisenElm& todayBar) {
    PeriodSeries& day = series.period(ChartPeriod::Day);
    analysis::ComputeGraphKeisanBar(day.keisan, todayBar);
    for (ChartPeriod p : {ChartPeriod::Week, ChartPeriod::Month, ChartPeriod::Year}) {
        PeriodSeries& s = series.period(p);
        analysis::RebuildGraphKeisan(s.bars, s.graphs, s.keisan);
    }
}

}  // namespace tavora::market
