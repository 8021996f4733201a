// The catalogue steps of start-up: code list, copies, first entry current, splits.
#include "app/core/CatalogueStartup.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::app {
namespace {

TEST(CatalogueStartupTest, FillsTheListsMakesTheFirstEntryCurrentAndAttachesSplits) {
    tavora::test::TempDir dir;
    tavora::test::writeFile(dir / "code_info.csv", "1008,サンプル自動車,輸送用機器,東証プライム\n"
                                                   "0001,日経平均株価,指数,東証指数\n");
    tavora::test::writeFile(dir / "bunkatsudata.csv", "2012-10-01,1008,2\n2021-04-01,1008,3\n");
    AppContext ctx;
    ctx.paths.codeListInUse = (dir / "code_info.csv").string();
    ctx.paths.bunkatsuCsv = (dir / "bunkatsudata.csv").string();

    EXPECT_TRUE(LoadCodeListStep(ctx).empty());
    ASSERT_EQ(ctx.csvCodeList.size(), 2u);
    ASSERT_EQ(ctx.workCodeList.size(), 2u);
    EXPECT_TRUE(ctx.catalogue.empty());
    BuildCatalogueStep(ctx);
    MakeFirstEntryCurrentStep(ctx);
    ASSERT_EQ(ctx.currentCode, std::optional<std::size_t>(0));
    EXPECT_EQ(ctx.catalogue[*ctx.currentCode].code, "1008");
    EXPECT_TRUE(AttachSplitsStep(ctx).empty());
    EXPECT_EQ(ctx.catalogue[0].splits.size(), 2u);
    EXPECT_TRUE(ctx.csvCodeList[0].splits.empty()); // only the catalogue proper carries them
    EXPECT_EQ(ctx.catalogue[1].symbol, "^N225");
}

TEST(CatalogueStartupTest, MissingFilesLeaveAnEmptyCatalogueWithoutCurrentCode) {
    tavora::test::TempDir dir;
    AppContext ctx;
    ctx.paths.codeListInUse = (dir / "code_info.csv").string();
    ctx.paths.bunkatsuCsv = (dir / "bunkatsudata.csv").string();
    ctx.csvCodeList.append(market::CodeElm{"stale", "", "", "", "", {}, false});
    EXPECT_TRUE(LoadCodeListStep(ctx).empty());
    BuildCatalogueStep(ctx);
    MakeFirstEntryCurrentStep(ctx);
    EXPECT_TRUE(AttachSplitsStep(ctx).empty());
    EXPECT_TRUE(ctx.csvCodeList.empty());
    EXPECT_TRUE(ctx.catalogue.empty());
    EXPECT_FALSE(ctx.currentCode.has_value());
}

} // namespace
} // namespace tavora::app
