#pragma once
// Taking the data folder for this process, as the desktop program and every tavora-cli
// command do before anything else: the application root made (0700), checked to be writable,
// and the single-instance lock taken. Each outcome has its own message, so that a read-only
// folder is never reported as a running program. Main thread only.
#include "app/SingleInstance.h"

#include <memory>
#include <string>

namespace tavora::app {

struct DataFolderClaim {
    enum class Result { Claimed, CannotCreate, CannotWrite, InUse };

    Result result = Result::CannotCreate;
    std::string root;
    std::string reason;                   // CannotWrite: what failed
    std::unique_ptr<SingleInstance> lock; // held while it lives (Claimed only)

    bool claimed() const { return result == Result::Claimed; }
    // The desktop program's message for a failed claim (Japanese, for a message box).
    std::string desktopMessage() const;
    // tavora-cli's one line for a failed claim.
    std::string cliMessage() const;
};

DataFolderClaim claimDataFolder(const std::string& root);

} // namespace tavora::app
