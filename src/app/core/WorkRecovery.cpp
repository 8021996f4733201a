#include "app/core/WorkRecovery.h"

#include "annotations/DocumentFile.h"
#include "annotations/Favourites.h"
#include "app/core/DocumentSteps.h"
#include "framework/Files.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace tavora::app {

namespace {
constexpr int PrivateFile = 0600;
constexpr int PrivateFolder = 0700;
} // namespace

RecoveryFiles recoveryFilesOf(const AppPaths& paths) {
    const std::string folder = paths.root + "/recovery";
    return {folder, folder + "/recovery.tvrd", folder + "/source.txt"};
}

RecoveryWrite writeRecovery(const AppContext& ctx, std::string* error) {
    if (!HoldsUnsavedWork(ctx))
        return RecoveryWrite::Nothing;
    const RecoveryFiles files = recoveryFilesOf(ctx.paths);
    std::string image;
    if (!ctx.document.working.documentImage(annotations::favouriteCodes(ctx.catalogue), image, error))
        return RecoveryWrite::Failed;
    if (!framework::CreateZDirectory(files.folder, PrivateFolder)) {
        if (error)
            *error = "cannot make " + files.folder;
        return RecoveryWrite::Failed;
    }
    // A document kept earlier goes first, so a failure below never pairs it with this path.
    std::error_code ec;
    std::filesystem::remove(files.document, ec);
    if (!framework::WriteZFileAtomic(files.source, ctx.document.savedPath, PrivateFile, error) ||
        !framework::WriteZFileAtomic(files.document, image, PrivateFile, error))
        return RecoveryWrite::Failed;
    return RecoveryWrite::Written;
}

void keepWorkAtSessionEnd(const AppContext& ctx, framework::ZLog& log) {
    std::string error;
    switch (writeRecovery(ctx, &error)) {
    case RecoveryWrite::Written:
        log.UpdLog("unsaved work kept in " + recoveryFilesOf(ctx.paths).document + " for the next start");
        break;
    case RecoveryWrite::Failed:
        log.UpdLog("unsaved work could not be kept: " + error);
        break;
    case RecoveryWrite::Nothing:
        break;
    }
}

std::optional<RecoveredWork> findRecovery(const AppPaths& paths) {
    const RecoveryFiles files = recoveryFilesOf(paths);
    struct stat st {};
    if (::stat(files.document.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    RecoveredWork work;
    work.document = files.document;
    work.time = static_cast<std::int64_t>(st.st_mtime);
    std::ifstream in(files.source, std::ios::binary);
    work.source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return work;
}

void discardRecovery(const AppPaths& paths) {
    const RecoveryFiles files = recoveryFilesOf(paths);
    std::error_code ec;
    std::filesystem::remove(files.document, ec);
    std::filesystem::remove(files.source, ec);
    std::filesystem::remove(files.folder, ec); // only when empty
}

} // namespace tavora::app
