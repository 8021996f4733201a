#include "csv/ui/PriceJobsController.h"

#include "acquisition/KabuPlusDownload.h"
#include "acquisition/PriceBackup.h"
#include "app/core/AcquisitionPlaces.h"
#include "app/core/AppContext.h"
#include "csv/ui/BackupRestorePanel.h"
#include "csv/ui/PriceJobRunner.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "market/PriceDatabase.h"

#include <QWidget>

namespace tavora::csv::ui {

using framework::ui::MessageBox;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString backupStatusText(const acquisition::PriceBackupResult& result) {
    if (!result.ok())
        return qs(result.statusText) +
               (result.outcome.message().empty() ? QString() : "（" + qs(result.outcome.message()) + "）");
    QString text = qs(result.statusText) + "（" + qs(acquisition::backupDateText(result.name));
    if (!result.pruned.empty())
        text += QString("、古いバックアップ %1件を削除").arg(result.pruned.size());
    return text + "）";
}

QString restoreQuestion(const QString& name, bool backupFirst) {
    const QString date = qs(acquisition::backupDateText(name.toStdString()));
    QString question = date + " のバックアップに復元します。\n";
    question += "現在の株価データはすべて、このバックアップの内容に置き換えられます。\n";
    question += backupFirst
                    ? "（「バックアップを作成する」の設定により、"
                      "置き換える前に現在のデータをバックアップします）\n"
                    : "（「バックアップを作成する」がオフのため、現在のデータはバックアップされません）\n";
    return question + "よろしいですか?";
}

} // namespace

PriceJobsController::PriceJobsController(app::AppContext& ctx, DataPageHost host, QWidget* dialogParent)
    : QObject(dialogParent), m_ctx(ctx), m_host(std::move(host)), m_dialogParent(dialogParent),
      m_restore(new BackupRestorePanel), m_runner(new PriceJobRunner(ctx.priceJobs, m_host.status, this)) {
    if (m_host.addSheetPanel) {
        m_host.addSheetPanel(m_restore);
    } else { // without a side sheet the panel stays hidden
        m_restore->setParent(dialogParent);
        m_restore->hide();
    }
    connect(m_restore, &BackupRestorePanel::restoreRequested, this, &PriceJobsController::confirmRestore);
}

PriceJobsController::~PriceJobsController() {
    if (m_restore && !m_restore->parent())
        delete m_restore.data();
}

BackupRestorePanel* PriceJobsController::restorePanel() const {
    return m_restore.data();
}

bool PriceJobsController::onCommand(app::Command command) {
    switch (command) {
    case app::Command::Backup:
        startBackup();
        return true;
    case app::Command::Restore:
        openRestorePanel();
        return true;
    case app::Command::Download:
        startDownload();
        return true;
    default:
        return false;
    }
}

void PriceJobsController::status(const QString& text) {
    if (m_host.status)
        m_host.status->setText(text);
}

void PriceJobsController::reopenThenSay(const QString& text) {
    if (m_host.reopenCurrentCode)
        m_host.reopenCurrentCode(text);
}

// ---- backup and restore

void PriceJobsController::startBackup() {
    const auto places = app::priceBackupPlaces(m_ctx.paths);
    m_runner->start(market::PriceJob::Backup,
                    [this, places](framework::ProgressSink& progress, const std::atomic<bool>& cancel,
                                   market::PriceJobGuard::Ticket&) -> PriceJobRunner::Done {
                        const auto result = acquisition::CreatePriceBackup(places, progress, &cancel);
                        return [this, result] { status(backupStatusText(result)); };
                    });
}

void PriceJobsController::openRestorePanel() {
    m_restore->setBackups(acquisition::ListPriceBackups(m_ctx.paths.backupDir));
    if (m_host.openSheet)
        m_host.openSheet(m_restore, BackupRestorePanel::Width);
}

void PriceJobsController::confirmRestore(const QString& name) {
    const bool backupFirst = m_ctx.settings.buckupcreate_ch;
    if (MessageBox::askYesNo(m_dialogParent, restoreQuestion(name, backupFirst), m_restore->panelName()) !=
        QMessageBox::Yes)
        return;
    startRestore(name, backupFirst);
}

void PriceJobsController::startRestore(const QString& name, bool backupFirst) {
    if (m_host.closeSheet && !m_host.closeSheet())
        return;
    const auto places = app::priceBackupPlaces(m_ctx.paths);
    const std::string chosen = name.toStdString();
    // This thread's connection lets go of the files while they are swapped; it opens again
    // whatever the result.
    const bool started = m_runner->start(
        market::PriceJob::Restore,
        [this, places, chosen, backupFirst](framework::ProgressSink& progress,
                                            const std::atomic<bool>& cancel,
                                            market::PriceJobGuard::Ticket& ticket) -> PriceJobRunner::Done {
            std::string before; // the backup of the data being replaced
            if (backupFirst) {
                const auto backup = acquisition::BackupBeforeRestore(places, chosen, progress, &cancel);
                if (!backup.ok())
                    return [this, backup] {
                        market::PriceDatabase::open(m_ctx.priceDb, m_ctx.paths.priceDbDir);
                        status(backupStatusText(backup));
                    };
                before = backup.name;
            }
            const auto result = acquisition::RestorePriceBackup(places, chosen, ticket, progress, &cancel);
            return [this, result, before] {
                market::PriceDatabase::open(m_ctx.priceDb, m_ctx.paths.priceDbDir);
                QString text = qs(result.statusText);
                if (!before.empty())
                    text += "（復元前のデータは " + qs(acquisition::backupDateText(before)) +
                            " のバックアップにあります）";
                status(text);
                reopenThenSay(text);
            };
        });
    if (started)
        framework::SQL_Close(m_ctx.priceDb);
}

// ---- download

bool PriceJobsController::startDownload() {
    if (m_ctx.settings.kabuplusid.empty() || m_ctx.settings.kabupluspw.empty()) {
        MessageBox::information(m_dialogParent, QString::fromUtf8(acquisition::kNoCredentialsText),
                                "株価ダウンロード");
        return false;
    }
    if (m_host.closeSheet && !m_host.closeSheet())
        return false;
    // The days come from this thread's connection; the files go into the import folder, where
    // the registration takes them.
    const auto plan = app::planKabuPlusDownload(m_ctx, m_ctx.priceDb);
    if (!plan.ok()) {
        status(qs(plan.error));
        return false;
    }
    const auto request = app::kabuPlusRequest(m_ctx, m_ctx.paths.csvWorkDir, plan.days);
    return m_runner->start(
        market::PriceJob::Download,
        [this, request](framework::ProgressSink& progress, const std::atomic<bool>& cancel,
                        market::PriceJobGuard::Ticket&) -> PriceJobRunner::Done {
            const auto report = acquisition::RunKabuPlusDownload(request, progress, &cancel);
            return [this, report] {
                status(qs(report.statusText));
                if (!report.fatal.empty())
                    MessageBox::warning(m_dialogParent, qs(report.fatal), "株価ダウンロード");
                emit downloadEnded();
            };
        });
}

} // namespace tavora::csv::ui
