#pragma once
// The working copy of the open chart document and its undo history: an in-memory SQLite
// database that the chart reads its annotations from and every change is recorded in.
//
// Tables: `okinitb` and `graphctrltb` (empty; the document's own shape), `history_okinitb`
// (the favourite codes the document was opened with) and `history_graphctrltb`: every version
// of every element, each with `updnum`, the step it was recorded at (0 for the rows that came
// from the file). The state at step k is, for each `idkikancode`, its row with the largest
// `updnum` not above k; a row whose `view_bl` is "0" is a deleted element.
//
// Two counters serve all four periods: the current step and the highest step recorded.
// - recordStep() is one step: the counter moves up by one, the redo tail (steps at or above it)
//   is discarded, and the rows are inserted, all in one transaction. Nothing is recorded, and
//   no step taken, for an empty list; a failed step leaves the history and counters as they were.
// - undo() and redo() move the counter within 0 and the highest step; callers reload the
//   annotations (codeState) afterwards even when the counter did not move.
// - Saving builds the document file of the current step (documentImage) and changes nothing
//   here but the saved mark: the step a save wrote (mark() when the image was built), so the
//   program can tell whether the state shown differs from the file. Each recorded step has a
//   serial of its own, so a step number reached again after the saved step was discarded
//   (undo, then a new change) does not count as saved.
//
// Who calls it: the UI thread owns the working document of the program. The document open
// worker builds a new one on its own thread (DocumentFile) and hands it to the UI thread,
// which swaps it in; it is never used by two threads at once. Movable, not copyable.
#include "annotations/GraphCtrlRow.h"
#include "framework/Sql.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::annotations {

// One state of the history: the step and the serial of the change recorded at it.
struct StepMark {
    int step = 0;
    std::uint64_t serial = 0;
    bool operator==(const StepMark&) const = default;
};

class WorkingDocument {
public:
    // An empty document: no elements, no favourites, both counters 0. An unopened
    // WorkingDocument (isOpen() false) results only when SQLite cannot make a memory database.
    static WorkingDocument createEmpty();
    // For DocumentFile: a document with the given text encoding ("UTF-8", "UTF-16le" or
    // "UTF-16be"; anything else is UTF-8) whose history is filled at step 0 (HistoryWriter),
    // then made ready with finishLoading() (the indexes are built after the rows, faster).
    static WorkingDocument createForLoading(std::string_view encoding);
    bool finishLoading();

    WorkingDocument() = default;
    WorkingDocument(WorkingDocument&&) noexcept = default;
    WorkingDocument& operator=(WorkingDocument&&) noexcept = default;

    bool isOpen() const { return m_db.isOpen(); }
    int step() const { return m_step; }
    int highestStep() const { return m_highest; }

    // The state shown now, and the one the last save wrote (a new or opened document is saved
    // at step 0).
    StepMark mark() const;
    void markSaved(StepMark mark) { m_saved = mark; }
    // No state of the history is the file's (a copy that was never saved where it belongs).
    void markUnsaved() { m_saved.reset(); }
    bool atSavedState() const { return m_saved && *m_saved == mark(); }
    // Whether any code has an element that is not deleted at the current step.
    bool hasElements() const;

    // Records one step holding these rows (elements of any codes and periods). False, with
    // nothing changed, when `rows` is empty or the database refuses the step.
    bool recordStep(const std::vector<GraphCtrlRow>& rows);
    // One step back / forward; false when the counter is already at its end.
    bool undo();
    bool redo();

    // The code's rows at the current step (deleted ones included, so ids keep counting past
    // them), ordered by id and step.
    std::vector<StoredRow> codeState(std::string_view code) const;
    // The same rows handed over one at a time, without holding them all (a document may hold
    // hundreds of thousands).
    void forEachInCodeState(std::string_view code, const std::function<void(StoredRow&&)>& take) const;
    // The bytes of a complete document file holding these favourite codes and every element
    // at the current step that is not deleted (`view_bl` "1"; a missing `yoko_ichi` written as
    // 1), built inside SQLite in one transaction. False, with the reason, when it cannot be.
    bool documentImage(const std::vector<std::string>& favourites, std::string& image, std::string* error) const;
    // The favourite codes the document was opened with.
    std::vector<std::string> openedFavourites() const;

    // The database itself, for DocumentFile while it fills a new document (inside its own
    // transaction, through HistoryWriter).
    framework::ZSqlElement& database() { return m_db; }

private:
    mutable framework::ZSqlElement m_db;
    int m_step = 0;
    int m_highest = 0;
    // The serial of the change recorded at each step (index 0: the document as read).
    std::vector<std::uint64_t> m_serials{0};
    std::uint64_t m_lastSerial = 0;
    std::optional<StepMark> m_saved = StepMark{};
};

// Inserts rows into `history_graphctrltb` at one step through one prepared statement. The
// caller holds the transaction.
class HistoryWriter {
public:
    HistoryWriter(WorkingDocument& document, int step);
    bool ok() const { return m_statement.ok(); }
    bool add(const StoredValues& values);
    // The current row of a statement whose columns are the stored columns in order, bound as
    // they are (no copy).
    bool addColumns(sqlite3_stmt* row);
    // One favourite code into `history_okinitb` (step 0 only: favourites are not versioned).
    static bool addFavourite(WorkingDocument& document, const std::string& code);

private:
    framework::SqlStatement m_statement;
    int m_step;
};

} // namespace tavora::annotations
