#include "app/DataFolderClaim.h"

#include "app/core/Startup.h"
#include "framework/Files.h"

namespace tavora::app {

DataFolderClaim claimDataFolder(const std::string& root) {
    DataFolderClaim claim;
    claim.root = root;
    // A folder that exists but cannot be set to 0700 (a read-only file system) is one that
    // cannot be written, not one that cannot be made.
    const bool made = createApplicationRoot(root);
    if (!made && !framework::isliveDir(root)) {
        claim.result = DataFolderClaim::Result::CannotCreate;
        return claim;
    }
    std::string why = applicationRootWriteProblem(root);
    if (!made && why.empty())
        why = "its permissions cannot be set";
    if (!why.empty()) {
        claim.result = DataFolderClaim::Result::CannotWrite;
        claim.reason = why;
        return claim;
    }
    auto lock = std::make_unique<SingleInstance>(root);
    if (!lock->acquired()) {
        // No error text: another process holds the lock. Otherwise the lock file itself
        // could not be made or opened.
        claim.result =
            lock->error().empty() ? DataFolderClaim::Result::InUse : DataFolderClaim::Result::CannotWrite;
        claim.reason = lock->error();
        return claim;
    }
    claim.lock = std::move(lock);
    claim.result = DataFolderClaim::Result::Claimed;
    return claim;
}

std::string DataFolderClaim::desktopMessage() const {
    switch (result) {
    case Result::CannotCreate:
        return "データフォルダを作成できません: " + root;
    case Result::CannotWrite:
        return "データフォルダに書き込めません: " + root + (reason.empty() ? "" : " (" + reason + ")");
    case Result::InUse:
        return "Tavoraはすでに起動しております。";
    case Result::Claimed:
        break;
    }
    return {};
}

std::string DataFolderClaim::cliMessage() const {
    switch (result) {
    case Result::CannotCreate:
        return "cannot create the data folder " + root;
    case Result::CannotWrite:
        return "cannot write to the data folder " + root + (reason.empty() ? "" : " (" + reason + ")");
    case Result::InUse:
        return "Tavora is running on " + root + "; close it first";
    case Result::Claimed:
        break;
    }
    return {};
}

} // namespace tavora::app
