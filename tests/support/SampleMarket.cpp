#include "SampleMarket.h"

#include "market/PriceDatabase.h"

#include <cmath>
#include <stdexcept>

namespace tavora::test {

namespace {
// Weekdays going back from 2024-06-28 (a Friday), oldest first.
std::vector<std::string> weekdays(int count) {
    std::vector<std::string> out;
    int y = 2024, m = 6, d = 28;
    auto daysIn = [](int year, int month) {
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return month == 2 && leap ? 29 : days[month - 1];
    };
    int weekday = 5;  // Friday
    while (int(out.size()) < count) {
        if (weekday != 0 && weekday != 6) {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
            out.insert(out.begin(), buf);
        }
        weekday = (weekday + 6) % 7;
        if (--d == 0) {
            if (--m == 0) {
                m = 12;
                --y;
            }
            d = daysIn(y, m);
        }
    }
    return out;
}
}  // namespace

void writeSamplePrices(const std::filesystem::path& dir, const std::vector<SampleCode>& codes) {
    std::filesystem::create_directories(dir);
    framework::ZSqlElement db;
    if (market::PriceDatabase::open(db, dir.string()) != 0)
        throw std::runtime_error("cannot open sample price database in " + dir.string());
    std::vector<market::PriceRow> rows;
    for (const auto& c : codes) {
        const auto days = weekdays(c.bars);
        for (std::size_t i = 0; i < days.size(); ++i) {
            const double mid = c.base * (1.0 + 0.2 * std::sin(double(i) / 40.0));
            rows.push_back({c.code, days[i], mid - 5, mid + 10, mid - 12, mid + 3, 10000 + std::int64_t(i)});
        }
    }
    if (!market::PriceDatabase(db).write(rows).ok())
        throw std::runtime_error("cannot write sample prices");
}

void buildSampleContext(app::AppContext& ctx, const std::filesystem::path& root, const std::vector<SampleCode>& codes) {
    auto& p = ctx.paths;
    p.root = root.string();
    p.priceDbDir = (root / "data" / "kabukadb").string();
    p.priceDbFile = p.priceDbDir + "/kabuka.db";
    p.tmpDir = (root / "tmp").string();
    p.marketDayDir = (root / "marketday").string();
    p.othersDir = (root / "others").string();
    p.codeInfoCsv = p.othersDir + "/code_info.csv";
    p.codeListInUse = p.codeInfoCsv;
    p.bunkatsuCsv = p.othersDir + "/bunkatsudata.csv";
    p.setteiDb = (root / "settei.db").string();
    p.graphdataFile = (root / "graphdata.tvd").string();
    p.updaterDir = (root / "uploader").string();
    writeSamplePrices(p.priceDbDir, codes);
    market::PriceDatabase::open(ctx.priceDb, p.priceDbDir);
    framework::SQL_Open(ctx.scaleDb, ":memory:");
    ctx.catalogue.clear();
    for (const auto& c : codes)
        ctx.catalogue.append({c.code, c.name, "電気機器", "東証プライム", c.code + ".T", {}, false});
}

}  // namespace tavora::test
