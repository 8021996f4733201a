#pragma once
// Reading and writing chart document files (".tvrd": SQLite files with `okinitb` and
// `graphctrltb`).
//
// A document is untrusted input. Reading never writes to the file, never creates one beside
// it and never runs SQL stored in it: the file's bytes are loaded into a private read-only
// memory database, only the two known tables are read (each must be a plain table), only the
// known columns by their quoted names (a column the document lacks reads NULL, as older
// documents lack `yoko_ichi`), and every value goes into a new working document through bound
// parameters.
//
// Writing puts a document built in memory (in one transaction, by the working document) in
// place with an atomic rename, so the previous file stays as it was unless the new one is
// complete.
//
// Both are safe on a worker thread: they touch only the file, the connections they make and
// what they are given.
#include "annotations/GraphCtrlRow.h"
#include "annotations/WorkingDocument.h"

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::annotations {

struct DocumentReadResult {
    WorkingDocument document;            // the new working document at step 0, when ok()
    std::vector<std::string> favourites; // the codes of `okinitb`, in file order
    std::string error;                   // what went wrong, for the user; empty on success
    bool notADocument = false;           // the file was read but is no chart document
    bool ok() const { return error.empty(); }
};

// Reads a document into a new working document. A text longer than its editor takes (4095
// characters for a text, 2048 for a memo) is cut to that length, so the document saved next
// holds the cut text. Fails without side effects for a missing or
// unreadable file, a file that is not SQLite, and one that lacks either table or any of their
// columns (except `yoko_ichi`, which older documents lack). `cancel`, when set, stops it early.
DocumentReadResult readDocument(const std::string& path, const std::atomic<bool>* cancel = nullptr);
// The same reading over a file's bytes already in memory (a document received as data, or the
// image WorkingDocument::documentImage makes); `name` stands for the file in the messages.
DocumentReadResult readDocumentImage(std::string_view bytes, const std::string& name,
                                     const std::atomic<bool>* cancel = nullptr);

// Puts a complete document file (WorkingDocument::documentImage) in place at `path`: written
// beside it and renamed over it. False, with the reason in `error` and any earlier file
// untouched, on failure.
bool writeDocument(const std::string& path, std::string_view image, std::string* error = nullptr);
// Both steps at once, for callers that need no worker.
bool writeDocument(const std::string& path, const WorkingDocument& working,
                   const std::vector<std::string>& favourites, std::string* error = nullptr);

} // namespace tavora::annotations
