// The code search's folding: what a Japanese input method types matches the code list.
#include "market/SearchText.h"
#include "market/CodeList.h"

#include <gtest/gtest.h>

namespace tavora::market {
namespace {

// Expected values are Python's unicodedata.normalize("NFKC", text) with Latin letters lowered.
TEST(SearchTextTest, FoldsWidthAndLatinCase) {
    struct Case {
        const char* text;
        const char* folded;
    };
    for (const Case& c : {
             Case{"１００７", "1007"},
             Case{"ＤＪＩ", "dji"},
             Case{"Dji", "dji"},
             Case{"ÀÉÖ×Þ", "àéö×þ"},                   // Latin-1 letters fold; the sign does not
             Case{"ｻﾝﾌﾟﾙ　自動車", "サンプル 自動車"}, // half-width kana, ideographic space
             Case{"ｶﾞｽﾞﾎﾟ", "ガズポ"},                 // sound marks compose with their kana
             Case{"ｳﾞﾜﾞｦﾞ", "ヴヷヺ"},
             Case{"ｱﾞ", "ア\u3099"},           // no voiced ア: the mark stays beside it
             Case{"か\u3099ハ\u309A", "がパ"}, // combining marks after full-width kana
             Case{"ｰ｢､｣｡･", "ー「、」。・"},
             Case{"￥１，０００", "¥1,000"},
             Case{"トヨタ自動車", "トヨタ自動車"}, // already folded: unchanged
             Case{"a\xff\xfe"
                  "b",
                  "a\xff\xfe"
                  "b"},                    // not UTF-8: the bytes stay
             Case{"\xe3\x82", "\xe3\x82"}, // a cut-off character stays too
             Case{"", ""},
         })
        EXPECT_EQ(foldForSearch(c.text), c.folded) << c.text;
}

TEST(SearchTextTest, SearchesCodesAndNamesAfterFolding) {
    CodeList list;
    AppendCodeRecords(list, {{"DJI", "NYダウ", "指数", "米国指数"},
                             {"1007", "サンプル電機", "電気機器", "東証プライム"},
                             {"1008", "サンプル自動車", "輸送用機器", "東証プライム"},
                             {"7203", "ＴＯＹＯＴＡ", "輸送用機器", "東証プライム"}});
    struct Case {
        const char* text;
        std::vector<std::size_t> hits;
    };
    for (const Case& c : {
             Case{"dji", {0}},
             Case{"ｄｊｉ", {0}},
             Case{"１００７", {1}},
             Case{"ﾀﾞｳ", {0}},
             Case{"ｻﾝﾌﾟﾙ", {1, 2}},
             Case{"toyota", {3}},
             Case{"100", {1, 2}},
             Case{"見当たらない", {}},
         })
        EXPECT_EQ(SearchCodeIndices(list, c.text), c.hits) << c.text;
    CodeList copies;
    SearchCodes(list, "ｻﾝﾌﾟﾙ自動車", copies);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].code, "1008");
}

} // namespace
} // namespace tavora::market
