#pragma once
// The acquisition jobs' arguments read from the application context: the download plan and
// request from the settings and data folders, the backup places from the paths. acquisition/
// takes only these plain structs, so it never sees the context. Called on the thread that owns
// the context (the UI thread or the CLI's main thread).
#include "acquisition/KabuPlusDays.h"
#include "acquisition/KabuPlusDownload.h"
#include "acquisition/PriceBackup.h"
#include "app/core/AppContext.h"

#include <string>
#include <vector>

namespace tavora::framework {
class ZSqlElement;
}

namespace tavora::app {

// The days to fetch for the context: the Japanese calendar of the market-day folder, the last
// stored day of "0001" read through `priceDb` (a connection of the calling thread), the
// context's one-year anchor and today.
acquisition::DownloadDays planKabuPlusDownload(const AppContext& context, framework::ZSqlElement& priceDb);
// A request with the context's service address, CA file and account, for `days`.
acquisition::KabuPlusRequest kabuPlusRequest(const AppContext& context, const std::string& downloadDir,
                                             std::vector<framework::YmdDate> days);

// The places of the program's data folder: the price database folder opened at start-up
// (the data-path setting does not move it) and data/buckup.
acquisition::PriceBackupPlaces priceBackupPlaces(const AppPaths& paths);

} // namespace tavora::app
