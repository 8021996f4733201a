#include "app/core/DocumentSteps.h"

#include "annotations/Favourites.h"
#include "annotations/RecentFiles.h"

#include <filesystem>

namespace tavora::app {

namespace {

void setDocumentPath(AppContext& ctx, const std::string& path) {
    ctx.paths.documentPath = path;
    const auto slash = path.find_last_of('/');
    ctx.paths.documentName = slash == std::string::npos ? path : path.substr(slash + 1);
}

void recordRecent(AppContext& ctx, const std::string& path, std::int64_t now) {
    const annotations::RecentFiles recent(ctx.paths.fileOpenHisDb);
    recent.record(path, now);
    ctx.document.recent = recent.list();
}

} // namespace

std::string commandLineDocument(std::string argument, const std::string& startDirectory) {
    std::erase(argument, '"');
    if (argument.empty())
        return argument;
    const std::filesystem::path path(argument);
    if (path.is_absolute() || startDirectory.empty())
        return path.lexically_normal().string();
    return (std::filesystem::path(startDirectory) / path).lexically_normal().string();
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

void ResetDocumentStep(AppContext& ctx) {
    setDocumentPath(ctx, ctx.paths.tmpDir + "/" + kUntitledDocumentName);
    ctx.document.working = annotations::WorkingDocument::createEmpty();
    annotations::writeDocument(ctx.paths.documentPath, ctx.document.working, {});
    ctx.document.savedPath.clear();
    ctx.document.savedFavourites.clear();
    annotations::applyFavourites(ctx.catalogue, {});
}

void LoadRecentFilesStep(AppContext& ctx) {
    ctx.document.recent = annotations::RecentFiles(ctx.paths.fileOpenHisDb).list();
}

bool SaveImage(const AppContext& ctx, std::string& image, std::string* error) {
    return ctx.document.working.documentImage(annotations::favouriteCodes(ctx.catalogue), image, error);
}

void AdoptOpenedDocument(AppContext& ctx, const std::string& path, annotations::DocumentReadResult read,
                         std::int64_t now) {
    ctx.document.working = std::move(read.document);
    annotations::applyFavourites(ctx.catalogue, read.favourites);
    ctx.document.savedFavourites = annotations::favouriteCodes(ctx.catalogue);
    AdoptSavedPath(ctx, path, now);
}

void AdoptRecoveredDocument(AppContext& ctx, annotations::DocumentReadResult read, const std::string& source) {
    ctx.document.working = std::move(read.document);
    ctx.document.working.markUnsaved();
    annotations::applyFavourites(ctx.catalogue, read.favourites);
    ctx.document.savedFavourites.clear();
    ctx.document.savedPath = source;
    if (source.empty()) {
        setDocumentPath(ctx, ctx.paths.tmpDir + "/" + kUntitledDocumentName);
        return;
    }
    setDocumentPath(ctx, source);
    ctx.document.lastDirectory = directoryOf(source);
}

void AdoptSavedPath(AppContext& ctx, const std::string& path, std::int64_t now) {
    setDocumentPath(ctx, path);
    ctx.document.savedPath = path;
    ctx.document.lastDirectory = directoryOf(path);
    recordRecent(ctx, path, now);
}

bool HasUnsavedChanges(const AppContext& ctx) {
    return !ctx.document.working.atSavedState() ||
           annotations::favouriteCodes(ctx.catalogue) != ctx.document.savedFavourites;
}

bool HoldsUnsavedWork(const AppContext& ctx) {
    if (!ctx.document.savedPath.empty())
        return HasUnsavedChanges(ctx);
    return ctx.document.working.hasElements() || !annotations::favouriteCodes(ctx.catalogue).empty();
}

void MarkDocumentSaved(AppContext& ctx, annotations::StepMark mark, std::vector<std::string> favourites) {
    ctx.document.working.markSaved(mark);
    ctx.document.savedFavourites = std::move(favourites);
}

std::string DocumentTitle(const AppContext& ctx) {
    const bool unsaved = HoldsUnsavedWork(ctx);
    if (!ctx.document.savedPath.empty())
        return (unsaved ? "*" : "") + ctx.document.savedPath;
    return unsaved ? "*" + ctx.paths.documentName : std::string();
}

} // namespace tavora::app
