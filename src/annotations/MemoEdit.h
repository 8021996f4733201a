#pragma once
// What the memo editor ("メモの編集") needs besides its widgets: the memo it edits named by its
// code, period and id (an element pointer would not survive undo, an open or a code change
// while the editor is open), the comparison of texts with any line ends, the stored form of
// an edited text and the export to "memo.txt". UI thread.
#include "annotations/CodeAnnotations.h"
#include "annotations/TextElm.h"
#include "market/ChartPeriod.h"

#include <string>
#include <string_view>

namespace tavora::annotations {

// The longest memo text, in characters.
inline constexpr std::size_t kMemoMaxCharacters = 2048;

struct MemoKey {
    std::string code;
    market::ChartPeriod period = market::ChartPeriod::Day;
    int id = 0;
};

// The key of a memo of a list.
MemoKey memoKeyOf(const GraphDrawList& list, const MemoElm& memo);
// The memo the key names, as the lists hold it now; null when it is gone (another code is
// shown, or the memo was undone or deleted).
MemoElm* findMemo(CodeAnnotations& lists, const MemoKey& key);

// The text with every "\r\n" and lone "\r" made "\n".
std::string normaliseLineEnds(std::string_view text);
// Whether an edited text differs from a stored one other than by its line ends.
bool memoTextDiffers(std::string_view stored, std::string_view edited);
// An edited text as memos store it: lines ending "\r\n", at most kMemoMaxCharacters
// characters, never a character cut in two.
std::string storedMemoText(std::string_view edited);

// Writes the text unchanged (UTF-8) to "memo.txt" in `directory` (created when missing),
// replacing an older one. Returns the file's path, or empty with the reason in `error`.
std::string writeMemoFile(const std::string& directory, std::string_view text, std::string* error = nullptr);

} // namespace tavora::annotations
