#include "app/core/AppContext.h"

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
}

}  // namespace tavora::app
