#include "app/core/AcquisitionPlaces.h"

#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"

namespace tavora::app {

acquisition::DownloadDays planKabuPlusDownload(const AppContext& context, framework::ZSqlElement& priceDb) {
    const auto last = market::PriceDatabase(priceDb).lastDate(acquisition::kKabuPlusIndexCode);
    return acquisition::chooseDownloadDays(context.paths.marketDayDir + "/" + market::kJapanCalendarFile,
                                           last, context.oneYearAgoNextDay, context.today);
}

acquisition::KabuPlusRequest kabuPlusRequest(const AppContext& context, const std::string& downloadDir,
                                             std::vector<framework::YmdDate> days) {
    acquisition::KabuPlusRequest request;
    request.baseUrl = context.settings.kabuplus_url;
    request.caFile = context.settings.kabuplus_cafile;
    request.user = context.settings.kabuplusid;
    request.password = context.settings.kabupluspw;
    request.downloadDir = downloadDir;
    request.days = std::move(days);
    request.limits.totalTimeoutSeconds = context.settings.kabuplus_file_timeout;
    return request;
}

acquisition::PriceBackupPlaces priceBackupPlaces(const AppPaths& paths) {
    return {paths.priceDbDir, paths.backupDir};
}

} // namespace tavora::app
