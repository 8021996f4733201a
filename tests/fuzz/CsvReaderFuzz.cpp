// The CSV reader in every encoding, separator and quote mode. Invariants: cells are valid
// UTF-8; with quotes on, writing the rows back (every cell quoted) and reading them again
// gives the same rows.
// fuzz-seeds: data/others data/marketday/marketday_usa.csv data/prices/DJI.csv
// fuzz-dict: tests/fuzz/dict/csv.dict
#include "FuzzSupport.h"
#include "framework/CsvReader.h"
#include "framework/Encoding.h"

using namespace tavora;

namespace {

std::string writeBack(const framework::ZStringListX& rows, char separator, char quote) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += separator;
            out += quote;
            for (char c : row[i]) {
                out += c;
                if (c == quote)
                    out += quote;
            }
            out += quote;
        }
        out += '\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    static constexpr framework::CsvEncoding kEncodings[] = {
        framework::CsvEncoding::Utf8, framework::CsvEncoding::ShiftJis, framework::CsvEncoding::Utf16};
    static constexpr char kSeparators[] = {',', '\t', ';', ' ', '|'};
    const auto encoding = kEncodings[in.byte() % 3];
    const char separator = kSeparators[in.byte() % 5];
    const std::uint8_t quoteMode = in.byte() % 3;
    const std::optional<char> quote =
        quoteMode == 0 ? std::nullopt : std::optional<char>(quoteMode == 1 ? '"' : '\'');

    const framework::CsvResult result = framework::ParseCsvBytes(in.rest(), encoding, separator, quote);
    if (!result.ok())
        return 0;
    for (const auto& row : result.rows) {
        fuzz::check(!row.empty(), "a row without cells");
        for (const auto& cell : row)
            fuzz::check(framework::isValidUtf8(cell), "a cell that is not UTF-8", cell);
    }
    if (quote) {
        const auto again = framework::ParseCsvText(writeBack(result.rows, separator, *quote), separator, quote);
        fuzz::check(again.ok(), "rows written back do not read", again.error);
        fuzz::check(again.rows == result.rows, "rows written back read differently");
    }
    return 0;
}
