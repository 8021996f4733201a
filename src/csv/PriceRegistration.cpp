#include "csv/PriceRegistration.h"

#include "market/PriceDatabase.h"

#include <algorithm>
#include <cstdio>

namespace tavora::csv {

namespace fs = std::filesystem;

namespace {

bool isCsvName(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".csv";
}

FileRegistration registerFile(framework::ZSqlElement& db, const fs::path& path, const CsvMapping& mapping) {
    FileRegistration file;
    file.path = path;
    PriceCsvFile parsed = readPriceCsv(path, mapping);
    file.rowsSkipped = parsed.skipped;
    file.skips = std::move(parsed.skips);
    if (!parsed.ok()) {
        file.refusal = std::move(parsed.error);
        return file;
    }
    if (parsed.rows.empty()) {
        file.refusal = "登録できる行がありません";
        return file;
    }
    market::PriceBulkWriter writer(db, {.expectedRows = parsed.rows.size()});
    for (const auto& row : parsed.rows)
        if (!writer.add(row))
            break;
    const market::BulkWriteResult written = writer.finish();
    if (!written.ok()) {
        file.refusal = "データベースに書き込めません: " + written.firstError;
        return file;
    }
    file.stored = true;
    file.rowsStored = written.rowsWritten;
    return file;
}

} // namespace

std::size_t RegistrationResult::filesRefused() const {
    return static_cast<std::size_t>(
        std::count_if(files.begin(), files.end(), [](const FileRegistration& f) { return !f.stored; }));
}

std::string registeredCountText(std::size_t rows) {
    char text[64];
    std::snprintf(text, sizeof text, "%zu 件登録", rows);
    return text;
}

RegistrationResult registerPriceFiles(const RegistrationRequest& request, framework::ProgressSink& progress,
                                      const std::atomic<bool>* cancel) {
    RegistrationResult result;
    framework::ZSqlElement db;
    if (market::PriceDatabase::open(db, request.priceDbDir) != 0) {
        result.error = "株価データベースを開けません: " + db.lastError();
        return result;
    }
    const std::size_t count = request.files.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            break;
        }
        const fs::path& path = request.files[i];
        progress.status(std::to_string(i + 1) + " / " + std::to_string(count) + " " +
                        path.filename().string());
        progress.percent(static_cast<int>(i * 100 / count));
        FileRegistration file = registerFile(db, path, request.mapping);
        result.rowsStored += file.rowsStored;
        progress.logLine(file.stored
                             ? "registered " + path.string() + ": " + std::to_string(file.rowsStored) +
                                   " rows, " + std::to_string(file.rowsSkipped) + " skipped"
                             : "refused " + path.string() + ": " + file.refusal);
        result.files.push_back(std::move(file));
    }
    progress.percent(-1);
    progress.status(registeredCountText(result.rowsStored));
    return result;
}

std::vector<fs::path> csvFilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && isCsvName(it->path()))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace tavora::csv
