#pragma once
// Ctrl+C (SIGINT) and SIGTERM during a long tavora-cli command (download, import, backup,
// restore, sync, print). The handler does nothing but raise one flag, the cancel token the
// core's long operations already read between their steps; the command then ends the step in
// progress (rolled back, or kept when it was already complete), removes its temporary files
// and exits with ExitCancelled after one line saying so. A second signal of the same kind
// ends the program at once, as if no handler were installed (everything the program writes
// survives that too; the next start removes what it leaves). Main thread only.
#include <atomic>
#include <string>

namespace tavora::cli {

// Installs the handlers for the rest of the process (commands install it first thing, so a
// signal during start-up is caught as well) and returns the flag they raise.
const std::atomic<bool>& cancelOnInterrupt();
// True once SIGINT or SIGTERM arrived after cancelOnInterrupt().
bool interrupted();

// Prints "tavora-cli: cancelled: WHAT" on standard error and returns ExitCancelled.
int cancelledExit(const std::string& what);

} // namespace tavora::cli
