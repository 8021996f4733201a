#pragma once
// The program's start-up and shutdown steps that need no window, on the application context.
// The desktop program runs its window steps between them; tavora-cli runs the core steps
// alone (cli/CliSession.h). Everything here runs on the UI thread, in the order given.
#include "app/core/AppContext.h"
#include "framework/Log.h"
#include "framework/Progress.h"

#include <string>

namespace tavora::app {

// $TAVORA_APPDATA, else $XDG_DATA_HOME, else ~/.local/share; then "/Tavora". "\" becomes "/".
std::string resolveApplicationRoot();
// The directory that may hold a pending "tmp/kabukadb": $TAVORA_BASEDIR, else the
// directory of the running executable.
std::string resolveBaseDirectory();

// Creates the application root with mode 0700 (its parents as needed). False when it cannot
// be made. The single-instance lock lives in it, so programs call this before locking.
bool createApplicationRoot(const std::string& root);
// Why nothing can be written in the application root (a file is made there and removed
// again), e.g. a read-only folder or file system; empty when it can be written.
std::string applicationRootWriteProblem(const std::string& root);

// Fills every path of the directory layout below `root` (nothing is created).
void fillAppPaths(AppPaths& paths, const std::string& root);

// Steps 7 to 12 of start-up: directories (root 0700), pending price-database migration,
// price database, emptied temporary directory, log with pruning and start banner, untitled
// document path, the bundled data on a first start, the scale file in memory, settings.
// `root` empty means resolveApplicationRoot(). False when the application root cannot be made.
bool runCoreStartup(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress,
                    const std::string& root = {});
// Steps 20 to 25: the code list, the analysis definitions, the catalogue, the first entry
// made current and the splits attached.
void runCatalogueStartup(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress);

// Shutdown steps 2, 3, 5 and 6: end banner and log flush, the exit keys, the current code's
// scale stored and the scale file written back.
void runCoreShutdownSaves(AppContext& ctx, framework::ZLog& log);
// Shutdown step 9: the temporary directory deleted.
void deleteTemporaryDirectory(const AppContext& ctx);
// The session-end notice: the end-session banner only, nothing saved.
void logEndSession(framework::ZLog& log);

// The current code's scale (ctx.scale) stored in the in-memory scale table; nothing when no
// code is current. Called before another code becomes current and at exit.
void storeCurrentCodeScale(AppContext& ctx);

} // namespace tavora::app
