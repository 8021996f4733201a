#pragma once
// The companion merge where the program runs it: at start-up when `sync_moravel_db` is on
// (with the splash texts and log lines), and on request (the Home head's "更新", tavora-cli
// sync), which does not consult the flag. UI thread (or the CLI's main thread), with the
// context's price connection; each merge holds a ticket of the context's price-job guard.
#include "acquisition/CompanionMerge.h"
#include "app/core/AppContext.h"
#include "framework/Log.h"
#include "framework/Progress.h"

namespace tavora::app {

inline constexpr const char* kSyncingText = "moravelとデータ同期中";
inline constexpr const char* kSyncCancelledText = "moravelとデータ同期キャンセル";
inline constexpr const char* kSyncFailedLog = "同期失敗: ";
inline constexpr const char* kSyncSucceededLog = "同期成功";

// The companion's paths for the context's application root.
acquisition::CompanionPaths companionPathsOf(const AppContext& ctx);

// Start-up: when `sync_moravel_db` is on, shows "moravelとデータ同期中" and merges the companion
// database when it exists and is not being written. A failure is logged ("同期失敗: " and the
// text, also on standard error) and shown ("moravelとデータ同期キャンセル"); a success logs
// "同期成功". A missing companion or its busy marker leaves no trace. Start-up goes on either way.
void RunStartupCompanionSync(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress);

// On request: the merge whatever the flag says, refused while another price-database job
// runs. A failure is logged as at start-up. `cancel` (optional) stops the copy, keeping nothing.
acquisition::SyncResult SyncCompanionNow(AppContext& ctx, framework::ZLog* log,
                                         const std::atomic<bool>* cancel = nullptr);

} // namespace tavora::app
