#include "framework/FolderSwap.h"

#include "framework/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::framework {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class FolderSwapTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(m_live / "a.db", "old");
        writeFile(m_new / "a.db", "new");
    }
    // No folder other than the live one is left beside it.
    void expectOnlyTheLiveFolder() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir.path()))
            names.push_back(e.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"kabukadb"});
    }

    test::TempDir m_dir;
    fs::path m_live = m_dir / "kabukadb";
    fs::path m_new = m_dir / ".kabukadb.restoring";
};

TEST_F(FolderSwapTest, PutsTheNewFolderInPlaceAndRemovesTheOld) {
    std::string seenDuringVerify;
    auto result = ReplaceZDirectory(m_live, m_new, [&] {
        seenDuringVerify = readFile(m_live / "a.db");
        return Result<>();
    });
    ASSERT_TRUE(result.ok()) << result.outcome.english();
    EXPECT_EQ(seenDuringVerify, "new");
    EXPECT_EQ(readFile(m_live / "a.db"), "new");
    EXPECT_TRUE(result.leftover.empty());
    expectOnlyTheLiveFolder();
}

TEST_F(FolderSwapTest, PutsTheOldFolderBackWhenTheNewOneFailsItsCheck) {
    auto result = ReplaceZDirectory(m_live, m_new, [] {
        return Result<>(Failure{"開けません", "does not open"});
    });
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.liveIntact);
    EXPECT_EQ(result.outcome.message(), "開けません"); // the check's failure, both texts
    EXPECT_EQ(result.outcome.english(), "does not open");
    EXPECT_EQ(readFile(m_live / "a.db"), "old");
    expectOnlyTheLiveFolder();
}

TEST_F(FolderSwapTest, CreatesAMissingLiveFolderAndTakesItAwayAgainOnFailure) {
    DeleteZDirectory(m_live);
    auto refused = ReplaceZDirectory(m_live, m_new, [] { return Result<>(Failure::untranslated("bad")); });
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(isliveDir(m_live));

    writeFile(m_new / "a.db", "new");
    auto placed = ReplaceZDirectory(m_live, m_new, [] { return Result<>(); });
    ASSERT_TRUE(placed.ok()) << placed.outcome.english();
    EXPECT_EQ(readFile(m_live / "a.db"), "new");
    expectOnlyTheLiveFolder();
}

} // namespace
} // namespace tavora::framework
