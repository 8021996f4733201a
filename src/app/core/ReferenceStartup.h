#pragma once
// The reference-data server's places in start-up and shutdown, on the application context.
// Called by the start-up and shutdown sequences (and tavora-cli) on the UI thread, in this
// order: StartNetwork (step 17), StartUpdateCheck (step 18), StartReferenceRefresh (step 19);
// at exit StopUpdateCheck (first), CloseReferenceSession, ReleaseNetwork.
// Host, port and CA file come from the settings refserver_host, refserver_port and
// refserver_cafile, so settings must be loaded first.
#include "acquisition/ReferenceRefresh.h"
#include "app/core/AppContext.h"
#include "framework/Log.h"
#include "framework/Progress.h"

#include <string>

namespace tavora::app {

// In the functions below, log lines go to sink and, when log is given, to the application log.

// Creates the TLS client context (refserver_cafile now, the system trust store at the first
// connection that needs it) and points both accounts at the configured server. A CA file that
// cannot be read is logged; a system store that cannot be loaded is logged by
// StartReferenceRefresh once a connection needed it.
void StartNetwork(AppContext& context, framework::ProgressSink& sink, framework::ZLog* log = nullptr);

// Shows "更新プログラムの確認", clears the pending-update text and starts the update check on
// its own thread; what it finds lands in context.pendingUpdate. binDir holds the installed
// executables and data folder (the running executable's directory).
void StartUpdateCheck(AppContext& context, framework::ProgressSink& sink, const std::string& binDir,
                      const framework::NetTimeouts& timeouts = {});

// Opens the session with the data account and refreshes the reference files. False when the
// session could not be opened: the files on disk stay as they are and start-up goes on.
// The session is kept in the context either way, for later probes and the close at exit.
bool StartReferenceRefresh(AppContext& context, framework::ProgressSink& sink,
                           acquisition::RefreshReport* report = nullptr,
                           const framework::NetTimeouts& timeouts = {}, framework::ZLog* log = nullptr);

// Shutdown: ends the update check (within 100 ms) before anything is saved.
void StopUpdateCheck(AppContext& context);
// Shutdown: NOOP and QUIT when the server still answers, within a few seconds at most.
void CloseReferenceSession(AppContext& context);
// Shutdown: frees the TLS client context.
void ReleaseNetwork(AppContext& context);

} // namespace tavora::app
