#include "framework/ui/FileDialog.h"

#include "framework/OutputTarget.h"
#include "framework/ui/MessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <cstdlib>
#include <optional>

namespace tavora::framework::ui {

namespace {

std::optional<QString>& nextName() {
    static std::optional<QString> next;
    return next;
}

std::optional<QStringList>& nextNames() {
    static std::optional<QStringList> next;
    return next;
}

FileDialogPlaces& places() {
    static FileDialogPlaces p;
    return p;
}

bool nonInteractive() {
    const char* n = std::getenv("TAVORA_NONINTERACTIVE");
    return n && *n && *n != '0';
}

// The message box text for a refused output path.
QString refusalText(const OutputTarget& target, const QString& path) {
    switch (target.refusal) {
    case OutputRefusal::KeptData:
        return QString("Tavoraのデータフォルダー（価格データベースや設定のファイルがあります）の中には保存で"
                       "きません。"
                       "別の場所を選んでください。\n%1")
            .arg(path);
    case OutputRefusal::Directory:
        return QString("フォルダーには保存できません。ファイル名を指定してください。\n%1").arg(path);
    case OutputRefusal::NotRegular:
        return QString("通常のファイルではないため保存できません。\n%1").arg(path);
    case OutputRefusal::NoFolder:
        return QString("保存先のフォルダーがありません。\n%1").arg(path);
    case OutputRefusal::Unusable:
    case OutputRefusal::None:
        break;
    }
    return QString("保存できません。\n%1\n%2").arg(path, QString::fromStdString(target.reason));
}

} // namespace

void FileDialog::setPlaces(FileDialogPlaces p) {
    places() = std::move(p);
}

void FileDialog::setNextFileName(const QString& path) {
    nextName() = path;
}

void FileDialog::setNextFileNames(const QStringList& paths) {
    nextNames() = paths;
}

void FileDialog::clearNextFileName() {
    nextName().reset();
    nextNames().reset();
}

bool FileDialog::takeNext(QString& path) {
    if (!nextName())
        return false;
    path = *nextName();
    nextName().reset();
    return true;
}

const char* FileDialog::folderKey(FileKind kind) {
    switch (kind) {
    case FileKind::Document:
        return "lastdir_document";
    case FileKind::Pdf:
        return "lastdir_pdf";
    case FileKind::CsvExport:
        return "lastdir_csvexport";
    case FileKind::CsvImport:
        return "lastdir_csvimport";
    case FileKind::CodeList:
        return "lastdir_codelist";
    }
    return "lastdir_other";
}

QString FileDialog::startFolder(FileKind kind) {
    if (places().readSetting) {
        const QString last = QString::fromStdString(places().readSetting(folderKey(kind)));
        if (!last.isEmpty() && QFileInfo(last).isDir())
            return last;
    }
    return QDir::homePath();
}

void FileDialog::rememberFolder(FileKind kind, const QString& chosenPath) {
    if (chosenPath.isEmpty() || !places().writeSetting)
        return;
    const QString folder = QFileInfo(chosenPath).absolutePath();
    if (folder != startFolder(kind))
        places().writeSetting(folderKey(kind), folder.toStdString());
}

QString FileDialog::openFile(QWidget* parent, const QString& caption, FileKind kind, const QString& filter) {
    QString path;
    if (!takeNext(path)) {
        if (nonInteractive())
            return {};
        path = QFileDialog::getOpenFileName(parent, caption, startFolder(kind), filter);
    }
    rememberFolder(kind, path);
    return path;
}

QStringList FileDialog::openFiles(QWidget* parent, const QString& caption, FileKind kind,
                                  const QString& filter) {
    QStringList paths;
    QString next;
    if (auto& names = nextNames()) {
        paths = *names;
        names.reset();
    } else if (takeNext(next)) {
        if (!next.isEmpty())
            paths << next;
    } else if (!nonInteractive()) {
        paths = QFileDialog::getOpenFileNames(parent, caption, startFolder(kind), filter);
    }
    if (!paths.isEmpty())
        rememberFolder(kind, paths.constFirst());
    return paths;
}

QString FileDialog::saveFile(QWidget* parent, const QString& caption, FileKind kind,
                             const QString& proposedName, const QString& filter, const QString& suffix) {
    QString path;
    if (!takeNext(path)) {
        if (nonInteractive())
            return {};
        const QString folder = startFolder(kind);
        QFileDialog dialog(parent, caption, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (!proposedName.isEmpty())
            dialog.selectFile(QDir(folder).filePath(proposedName));
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        path = dialog.selectedFiles().constFirst();
    }
    if (path.isEmpty() || !mayWrite(parent, path, caption))
        return {};
    rememberFolder(kind, path);
    return path;
}

bool FileDialog::mayWrite(QWidget* parent, const QString& path, const QString& caption) {
    const OutputTarget target = checkOutputTarget(path.toStdString(), places().keptFolders);
    if (target.ok())
        return true;
    MessageBox::warning(parent, refusalText(target, path), caption);
    return false;
}

} // namespace tavora::framework::ui
