#pragma once
// The start-up and shutdown steps the desktop runs around its windows that need no window:
// the application root and its directories, the price database, the log, the per-code scale
// table in memory, the settings and the analysis definitions; at exit the exit keys, the
// scale file written back and the temporary directory removed. Qt-free; UI thread.
//
// These stand in for the core's own start-up sequence, which is still being written; once it
// is in the tree the desktop calls it instead and this file goes.
#include "app/core/AppContext.h"
#include "framework/Log.h"
#include "framework/Progress.h"

#include <string>

namespace tavora::app {

// $TAVORA_APPDATA, else $XDG_DATA_HOME, else ~/.local/share; then "/Tavora".
std::string applicationRoot();
// Creates the root with mode 0700 (parents as needed). False when it cannot be made.
bool createApplicationRoot(const std::string& root);

// Steps 7 to 12: paths and directories (the temporary directory emptied), the price database,
// the bundled data on a first start, the log with its start banner, the untitled document
// path, the scale file copied into memory and the settings loaded.
void runStartupBeforeWindow(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress);
// Steps 20 to 25: code list, analysis definitions, catalogue, first entry current, splits.
void runStartupAfterWindow(AppContext& ctx, framework::ZLog& log);

// The current code's row of the scale table from ctx.scale (nothing without a current code).
void storeCodeScale(AppContext& ctx);
// Stores one settings key at once (the web side panel's width switch).
void storeSetting(const AppContext& ctx, const std::string& key, const std::string& value);

// Shutdown steps 2, 3 and 6: the end banner, the window rectangle and the exit keys, the
// scale file replaced by the in-memory table.
void runShutdownSaves(AppContext& ctx, framework::ZLog& log);
// Shutdown step 9: the temporary directory deleted.
void removeTemporaryDirectory(const AppContext& ctx);
// The log-off notice: the end-session banner only.
void writeEndSessionBanner(framework::ZLog& log);

}  // namespace tavora::app
