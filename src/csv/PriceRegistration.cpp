#include "csv/PriceRegistration.h"

#include "acquisition/PriceBackup.h"
#include "framework/InputFile.h"
#include "market/PriceDatabase.h"
#include "market/StockCode.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace tavora::csv {

namespace fs = std::filesystem;

namespace {

bool isCsvName(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".csv";
}

std::uintmax_t sizeOf(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

// Reads and maps the files in order on a thread of its own, at most two files ahead of the
// writer, so that reading one file overlaps writing the one before. The files refused before
// the run are not read; they come back empty.
class FileReader {
public:
    FileReader(const std::vector<fs::path>& files, const CsvMapping& mapping,
               const market::CatalogueCodes& catalogue,
               const std::map<std::size_t, FileRegistration>& refused)
        : m_files(files), m_mapping(mapping), m_catalogue(catalogue), m_refused(refused),
          m_thread([this] { run(); }) {}
    ~FileReader() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    struct ReadFile {
        PriceCsvFile parsed;
        std::size_t rowsNotInCatalogue = 0;
    };

    // The next file in order; call at most once per file.
    ReadFile next() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        ReadFile file = std::move(m_ready.front());
        m_ready.pop_front();
        m_changed.notify_all();
        return file;
    }

private:
    static constexpr std::size_t kAhead = 2;

    // Gives the rows the catalogue's spelling of their codes; returns the rows it lacks.
    std::size_t spellAsCatalogue(PriceCsvFile& file) const {
        if (m_catalogue.empty())
            return 0;
        std::size_t missing = 0;
        std::optional<std::string> lastCode; // the rows of a code's file share it: looked up once
        std::optional<std::string> lastSpelling;
        for (auto& row : file.rows) {
            if (!lastCode || row.code != *lastCode) {
                lastCode = row.code;
                lastSpelling = m_catalogue.find(row.code);
            }
            if (!lastSpelling)
                ++missing;
            else if (row.code != *lastSpelling)
                row.code = *lastSpelling;
        }
        return missing;
    }

    void run() {
        for (std::size_t i = 0; i < m_files.size(); ++i) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stop || m_ready.size() < kAhead; });
                if (m_stop)
                    return;
            }
            PriceCsvFile file = m_refused.contains(i) ? PriceCsvFile{} : readPriceCsv(m_files[i], m_mapping);
            std::size_t notInCatalogue = spellAsCatalogue(file);
            std::lock_guard lock(m_mutex);
            m_ready.push_back({std::move(file), notInCatalogue});
            m_changed.notify_all();
        }
    }

    const std::vector<fs::path>& m_files;
    const CsvMapping& m_mapping;
    const market::CatalogueCodes& m_catalogue;
    const std::map<std::size_t, FileRegistration>& m_refused;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ReadFile> m_ready;
    bool m_stop = false;
    std::thread m_thread; // last: starts once the members above exist
};

// One pass over the files into one bulk write. Each file is all or nothing: when the database
// refuses a row, the pass reports the file it belongs to, and the caller runs a new pass
// without that file (the failed pass is rolled back whole).
struct Pass {
    std::vector<FileRegistration> files;
    bool cancelled = false;
    std::optional<std::size_t> refusedFile; // the file whose row the database refused
    std::string refusedReason;
    std::string refusedReasonEnglish;
};

// Every line skipped is a failure of the file, not a registration of no rows.
std::string noRowsRefusal(const PriceCsvFile& parsed) {
    std::string refusal = kNoRowsText;
    if (parsed.skipped > 0)
        refusal += "（" + skipCountsText(parsed.skipCounts) + "）";
    return refusal;
}

std::string noRowsRefusalEnglish(const PriceCsvFile& parsed) {
    std::string refusal = "no row can be stored";
    if (parsed.skipped > 0)
        refusal += " (" + skipCountsNames(parsed.skipCounts) + ")";
    return refusal;
}

// A file's refusal after reading it: the mapping's reason, or that no row can be stored.
void refuseParsed(FileRegistration& file, PriceCsvFile& parsed) {
    const bool readable = parsed.ok(); // asked once: moving the error out changes the answer
    file.refusal = readable ? noRowsRefusal(parsed) : std::move(parsed.error);
    file.refusalEnglish = readable ? noRowsRefusalEnglish(parsed) : std::move(parsed.errorEnglish);
}

struct RowRange {
    std::size_t file; // index into Pass::files, which is the index into the request's files
    std::size_t first;
    std::size_t count;
};

Pass writePass(framework::ZSqlElement& db, const RegistrationRequest& request,
               const market::CatalogueCodes& catalogue,
               const std::map<std::size_t, FileRegistration>& refusedBefore,
               const std::map<std::size_t, std::pair<std::string, std::string>>& refusedByDatabase,
               framework::ProgressSink& progress, const std::atomic<bool>* cancel) {
    Pass pass;
    const std::size_t count = request.files.size();
    FileReader reader(request.files, request.mapping, catalogue, refusedBefore);
    std::optional<market::PriceBulkWriter> writer;
    std::vector<RowRange> ranges;
    std::size_t rowsAdded = 0;
    bool writeFailed = false;
    for (std::size_t i = 0; i < count && !writeFailed; ++i) {
        if (cancel && cancel->load()) {
            pass.cancelled = true;
            break;
        }
        const fs::path& path = request.files[i];
        progress.status(std::to_string(i + 1) + " / " + std::to_string(count) + " " +
                        path.filename().string());
        progress.percent(static_cast<int>(i * 100 / count));
        auto [parsed, notInCatalogue] = reader.next();
        if (cancel && cancel->load()) { // raised while the file was read: it is not written
            pass.cancelled = true;
            break;
        }
        if (auto it = refusedBefore.find(i); it != refusedBefore.end()) {
            pass.files.push_back(it->second);
            continue;
        }
        FileRegistration& file = pass.files.emplace_back();
        file.path = path;
        file.rowsSkipped = parsed.skipped;
        file.skipCounts = parsed.skipCounts;
        file.rowsNotInCatalogue = notInCatalogue;
        file.skips = std::move(parsed.skips);
        file.missingCode = parsed.missingCode;
        if (!parsed.ok() || parsed.rows.empty()) {
            refuseParsed(file, parsed);
            continue;
        }
        if (auto it = refusedByDatabase.find(i); it != refusedByDatabase.end()) {
            file.refusal = it->second.first;
            file.refusalEnglish = it->second.second;
            continue;
        }
        if (!writer) {
            // The run's size, estimated from this file's rows per byte, lets the writer choose
            // to rebuild the secondary indexes once instead of updating them row by row.
            std::uintmax_t bytes = 0;
            for (std::size_t k = i; k < count; ++k)
                bytes += sizeOf(request.files[k]);
            const std::uintmax_t own = std::max<std::uintmax_t>(sizeOf(path), 1);
            writer.emplace(db, market::BulkWriteOptions{.expectedRows = static_cast<std::size_t>(
                                                            parsed.rows.size() * bytes / own)});
        }
        ranges.push_back({pass.files.size() - 1, rowsAdded + 1, parsed.rows.size()});
        file.rowsStored = parsed.rows.size(); // once the pass commits
        for (auto& row : parsed.rows) {
            ++rowsAdded;
            if (!writer->add(std::move(row))) {
                writeFailed = true;
                break;
            }
        }
    }
    if (!writer)
        return pass;
    progress.status("データベースに書き込み中");
    const market::BulkWriteResult written = writer->finish();
    if (written.ok()) {
        for (auto& file : pass.files)
            file.stored = file.refusal.empty();
        return pass;
    }
    const std::string reason = "データベースに書き込めません: " + written.outcome.message();
    const std::string reasonEnglish = "cannot write to the price database: " + written.outcome.english();
    for (const auto& range : ranges)
        if (written.firstFailedRow >= range.first && written.firstFailedRow < range.first + range.count) {
            pass.refusedFile = range.file;
            pass.refusedReason = reason;
            pass.refusedReasonEnglish = reasonEnglish;
            return pass;
        }
    // Not a row's failure (the transaction or the commit): nothing of the pass is stored.
    for (auto& file : pass.files)
        if (file.refusal.empty()) {
            file.refusal = reason;
            file.refusalEnglish = reasonEnglish;
            file.rowsStored = 0;
        }
    for (std::size_t i = pass.files.size(); i < count && !pass.cancelled; ++i) {
        FileRegistration& file = pass.files.emplace_back();
        file.path = request.files[i];
        file.refusal = reason;
        file.refusalEnglish = reasonEnglish;
    }
    return pass;
}

// Why a file cannot be read at all (gone, not a regular file, no read permission); empty when
// it can. Opened as the reader opens it, without blocking, so a FIFO cannot hang the check.
std::string unreadable(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(fs::status(path, ec))) // a dangling link included
        return kMissingFileText;
    framework::InputFile file;
    return file.open(path) ? std::string() : file.reason();
}

// What is known before the backup: the files that cannot be read are refused, and the files
// are tried in order through the mapping until one gives rows, those before it refused with
// the mapping's reason. The run then has at least one file to store, or nothing is done at all
// (no backup either). Reading stops at the first good file: the others are read by the run.
struct Precheck {
    std::map<std::size_t, FileRegistration> refused;
    bool registrable = false;
    bool cancelled = false;
};

Precheck precheck(const RegistrationRequest& request, framework::ProgressSink& progress,
                  const std::atomic<bool>* cancel) {
    Precheck check;
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        if (cancel && cancel->load()) {
            check.cancelled = true;
            return check;
        }
        const fs::path& path = request.files[i];
        if (auto why = unreadable(path); !why.empty()) {
            FileRegistration& file = check.refused[i];
            file.path = path;
            file.refusalEnglish =
                why == kMissingFileText ? "no such file" : why; // the reader's reasons are English
            file.refusal = std::move(why);
            continue;
        }
        if (check.registrable)
            continue;
        progress.status(std::string(kCheckingText) + path.filename().string());
        PriceCsvFile parsed = readPriceCsv(path, request.mapping);
        if (parsed.ok() && !parsed.rows.empty()) {
            check.registrable = true;
            continue;
        }
        FileRegistration& file = check.refused[i];
        file.path = path;
        file.rowsSkipped = parsed.skipped;
        file.skipCounts = parsed.skipCounts;
        file.missingCode = parsed.missingCode;
        refuseParsed(file, parsed);
        file.skips = std::move(parsed.skips);
    }
    return check;
}

// The result of a run that wrote nothing because no file could be stored.
RegistrationResult nothingToRegister(const Precheck& check) {
    RegistrationResult result;
    for (const auto& [i, file] : check.refused) {
        result.files.push_back(file);
        result.skipCounts += file.skipCounts;
    }
    return result;
}

void report(const RegistrationResult& result, framework::ProgressSink& progress) {
    for (const auto& file : result.files)
        progress.logLine(file.stored
                             ? "registered " + file.path.string() + ": " + std::to_string(file.rowsStored) +
                                   " rows, " + std::to_string(file.rowsSkipped) + " skipped"
                             : "refused " + file.path.string() + ": " + file.refusal);
    progress.percent(-1);
    progress.status(registeredCountText(result.rowsStored));
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
    // Nothing is backed up for a run that cannot store anything: with a handful of backups
    // kept, failed tries would push the real ones out.
    const Precheck check = precheck(request, progress, cancel);
    if (check.cancelled || !check.registrable) {
        RegistrationResult result = check.cancelled ? RegistrationResult{} : nothingToRegister(check);
        result.cancelled = check.cancelled;
        report(result, progress);
        return result;
    }
    RegistrationResult result;
    if (request.backupFirst) {
        const auto backup =
            acquisition::BackupBeforeRegistration({request.priceDbDir, request.backupDir}, progress, cancel);
        if (const auto& why = backup.outcome; !why) {
            result.error = backup.statusText + (why.message().empty() ? "" : "（" + why.message() + "）");
            result.errorEnglish = "the backup failed, nothing was registered" +
                                  (why.english().empty() ? "" : " (" + why.english() + ")");
            result.cancelled = backup.cancelled;
            progress.percent(-1);
            progress.status(backup.statusText);
            return result;
        }
        result.backupName = backup.name;
    }
    framework::ZSqlElement db;
    if (market::PriceDatabase::open(db, request.priceDbDir) != 0) {
        result.error = "株価データベースを開けません: " + db.lastError();
        result.errorEnglish = "cannot open the price database: " + db.lastError();
        return result;
    }
    // Every refusal removes one file, so this ends after at most one pass per file.
    std::map<std::size_t, std::pair<std::string, std::string>> refusedByDatabase; // Japanese, English
    const market::CatalogueCodes catalogue(request.catalogueCodes);
    Pass pass;
    for (;;) {
        pass = writePass(db, request, catalogue, check.refused, refusedByDatabase, progress, cancel);
        if (!pass.refusedFile)
            break;
        refusedByDatabase[*pass.refusedFile] = {pass.refusedReason, pass.refusedReasonEnglish};
    }
    result.files = std::move(pass.files);
    result.cancelled = pass.cancelled;
    for (const auto& file : result.files) {
        result.rowsStored += file.stored ? file.rowsStored : 0;
        result.skipCounts += file.skipCounts;
        result.rowsNotInCatalogue += file.stored ? file.rowsNotInCatalogue : 0;
    }
    report(result, progress);
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
