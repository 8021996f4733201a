#pragma once
// The favourite marks of the catalogue and the `okinitb` codes of a document. UI thread (the
// catalogue belongs to it).
#include "market/CodeList.h"

#include <string>
#include <vector>

namespace tavora::annotations {

// Marks exactly the listed codes; codes that are not in the catalogue are ignored.
void applyFavourites(market::CodeList& catalogue, const std::vector<std::string>& codes);
// The marked codes in catalogue order, each once.
std::vector<std::string> favouriteCodes(const market::CodeList& catalogue);
// Marks in `to` every code that is marked in `from` (a reloaded catalogue keeps the marks).
void carryFavourites(const market::CodeList& from, market::CodeList& to);

} // namespace tavora::annotations
