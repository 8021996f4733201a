#include "annotations/ui/DocumentCommands.h"

#include "annotations/DocumentFile.h"
#include "app/core/DocumentSteps.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"

#include <QDir>
#include <QFileDialog>

#include <ctime>
#include <memory>

namespace tavora::annotations::ui {

using framework::ui::MessageBox;

namespace {
const QString kCaption = "タボラ";
const QString kFilter = "タボラファイル(*.tvrd)";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
std::int64_t now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// The file dialogs of the program: the filter, the default suffix and the start folder given;
// the process's working directory is left as it is.
QString runFileDialog(QWidget* parent, DocumentCommands::Dialog kind, const QString& folder, const QString& name) {
    const bool save = kind == DocumentCommands::Dialog::Save;
    QFileDialog dialog(parent, save ? "タボラファイルを保存します。" : "タボラファイルを開きます。", folder, kFilter);
    dialog.setDefaultSuffix("tvrd");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !name.isEmpty())
        dialog.selectFile(QDir(folder).filePath(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

DocumentCommands::DocumentCommands(app::AppContext& ctx, QWidget* window, framework::ui::StatusBar* status)
    : QObject(window), m_ctx(ctx), m_window(window), m_status(status), m_job(this) {}

QString DocumentCommands::startFolder() const {
    const QString last = qs(m_ctx.document.lastDirectory);
    return !last.isEmpty() && QDir(last).exists() ? last : QDir::homePath();
}

QString DocumentCommands::choose(Dialog kind, const QString& name) const {
    const QString folder = startFolder();
    return m_chooser ? m_chooser(kind, folder, name) : runFileDialog(m_window, kind, folder, name);
}

bool DocumentCommands::codeOpen() const {
    return m_ctx.currentCode && *m_ctx.currentCode < m_ctx.catalogue.size();
}

bool DocumentCommands::refuseWhileBusy() {
    if (!m_job.running())
        return false;
    if (m_status)
        m_status->setText("ファイルの読み込みまたは保存中です。終わるまでお待ちください。");
    return true;
}

QStringList DocumentCommands::recentFiles() const {
    QStringList list;
    for (const auto& p : m_ctx.document.recent)
        list << qs(p);
    return list;
}

void DocumentCommands::newDocument() {
    if (refuseWhileBusy())
        return;
    if (MessageBox::askYesNo(m_window, "現在の作業状態を初期化して新しいファイルを作成してもよろしいですか?",
                             kCaption) != QMessageBox::Yes)
        return;
    app::ResetDocumentStep(m_ctx);
    emit titlePathChanged({});
    emit documentReplaced();
}

void DocumentCommands::openWithDialog() {
    if (refuseWhileBusy())
        return;
    const QString path = choose(Dialog::Open, {});
    if (!path.isEmpty())
        openPath(path);
}

void DocumentCommands::openPath(const QString& path) {
    if (refuseWhileBusy())
        return;
    const std::string file = path.toStdString();
    emit busyChanged(true);
    m_job.start([this, file]() -> DocumentJob::Continuation {
        auto read = std::make_shared<DocumentReadResult>(readDocument(file));
        return [this, file, read] {
            emit busyChanged(false);
            if (!read->ok()) {
                MessageBox::warning(m_window, qs(read->error), kCaption);
                emit opened(false);
                return;
            }
            app::AdoptOpenedDocument(m_ctx, file, std::move(*read), now());
            emit titlePathChanged(qs(file));
            emit recentFilesChanged(recentFiles());
            emit documentReplaced();
            emit opened(true);
        };
    });
}

void DocumentCommands::save() {
    if (!codeOpen() || refuseWhileBusy())
        return;
    if (m_ctx.document.savedPath.empty()) {
        saveAs();
        return;
    }
    emit titlePathChanged(qs(m_ctx.document.savedPath));
    startSave(qs(m_ctx.document.savedPath), false);
}

void DocumentCommands::saveAs() {
    if (!codeOpen() || refuseWhileBusy())
        return;
    const QString path = choose(Dialog::Save, qs(m_ctx.paths.documentName));
    if (!path.isEmpty())
        startSave(path, true);
}

void DocumentCommands::startSave(const QString& path, bool adoptPath) {
    const std::string file = path.toStdString();
    // The file is built now, on the UI thread, from the step shown; the worker only writes it.
    auto image = std::make_shared<std::string>();
    std::string buildError;
    if (!app::SaveImage(m_ctx, *image, &buildError)) {
        MessageBox::warning(m_window, qs("保存できませんでした。\n" + buildError), kCaption);
        emit saved(false);
        return;
    }
    emit busyChanged(true);
    m_job.start([this, file, adoptPath, image]() -> DocumentJob::Continuation {
        auto error = std::make_shared<std::string>();
        const bool ok = writeDocument(file, *image, error.get());
        return [this, file, adoptPath, ok, error] {
            emit busyChanged(false);
            if (!ok) {
                MessageBox::warning(m_window, qs("保存できませんでした。\n" + *error), kCaption);
                emit saved(false);
                return;
            }
            if (adoptPath) {
                app::AdoptSavedPath(m_ctx, file, now());
                emit titlePathChanged(qs(file));
                emit recentFilesChanged(recentFiles());
            }
            if (m_status)
                m_status->setText("保存しました");
            emit saved(true);
        };
    });
}

} // namespace tavora::annotations::ui
