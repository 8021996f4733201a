#pragma once
// The chart document's steps on the application context: the untitled document made at
// start-up and by New, the recent-files list read at start-up, and the switch to a document
// that was read or saved. Each switch changes the working document, the paths, the title
// path, the recent list and the favourite marks together. UI thread.
#include "annotations/DocumentFile.h"
#include "app/core/AppContext.h"

#include <cstdint>
#include <string>

namespace tavora::app {

// Start-up step 9 and New: the empty untitled document "無題.tvrd" in the temporary
// directory (written there), a fresh working document at step 0, every favourite mark
// cleared, no saved path.
void ResetDocumentStep(AppContext& ctx);
// Start-up step 23: the recent documents whose files still exist.
void LoadRecentFilesStep(AppContext& ctx);

// The document file a save writes now: the marked codes and the elements at the current step.
// False, with the reason, when it cannot be built.
bool SaveImage(const AppContext& ctx, std::string& image, std::string* error = nullptr);

// A document was read from `path`: it becomes the open document (step 0), its favourites the
// catalogue's marks, `path` the document path, the saved path and the newest recent entry.
void AdoptOpenedDocument(AppContext& ctx, const std::string& path, annotations::DocumentReadResult read,
                         std::int64_t now);
// The document was saved under `path` (save as): the path becomes the document path and the
// saved path, and the newest recent entry. The working document and its steps stay.
void AdoptSavedPath(AppContext& ctx, const std::string& path, std::int64_t now);

// The document named on the command line: every double quote removed, a relative path taken
// against `startDirectory` (the folder the program was started in). Empty for none.
std::string commandLineDocument(std::string argument, const std::string& startDirectory);

// The folder part of a path ("" when it has none).
std::string directoryOf(const std::string& path);

} // namespace tavora::app
