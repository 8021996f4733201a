#pragma once
// Registration of price CSV files into the price database: the files are read through the
// column mapping and stored in list order, each file all or nothing: a file is either wholly
// stored or not at all, also when the process dies while writing it. The files of a run go
// into one bulk write (a commit per file would rewrite the key b-trees once per file); when
// the database refuses a row, that file is refused and the run is written again without it.
// Before anything else the files are checked: a file that is gone or cannot be read is
// refused, and the files are read through the mapping in order until one gives rows (those
// before it are refused with the mapping's reason). When no file can be stored the run ends
// there: no backup, nothing written. Otherwise, when asked, a backup of the price database is
// made; a failed backup stops the run before anything is written.
//
// Used by the desktop program's データ取込 page (on a worker thread), by `tavora-cli import`
// and by `tavora-cli download --register`. The caller holds the registration ticket of the
// price-database job guard for the whole run. The function opens its own connection to the
// price database, so it may run on any thread (it reads the next files on a thread of its own
// while it writes); progress goes to the sink (per file), and the cancel flag is read between
// files and once a file is read, before its rows are written: a cancelled run stores the files
// handled before it, each whole.
#include "csv/CsvMapping.h"
#include "csv/PriceCsvParser.h"
#include "framework/Progress.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tavora::csv {

struct RegistrationRequest {
    std::vector<std::filesystem::path> files; // registered in this order
    CsvMapping mapping;
    std::string priceDbDir;   // the folder of "kabuka.db"
    bool backupFirst = false; // the setting buckupcreate_ch
    std::string backupDir;    // where the backup goes (data/buckup)
    // The catalogue's codes: rows take the catalogue's spelling of their code, and each file
    // says how many rows had a code the catalogue lacks (stored all the same). Empty: no check.
    std::vector<std::string> catalogueCodes;
};

// What became of one file.
struct FileRegistration {
    std::filesystem::path path;
    bool stored = false;         // every row the mapping gave is in the database
    std::size_t rowsStored = 0;  // 0 unless stored
    std::size_t rowsSkipped = 0; // rows the mapping skipped (see `skips`)
    SkipCounts skipCounts;       // `rowsSkipped` by kind
    std::size_t rowsNotInCatalogue = 0; // rows (stored or not) whose code the catalogue lacks
    std::vector<SkippedRow> skips;
    std::string refusal;        // why nothing of the file was stored; empty when stored
    std::string refusalEnglish; // the same in English, for tavora-cli
    bool missingCode = false; // refused because the mapping finds no code column
};

struct RegistrationResult {
    std::vector<FileRegistration> files; // the files handled, in order
    std::size_t rowsStored = 0;          // over all files
    SkipCounts skipCounts;               // rows skipped by kind, over all files read
    std::size_t rowsNotInCatalogue = 0;  // over all files stored
    std::string error;                   // stopped before the files (backup, database)
    std::string errorEnglish;            // the same in English, for tavora-cli
    bool cancelled = false;              // files after the last handled one were not read
    std::string backupName;              // the backup made first, if any

    std::size_t filesRefused() const;
    // True when every file was stored and nothing stopped the run.
    bool ok() const { return error.empty() && !cancelled && filesRefused() == 0; }
};

// Refusals found before anything is written.
inline constexpr const char* kMissingFileText = "ファイルがありません";
inline constexpr const char* kNoRowsText = "登録できる行がありません";
// The status while the files are checked, followed by the file's name.
inline constexpr const char* kCheckingText = "ファイルを確認中 ";

// "%d 件登録": the rows stored by a run.
std::string registeredCountText(std::size_t rows);

// Runs a registration. See the header comment for threads and the ticket.
RegistrationResult registerPriceFiles(const RegistrationRequest& request, framework::ProgressSink& progress,
                                      const std::atomic<bool>* cancel = nullptr);

// The .csv files of a folder (the import folder), in the order the file view lists them:
// by name.
std::vector<std::filesystem::path> csvFilesIn(const std::filesystem::path& folder);

} // namespace tavora::csv
