#include "annotations/MemoEdit.h"
#include "annotations/LineElm.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::annotations {
namespace {

using market::ChartPeriod;

TEST(MemoEdit, LineEndsDoNotMakeAChange) {
    struct Case {
        const char* stored;
        const char* edited;
        bool differs;
    };
    const Case cases[] = {
        {"2026年1月5日メモ\r\n", "2026年1月5日メモ\n", false},
        {"a\r\nb\rc", "a\nb\nc", false},
        {"a\r\n\r\nb", "a\n\nb", false},
        {"a\r\nb", "a\nb ", true},
        {"", "", false},
        {"", "x", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(memoTextDiffers(c.stored, c.edited), c.differs) << c.stored;
}

TEST(MemoEdit, StoredTextEndsLinesWithCrLfAndKeepsWholeCharacters) {
    EXPECT_EQ(storedMemoText("一行目\n二行目\r\n三"), "一行目\r\n二行目\r\n三");
    // 2047 ASCII characters and then a three-byte one: the limit takes it whole.
    std::string text(kMemoMaxCharacters - 1, 'a');
    text += "漢字";
    const std::string stored = storedMemoText(text);
    EXPECT_EQ(stored, std::string(kMemoMaxCharacters - 1, 'a') + "漢");
    // A line end counts as one character however it is stored.
    std::string lines(kMemoMaxCharacters - 1, 'b');
    lines += "\r\nc";
    EXPECT_EQ(storedMemoText(lines), std::string(kMemoMaxCharacters - 1, 'b') + "\r\n");
}

TEST(MemoEdit, TheMemoIsFoundByCodePeriodAndId) {
    CodeAnnotations lists;
    lists.reset("1001");
    GraphDrawList& week = lists.list(ChartPeriod::Week);
    week.createLine();
    MemoElm& memo = week.createMemo();
    const MemoKey key = memoKeyOf(week, memo);
    EXPECT_EQ(key.code, "1001");
    EXPECT_EQ(key.period, ChartPeriod::Week);
    EXPECT_EQ(key.id, 2);
    EXPECT_EQ(findMemo(lists, key), &memo);

    EXPECT_EQ(findMemo(lists, {"1001", ChartPeriod::Day, 2}), nullptr);
    EXPECT_EQ(findMemo(lists, {"1002", ChartPeriod::Week, 2}), nullptr);
    EXPECT_EQ(findMemo(lists, {"1001", ChartPeriod::Week, 1}), nullptr) << "a line is no memo";
    memo.view_bl = false;
    EXPECT_EQ(findMemo(lists, key), nullptr) << "deleted";
    lists.reset("1001");
    EXPECT_EQ(findMemo(lists, key), nullptr) << "reloaded without it";
}

TEST(MemoEdit, TheExportWritesTheTextAsTyped) {
    test::TempDir dir;
    const std::string folder = (dir / "tmp").string();
    const std::string text = "利益率 15% の銘柄\n%s %d %%\n";
    const std::string path = writeMemoFile(folder, text);
    EXPECT_EQ(path, folder + "/memo.txt");
    EXPECT_EQ(test::readFile(path), text);
    EXPECT_EQ(test::readFile(writeMemoFile(folder, "次")), "次"); // replaced

    test::writeFile(dir / "file", "x");
    std::string error;
    EXPECT_TRUE(writeMemoFile((dir / "file").string(), text, &error).empty());
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace tavora::annotations
