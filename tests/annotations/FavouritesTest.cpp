#include "annotations/Favourites.h"

#include "app/core/CatalogueStartup.h"
#include "app/core/DocumentSteps.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::annotations {
namespace {

market::CodeList catalogueOf(std::initializer_list<const char*> codes) {
    market::CodeList list;
    for (const char* c : codes)
        list.append(market::CodeElm{c, std::string("name ") + c, "", "", "", {}, false});
    return list;
}

using Codes = std::vector<std::string>;

TEST(FavouritesTest, ADocumentMarksOnlyCodesOfTheCatalogue) {
    auto catalogue = catalogueOf({"7203", "9984", "1301"});
    catalogue[2].favourite = true;
    applyFavourites(catalogue, {"9984", "0000", "7203"});
    EXPECT_EQ(favouriteCodes(catalogue), (Codes{"7203", "9984"}));
}

TEST(FavouritesTest, AReloadedCatalogueKeepsTheMarksByCode) {
    app::AppContext ctx;
    ctx.catalogue = catalogueOf({"7203", "9984"});
    ctx.catalogue[1].favourite = true;
    // The new code list has another order and one code more.
    ctx.csvCodeList = catalogueOf({"1301", "9984", "7203"});
    app::BuildCatalogueStep(ctx);
    EXPECT_EQ(favouriteCodes(ctx.catalogue), Codes{"9984"});
}

TEST(FavouritesTest, ASaveWritesTheMarkedCodesAndTheNextOpenRestoresThem) {
    tavora::test::TempDir dir;
    app::AppContext ctx;
    ctx.paths.tmpDir = dir.str();
    ctx.paths.fileOpenHisDb = (dir / "fileopenhis.db").string();
    ctx.catalogue = catalogueOf({"7203", "9984"});
    app::ResetDocumentStep(ctx);
    ctx.catalogue[0].favourite = true;
    const std::string path = (dir / "fav.tvrd").string();
    std::string image;
    ASSERT_TRUE(app::SaveImage(ctx, image));
    ASSERT_TRUE(writeDocument(path, image));

    app::ResetDocumentStep(ctx); // New clears every mark
    EXPECT_TRUE(favouriteCodes(ctx.catalogue).empty());
    EXPECT_TRUE(ctx.document.savedPath.empty());
    app::AdoptOpenedDocument(ctx, path, readDocument(path), 100);
    EXPECT_EQ(favouriteCodes(ctx.catalogue), Codes{"7203"});
    EXPECT_EQ(ctx.paths.documentName, "fav.tvrd");
    EXPECT_EQ(ctx.document.savedPath, path);
    EXPECT_EQ(ctx.document.lastDirectory, dir.str());
    EXPECT_EQ(ctx.document.recent, Codes{path});
}

TEST(CommandLineDocumentTest, QuotesGoAndRelativePathsStartWhereTheProgramWasStarted) {
    struct Case {
        const char* argument;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"\"\"", ""},
        {"\"/home/u/チャート.tvrd\"", "/home/u/チャート.tvrd"},
        {"/home/u/a.tvrd", "/home/u/a.tvrd"},
        {"a.tvrd", "/work/start/a.tvrd"},
        {"\"../docs/my file.tvrd\"", "/work/docs/my file.tvrd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::commandLineDocument(c.argument, "/work/start"), c.expected) << c.argument;
}

} // namespace
} // namespace tavora::annotations
