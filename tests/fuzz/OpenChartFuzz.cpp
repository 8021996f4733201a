// Opening a code over fuzzed stored rows, calendar and splits: the rows (CSV: date, open, high,
// low, close, volume, stored as they stand, whatever their types), then the calendar file,
// then the splits (date,ratio). Invariants: every day bar has a real canonical date, no bar of
// any period has a negative volume, every period bar's volume is at least that of each of its
// days, and dates never run backwards in the day list.
// fuzz-seeds: data/prices/1007.csv data/marketday/marketday_jpn.csv
#include "FuzzSupport.h"
#include "chart/OpenChart.h"
#include "framework/CsvReader.h"
#include "framework/Dates.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"
#include "support/IchimokuDefinitions.h"

#include <sqlite3.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

using namespace tavora;

namespace {

// A cell stored as SQLite would get it from a careless writer: numbers as numbers, the rest
// as text, an empty cell as NULL.
void bindCell(framework::SqlStatement& stmt, int index, const std::string& cell) {
    if (cell.empty()) {
        stmt.bindNull(index);
        return;
    }
    char* end = nullptr;
    const long long whole = std::strtoll(cell.c_str(), &end, 10);
    if (end && *end == '\0') {
        stmt.bindInt64(index, whole);
        return;
    }
    const double real = std::strtod(cell.c_str(), &end);
    if (end && *end == '\0')
        stmt.bindDouble(index, real);
    else
        stmt.bindText(index, cell);
}

// The calendar as a file that lives in memory (a memfd, opened by its /proc path like any
// file), so that no input touches the disk; empty when it cannot be made.
std::string calendarFile(std::string_view bytes) {
    static const int fd = memfd_create("marketday_jpn.csv", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        return {};
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SqliteUse sqlite;
    fuzz::FuzzInput in(data, size);
    const std::string_view rowsText = in.part();
    const std::string_view calendar = in.part();
    const std::string_view splitsText = in.rest();

    framework::ZSqlElement db;
    if (framework::SQL_Open(db, ":memory:") != 0 || framework::SQL_exec(db, market::kCreatePriceTableSql) != 0)
        return 0;
    const auto rows = framework::ParseCsvBytes(rowsText, framework::CsvEncoding::Utf8, ',');
    if (!rows.ok() || rows.rows.size() > 2000)
        return 0;
    {
        framework::SqlStatement insert(db, "INSERT OR REPLACE INTO kabukadb VALUES ('7203',?,?,?,?,?,?);");
        for (const auto& row : rows.rows) {
            if (row.empty() || row[0].empty())
                continue;
            insert.reset();
            insert.bindText(1, row[0]);
            for (int c = 1; c <= 5; ++c)
                bindCell(insert, c + 1, c < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(c)] : "");
            insert.step();
        }
    }
    const std::string calendarPath = calendarFile(calendar);
    if (calendarPath.empty())
        return 0;

    chart::OpenChartInput input;
    input.priceDb = &db;
    input.code = "7203";
    input.calendarPath = calendarPath;
    input.definitions = test::ichimokuDefinitions();
    if (const auto splits = framework::ParseCsvBytes(splitsText, framework::CsvEncoding::Utf8, ','); splits.ok())
        for (const auto& s : splits.rows)
            if (s.size() >= 2)
                input.splits.push_back({s[0], s[1].substr(0, market::BunkatsuElm::kMaxRatioText)});

    const chart::ChartSeries series = chart::OpenChart(input);
    const auto& day = series.period(market::ChartPeriod::Day).bars;
    int previous = 0;
    for (auto it = day.rbegin(); it != day.rend(); ++it) {
        fuzz::check(framework::canonicalDate(it->date) == it->date, "a day bar without a real date", it->date);
        fuzz::check(it->dateNumber() > previous, "day bars out of order", it->date);
        previous = it->dateNumber();
        fuzz::check(it->volume >= 0, "a negative day volume", it->date);
    }
    for (auto p : {market::ChartPeriod::Week, market::ChartPeriod::Month, market::ChartPeriod::Year}) {
        for (const auto& bar : series.period(p).bars) {
            fuzz::check(bar.volume >= 0, "a negative period volume", bar.date);
            if (p == market::ChartPeriod::Week)
                continue;
            // Days of a calendar month (year) stand together, so the days of the bar's month
            // (year) from its date on are all in it.
            for (const auto& d : day) {
                const bool inside = d.year == bar.year && (p == market::ChartPeriod::Year || d.month == bar.month);
                if (inside && d.dateNumber() >= bar.dateNumber())
                    fuzz::check(bar.volume >= d.volume, "a period volume below one of its days", bar.date);
            }
        }
    }
    return 0;
}
