#include "app/core/AppContext.h"

#include "framework/Dates.h"

namespace tavora::app {

const std::vector<std::string>& sectorNames() {
    static const std::vector<std::string> names{
        "指数",         "水産・農林業", "鉱業",           "建設業",         "食料品",       "繊維製品",
        "パルプ・紙",   "化学",         "医薬品",         "石油・石炭製品", "ゴム製品",     "ガラス・土石製品",
        "鉄鋼",         "非鉄金属",     "金属製品",       "機械",           "電気機器",     "輸送用機器",
        "精密機器",     "その他製品",   "電気・ガス業",   "陸運業",         "海運業",       "空運業",
        "倉庫・運輸関連業", "情報・通信", "卸売業",       "小売業",         "銀行業",       "証券業",
        "保険業",       "その他金融業", "不動産業",       "サービス業"};
    return names;
}

AppContext::AppContext() {
    // Both accounts reach the same server; host and port follow the settings once loaded.
    updateAccount = {"up.tavora", "Wm3qTzLp", settings.refserver_host, settings.refserver_port};
    dataAccount = {"tavoradata", "Hd7kRx2N", settings.refserver_host, settings.refserver_port};
    // Today, and the day after the same date a year ago; a day past the month's end rolls
    // into the next month (29 February 2024 gives 2 March 2023, as mktime normalises 30 February).
    const framework::YmdDate now = framework::todayYmd();
    today = framework::formatDate(now);
    oneYearAgoNextDay = framework::formatDate(
        framework::civilFromDays(framework::daysFromCivil(now.year - 1, now.month, 1) + now.day));
}

}  // namespace tavora::app
