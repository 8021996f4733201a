#pragma once
// File choosers of the desktop program. Every file dialog goes through here so that
//  - each kind of file starts in the folder last used for that kind (kept in the settings
//    store, one key per kind), else in the home folder, never in the program's own folder;
//  - a file chosen for writing passes the output check (framework/OutputTarget.h): a path in
//    the program's data folder or one that is no regular file is refused with a message box
//    and nothing is written;
//  - tests can give the next answer (setNextFileName) and unattended runs
//    (TAVORA_NONINTERACTIVE=1) never block on a modal dialog.
// UI thread only.
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tavora::framework::ui {

// The kinds of files the program asks for; each remembers its own folder.
enum class FileKind {
    Document,  // chart documents (.tvrd), opened and saved
    Pdf,       // the print dialog's PDF output
    CsvExport, // per-code CSV export
    CsvImport, // price CSV files to import (per code or the import list)
    CodeList,  // the user's own code-list CSV
};

// What the program lends the dialogs, set once at start-up (tests set their own).
struct FileDialogPlaces {
    // Folders whose files the program keeps; nothing chosen for writing may lie in them.
    std::vector<std::filesystem::path> keptFolders;
    // Reads / writes one settings key (the folder memory). Unset: nothing is remembered.
    std::function<std::string(const std::string& key)> readSetting;
    std::function<void(const std::string& key, const std::string& value)> writeSetting;
};

class FileDialog {
public:
    static void setPlaces(FileDialogPlaces places);

    // An existing file chosen by the user; empty when the dialog was cancelled.
    static QString openFile(QWidget* parent, const QString& caption, FileKind kind, const QString& filter);
    // Several existing files at once; empty when cancelled.
    static QStringList openFiles(QWidget* parent, const QString& caption, FileKind kind,
                                 const QString& filter);

    // A file to write, chosen by the user, who is asked before an existing file is replaced;
    // `proposedName` is offered in the start folder and `suffix` is added to a name typed
    // without one. Empty when the dialog was cancelled or the choice was refused (mayWrite).
    static QString saveFile(QWidget* parent, const QString& caption, FileKind kind,
                            const QString& proposedName, const QString& filter,
                            const QString& suffix = QString());

    // The output check for a path about to be written: true when it may be; otherwise a
    // message box (with `caption`) says why and the caller writes nothing.
    static bool mayWrite(QWidget* parent, const QString& path, const QString& caption);

    // The folder a dialog of `kind` starts in: the one last used when it still exists, else
    // the home folder.
    static QString startFolder(FileKind kind);
    // Remembers the folder of `chosenPath` for `kind`.
    static void rememberFolder(FileKind kind, const QString& chosenPath);
    // The settings key of a kind's folder ("lastdir_document", ...).
    static const char* folderKey(FileKind kind);

    // The next dialog is not shown; it returns `path` at once (an empty path: cancelled).
    static void setNextFileName(const QString& path);
    // The next openFiles is not shown; it returns `paths` at once (none: cancelled).
    static void setNextFileNames(const QStringList& paths);
    static void clearNextFileName();

private:
    static bool takeNext(QString& path);
};

} // namespace tavora::framework::ui
