#pragma once
// The chart-document commands of the Home page: New (549), Open by dialog (528), by a path (the
// recent list and the command line), Save (271) and Save As (270). Opening and saving run on a
// DocumentJob, one at a time; the result is swapped in on the UI thread: a document that was
// read becomes the open one (working copy, paths, title, recent list, favourites and step
// counters together) only when it was read whole; a save reports "保存しました" only when the
// file is in place, and a message box otherwise.
//
// Work is never dropped without a word: before New, an Open and the end of the program, a
// document holding unsaved work (DocumentSteps: HoldsUnsavedWork) is the subject of the
// question 保存しますか (はい saves, いいえ gives the work up, キャンセル keeps it), and the
// title shows "*" before the document's name while it holds such work. UI thread only.
#include "annotations/WorkingDocument.h"
#include "annotations/ui/DocumentJob.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace tavora::app {
struct AppContext;
}
namespace tavora::framework::ui {
class StatusBar;
}

namespace tavora::annotations::ui {

class DocumentCommands : public QObject {
    Q_OBJECT
public:
    enum class Dialog { Open, Save };
    // Asks for a file name: the dialog kind, the folder to start in and the proposed name.
    // Returns the chosen path, empty on cancel.
    using FileChooser = std::function<QString(Dialog, const QString& folder, const QString& name)>;

    DocumentCommands(app::AppContext& ctx, QWidget* window, framework::ui::StatusBar* status);

    // New: after the question, the empty untitled document.
    void newDocument();
    // Open: the file dialog, then openPath.
    void openWithDialog();
    // Reads the document at `path` on the worker; nothing changes unless it is read whole.
    void openPath(const QString& path);
    // Save in place (save as while the document has no name); only while a code is open.
    void save();
    // Save under a name chosen in the dialog; only while a code is open.
    void saveAs();

    // Before the document is closed (the end of the program, New, Open): when it holds unsaved
    // work, asks whether to save it. True when the caller may go on (nothing to ask, saved, or
    // given up); false when the user keeps the document (キャンセル, a save that was cancelled
    // or failed). A save still being written is finished first.
    bool settleUnsavedWork();
    // The document changed (a step recorded, undone or redone, a favourite mark): the title
    // follows.
    void documentEdited();
    // What the window title shows of the document ("*" while work would be lost; empty for the
    // untitled document without work).
    QString title() const { return m_title; }
    // At start: the work kept when the last desktop session ended is offered back.
    void offerKeptWork();

    bool busy() const { return m_job.running(); }
    // Blocks until a running open or save has finished (at exit).
    void waitForJob() { m_job.wait(); }
    // The recent documents for the drop-down.
    QStringList recentFiles() const;
    // Tests answer the file dialogs here; none restores the real dialogs.
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

signals:
    // A document was made or opened: the annotations, favourite marks and steps changed.
    void documentReplaced();
    // The path shown in the title area (empty for an unnamed document).
    void titlePathChanged(const QString& path);
    // The document part of the window title changed (title()).
    void titleChanged(const QString& title);
    void recentFilesChanged(const QStringList& paths);
    // An open or save started (true) or ended (false).
    void busyChanged(bool busy);
    // A save finished (true when the file is in place).
    void saved(bool ok);
    // An open finished (true when the document was swapped in).
    void opened(bool ok);

private:
    // A save's content, taken on the UI thread from the state shown.
    struct SaveContent {
        std::shared_ptr<std::string> image = std::make_shared<std::string>();
        annotations::StepMark mark;
        std::vector<std::string> favourites;
    };

    QString choose(Dialog kind, const QString& name) const;
    QString startFolder() const;
    bool codeOpen() const;
    bool refuseWhileBusy();
    void startSave(const QString& path, bool adoptPath);
    // Saves in place (or under a name chosen now) before the document is closed; blocks.
    bool saveNow();
    // The content of a save, or none after saying why it cannot be built.
    std::optional<SaveContent> saveContent();
    void saveFinished(const std::string& file, bool adoptPath, const SaveContent& content, bool ok,
                      const std::string& error);
    void updateTitle();
    // Work taken back at start is kept on disk until it is saved or given up.
    void dropKeptWork();

    app::AppContext& m_ctx;
    QWidget* m_window;
    framework::ui::StatusBar* m_status;
    DocumentJob m_job;
    FileChooser m_chooser;
    QString m_title;
    bool m_keptWorkAdopted = false;
};

} // namespace tavora::annotations::ui
