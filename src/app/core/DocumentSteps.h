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
// The work kept at the end of a desktop session was read back: it becomes the open document,
// untitled when `source` is empty, else under the document path it had (that file is not
// touched). It is marked unsaved, so the title shows it and quitting asks about it.
void AdoptRecoveredDocument(AppContext& ctx, annotations::DocumentReadResult read, const std::string& source);
// The document was saved under `path` (save as): the path becomes the document path and the
// saved path, and the newest recent entry. The working document and its steps stay.
void AdoptSavedPath(AppContext& ctx, const std::string& path, std::int64_t now);

// Whether the state shown differs from the document file: a step other than the one the last
// save wrote, or favourite marks other than the file's.
bool HasUnsavedChanges(const AppContext& ctx);
// Whether closing the document now would lose work: a named document with unsaved changes, or
// the untitled document holding elements or favourite marks (it lives only in tmp/).
bool HoldsUnsavedWork(const AppContext& ctx);
// A save of the state `mark` with these favourites is in the file now.
void MarkDocumentSaved(AppContext& ctx, annotations::StepMark mark, std::vector<std::string> favourites);
// What the window title shows of the document: "*" before the name while work would be lost;
// the saved path for a named document, the name for the untitled one holding work, else empty.
std::string DocumentTitle(const AppContext& ctx);

// The document named on the command line: every double quote removed, a relative path taken
// against `startDirectory` (the folder the program was started in). Empty for none.
std::string commandLineDocument(std::string argument, const std::string& startDirectory);

// The folder part of a path ("" when it has none).
std::string directoryOf(const std::string& path);

} // namespace tavora::app
