#include "csv/CodeCsv.h"

#include "csv/CsvDate.h"
#include "csv/CsvMapping.h"
#include "csv/PriceCsvParser.h"
#include "framework/CsvReader.h"
#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/Dates.h"
#include "framework/TextTrim.h"
#include "market/SearchText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tavora::csv {

namespace {

constexpr std::size_t kKeptReasons = 20;

// Plain decimal notation (the import reads no exponents), the shortest that reads back as the
// same value; the largest finite double needs 309 digits.
void appendNumber(std::string& out, double value) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    out.append(buf, ec == std::errc() ? end : buf);
}

// Halves away from zero at the second decimal, as the file's prices are stored. Values too large
// to hold cents are kept as they are (scaling them by 100 could overflow).
double roundToCents(double v) {
    if (std::fabs(v) >= 1e15)
        return v;
    return std::floor(v * 100 + 0.5) / 100;
}

std::string format(const char* pattern, std::size_t a, std::size_t b, std::size_t c, std::size_t d) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

// The file as UTF-8: taken as it is when it is valid UTF-8, else read as CP932 (a file saved
// by a Japanese spreadsheet); empty with `error` set when it is neither.
std::string decodeText(std::string_view bytes, std::string& error, std::string& errorEnglish) {
    if (framework::isValidUtf8(bytes))
        return std::string(bytes);
    auto converted = framework::ConvSJIStoUTF(bytes);
    if (!converted.ok()) {
        error = "テキストファイルではありません";
        errorEnglish = "not a text file";
    }
    return converted.text;
}

// The columns of a per-code file: where each field stands (0-based), none for a field the file
// lacks. Without a header: date, open, high, low, close, volume.
struct CodeColumns {
    std::size_t fields = 6; // fields a line has
    std::optional<std::size_t> date = 0, open = 1, high = 2, low = 3, close = 4, volume = 5, code;
};

// Reads a header line's titles into columns; the refusal (and `english`, the same in English)
// names a title it does not know.
std::string readHeader(const std::vector<std::string_view>& titles, CodeColumns& columns,
                       std::string& english) {
    struct Known {
        const char* folded; // as foldForSearch gives it
        std::optional<std::size_t> CodeColumns::*slot;
    };
    static const Known kKnown[] = {
        {"date", &CodeColumns::date},     {"日付", &CodeColumns::date},     {"日付け", &CodeColumns::date},
        {"open", &CodeColumns::open},     {"始値", &CodeColumns::open},     {"high", &CodeColumns::high},
        {"高値", &CodeColumns::high},     {"low", &CodeColumns::low},       {"安値", &CodeColumns::low},
        {"close", &CodeColumns::close},   {"終値", &CodeColumns::close},    {"volume", &CodeColumns::volume},
        {"出来高", &CodeColumns::volume}, {"code", &CodeColumns::code},     {"コード", &CodeColumns::code},
        {"adj close", nullptr},           {"adj. close", nullptr},          {"調整後終値", nullptr},
    };
    CodeColumns read;
    read.date = read.open = read.high = read.low = read.close = read.volume = std::nullopt;
    read.fields = titles.size();
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string title = market::foldForSearch(titles[i]);
        const Known* known = nullptr;
        for (const auto& k : kKnown)
            if (title == k.folded)
                known = &k;
        if (!known) {
            english = "the title 「" + std::string(titles[i]) +
                      "」 is none of Date, Open, High, Low, Close, Volume (or their Japanese titles)";
            return "見出し「" + std::string(titles[i]) +
                   "」は日付,始値,高値,安値,終値,出来高のどれでもありません (Date, Open, High, Low, Close, "
                   "Volume)";
        }
        if (!known->slot)
            continue; // the adjusted close is not a price of the day
        if (read.*(known->slot)) {
            english = "the title 「" + std::string(titles[i]) + "」 comes twice";
            return "見出し「" + std::string(titles[i]) + "」が二度あります";
        }
        read.*(known->slot) = i;
    }
    struct Needed {
        const char* ja;
        const char* en;
        std::optional<std::size_t> CodeColumns::*slot;
    };
    const Needed needed[] = {{"日付 (Date)", "Date", &CodeColumns::date},
                             {"始値 (Open)", "Open", &CodeColumns::open},
                             {"高値 (High)", "High", &CodeColumns::high},
                             {"安値 (Low)", "Low", &CodeColumns::low},
                             {"終値 (Close)", "Close", &CodeColumns::close}};
    for (const auto& [ja, en, slot] : needed)
        if (!(read.*slot)) {
            english = std::string("the header has no ") + en + " title";
            return std::string("見出しに") + ja + "がありません";
        }
    columns = read;
    return {};
}

// Splits a line at commas and tabs, blanks around each field trimmed.
void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    for (std::size_t from = 0;;) {
        const std::size_t sep = line.find_first_of(",\t", from);
        fields.push_back(
            framework::trimBlanks(line.substr(from, sep == std::string_view::npos ? sep : sep - from)));
        if (sep == std::string_view::npos)
            break;
        from = sep + 1;
    }
}

// A first line that is not a day of prices: no field reads as a number.
bool looksLikeHeader(const std::vector<std::string_view>& fields, const CsvMapping& numbers) {
    for (const auto field : fields)
        if (!field.empty() && field != numbers.zeroText && readPriceCell(field, numbers))
            return false;
    return true;
}

} // namespace

std::string codeCsvText(const std::vector<market::PriceRow>& rows) {
    std::string text;
    text.reserve(rows.size() * 56);
    for (const auto& row : rows) {
        text += row.date;
        for (const auto* price : {&row.open, &row.high, &row.low, &row.close}) {
            text += ',';
            appendNumber(text, price->value_or(0.0));
        }
        text += ',';
        text += std::to_string(row.volume);
        text += "\r\n";
    }
    return text;
}

std::string codeExportFileName(const std::string& appTitle, const std::string& code) {
    return appTitle + "_export_" + code + ".csv";
}

CodeExportResult readCodeRows(framework::ZSqlElement& db, const std::string& code,
                              std::vector<market::PriceRow>& rows) {
    CodeExportResult result;
    if (code.empty()) {
        result.message = "コードが入力されていません。";
        result.messageEnglish = "no code given";
        return result;
    }
    if (!db.isOpen()) {
        result.message = "エクスポート失敗：DBエラー";
        result.messageEnglish = "export failed: the price database is not open";
        return result;
    }
    rows = market::PriceDatabase(db).rowsOldestFirst(code);
    if (db.lastResult() != 0) {
        result.message = "エクスポート失敗：DBエラー";
        result.messageEnglish = "export failed: the price database cannot be read";
        return result;
    }
    if (rows.empty()) {
        result.message = code + "のデータは存在しませんでした。";
        result.messageEnglish = "no prices stored for " + code;
        return result;
    }
    result.ok = true;
    result.rows = rows.size();
    return result;
}

CodeExportResult writeCodeCsv(const std::vector<market::PriceRow>& rows, const std::filesystem::path& path) {
    CodeExportResult result;
    std::string error;
    if (!framework::WriteZFileAtomic(path, codeCsvText(rows), -1, &error)) {
        result.message = "CSVファイルの作成に失敗しました";
        result.messageEnglish = "cannot write the CSV file " + path.string();
        if (!error.empty()) {
            result.message += ": " + error;
            result.messageEnglish += ": " + error;
        }
        return result;
    }
    result.ok = true;
    result.rows = rows.size();
    result.message = "CSVファイルに出力しました: \r\n" + path.string();
    result.messageEnglish = "wrote " + path.string();
    return result;
}

CodeExportResult exportCodeCsv(framework::ZSqlElement& db, const std::string& code,
                               const std::filesystem::path& path) {
    std::vector<market::PriceRow> rows;
    CodeExportResult result = readCodeRows(db, code, rows);
    return result.ok ? writeCodeCsv(rows, path) : result;
}

CodeCsvRows parseCodeCsv(std::string_view bytes, const std::string& code, const std::string& todayDate) {
    CodeCsvRows out;
    const std::string text = decodeText(bytes, out.error, out.errorEnglish);
    if (!out.error.empty())
        return out;
    const std::string today = todayDate.empty() ? framework::todayDate() : todayDate;
    const CsvMapping numbers; // the zero text "-" reads as 0, as a KABU+ cell does
    auto skip = [&](std::size_t line, SkipKind kind, const std::string& why, const std::string& whyEnglish) {
        ++out.skipped;
        ++out.skipCounts[kind];
        if (out.skipReasons.size() < kKeptReasons) {
            out.skipReasons.push_back(std::to_string(line) + "行目: " + why);
            out.skipReasonsEnglish.push_back("line " + std::to_string(line) + ": " + whyEnglish);
        }
    };
    CodeColumns columns;
    LastRowPerDay days;
    std::vector<std::string_view> fields;
    std::size_t lineNumber = 0;
    bool firstContent = true;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + at, end - at);
        at = end;
        if (at < text.size() && text[at] == '\r')
            ++at;
        if (at < text.size() && text[at] == '\n')
            ++at;
        ++lineNumber;

        line = framework::trimBlanks(line);
        if (line.starts_with("\xEF\xBB\xBF"))
            line = framework::trimBlanks(line.substr(3));
        if (line.empty()) {
            skip(lineNumber, SkipKind::Blank, "空行です", "a blank line");
            continue;
        }
        splitFields(line, fields);
        const bool first = firstContent;
        firstContent = false;
        auto date = normalizeCsvDate(fields[0]);
        if (first && !date && looksLikeHeader(fields, numbers)) {
            out.refusal = readHeader(fields, columns, out.refusalEnglish);
            if (!out.refusal.empty()) {
                out.rows.clear();
                return out;
            }
            continue;
        }
        ++out.lines;
        // A line without its last field is taken when that field is the volume (read as 0).
        const bool volumeLeftOff = fields.size() + 1 == columns.fields && columns.volume == columns.fields - 1;
        if (fields.size() != columns.fields && !volumeLeftOff) {
            skip(lineNumber, SkipKind::Columns,
                 std::to_string(fields.size()) + "項目あります（" + std::to_string(columns.fields) +
                     "項目のはずです。数値の桁区切りのカンマは使えません）",
                 std::to_string(fields.size()) + " fields where " + std::to_string(columns.fields) +
                     " belong (a number cannot have thousands commas)");
            continue;
        }
        auto field = [&](const std::optional<std::size_t>& slot) -> std::optional<std::string_view> {
            if (!slot || *slot >= fields.size())
                return std::nullopt;
            return fields[*slot];
        };
        if (columns.code) {
            const auto cell = field(columns.code).value_or(std::string_view());
            const market::StockCode other = market::foldStockCode(cell);
            if (!other.ok() || other.code != code) {
                skip(lineNumber, SkipKind::Code, "別のコードの行です: " + std::string(cell.substr(0, 40)),
                     "a line of another code: " + std::string(cell.substr(0, 40)));
                continue;
            }
        }
        if (columns.date != std::size_t{0})
            date = normalizeCsvDate(field(columns.date).value_or(std::string_view()));
        if (!date) {
            skip(lineNumber, SkipKind::Date,
                 "日付ではありません: " + std::string(field(columns.date).value_or(std::string_view())),
                 "not a date: " + std::string(field(columns.date).value_or(std::string_view())));
            continue;
        }
        if (dateOutOfRange(*date, today)) {
            skip(lineNumber, SkipKind::DateRange, "日付が1900年より前か今日より後です: " + *date,
                 "a date before 1900 or after today: " + *date);
            continue;
        }
        market::PriceRow row;
        row.code = code;
        row.date = std::move(*date);
        const std::pair<std::optional<double>*, std::optional<std::size_t>> prices[] = {
            {&row.open, columns.open}, {&row.high, columns.high}, {&row.low, columns.low}, {&row.close, columns.close}};
        const char* names[] = {"始値", "高値", "安値", "終値"};
        const char* englishNames[] = {"open", "high", "low", "close"};
        bool good = true;
        for (std::size_t p = 0; p < 4 && good; ++p) {
            const std::string_view cell = field(prices[p].second).value_or(std::string_view());
            auto value = readPriceCell(cell, numbers);
            if (!value) {
                skip(lineNumber, SkipKind::Number,
                     std::string(names[p]) + "が数値ではありません: " + std::string(cell),
                     std::string("the ") + englishNames[p] + " is not a number: " + std::string(cell));
                good = false;
                break;
            }
            *prices[p].first = roundToCents(*value);
        }
        if (!good)
            continue;
        if (auto cell = field(columns.volume)) {
            auto volume = readVolumeCell(*cell, numbers);
            if (!volume) {
                skip(lineNumber, SkipKind::Number, "出来高が株数ではありません: " + std::string(*cell),
                     "the volume is not a share count: " + std::string(*cell));
                continue;
            }
            row.volume = *volume;
        }
        if (std::string whyEnglish; auto why = priceContradiction(row, &whyEnglish)) {
            skip(lineNumber, SkipKind::Contradiction, *why, whyEnglish);
            continue;
        }
        const std::string day = row.date;
        if (auto replaced = days.add(out.rows, std::move(row), lineNumber))
            skip(*replaced, SkipKind::Duplicate,
                 day + " は" + std::to_string(lineNumber) + "行目にもあり、" + std::to_string(lineNumber) +
                     "行目を登録します",
                 day + " comes again on line " + std::to_string(lineNumber) + ", which is stored");
    }
    return out;
}

CodeImportResult importCodeCsv(framework::ZSqlElement& db, const std::string& rawCode,
                               const std::filesystem::path& path, const market::CatalogueCodes* catalogue) {
    CodeImportResult result;
    if (framework::trimBlanks(rawCode).empty()) {
        result.message = "コードが入力されていません。";
        result.messageEnglish = "no code given";
        return result;
    }
    const market::StockCode folded = market::foldStockCode(rawCode);
    if (!folded.ok()) {
        result.message = std::string("このコードは使えません: ") + market::codeProblemText(folded.problem);
        result.messageEnglish = "this cannot be a code";
        return result;
    }
    result.code = folded.code;
    if (catalogue && !catalogue->empty()) {
        const auto spelled = catalogue->find(folded.code);
        result.codeInCatalogue = spelled.has_value();
        if (spelled)
            result.code = *spelled;
    }
    if (path.empty()) {
        result.message = "ファイルが入力されていません。";
        result.messageEnglish = "no file given";
        return result;
    }
    std::string bytes;
    if (const std::string error = framework::ReadCsvFileBytes(path, bytes); !error.empty()) {
        result.message = "CSVファイルを開けません";
        result.messageEnglish = "cannot open the CSV file";
        // A file that is there but refused says why (a missing file keeps the plain message).
        if (std::error_code ec; std::filesystem::exists(path, ec)) {
            result.message += ": " + error;
            result.messageEnglish += ": " + error;
        } else {
            result.messageEnglish += ": no such file";
        }
        return result;
    }
    CodeCsvRows parsed = parseCodeCsv(bytes, result.code);
    if (!parsed.error.empty()) {
        result.message = "CSVファイルを開けません: " + parsed.error;
        result.messageEnglish = "cannot open the CSV file: " + parsed.errorEnglish;
        return result;
    }
    if (!parsed.refusal.empty()) {
        result.message = "インポートできません: " + parsed.refusal;
        result.messageEnglish = "cannot import: " + parsed.refusalEnglish;
        return result;
    }
    result.lines = parsed.lines;
    result.skipped = parsed.skipped;
    result.skipCounts = parsed.skipCounts;
    result.skipReasons = std::move(parsed.skipReasons);
    result.skipReasonsEnglish = std::move(parsed.skipReasonsEnglish);
    if (parsed.rows.empty()) {
        // Nothing to store is a failure, not an import of no rows.
        result.message = format("インポートに失敗しました。処理行=%zu, 成功=%zu, スキップ=%zu, 失敗=%zu",
                                result.lines, std::size_t{0}, result.skipped, std::size_t{0}) +
                         "\r\n登録できる行がありません";
        result.messageEnglish = format("import failed: %zu lines read, %zu stored, %zu skipped, %zu failed",
                                       result.lines, std::size_t{0}, result.skipped, std::size_t{0}) +
                                "; no row can be stored";
        if (result.skipped > 0) {
            result.message += "（" + skipCountsText(result.skipCounts) + "）";
            result.messageEnglish += " (" + skipCountsNames(result.skipCounts) + ")";
        }
        return result;
    }

    market::PriceBulkWriter writer(db, {.expectedRows = parsed.rows.size()});
    for (const auto& row : parsed.rows)
        if (!writer.add(row))
            break;
    const market::BulkWriteResult written = writer.finish();
    if (!written.ok()) {
        result.failed = written.rowsFailed;
        result.message = format("インポートに失敗しました。処理行=%zu, 成功=%zu, スキップ=%zu, 失敗=%zu",
                                result.lines, std::size_t{0}, result.skipped, result.failed);
        result.messageEnglish = format("import failed: %zu lines read, %zu stored, %zu skipped, %zu failed",
                                       result.lines, std::size_t{0}, result.skipped, result.failed);
        if (!written.outcome.message().empty()) {
            result.message += "\r\n" + written.outcome.message();
            result.messageEnglish += "; " + written.outcome.english();
        }
        return result;
    }
    result.ok = true;
    result.stored = written.rowsWritten;
    result.message = format("インポート完了: 行数=%zu, 成功=%zu, スキップ=%zu, 失敗=%zu "
                            "\r\n更新ボタンを押してグラフを最新化してください。",
                            result.lines, result.stored, result.skipped, result.failed);
    result.messageEnglish = format("imported: %zu lines read, %zu stored, %zu skipped, %zu failed",
                                   result.lines, result.stored, result.skipped, result.failed);
    if (result.skipped > 0)
        result.message += "\r\nスキップ: " + skipCountsText(result.skipCounts);
    if (!result.codeInCatalogue)
        result.message += "\r\n" + result.code + " は銘柄リストにありません（登録はしました）";
    return result;
}

} // namespace tavora::csv
