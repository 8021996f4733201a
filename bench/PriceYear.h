#pragma once
// A year of daily prices for the benchmarks: 250 trading days of 4,000 codes (the shape of a
// year of KABU+ daily files), day files in date order with codes ascending within a day, as
// the registration feeds them, written with PriceBulkWriter in one run.
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace tavora::bench {

inline constexpr int kYearDays = 250;
inline constexpr int kYearCodes = 4000;
inline constexpr std::int64_t kYearRows = std::int64_t{kYearDays} * kYearCodes;

// Writes the year; returns the rows committed (0 when the run was rolled back).
inline std::int64_t writePriceYear(framework::ZSqlElement& db, int year) {
    market::PriceBulkWriter writer(db, {.expectedRows = static_cast<std::size_t>(kYearRows)});
    char date[16];
    char code[8];
    market::PriceRow row;
    for (int d = 0; d < kYearDays; ++d) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, 1 + d / 21, 1 + d % 21);
        row.date = date;
        for (int c = 0; c < kYearCodes; ++c) {
            std::snprintf(code, sizeof code, "%d", 1300 + c * 2);
            row.code = code;
            const double base = 100.0 + c % 900 + d * 0.5;
            row.open = base;
            row.high = base + 3;
            row.low = base - 2;
            row.close = base + 1;
            row.volume = 1000 + c * 7 + d;
            writer.add(row);
        }
    }
    const auto result = writer.finish();
    return result.ok() ? static_cast<std::int64_t>(result.rowsWritten) : 0;
}

// Removes the price database in `dir` with its journal files, so that a run starts from none.
inline void removePriceDb(const std::filesystem::path& dir) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::filesystem::remove(dir / (std::string(market::kPriceDbFileName) + suffix));
}

} // namespace tavora::bench
