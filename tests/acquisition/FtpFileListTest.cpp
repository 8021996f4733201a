// Parsing of the server's directory listings.
#include "framework/FtpFileList.h"

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>

using tavora::framework::FtpFileList;
using tavora::framework::SetFtpFileList;

namespace {

std::time_t utc(int y, int mo, int d, int h = 0, int mi = 0) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    return timegm(&tm);
}

struct ParseCase {
    const char* label;
    const char* line;
    bool accepted;
    const char* name;
    bool isDirectory;
    const char* size;
    std::time_t mtime;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.label; }

class FtpListLine : public ::testing::TestWithParam<ParseCase> {};

// "Now" for every case: 10 December 2026, 00:30 UTC.
const std::time_t kNow = utc(2026, 12, 10, 0, 30);

TEST_P(FtpListLine, Parses) {
    const ParseCase& c = GetParam();
    std::vector<std::string> rejected;
    FtpFileList list = SetFtpFileList(std::string(c.line) + "\r\n", kNow, &rejected);
    if (!c.accepted) {
        EXPECT_TRUE(list.empty()) << c.label;
        return;
    }
    ASSERT_EQ(list.size(), 1u) << c.label;
    EXPECT_EQ(list[0].name, c.name);
    EXPECT_EQ(list[0].isDirectory, c.isDirectory);
    EXPECT_EQ(list[0].sizeText, c.size);
    EXPECT_EQ(list[0].mtime, static_cast<std::int64_t>(c.mtime)) << c.label;
    EXPECT_FALSE(list[0].needsUpdate);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FtpListLine,
    ::testing::Values(
        ParseCase{"file with time of day",
                  "-rw-r--r--    1 0        0              50 Dec 09 23:32 20261208.csv", true,
                  "20261208.csv", false, "50", utc(2026, 12, 9, 23, 32)},
        ParseCase{"directory", "drwxr-xr-x    2 0        0            4096 Dec 09 23:32 marketday", true,
                  "marketday", true, "4096", utc(2026, 12, 9, 23, 32)},
        ParseCase{"file with year", "-rw-r--r--    1 0        0               8 Jan 15  2025 data.csv", true,
                  "data.csv", false, "8", utc(2025, 1, 15)},
        ParseCase{"time of day later than now is last year",
                  "-rw-r--r--    1 0        0               8 Dec 31 10:00 old.csv", true, "old.csv", false,
                  "8", utc(2025, 12, 31, 10, 0)},
        ParseCase{"within a day ahead stays this year (clock difference)",
                  "-rw-r--r--    1 0        0               8 Dec 10 12:00 new.csv", true, "new.csv", false,
                  "8", utc(2026, 12, 10, 12, 0)},
        ParseCase{"name with spaces", "-rw-r--r--    1 0        0               3 Dec 01 08:00 a  b.csv",
                  true, "a  b.csv", false, "3", utc(2026, 12, 1, 8, 0)},
        ParseCase{"large size", "-rw-r--r--    1 0        0      5000000000 Nov 30 08:00 big.bin", true,
                  "big.bin", false, "5000000000", utc(2026, 11, 30, 8, 0)},
        ParseCase{"symbolic link", "lrwxrwxrwx    1 0        0               8 Dec 01 08:00 l -> data.csv",
                  false, "", false, "", 0},
        ParseCase{"total line", "total 8", false, "", false, "", 0},
        ParseCase{"size not a number", "-rw-r--r--    1 0        0              5x Dec 01 08:00 a.csv", false,
                  "", false, "", 0},
        ParseCase{"unknown month", "-rw-r--r--    1 0        0               5 Foo 01 08:00 a.csv", false, "",
                  false, "", 0},
        ParseCase{"parent path", "-rw-r--r--    1 0        0               5 Dec 01 08:00 ../x", false, "",
                  false, "", 0},
        ParseCase{"dot dot", "drwxr-xr-x    1 0        0               5 Dec 01 08:00 ..", false, "", false,
                  "", 0},
        ParseCase{"slash", "-rw-r--r--    1 0        0               5 Dec 01 08:00 a/b", false, "", false,
                  "", 0},
        ParseCase{"backslash", "-rw-r--r--    1 0        0               5 Dec 01 08:00 a\\b", false, "",
                  false, "", 0}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(FtpListing, KeepsOrderAndReportsRejectedNames) {
    std::string listing = "-rw-r--r--    1 0        0              50 Dec 09 23:32 b.csv\n"
                          "-rw-r--r--    1 0        0               5 Dec 01 08:00 ../x\n"
                          "-rw-r--r--    1 0        0               5 Dec 01 08:00 bad";
    listing += std::string("\0name\n", 6);
    listing += "drwxr-xr-x    2 0        0            4096 Dec 09 23:32 a\n";
    std::vector<std::string> rejected;
    FtpFileList list = SetFtpFileList(listing, kNow, &rejected);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "b.csv");
    EXPECT_EQ(list[1].name, "a");
    ASSERT_EQ(rejected.size(), 2u);
    EXPECT_EQ(rejected[0], "../x");
    EXPECT_EQ(rejected[1], std::string("bad\0name", 8));
}

} // namespace
