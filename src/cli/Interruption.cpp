#include "cli/Interruption.h"

#include "cli/CliCommand.h"

#include <csignal>
#include <iostream>

namespace tavora::cli {

namespace {

// Written from a signal handler: it must be lock-free to be async-signal-safe.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) {
    g_interrupted.store(true);
}

void install(int signal) {
    struct sigaction action {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: reads and writes go on as without a handler (waits that poll return at once
    // and look at the flag). SA_RESETHAND: the second signal takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(signal, &action, nullptr);
}

} // namespace

const std::atomic<bool>& cancelOnInterrupt() {
    static const bool installed = [] {
        install(SIGINT);
        install(SIGTERM);
        return true;
    }();
    (void)installed;
    return g_interrupted;
}

bool interrupted() {
    return g_interrupted.load();
}

int cancelledExit(const std::string& what) {
    std::cerr << "tavora-cli: cancelled: " << what << "\n";
    return ExitCancelled;
}

} // namespace tavora::cli
