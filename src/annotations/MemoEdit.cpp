#include "annotations/MemoEdit.h"

#include "framework/Files.h"
#include "framework/TextLimit.h"

namespace tavora::annotations {

MemoKey memoKeyOf(const GraphDrawList& list, const MemoElm& memo) {
    return {list.code(), list.period(), memo.id};
}

MemoElm* findMemo(CodeAnnotations& lists, const MemoKey& key) {
    GraphDrawList& list = lists.list(key.period);
    if (list.code() != key.code)
        return nullptr;
    GraphDrawElement* e = list.findById(key.id);
    if (!e || !e->view_bl || e->classname != kMemoElm)
        return nullptr;
    return static_cast<MemoElm*>(e);
}

std::string normaliseLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool memoTextDiffers(std::string_view stored, std::string_view edited) {
    return normaliseLineEnds(stored) != normaliseLineEnds(edited);
}

std::string storedMemoText(std::string_view edited) {
    const std::string lines = normaliseLineEnds(edited);
    const std::string_view kept = framework::leadingCharacters(lines, kMemoMaxCharacters);
    std::string out;
    out.reserve(kept.size() + kept.size() / 16);
    for (char c : kept) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string writeMemoFile(const std::string& directory, std::string_view text, std::string* error) {
    if (!framework::CreateZDirectory(directory)) {
        if (error)
            *error = "cannot create " + directory;
        return {};
    }
    const std::string path = directory + "/memo.txt";
    if (!framework::WriteZFileAtomic(path, text, 0600, error))
        return {};
    return path;
}

} // namespace tavora::annotations
