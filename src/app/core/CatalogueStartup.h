#pragma once
// The start-up steps that fill the catalogue: the code list read and copied, the catalogue
// built, its first entry made current, and the splits attached. Called in this order by the
// start-up sequence on the UI thread (with the analysis definitions seeded between the first
// two). Each step returns the lines it wants logged; a missing file is skipped silently.
#include "app/core/AppContext.h"

#include <string>
#include <vector>

namespace tavora::app {

// Reads the code-list file in use into the CSV code list (emptied first) and copies it into
// the working copy. A file that exists but cannot be read is reported.
std::vector<std::string> LoadCodeListStep(AppContext& ctx);
// Why a code-list file cannot replace the one in use: it is missing, cannot be read, or has no
// record with the four fields of an entry. Empty when it can.
std::string CodeListFileProblem(const std::string& path);
// Builds the catalogue proper as a copy of the CSV code list; codes marked as favourites
// before stay marked.
void BuildCatalogueStep(AppContext& ctx);
// Makes the first catalogue entry the current code (none for an empty catalogue). There is no
// previous code at start-up, so no scale is saved.
void MakeFirstEntryCurrentStep(AppContext& ctx);
// Attaches "bunkatsudata.csv" to the catalogue entries when the file exists.
std::vector<std::string> AttachSplitsStep(AppContext& ctx);

} // namespace tavora::app
