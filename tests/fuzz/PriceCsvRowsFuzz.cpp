// A price CSV read through a column mapping chosen by the input (separator, columns or titles,
// the seven used slots, data start, encoding, quote, zero text, a given code). Invariants: a
// refused file gives no rows; every row has a code that is already folded and could be shown,
// a canonical date from 1900 to today, finite prices that do not contradict each other and a
// volume that is not negative; no code and day twice; the skipped rows add up by kind; rows and
// skipped rows never exceed the lines.
// fuzz-seeds: tests/fixtures/kabuplus
// fuzz-dict: tests/fuzz/dict/csv.dict
#include "FuzzSupport.h"
#include "csv/PriceCsvParser.h"
#include "framework/Dates.h"
#include "market/StockCode.h"

#include <algorithm>
#include <cmath>
#include <set>

using namespace tavora;

namespace {

csv::CsvMapping mappingFrom(fuzz::FuzzInput& in) {
    csv::CsvMapping m; // the KABU+ layout, changed only when the first byte says so
    if (in.byte() % 2 == 0)
        return m;
    static constexpr const char* kTitles[] = {"SC",   "日時",   "始値", "高値", "安値",
                                              "株価", "出来高", "Date", ""};
    m.separator = in.byte() % 2 ? csv::CsvSeparator::Tab : csv::CsvSeparator::Comma;
    m.matchBy = in.byte() % 2 ? csv::CsvMatchBy::Titles : csv::CsvMatchBy::Columns;
    for (const auto row : csv::kUsedRows) {
        const std::uint8_t b = in.byte();
        m.rows[row].column = b % (csv::kMaxColumnChoice + 2);
        m.rows[row].title = kTitles[b % std::size(kTitles)];
    }
    m.dataStart = 1 + in.byte() % 3;
    static constexpr framework::CsvEncoding kEncodings[] = {
        framework::CsvEncoding::ShiftJis, framework::CsvEncoding::Utf8, framework::CsvEncoding::Utf16};
    m.encoding = kEncodings[in.byte() % 3];
    m.quote = static_cast<csv::CsvQuote>(in.byte() % 3);
    static constexpr const char* kZero[] = {"-", "", "0", "--"};
    const std::uint8_t last = in.byte();
    m.zeroText = kZero[last % 4];
    // The higher bits give a code to files without a code column (one that cannot be a code too).
    static constexpr const char* kGiven[] = {"7203", "ｄｊｉ", "72/03", ""};
    m.codeGiven = (last / 4) % 2 == 1;
    m.givenCode = kGiven[(last / 8) % 4];
    return m;
}

bool isCanonicalDate(const std::string& date) {
    return date.size() == 10 && date[4] == '-' && date[7] == '-' && framework::parseDate(date).has_value();
}

bool finiteOrNone(const std::optional<double>& price) {
    return !price || std::isfinite(*price);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const csv::CsvMapping mapping = mappingFrom(in);
    const std::string_view bytes = in.rest();
    const csv::PriceCsvFile file = csv::parsePriceCsv(bytes, mapping);
    if (!file.ok()) {
        fuzz::check(file.rows.empty(), "a refused file with rows", file.error);
        return 0;
    }
    const std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                              static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r')) + 1;
    fuzz::check(file.rows.size() + file.skipped <= lines, "more rows than lines");
    fuzz::check(file.skips.size() <= std::min(file.skipped, csv::kKeptSkipReasons),
                "more reasons than skips");
    fuzz::check(file.skipCounts.total() == file.skipped, "skip counts that do not add up");
    const std::string today = framework::todayDate();
    std::set<std::pair<std::string, std::string>> days;
    for (const auto& row : file.rows) {
        fuzz::check(!row.code.empty(), "a row without a code");
        const market::StockCode folded = market::foldStockCode(row.code);
        fuzz::check(folded.ok() && folded.code == row.code, "a code that is not folded or cannot be shown",
                    row.code);
        fuzz::check(days.emplace(row.code, row.date).second, "a code and day twice", row.code + " " + row.date);
        fuzz::check(!csv::dateOutOfRange(row.date, today), "a day out of range", row.date);
        fuzz::check(!csv::priceContradiction(row), "prices that contradict each other", row.code);
        fuzz::check(row.code.front() != ' ' && row.code.back() != ' ', "a code with blanks", row.code);
        fuzz::check(isCanonicalDate(row.date), "a date that is not YYYY-MM-DD", row.date);
        fuzz::check(finiteOrNone(row.open) && finiteOrNone(row.high) && finiteOrNone(row.low) &&
                        finiteOrNone(row.close),
                    "a price that is not finite", row.code);
        fuzz::check(row.volume >= 0, "a negative volume", row.code);
    }
    return 0;
}
