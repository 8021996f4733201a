#include "app/core/BundledData.h"

#include "framework/CsvReader.h"
#include "framework/Dates.h"
#include "framework/TextTrim.h"
#include "market/PriceDatabase.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace tavora::app {

namespace {

// A bundled price file is a few hundred kilobytes; anything far larger is not ours.
constexpr std::uintmax_t kMaxPriceFileBytes = 64u * 1024u * 1024u;

struct PriceFile {
    std::string code;
    std::vector<market::PriceRow> rows;
    std::string error; // empty when the whole file was read
};

using framework::trimBlanks;

// "YYYY-MM-DD" naming a real calendar day (the stored form of every date).
bool isDateText(std::string_view text) {
    return text.size() == 10 && text[4] == '-' && framework::parseDate(text).has_value();
}

// A price of 0 means the day had no trade: stored as absent.
bool parsePrice(std::string_view text, std::optional<double>& out) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0)
        return false;
    out = value == 0 ? std::nullopt : std::optional<double>(value);
    return true;
}

bool parseVolume(std::string_view text, std::int64_t& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size() && out >= 0;
}

// A code becomes the key of kabukadb and of the per-code settings; keep it to plain text.
bool isAcceptableCode(std::string_view code) {
    return !code.empty() && code.size() < 24 && std::all_of(code.begin(), code.end(), [](unsigned char c) {
        return c > 0x20 && c < 0x7F && c != '\'';
    });
}

std::string lineError(const fs::path& file, std::size_t lineNumber, const char* reason) {
    return "同梱の株価ファイルが不正です: " + file.string() + " " + std::to_string(lineNumber) +
           "行目: " + reason;
}

// Reads one whole price file; on the first malformed line the file is rejected as a whole.
PriceFile readPriceFile(const fs::path& file) {
    PriceFile result;
    result.code = file.stem().string();
    if (!isAcceptableCode(result.code)) {
        result.error = "同梱の株価ファイルの名前がコードではありません: " + file.string();
        return result;
    }
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec || size > kMaxPriceFileBytes) {
        result.error = "同梱の株価ファイルを読めません: " + file.string();
        return result;
    }
    // Plain comma-separated numbers: no quoting.
    const framework::CsvResult csv =
        framework::ReadCsvFileInfo(file, framework::CsvEncoding::Utf8, ',', std::nullopt);
    if (!csv.ok()) {
        result.error = "同梱の株価ファイルを読めません: " + file.string() + ": " + csv.error;
        return result;
    }
    for (std::size_t index = 0; index < csv.rows.size(); ++index) {
        const std::size_t lineNumber = index + 1; // the reader gives every line a row
        const auto& fields = csv.rows[index];
        if (fields.size() == 1 && trimBlanks(fields[0]).empty())
            continue;
        if (fields.size() != 6) {
            result.error =
                lineError(file, lineNumber, "日付,始値,高値,安値,終値,出来高の6項目ではありません");
            break;
        }
        std::array<std::string_view, 6> cells;
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = trimBlanks(fields[i]);
        market::PriceRow row;
        row.code = result.code;
        row.date = std::string(cells[0]);
        if (!isDateText(cells[0])) {
            result.error = lineError(file, lineNumber, "日付が不正です");
            break;
        }
        if (!result.rows.empty() && row.date <= result.rows.back().date) {
            result.error = lineError(file, lineNumber, "日付が昇順ではありません");
            break;
        }
        if (!parsePrice(cells[1], row.open) || !parsePrice(cells[2], row.high) ||
            !parsePrice(cells[3], row.low) || !parsePrice(cells[4], row.close)) {
            result.error = lineError(file, lineNumber, "価格が数値ではありません");
            break;
        }
        if (!parseVolume(cells[5], row.volume)) {
            result.error = lineError(file, lineNumber, "出来高が整数ではありません");
            break;
        }
        result.rows.push_back(std::move(row));
    }
    if (result.error.empty() && result.rows.empty())
        result.error = "同梱の株価ファイルに株価がありません: " + file.string();
    if (!result.error.empty())
        result.rows.clear();
    return result;
}

// The regular files directly in a directory, by name; empty when it does not exist.
std::vector<fs::path> filesIn(const fs::path& dir, std::error_code& ec) {
    std::vector<fs::path> files;
    ec.clear();
    if (!fs::is_directory(dir, ec)) {
        ec.clear();
        return files;
    }
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool targetExists(const fs::path& target) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(target, ec));
}

// Copies the files of one bundled folder that are missing from the target folder.
void copyMissingFiles(const fs::path& sourceDir, const fs::path& targetDir, BundledDataResult& result) {
    std::error_code ec;
    const auto files = filesIn(sourceDir, ec);
    if (ec) {
        result.errors.push_back("同梱データのフォルダを読めません: " + sourceDir.string() + ": " +
                                ec.message());
        return;
    }
    if (files.empty())
        return;
    if (!fs::is_directory(targetDir, ec) && !fs::create_directories(targetDir, ec)) {
        result.errors.push_back("フォルダを作成できません: " + targetDir.string() + ": " + ec.message());
        return;
    }
    for (const auto& source : files) {
        const fs::path target = targetDir / source.filename();
        if (targetExists(target))
            continue; // the user's or the server's file always wins
        const fs::path temporary = targetDir / ("." + source.filename().string() + ".bundled-tmp");
        fs::remove(temporary, ec);
        if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
            fs::remove(temporary, ec);
            result.errors.push_back("同梱データをコピーできません: " + source.string() + " -> " +
                                    target.string() + ": " + ec.message());
            continue;
        }
        if (targetExists(target)) { // appeared while we copied: keep it
            fs::remove(temporary, ec);
            continue;
        }
        fs::rename(temporary, target, ec);
        if (ec) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            result.errors.push_back("同梱データをコピーできません: " + source.string() + " -> " +
                                    target.string() + ": " + ec.message());
            continue;
        }
        result.copiedFiles.push_back(target.string());
    }
}

// True when kabukadb holds at least one row; none when the table cannot be read.
std::optional<bool> priceTableHasRows(framework::ZSqlElement& db, std::string& error) {
    if (!db.isOpen()) {
        error = "価格データベースが開かれていません";
        return std::nullopt;
    }
    framework::SqlStatement query(db, "SELECT 1 FROM kabukadb LIMIT 1;");
    if (!query.ok()) {
        error = query.error();
        return std::nullopt;
    }
    const int step = query.step();
    if (step == 100)
        return true;
    if (step == 101)
        return false;
    error = "SQLite error " + std::to_string(step);
    return std::nullopt;
}

} // namespace

std::string BundledDataResult::errorText() const {
    std::string text;
    for (const auto& line : errors) {
        if (!text.empty())
            text += "\n";
        text += line;
    }
    return text;
}

void BundledDataResult::merge(BundledDataResult other) {
    for (auto& file : other.copiedFiles)
        copiedFiles.push_back(std::move(file));
    codesRegistered += other.codesRegistered;
    rowsRegistered += other.rowsRegistered;
    pricesSkipped = pricesSkipped || other.pricesSkipped;
    for (auto& line : other.errors)
        errors.push_back(std::move(line));
}

fs::path currentExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path{} : exe.parent_path();
}

std::optional<fs::path> findBundledDataDir(const fs::path& executableDir) {
    std::error_code ec;
    if (const char* env = std::getenv(kDataDirEnv); env != nullptr && *env != '\0') {
        const fs::path dir(env);
        return fs::is_directory(dir, ec) ? std::optional<fs::path>(dir) : std::nullopt;
    }
    if (executableDir.empty())
        return std::nullopt;
    for (const fs::path& candidate : {executableDir / "data", executableDir / ".." / "share" / "tavora"}) {
        if (fs::is_directory(candidate, ec))
            return candidate.lexically_normal();
    }
    return std::nullopt;
}

BundledDataResult copyBundledReferenceFiles(const fs::path& dataDir, const AppPaths& paths) {
    BundledDataResult result;
    copyMissingFiles(dataDir / "others", paths.othersDir, result);
    copyMissingFiles(dataDir / "marketday", paths.marketDayDir, result);
    return result;
}

BundledDataResult registerBundledPrices(const fs::path& dataDir, framework::ZSqlElement& priceDb) {
    BundledDataResult result;
    std::string error;
    const auto hasRows = priceTableHasRows(priceDb, error);
    if (!hasRows) {
        result.errors.push_back("同梱の株価を登録できません: " + error);
        return result;
    }
    if (*hasRows) {
        result.pricesSkipped = true;
        return result;
    }
    std::error_code ec;
    std::vector<PriceFile> files;
    for (const auto& path : filesIn(dataDir / "prices", ec)) {
        if (path.extension() != ".csv")
            continue;
        PriceFile file = readPriceFile(path);
        if (!file.error.empty()) {
            result.errors.push_back(std::move(file.error));
            continue;
        }
        files.push_back(std::move(file));
    }
    if (ec) {
        result.errors.push_back("同梱データのフォルダを読めません: " + (dataDir / "prices").string() + ": " +
                                ec.message());
    }
    if (files.empty())
        return result;

    // One transaction for all files: a failing row leaves kabukadb empty, and the next start
    // tries again.
    std::size_t rowCount = 0;
    for (const auto& file : files)
        rowCount += file.rows.size();
    market::PriceBulkWriter writer(priceDb, {.expectedRows = rowCount});
    bool rowFailed = false;
    for (const auto& file : files) {
        for (const auto& row : file.rows) {
            if (!writer.add(row)) {
                rowFailed = true;
                break;
            }
        }
        if (rowFailed)
            break;
    }
    const market::BulkWriteResult written = writer.finish();
    if (!written.ok()) {
        result.errors.push_back("同梱の株価を登録できません: " + written.outcome.message());
        return result;
    }
    result.codesRegistered = files.size();
    result.rowsRegistered = written.rowsWritten;
    return result;
}

BundledDataResult installBundledData(AppContext& context) {
    BundledDataResult result;
    const auto dataDir = findBundledDataDir(currentExecutableDir());
    if (!dataDir) {
        result.errors.push_back("同梱データのフォルダが見つかりません");
        return result;
    }
    result.merge(copyBundledReferenceFiles(*dataDir, context.paths));
    result.merge(registerBundledPrices(*dataDir, context.priceDb));
    return result;
}

} // namespace tavora::app
