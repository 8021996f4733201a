// The per-code price CSV a user imports for one code. Invariants: a refused file gives no rows;
// every row carries the code and a canonical date from 1900 to today, prices that do not
// contradict each other and a volume that is not negative, no date appears twice, and the
// counts add up by kind; the rows written back as an export read the same.
// fuzz-dict: tests/fuzz/dict/csv.dict
#include "FuzzSupport.h"
#include "csv/CodeCsv.h"
#include "framework/Dates.h"

#include <set>

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string code = "7203";
    const csv::CodeCsvRows parsed = csv::parseCodeCsv(bytes, code);
    if (!parsed.error.empty()) {
        fuzz::check(parsed.rows.empty(), "rows from bytes that are not text", parsed.error);
        return 0;
    }
    if (!parsed.refusal.empty()) {
        fuzz::check(parsed.rows.empty(), "rows from a refused header", parsed.refusal);
        return 0;
    }
    fuzz::check(parsed.rows.size() <= parsed.lines, "more rows than data lines");
    fuzz::check(parsed.skipCounts.total() == parsed.skipped, "skip counts that do not add up");
    const std::string today = framework::todayDate();
    std::set<std::string> dates;
    for (const auto& row : parsed.rows) {
        fuzz::check(dates.insert(row.date).second, "a date twice", row.date);
        fuzz::check(!csv::dateOutOfRange(row.date, today), "a day out of range", row.date);
        fuzz::check(!csv::priceContradiction(row), "prices that contradict each other", row.date);
        fuzz::check(row.code == code, "a row of another code", row.code);
        fuzz::check(row.date.size() == 10 && framework::parseDate(row.date).has_value(),
                    "a date that is not YYYY-MM-DD", row.date);
        fuzz::check(row.volume >= 0, "a negative volume", row.date);
    }
    // What an export writes, an import reads back unchanged.
    const csv::CodeCsvRows again = csv::parseCodeCsv(csv::codeCsvText(parsed.rows), code);
    fuzz::check(again.error.empty() && again.skipped == 0, "an export that does not read back", again.error);
    fuzz::check(again.rows == parsed.rows, "an export that reads back differently");
    return 0;
}
