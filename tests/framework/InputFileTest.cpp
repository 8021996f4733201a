// Opening files the user names for reading: regular files are read whole; a FIFO without a
// writer, a device and a directory are refused at once instead of blocking or reading forever.
#include "framework/InputFile.h"
#include "framework/CsvReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

using namespace tavora;

namespace {

TEST(InputFileTest, ReadsRegularFilesAndRefusesEverythingElseWithoutWaiting) {
    test::TempDir dir;
    test::writeFile(dir / "prices.csv", "7203,2026-01-05,1,2,1,2,100\n");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        std::filesystem::path path;
        const char* reason; // empty: read
    } cases[] = {
        {dir / "prices.csv", ""},
        {dir / "fifo", "a FIFO, not a regular file"},
        {"/dev/zero", "a device, not a regular file"},
        {dir.path(), "a directory, not a file"},
        {dir / "missing.csv", "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        std::string bytes;
        EXPECT_EQ(framework::readInputFile(c.path, bytes, 1 << 20), c.reason);
        if (!*c.reason) {
            EXPECT_EQ(bytes, "7203,2026-01-05,1,2,1,2,100\n");
        }
        // The CSV reader every import uses names the path and the same reason.
        const auto csv = framework::ReadCsvFileInfo(c.path, framework::CsvEncoding::Utf8, ',');
        EXPECT_EQ(csv.error, *c.reason ? c.path.string() + ": " + c.reason : std::string());
    }
}

TEST(InputFileTest, RefusesAFileAboveTheLimitAndReadsOneAtIt) {
    test::TempDir dir;
    test::writeFile(dir / "big.csv", std::string(100, 'x'));
    std::string bytes;
    EXPECT_EQ(framework::readInputFile(dir / "big.csv", bytes, 99), "larger than 99 bytes");
    EXPECT_EQ(framework::readInputFile(dir / "big.csv", bytes, 100), "");
    EXPECT_EQ(bytes.size(), 100u);
}

TEST(InputFileTest, TheDescriptorReadsBlockingOnceOpened) {
    test::TempDir dir;
    test::writeFile(dir / "a.txt", "abc");
    framework::InputFile file;
    ASSERT_TRUE(file.open(dir / "a.txt")) << file.reason();
    EXPECT_EQ(file.size(), 3);
    char buf[8];
    EXPECT_EQ(file.read(buf, sizeof buf), 3);
    EXPECT_EQ(file.read(buf, sizeof buf), 0);
    EXPECT_FALSE(file.open(dir / "none.txt"));
    EXPECT_EQ(file.fd(), -1);
}

} // namespace
