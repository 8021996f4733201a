#pragma once
// Turns a price CSV file into price rows through a column mapping. Every row keeps fixed
// slots: a row that lacks a mapped cell or has more cells than the first line, has a code that
// cannot be stored, a date that is not a real day (or lies before 1900 or after today), a price
// or volume that is not a number, or prices that contradict each other is skipped and counted
// by kind, never shifted into the wrong fields. Of the rows of one code and day the last is
// kept. Codes are folded (StockCode.h). A file whose header lacks a title the mapping uses, or
// that cannot be decoded, is refused as a whole. Pure functions, safe from any thread.
#include "csv/CsvMapping.h"
#include "csv/RowChecks.h"
#include "framework/CsvReader.h"
#include "market/PriceDatabase.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::csv {

// Why a row was skipped; the first few are kept for messages.
struct SkippedRow {
    std::size_t line = 0; // 1-based line of the file
    std::string reason;
    SkipKind kind = SkipKind::Blank;
    std::string reasonEnglish; // the same in English, for tavora-cli
};
inline constexpr std::size_t kKeptSkipReasons = 20;

struct PriceCsvFile {
    std::vector<market::PriceRow> rows; // in file order
    std::size_t skipped = 0;
    SkipCounts skipCounts;         // `skipped` by kind
    std::vector<SkippedRow> skips; // the first kKeptSkipReasons skipped rows
    std::string error;             // not empty: the file is refused and `rows` is empty
    std::string errorEnglish;      // the same in English, for tavora-cli
    bool missingCode = false;      // refused because the mapping finds no code column
    bool ok() const { return error.empty(); }
};

// The 1-based columns of the used rows (code, date, open, high, low, close, volume, in that
// order; 0 where the mapping names none), or the reason the header does not fit the mapping.
// With the code choice "ファイルにない: 指定コード" the code's column is 0 and `givenCode` holds
// the folded code.
struct ResolvedColumns {
    std::array<int, kUsedRows.size()> columns{};
    std::string givenCode;
    std::string error;
    std::string errorEnglish; // the same in English, for tavora-cli
    bool missingCode = false; // the error is that no code column is mapped or found
};
ResolvedColumns resolveColumns(const CsvMapping& mapping, const std::vector<std::string>* header);

// Maps rows the CSV reader produced. `today` ("YYYY-MM-DD") bounds the dates; empty: today's
// date (framework todayDate()).
PriceCsvFile mapPriceRows(const framework::ZStringListX& rows, const CsvMapping& mapping,
                          const std::string& today = {});
// Decodes, splits and maps bytes held in memory.
PriceCsvFile parsePriceCsv(std::string_view bytes, const CsvMapping& mapping, const std::string& today = {});
// Reads a file and maps it.
PriceCsvFile readPriceCsv(const std::filesystem::path& path, const CsvMapping& mapping,
                          const std::string& today = {});

// A price cell as the mapping reads it: 0 for an empty cell or the zero text, the number for
// a decimal number, none for anything else.
std::optional<double> readPriceCell(std::string_view cell, const CsvMapping& mapping);
// A volume cell: 0 for an empty cell or the zero text, the 64-bit count for a whole number of
// shares, none for anything else (a negative or fractional count included).
std::optional<std::int64_t> readVolumeCell(std::string_view cell, const CsvMapping& mapping);

} // namespace tavora::csv
