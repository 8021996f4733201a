#include "framework/TextLimit.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavora::framework;

namespace {

struct LimitCase {
    const char* text;
    std::size_t limit;
    const char* kept;
    std::size_t count;
};

TEST(TextLimit, CountsAndCutsWholeCharacters) {
    const LimitCase cases[] = {
        {"abc", 2, "ab", 3},
        {"メモ帳", 2, "メモ", 3},  // three bytes each
        {"aé日😀b", 4, "aé日😀", 5}, // one, two, three and four bytes
        {"aé日😀b", 3, "aé日", 5},  // the four-byte character is not cut
        {"短い", 10, "短い", 2},
        {"", 3, "", 0},
        {"x\xE6\x97", 2, "x\xE6", 3},    // a truncated sequence counts byte by byte
        {"\xFF\xFEz", 2, "\xFF\xFE", 3}, // bytes that start nothing count one each
    };
    for (const auto& c : cases) {
        EXPECT_EQ(characterCount(c.text), c.count) << c.text;
        EXPECT_EQ(std::string(leadingCharacters(c.text, c.limit)), c.kept) << c.text;
    }
}

} // namespace
