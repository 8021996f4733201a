#pragma once
// File choosers of the desktop program. They go through here so that tests can give the next
// answer (setNextFileName) and unattended runs (TAVORA_NONINTERACTIVE=1) never block on a
// modal dialog. UI thread only.
#include <QString>

class QWidget;

namespace tavora::framework::ui {

class FileDialog {
public:
    // An existing file chosen by the user; empty when the dialog was cancelled.
    static QString openFile(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter);

    // A file to write, chosen by the user, who is asked before an existing file is replaced;
    // `proposed` is the name (or path) offered first and `suffix` is added to a name typed
    // without one. Empty when the dialog was cancelled.
    static QString saveFile(QWidget* parent, const QString& caption, const QString& proposed,
                            const QString& filter, const QString& suffix = QString());

    // The next dialog is not shown; it returns `path` at once (an empty path: cancelled).
    static void setNextFileName(const QString& path);
    static void clearNextFileName();

private:
    static bool takeNext(QString& path);
};

} // namespace tavora::framework::ui
