// Where a file the user names may be written: a table of paths over a real folder tree with a
// stand-in data folder, links, a FIFO and (where the test may make one) a device node.
#include "framework/OutputTarget.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace tavora;
using framework::OutputRefusal;

namespace {

class OutputTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(kept() / "data" / "kabukadb" / "kabuka.db", "SQLite format 3");
        test::writeFile(kept() / "settei.db", "SQLite format 3");
        test::writeFile(dir / "out" / "old.csv", "old");
        fs::create_directories(dir / "out" / "folder");
        ASSERT_EQ(::mkfifo((dir / "out" / "fifo").c_str(), 0600), 0);
        fs::create_symlink(kept() / "data" / "kabukadb" / "kabuka.db", dir / "out" / "db-link.csv");
        fs::create_symlink(kept() / "data" / "kabukadb" / "kabuka.db-wal",
                           dir / "out" / "dangling-into-kept");
        fs::create_symlink(dir / "out" / "old.csv", dir / "out" / "old-link.csv");
        fs::create_symlink(kept(), dir / "kept-alias");
        fs::create_symlink(dir / "out" / "loop-b", dir / "out" / "loop-a");
        fs::create_symlink(dir / "out" / "loop-a", dir / "out" / "loop-b");
    }
    fs::path kept() const { return dir / "Tavora"; }
    framework::OutputTarget check(const fs::path& path) const {
        return framework::checkOutputTarget(path, {kept()});
    }

    test::TempDir dir;
};

TEST_F(OutputTargetTest, RefusesTheDataFolderAndAnythingButARegularFile) {
    const struct {
        fs::path path;
        OutputRefusal refusal;
        const char* said; // a part of the one-line reason
    } cases[] = {
        {kept() / "data" / "kabukadb" / "kabuka.db", OutputRefusal::KeptData, "data folder"},
        {kept() / "data" / "kabukadb" / "kabuka.db-journal", OutputRefusal::KeptData, "data folder"},
        {kept() / "settei.db", OutputRefusal::KeptData, "data folder"},
        {kept() / "data" / "buckup" / "new.csv", OutputRefusal::KeptData, "data folder"},
        {kept(), OutputRefusal::KeptData, "data folder"},
        {dir / "kept-alias" / "settei.db", OutputRefusal::KeptData, "data folder"},
        {dir / "out" / "db-link.csv", OutputRefusal::KeptData, "kabuka.db"},
        {dir / "out" / "dangling-into-kept", OutputRefusal::KeptData, "kabuka.db-wal"},
        {dir / "out" / ".." / "Tavora" / "settei.db", OutputRefusal::KeptData, "data folder"},
        {dir / "out" / "folder", OutputRefusal::Directory, "a directory"},
        {dir / "out" / "fifo", OutputRefusal::NotRegular, "a FIFO"},
        {"/dev/null", OutputRefusal::NotRegular, "a character device"},
        {dir / "out" / "missing" / "x.csv", OutputRefusal::NoFolder, "does not exist"},
        {dir / "out" / "old.csv" / "x.csv", OutputRefusal::Unusable, "Not a directory"},
        {dir / "out" / "loop-a", OutputRefusal::Unusable, "symbolic link"},
        {"", OutputRefusal::Unusable, "no file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        const auto target = check(c.path);
        EXPECT_FALSE(target.ok());
        EXPECT_EQ(target.refusal, c.refusal) << target.reason;
        EXPECT_NE(target.reason.find(c.said), std::string::npos) << target.reason;
        EXPECT_EQ(target.reason.find('\n'), std::string::npos) << target.reason;
    }
}

TEST_F(OutputTargetTest, TakesANewNameOrARegularFileAndFollowsLinksToIt) {
    const struct {
        fs::path path;
        fs::path resolved;
    } cases[] = {
        {dir / "out" / "new.csv", dir / "out" / "new.csv"},
        {dir / "out" / "old.csv", dir / "out" / "old.csv"},
        {dir / "out" / "old-link.csv", dir / "out" / "old.csv"},
        {dir / "kept-alias-not" / ".." / "out" / "x.pdf", dir / "out" / "x.pdf"},
        {dir / "Tavora-other.csv", dir / "Tavora-other.csv"}, // a sibling that only shares the prefix
    };
    fs::create_directories(dir / "kept-alias-not");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        const auto target = check(c.path);
        EXPECT_TRUE(target.ok()) << target.reason;
        EXPECT_EQ(target.resolved, fs::weakly_canonical(c.resolved));
    }
    // A relative name is taken against the working folder.
    const fs::path was = fs::current_path();
    fs::current_path(dir / "out");
    const auto relative = check("chart.png");
    fs::current_path(was);
    EXPECT_TRUE(relative.ok()) << relative.reason;
    EXPECT_EQ(relative.resolved, fs::weakly_canonical(dir / "out") / "chart.png");
}

TEST_F(OutputTargetTest, RefusesADeviceNodeOfItsOwn) {
    const fs::path node = dir / "out" / "null-node";
    if (::mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "this user may not make device nodes";
    const auto target = check(node);
    EXPECT_EQ(target.refusal, OutputRefusal::NotRegular) << target.reason;
    EXPECT_NE(target.reason.find("character device"), std::string::npos) << target.reason;
}

} // namespace
