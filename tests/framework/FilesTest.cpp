#include "framework/Files.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tavora::framework;
using tavora::test::readFile;
using tavora::test::TempDir;
using tavora::test::writeFile;

namespace {

TEST(FilesTest, CreateMakesParentsAndAppliesTheMode) {
    TempDir tmp;
    auto root = tmp / "a" / "b" / "Tavora";
    ASSERT_TRUE(CreateZDirectory(root, 0700));
    EXPECT_TRUE(isliveDir(root));
    EXPECT_FALSE(isliveFile(root));
    struct stat st {};
    ASSERT_EQ(stat(root.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(CreateZDirectory(root)); // existing is fine

    writeFile(tmp / "file", "x");
    EXPECT_TRUE(isliveFile(tmp / "file"));
    EXPECT_FALSE(CreateZDirectory(tmp / "file" / "sub")); // a file is in the way
    EXPECT_FALSE(isliveFile(tmp / "missing"));
}

TEST(FilesTest, CopyAndDeleteWholeTrees) {
    TempDir tmp;
    auto src = tmp / "kabukadb";
    writeFile(src / "kabuka.db", "db");
    writeFile(src / "sub" / "deep" / "x.txt", "deep");
    writeFile(tmp / "dest" / "kabukadb" / "kabuka.db", "old");
    writeFile(tmp / "dest" / "kabukadb" / "keep.txt", "keep");

    ASSERT_TRUE(CopyZDirectory(src, "kabukadb", tmp / "dest"));
    EXPECT_EQ(readFile(tmp / "dest" / "kabukadb" / "kabuka.db"), "db");
    EXPECT_EQ(readFile(tmp / "dest" / "kabukadb" / "sub" / "deep" / "x.txt"), "deep");
    EXPECT_EQ(readFile(tmp / "dest" / "kabukadb" / "keep.txt"), "keep");
    EXPECT_EQ(readFile(src / "kabuka.db"), "db");
    EXPECT_FALSE(CopyZDirectory(tmp / "missing", tmp / "other"));

    ASSERT_TRUE(DeleteZDirectory(tmp / "dest"));
    EXPECT_FALSE(isliveDir(tmp / "dest"));
    EXPECT_TRUE(DeleteZDirectory(tmp / "dest")); // nothing left is success
    EXPECT_TRUE(isliveDir(src));
}

TEST(FilesTest, AtomicWriteReplacesWholeFilesAndKeepsTheOldOneOnFailure) {
    TempDir tmp;
    auto file = tmp / "settei.db";
    ASSERT_TRUE(WriteZFileAtomic(file, "first", 0600));
    ASSERT_TRUE(WriteZFileAtomic(file, "second"));
    EXPECT_EQ(readFile(file), "second");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u); // kept from the replaced file
    ASSERT_TRUE(SetZFileMode(file, 0640));
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    std::string error;
    EXPECT_FALSE(WriteZFileAtomic(tmp / "missing" / "x", "data", -1, &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    writeFile(tmp / "dir" / "inner", "x");
    EXPECT_FALSE(WriteZFileAtomic(tmp / "dir", "data")); // the rename fails: nothing replaced
    EXPECT_EQ(readFile(tmp / "dir" / "inner"), "x");
    EXPECT_EQ(ListZFiles(tmp.path()).size(), 1u); // no temporary file left behind
}

TEST(FilesTest, ListsFilesAndDirectoriesByName) {
    TempDir tmp;
    writeFile(tmp / "b.csv", "");
    writeFile(tmp / "a.csv", "");
    writeFile(tmp / "20260102" / "x", "");
    writeFile(tmp / "20251231" / "x", "");

    auto files = ListZFiles(tmp.path());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "a.csv");
    EXPECT_EQ(files[1].path, tmp / "b.csv");

    auto dirs = ListZDirectories(tmp.path(), false);
    ASSERT_EQ(dirs.size(), 2u);
    EXPECT_EQ(dirs[0].name, "20260102");
    EXPECT_EQ(dirs[1].name, "20251231");
    EXPECT_TRUE(ListZFiles(tmp / "missing").empty());
}

} // namespace
