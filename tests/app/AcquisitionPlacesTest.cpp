// The acquisition jobs' arguments as read from a real application context: the download plan
// from the market-day calendar and the price database, the request from the settings, the
// backup places from the paths.
#include "app/core/AcquisitionPlaces.h"

#include "framework/Encoding.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::app {
namespace {

TEST(AcquisitionPlacesTest, ThePlanTakesTheCalendarTheLastStoredDayAndTheContextsAnchors) {
    test::TempDir dir;
    AppContext ctx;
    ctx.paths.marketDayDir = (dir / "marketday").string();
    test::writeFile(dir / "marketday" / market::kJapanCalendarFile,
                    framework::ConvUTFtoSJIS("2026-12-03\n2026-12-04\n2026-12-07\n2026-12-08\n2026-12-09\n").text);
    ctx.oneYearAgoNextDay = "2025-12-09";
    ctx.today = "2026-12-08";
    framework::ZSqlElement db;
    ASSERT_EQ(market::PriceDatabase::open(db, dir.str()), 0);
    // Only the index code "0001" says how far the prices reach; another code's newer day does not.
    market::PriceRow stored{"0001", "2026-12-03", 1, 2, 1, 2, 100};
    market::PriceRow other{"7203", "2026-12-07", 1, 2, 1, 2, 100};
    market::PriceDatabase(db).write({stored, other});

    const auto plan = planKabuPlusDownload(ctx, db);
    ASSERT_TRUE(plan.ok()) << plan.error;
    const std::vector<framework::YmdDate> expected{{2026, 12, 4}, {2026, 12, 7}, {2026, 12, 8}};
    EXPECT_EQ(plan.days, expected);
}

TEST(AcquisitionPlacesTest, AMissingCalendarIsThePlansError) {
    test::TempDir dir;
    AppContext ctx;
    ctx.paths.marketDayDir = (dir / "nowhere").string();
    framework::ZSqlElement db;
    ASSERT_EQ(market::PriceDatabase::open(db, dir.str()), 0);
    const auto plan = planKabuPlusDownload(ctx, db);
    EXPECT_FALSE(plan.ok());
    EXPECT_TRUE(plan.days.empty());
}

TEST(AcquisitionPlacesTest, TheRequestCarriesTheAccountTheServiceAndTheBound) {
    AppContext ctx;
    ctx.settings.kabuplus_url = "https://127.0.0.1:8443/kabu";
    ctx.settings.kabuplus_cafile = "/certs/ca.pem";
    ctx.settings.kabuplusid = "user1";
    ctx.settings.kabupluspw = "secret";
    ctx.settings.kabuplus_file_timeout = 45;
    const std::vector<framework::YmdDate> days{{2026, 12, 7}, {2026, 12, 8}};

    const auto request = kabuPlusRequest(ctx, "/data/download", days);
    EXPECT_EQ(request.baseUrl, "https://127.0.0.1:8443/kabu");
    EXPECT_EQ(request.caFile, "/certs/ca.pem");
    EXPECT_EQ(request.user, "user1");
    EXPECT_EQ(request.password, "secret");
    EXPECT_EQ(request.downloadDir, "/data/download");
    EXPECT_EQ(request.days, days);
    EXPECT_EQ(request.limits.totalTimeoutSeconds, 45);
}

TEST(AcquisitionPlacesTest, BackupsGoFromTheOpenedPriceFolderToTheBackupFolder) {
    AppPaths paths;
    paths.priceDbDir = "/root/data/kabukadb";
    paths.backupDir = "/root/data/buckup";
    const auto places = priceBackupPlaces(paths);
    EXPECT_EQ(places.priceDbDir, "/root/data/kabukadb");
    EXPECT_EQ(places.backupDir, "/root/data/buckup");
}

} // namespace
} // namespace tavora::app
