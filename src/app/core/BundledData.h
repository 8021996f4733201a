#pragma once
// The data that ships with the program (reference files, calendars, sample prices) and its
// installation into a user's application root, so that a first start without the reference
// server still shows real-looking charts. Run once at start-up on the UI thread, right after
// the directories exist and the price database is open; never overwrites what is there.
#include "app/core/AppContext.h"
#include "framework/Sql.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavora::app {

// Environment variable naming the data folder explicitly (packaging, tests).
inline constexpr const char* kDataDirEnv = "TAVORA_DATA_DIR";

// What an installation step did, and what went wrong. A failure of one file does not stop
// the others; each is one line of errors.
struct BundledDataResult {
    std::vector<std::string> copiedFiles; // target paths of the reference files copied
    std::size_t codesRegistered = 0;      // sample price files stored in kabukadb
    std::size_t rowsRegistered = 0;
    bool pricesSkipped = false; // kabukadb already held rows, so no sample price was stored
    std::vector<std::string> errors;

    bool ok() const { return errors.empty(); }
    std::string errorText() const; // the error lines joined by "\n"; empty when ok
    void merge(BundledDataResult other);
};

// The directory of the running executable (from /proc/self/exe); empty when unknown.
std::filesystem::path currentExecutableDir();

// The installed data folder: $TAVORA_DATA_DIR when set (and only then), else
// executableDir/data (the build tree), else executableDir/../share/tavora (an installed
// prefix). None when no candidate is a directory.
std::optional<std::filesystem::path> findBundledDataDir(const std::filesystem::path& executableDir);

// Copies dataDir/others/* into paths.othersDir and dataDir/marketday/* into
// paths.marketDayDir, each file only when its target does not exist. A copy is written under
// a temporary name and renamed, so no half-written reference file is left behind.
BundledDataResult copyBundledReferenceFiles(const std::filesystem::path& dataDir, const AppPaths& paths);

// When kabukadb holds no row at all, stores every dataDir/prices/<code>.csv (the per-code
// CSV form: date,open,high,low,close,volume, no header) in one transaction. A malformed file
// is reported and none of its rows is stored; the valid files are stored. A price of 0 is
// stored as absent (a day without trade).
BundledDataResult registerBundledPrices(const std::filesystem::path& dataDir,
                                        framework::ZSqlElement& priceDb);

// Both steps above, for the start-up sequence: finds the data folder beside the running
// executable (or through $TAVORA_DATA_DIR) and fills the context's application root.
BundledDataResult installBundledData(AppContext& context);

} // namespace tavora::app
