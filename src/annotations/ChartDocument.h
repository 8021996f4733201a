#pragma once
// The open chart document as the program holds it: its working copy with the undo history, the
// path shown in the title area and the folder the file dialogs start in. The file's own path
// and name are the context's document path and name. Owned by the UI thread.
#include "annotations/WorkingDocument.h"

#include <string>
#include <vector>

namespace tavora::annotations {

struct ChartDocument {
    WorkingDocument working;
    // Empty until the document is opened or saved under a name, and again after New.
    std::string savedPath;
    // The last folder a document was opened from or saved to; empty: the home folder.
    std::string lastDirectory;
    // The favourite codes as the document file holds them (after the last open, save or New):
    // marks changed since then are unsaved changes like the elements.
    std::vector<std::string> savedFavourites;
    // The recent documents shown in the drop-down (newest first, existing files only).
    std::vector<std::string> recent;
};

} // namespace tavora::annotations
