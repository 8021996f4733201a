#include "csv/CodeCsv.h"

#include "csv/CsvDate.h"
#include "csv/CsvMapping.h"
#include "csv/PriceCsvParser.h"
#include "framework/CsvReader.h"
#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/TextTrim.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>

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
std::string decodeText(std::string_view bytes, std::string& error) {
    if (framework::isValidUtf8(bytes))
        return std::string(bytes);
    auto converted = framework::ConvSJIStoUTF(bytes);
    if (!converted.ok())
        error = "テキストファイルではありません";
    return converted.text;
}

bool readBytes(const std::filesystem::path& path, std::string& bytes) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > framework::kMaxCsvFileBytes)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<std::size_t>(in.gcount()) == bytes.size();
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
        return result;
    }
    if (!db.isOpen()) {
        result.message = "エクスポート失敗：DBエラー";
        return result;
    }
    rows = market::PriceDatabase(db).rowsOldestFirst(code);
    if (db.lastResult() != 0) {
        result.message = "エクスポート失敗：DBエラー";
        return result;
    }
    if (rows.empty()) {
        result.message = code + "のデータは存在しませんでした。";
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
        if (!error.empty())
            result.message += ": " + error;
        return result;
    }
    result.ok = true;
    result.rows = rows.size();
    result.message = "CSVファイルに出力しました: \r\n" + path.string();
    return result;
}

CodeExportResult exportCodeCsv(framework::ZSqlElement& db, const std::string& code,
                               const std::filesystem::path& path) {
    std::vector<market::PriceRow> rows;
    CodeExportResult result = readCodeRows(db, code, rows);
    return result.ok ? writeCodeCsv(rows, path) : result;
}

CodeCsvRows parseCodeCsv(std::string_view bytes, const std::string& code) {
    CodeCsvRows out;
    const std::string text = decodeText(bytes, out.error);
    if (!out.error.empty())
        return out;
    const CsvMapping numbers; // the zero text "-" reads as 0, as a KABU+ cell does
    auto skip = [&](std::size_t line, const std::string& why) {
        ++out.skipped;
        if (out.skipReasons.size() < kKeptReasons)
            out.skipReasons.push_back(std::to_string(line) + "行目: " + why);
    };
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
            skip(lineNumber, "空行です");
            continue;
        }
        std::vector<std::string_view> fields;
        for (std::size_t from = 0;;) {
            const std::size_t sep = line.find_first_of(",\t", from);
            fields.push_back(
                framework::trimBlanks(line.substr(from, sep == std::string_view::npos ? sep : sep - from)));
            if (sep == std::string_view::npos)
                break;
            from = sep + 1;
        }
        const bool first = firstContent;
        firstContent = false;
        auto date = normalizeCsvDate(fields[0]);
        if (!date) {
            if (first)
                continue; // a line of column names
            ++out.lines;
            skip(lineNumber, "日付ではありません: " + std::string(fields[0]));
            continue;
        }
        ++out.lines;
        if (fields.size() < 5) {
            skip(lineNumber, "日付,始値,高値,安値,終値の5項目がありません");
            continue;
        }
        market::PriceRow row;
        row.code = code;
        row.date = std::move(*date);
        std::optional<double>* prices[] = {&row.open, &row.high, &row.low, &row.close};
        const char* names[] = {"始値", "高値", "安値", "終値"};
        bool good = true;
        for (std::size_t p = 0; p < 4 && good; ++p) {
            auto value = readPriceCell(fields[p + 1], numbers);
            if (!value) {
                skip(lineNumber,
                     std::string(names[p]) + "が数値ではありません: " + std::string(fields[p + 1]));
                good = false;
                break;
            }
            *prices[p] = roundToCents(*value);
        }
        if (!good)
            continue;
        if (fields.size() > 5) {
            auto volume = readVolumeCell(fields[5], numbers);
            if (!volume) {
                skip(lineNumber, "出来高が株数ではありません: " + std::string(fields[5]));
                continue;
            }
            row.volume = *volume;
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

CodeImportResult importCodeCsv(framework::ZSqlElement& db, const std::string& rawCode,
                               const std::filesystem::path& path) {
    CodeImportResult result;
    const std::string code(framework::trimBlanks(rawCode));
    if (code.empty()) {
        result.message = "コードが入力されていません。";
        return result;
    }
    if (path.empty()) {
        result.message = "ファイルが入力されていません。";
        return result;
    }
    std::string bytes;
    if (!readBytes(path, bytes)) {
        result.message = "CSVファイルを開けません";
        return result;
    }
    CodeCsvRows parsed = parseCodeCsv(bytes, code);
    if (!parsed.error.empty()) {
        result.message = "CSVファイルを開けません: " + parsed.error;
        return result;
    }
    result.lines = parsed.lines;
    result.skipped = parsed.skipped;
    result.skipReasons = std::move(parsed.skipReasons);

    market::PriceBulkWriter writer(db, {.expectedRows = parsed.rows.size()});
    for (const auto& row : parsed.rows)
        if (!writer.add(row))
            break;
    const market::BulkWriteResult written = writer.finish();
    if (!written.ok()) {
        result.failed = written.rowsFailed;
        result.message = format("インポートに失敗しました。処理行=%zu, 成功=%zu, スキップ=%zu, 失敗=%zu",
                                result.lines, std::size_t{0}, result.skipped, result.failed);
        if (!written.firstError.empty())
            result.message += "\r\n" + written.firstError;
        return result;
    }
    result.ok = true;
    result.stored = written.rowsWritten;
    result.message = format("インポート完了: 行数=%zu, 成功=%zu, スキップ=%zu, 失敗=%zu "
                            "\r\n更新ボタンを押してグラフを最新化してください。",
                            result.lines, result.stored, result.skipped, result.failed);
    return result;
}

} // namespace tavora::csv
