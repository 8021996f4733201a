// A price CSV read through a column mapping chosen by the input (separator, columns or titles,
// the seven used slots, data start, encoding, quote, zero text). Invariants: a refused file
// gives no rows; every row has a code without blanks around it, a canonical date, finite
// prices and a volume that is not negative; rows and skipped rows never exceed the lines.
// fuzz-seeds: tests/fixtures/kabuplus
#include "FuzzSupport.h"
#include "csv/PriceCsvParser.h"
#include "framework/Dates.h"

#include <algorithm>
#include <cmath>

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
    m.zeroText = kZero[in.byte() % 4];
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
    for (const auto& row : file.rows) {
        fuzz::check(!row.code.empty(), "a row without a code");
        fuzz::check(row.code.front() != ' ' && row.code.back() != ' ', "a code with blanks", row.code);
        fuzz::check(isCanonicalDate(row.date), "a date that is not YYYY-MM-DD", row.date);
        fuzz::check(finiteOrNone(row.open) && finiteOrNone(row.high) && finiteOrNone(row.low) &&
                        finiteOrNone(row.close),
                    "a price that is not finite", row.code);
        fuzz::check(row.volume >= 0, "a negative volume", row.code);
    }
    return 0;
}
