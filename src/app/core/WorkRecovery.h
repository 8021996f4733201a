#pragma once
// The work kept when the desktop session ends (log-out, SIGTERM) while the open document holds
// unsaved work: a copy of the state shown, written atomically into the data folder, and offered
// at the next start. The document file the user keeps is never written here: a named document
// is kept as a copy too, with its path beside it. UI thread.
#include "app/core/AppContext.h"
#include "framework/Log.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavora::app {

// <root>/recovery/recovery.tvrd (a complete chart document) and <root>/recovery/source.txt
// (the named document's path; empty for the untitled document).
struct RecoveryFiles {
    std::string folder;
    std::string document;
    std::string source;
};
RecoveryFiles recoveryFilesOf(const AppPaths& paths);

enum class RecoveryWrite { Nothing, Written, Failed };
// Keeps the document's state when it holds unsaved work (DocumentSteps: HoldsUnsavedWork);
// Nothing when it holds none. The path goes first, the document last: a document in place is
// always complete and has its own path beside it. Failed, with the reason, leaves no document.
RecoveryWrite writeRecovery(const AppContext& ctx, std::string* error = nullptr);

// The desktop session ends: the work is kept (writeRecovery) and the log says what was kept, or
// why it could not be.
void keepWorkAtSessionEnd(const AppContext& ctx, framework::ZLog& log);

struct RecoveredWork {
    std::string document;  // the kept chart document
    std::string source;    // the path the work belongs to; empty for the untitled document
    std::int64_t time = 0; // when it was kept (seconds since 1970)
};
// The kept work, if there is any.
std::optional<RecoveredWork> findRecovery(const AppPaths& paths);
// Removes the kept work (after it was taken back or given up).
void discardRecovery(const AppPaths& paths);

}  // namespace tavora::app
