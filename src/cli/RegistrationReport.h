#pragma once
// How the commands that register price files (import, download --register) run the
// registration and tell its outcome: "registered FILE: R rows, K skipped" or
// "refused FILE: reason" per file and a total line on standard output, the skipped rows on
// standard error. Main thread only.
#include "csv/PriceRegistration.h"

#include <atomic>

namespace tavora::cli {

class CliSession;
class TextProgress;

// Registers the request under the session's registration ticket and prints the outcome.
// Returns the exit status: ExitOk when every file was stored, ExitCancelled when `cancel`
// (cli/Interruption.h) stopped the run between files.
int registerAndReport(CliSession& session, const csv::RegistrationRequest& request, TextProgress& progress,
                      const std::atomic<bool>* cancel);

} // namespace tavora::cli
