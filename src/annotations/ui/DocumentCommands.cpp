#include "annotations/ui/DocumentCommands.h"

#include "annotations/DocumentFile.h"
#include "annotations/Favourites.h"
#include "app/core/DocumentSteps.h"
#include "app/core/WorkRecovery.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"

#include <QDateTime>
#include <QDir>

#include <ctime>
#include <memory>
#include <utility>

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

// The document dialogs, through the program's file dialogs (start folder, folder memory and
// the check of a file to write).
QString runFileDialog(QWidget* parent, DocumentCommands::Dialog kind, const QString& name) {
    using framework::ui::FileDialog;
    using framework::ui::FileKind;
    if (kind == DocumentCommands::Dialog::Save)
        return FileDialog::saveFile(parent, "タボラファイルを保存します。", FileKind::Document, name, kFilter,
                                    "tvrd");
    return FileDialog::openFile(parent, "タボラファイルを開きます。", FileKind::Document, kFilter);
}
} // namespace

DocumentCommands::DocumentCommands(app::AppContext& ctx, QWidget* window, framework::ui::StatusBar* status)
    : QObject(window), m_ctx(ctx), m_window(window), m_status(status), m_job(this) {}

QString DocumentCommands::startFolder() const {
    const QString last = qs(m_ctx.document.lastDirectory);
    return !last.isEmpty() && QDir(last).exists()
               ? last
               : framework::ui::FileDialog::startFolder(framework::ui::FileKind::Document);
}

QString DocumentCommands::choose(Dialog kind, const QString& name) const {
    if (!m_chooser)
        return runFileDialog(m_window, kind, name);
    const QString path = m_chooser(kind, startFolder(), name);
    // A chooser's answer passes the check the save dialog applies (refused: as if cancelled).
    if (path.isEmpty() ||
        (kind == Dialog::Save && !framework::ui::FileDialog::mayWrite(m_window, path, kCaption)))
        return {};
    framework::ui::FileDialog::rememberFolder(framework::ui::FileKind::Document, path);
    return path;
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
    if (!m_ctx.document.savedPath.empty() && app::HasUnsavedChanges(m_ctx)) {
        // The answer to 保存しますか also confirms the new document.
        if (!settleUnsavedWork())
            return;
    } else if (MessageBox::askYesNo(m_window, "現在の作業状態を初期化して新しいファイルを作成してもよろしいですか?",
                                    kCaption) != QMessageBox::Yes) {
        return;
    }
    app::ResetDocumentStep(m_ctx);
    dropKeptWork();
    emit titlePathChanged({});
    emit documentReplaced();
    updateTitle();
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
            // Asked once the file is known to open: a failed open changes nothing anyway.
            if (!settleUnsavedWork()) {
                emit opened(false);
                return;
            }
            app::AdoptOpenedDocument(m_ctx, file, std::move(*read), now());
            dropKeptWork();
            framework::ui::FileDialog::rememberFolder(framework::ui::FileKind::Document, qs(file));
            emit titlePathChanged(qs(file));
            emit recentFilesChanged(recentFiles());
            emit documentReplaced();
            updateTitle();
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

std::optional<DocumentCommands::SaveContent> DocumentCommands::saveContent() {
    // Built now, on the UI thread, from the step shown; a worker only writes it.
    SaveContent content;
    content.mark = m_ctx.document.working.mark();
    content.favourites = annotations::favouriteCodes(m_ctx.catalogue);
    std::string buildError;
    if (!app::SaveImage(m_ctx, *content.image, &buildError)) {
        MessageBox::warning(m_window, qs("保存できませんでした。\n" + buildError), kCaption);
        emit saved(false);
        return std::nullopt;
    }
    return content;
}

void DocumentCommands::startSave(const QString& path, bool adoptPath) {
    const std::string file = path.toStdString();
    auto content = saveContent();
    if (!content)
        return;
    emit busyChanged(true);
    m_job.start([this, file, adoptPath, content = std::move(*content)]() -> DocumentJob::Continuation {
        auto error = std::make_shared<std::string>();
        const bool ok = writeDocument(file, *content.image, error.get());
        return [this, file, adoptPath, content, ok, error] {
            emit busyChanged(false);
            saveFinished(file, adoptPath, content, ok, *error);
        };
    });
}

bool DocumentCommands::saveNow() {
    QString path = qs(m_ctx.document.savedPath);
    const bool adoptPath = path.isEmpty();
    if (adoptPath)
        path = choose(Dialog::Save, qs(m_ctx.paths.documentName));
    if (path.isEmpty())
        return false; // the dialog was cancelled: the document stays open
    const auto content = saveContent();
    if (!content)
        return false;
    const std::string file = path.toStdString();
    std::string error;
    const bool ok = writeDocument(file, *content->image, &error);
    saveFinished(file, adoptPath, *content, ok, error);
    return ok;
}

void DocumentCommands::saveFinished(const std::string& file, bool adoptPath, const SaveContent& content, bool ok,
                                    const std::string& error) {
    if (!ok) {
        MessageBox::warning(m_window, qs("保存できませんでした。\n" + error), kCaption);
        emit saved(false);
        return;
    }
    if (adoptPath) {
        app::AdoptSavedPath(m_ctx, file, now());
        emit titlePathChanged(qs(file));
        emit recentFilesChanged(recentFiles());
    }
    app::MarkDocumentSaved(m_ctx, content.mark, content.favourites);
    dropKeptWork();
    updateTitle();
    if (m_status)
        m_status->setText("保存しました");
    emit saved(true);
}

bool DocumentCommands::settleUnsavedWork() {
    m_job.finish(); // a save being written decides what is unsaved
    if (!app::HoldsUnsavedWork(m_ctx)) {
        dropKeptWork();
        return true;
    }
    const QString text =
        m_ctx.document.savedPath.empty()
            ? QString("無題のファイルに保存されていない作業があります。保存しますか?")
            : QString("「%1」への変更を保存しますか?").arg(qs(m_ctx.paths.documentName));
    switch (MessageBox::askSaveChanges(m_window, text, kCaption)) {
    case QMessageBox::Yes:
        return saveNow();
    case QMessageBox::No:
        dropKeptWork();
        return true;
    default:
        return false;
    }
}

void DocumentCommands::documentEdited() {
    updateTitle();
}

void DocumentCommands::updateTitle() {
    const QString title = qs(app::DocumentTitle(m_ctx));
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void DocumentCommands::dropKeptWork() {
    if (!std::exchange(m_keptWorkAdopted, false))
        return;
    app::discardRecovery(m_ctx.paths);
}

void DocumentCommands::offerKeptWork() {
    const auto kept = app::findRecovery(m_ctx.paths);
    if (!kept)
        return;
    const QString when = QDateTime::fromSecsSinceEpoch(kept->time).toString("yyyy-MM-dd hh:mm");
    const QString what = kept->source.empty() ? QString("無題のファイルの作業")
                                              : QString("「%1」の保存されていない変更").arg(qs(kept->source));
    const auto answer = MessageBox::askYesNoOrLater(
        m_window,
        QString("前回はデスクトップの終了（%1）でプログラムが閉じられたため、%2を保管しました。"
                "復元しますか?\n「いいえ」を選ぶと保管した作業は削除されます。")
            .arg(when, what),
        kCaption);
    if (answer == QMessageBox::NoButton)
        return; // unattended: offered again at the next start
    if (answer != QMessageBox::Yes) {
        app::discardRecovery(m_ctx.paths);
        return;
    }
    auto read = readDocument(kept->document);
    if (!read.ok()) {
        MessageBox::warning(m_window,
                            qs("保管した作業を読み込めませんでした（" + kept->document + "）。\n" + read.error),
                            kCaption);
        return;
    }
    app::AdoptRecoveredDocument(m_ctx, std::move(read), kept->source);
    m_keptWorkAdopted = true; // the copy stays on disk until the work is saved or given up
    emit titlePathChanged(qs(m_ctx.document.savedPath));
    emit documentReplaced();
    updateTitle();
    if (m_status)
        m_status->setText("前回保管した作業を復元しました");
}

} // namespace tavora::annotations::ui
