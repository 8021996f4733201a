#include "annotations/RecentFiles.h"

#include "annotations/DocumentFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavora::annotations {
namespace {

namespace fs = std::filesystem;

class RecentFilesTest : public ::testing::Test {
protected:
    std::string make(const std::string& name) {
        const std::string path = (m_dir / name).string();
        EXPECT_TRUE(writeDocument(path, WorkingDocument::createEmpty(), {}));
        return path;
    }
    tavora::test::TempDir m_dir;
    RecentFiles m_recent{(m_dir / "fileopenhis.db").string()};
};

TEST_F(RecentFilesTest, ShowsTheFiveNewestThatStillExist) {
    std::vector<std::string> paths;
    for (int i = 0; i < 7; ++i) {
        paths.push_back(make("d" + std::to_string(i) + ".tvrd"));
        ASSERT_TRUE(m_recent.record(paths.back(), 1000 + i));
    }
    ASSERT_TRUE(m_recent.record(paths[0], 2000)); // opened again: newest now
    fs::remove(paths[5]);
    EXPECT_EQ(m_recent.list(), (std::vector<std::string>{paths[0], paths[6], paths[4], paths[3], paths[2]}));
}

TEST_F(RecentFilesTest, AVanishedEntryIsNotShownAndOpeningItCreatesNothing) {
    const std::string gone = make("gone.tvrd");
    ASSERT_TRUE(m_recent.record(gone, 1));
    EXPECT_EQ(m_recent.list(), std::vector<std::string>{gone});
    fs::remove(gone);
    EXPECT_TRUE(m_recent.list().empty());
    const auto read = readDocument(gone);
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(read.notADocument);
    EXPECT_FALSE(fs::exists(gone));
}

} // namespace
} // namespace tavora::annotations
