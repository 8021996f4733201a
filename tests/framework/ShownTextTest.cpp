// Text from outside shown on a terminal or in a one-line message: control characters and bytes
// that are not UTF-8 become "?", Japanese and other text stays as it is.
#include "framework/ShownText.h"

#include <gtest/gtest.h>

#include <string>

using tavora::framework::shownLine;
using tavora::framework::shownText;

namespace {

TEST(ShownTextTest, ReplacesControlCharactersAndBrokenBytes) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain/file name.csv", "plain/file name.csv"},
        {"日経平均株価_１００３.csv", "日経平均株価_１００３.csv"},
        {"\x1b]0;PWNED\x07x.csv", "?]0;PWNED?x.csv"}, // a terminal title sequence
        {"a\x1b[2Jb", "a?[2Jb"},                      // clear screen
        {"line\nforged line\r", "line?forged line?"}, // a line break in a name
        {"tab\there\x7f", "tab?here?"},               // tab and DEL
        {"c1 \xc2\x9b"
         "31m",
         "c1 ?31m"}, // CSI in its C1 form (U+009B)
        {"raw \x9b"
         "31m",
         "raw ?31m"},                    // a lone C1 byte
        {"cut \xe6\x97", "cut ??"},      // a truncated character
        {"over \xc0\xaf", "over ??"},    // an overlong "/"
        {"sur \xed\xa0\x80", "sur ???"}, // a UTF-16 surrogate
        {std::string("nul\0x", 5), "nul?x"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownText(c.in), c.out) << c.in;
}

TEST(ShownTextTest, AMessageOfSeveralLinesBecomesOneLine) {
    EXPECT_EQ(shownLine("the database is damaged (quick_check: *** in database main ***\n"
                        "On tree page 2 cell 0: invalid page number 99\r\nPage 5 is never used)"),
              "the database is damaged (quick_check: *** in database main ***; On tree page 2 cell 0: "
              "invalid page number 99; Page 5 is never used)");
    EXPECT_EQ(shownLine("ファイルを開けません。\n/tmp/a.tvrd\n"), "ファイルを開けません。; /tmp/a.tvrd");
    EXPECT_EQ(shownLine("one line"), "one line");
    EXPECT_EQ(shownLine("esc \x1b in it\n"), "esc ? in it");
}

} // namespace
