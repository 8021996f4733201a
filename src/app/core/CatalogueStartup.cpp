#include "app/core/CatalogueStartup.h"

#include "annotations/Favourites.h"
#include "framework/Files.h"
#include "market/Splits.h"

namespace tavora::app {

std::vector<std::string> LoadCodeListStep(AppContext& ctx) {
    std::vector<std::string> log;
    ctx.csvCodeList.clear();
    const std::string& path = ctx.paths.codeListInUse;
    if (!path.empty() && framework::isliveFile(path)) {
        if (auto loaded = market::LoadCodeList(ctx.csvCodeList, path); !loaded)
            log.push_back("銘柄リストを読み込めません: " + path + ": " + loaded.message());
    }
    market::CopyCodeList(ctx.workCodeList, ctx.csvCodeList);
    return log;
}

std::string CodeListFileProblem(const std::string& path) {
    return market::CheckCodeListFile(path).message();
}

void BuildCatalogueStep(AppContext& ctx) {
    // A reloaded catalogue keeps the favourite marks of the open document, by code.
    const auto marked = annotations::favouriteCodes(ctx.catalogue);
    market::CopyCodeList(ctx.catalogue, ctx.csvCodeList);
    annotations::applyFavourites(ctx.catalogue, marked);
}

void MakeFirstEntryCurrentStep(AppContext& ctx) {
    ctx.currentCode = ctx.catalogue.empty() ? std::nullopt : std::optional<std::size_t>(0);
}

std::vector<std::string> AttachSplitsStep(AppContext& ctx) {
    std::vector<std::string> log;
    const std::string& path = ctx.paths.bunkatsuCsv;
    if (path.empty() || !framework::isliveFile(path))
        return log;
    if (auto attached = market::AttachSplits(ctx.catalogue, path, &log); !attached)
        log.push_back("分割データを読み込めません: " + path + ": " + attached.message());
    return log;
}

} // namespace tavora::app
