#include "annotations/Favourites.h"

#include <set>

namespace tavora::annotations {

void applyFavourites(market::CodeList& catalogue, const std::vector<std::string>& codes) {
    const std::set<std::string> marked(codes.begin(), codes.end());
    for (auto& entry : catalogue)
        entry.favourite = marked.count(entry.code) > 0;
}

std::vector<std::string> favouriteCodes(const market::CodeList& catalogue) {
    std::vector<std::string> codes;
    std::set<std::string> seen;
    for (const auto& entry : catalogue)
        if (entry.favourite && seen.insert(entry.code).second)
            codes.push_back(entry.code);
    return codes;
}

void carryFavourites(const market::CodeList& from, market::CodeList& to) {
    applyFavourites(to, favouriteCodes(from));
}

} // namespace tavora::annotations
