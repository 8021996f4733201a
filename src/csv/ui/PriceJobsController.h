#pragma once
// The price-database jobs that the データ取込 page and the settings page share: the backup, the
// restore from a backup (its side-sheet panel, the question before anything is replaced, the
// swap and the reopening of the current code) and the KABU+ download into the import folder.
// It owns the runner on which every price job of the window runs one at a time, so the page's
// registration and per-code import queue behind the same guard. UI thread only.
#include "app/core/Commands.h"
#include "csv/ui/DataPageHost.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace tavora::app {
struct AppContext;
}

namespace tavora::csv::ui {

class BackupRestorePanel;
class PriceJobRunner;

class PriceJobsController : public QObject {
    Q_OBJECT
public:
    // `dialogParent` carries the questions and notices (and owns the controller when set).
    PriceJobsController(app::AppContext& ctx, DataPageHost host, QWidget* dialogParent);
    ~PriceJobsController() override;

    // Carries out Backup, Restore (opens the restore panel) and Download; false for another
    // command.
    bool onCommand(app::Command command);
    void startBackup();
    void openRestorePanel();
    // Downloads the missing days into the import folder; false when it did not start (no
    // account, the sheet kept open, nothing to plan, or another job runs).
    bool startDownload();

    PriceJobRunner* runner() const { return m_runner; }
    BackupRestorePanel* restorePanel() const;

signals:
    // A download's result has been shown; the files it stored are in the import folder.
    void downloadEnded();

private:
    // Asks before the price database is replaced by backup `name`, then restores it.
    void confirmRestore(const QString& name);
    void startRestore(const QString& name, bool backupFirst);
    void status(const QString& text);
    void reopenThenSay(const QString& text);

    app::AppContext& m_ctx;
    DataPageHost m_host;
    QWidget* m_dialogParent;
    QPointer<BackupRestorePanel> m_restore; // the side sheet owns it when there is one
    PriceJobRunner* m_runner;
};

} // namespace tavora::csv::ui
