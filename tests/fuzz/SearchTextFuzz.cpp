// The folding of the code search, run over catalogue names (downloaded files) and typed text.
// Invariants: valid UTF-8 stays valid; folding twice changes nothing; no ASCII capital is left;
// every text contains itself as a search text.
// fuzz-seeds: data/others/code_info.csv
#include "FuzzSupport.h"
#include "framework/Encoding.h"
#include "market/SearchText.h"

#include <algorithm>

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string folded = market::foldForSearch(text);
    if (framework::isValidUtf8(text))
        fuzz::check(framework::isValidUtf8(folded), "valid UTF-8 folded into invalid UTF-8", folded);
    fuzz::check(market::foldForSearch(folded) == folded, "folding a folded text changed it", folded);
    fuzz::check(std::none_of(folded.begin(), folded.end(), [](char c) { return c >= 'A' && c <= 'Z'; }),
                "an ASCII capital was left", folded);
    fuzz::check(market::SearchText(text).isIn(text), "a text does not contain itself");
    return 0;
}
