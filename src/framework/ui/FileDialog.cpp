#include "framework/ui/FileDialog.h"

#include <QFileDialog>

#include <cstdlib>
#include <optional>

namespace tavora::framework::ui {

namespace {
std::optional<QString>& nextName() {
    static std::optional<QString> next;
    return next;
}
} // namespace

void FileDialog::setNextFileName(const QString& path) {
    nextName() = path;
}

void FileDialog::clearNextFileName() {
    nextName().reset();
}

bool FileDialog::takeNext(QString& path) {
    if (!nextName())
        return false;
    path = *nextName();
    nextName().reset();
    return true;
}

QString FileDialog::openFile(QWidget* parent, const QString& caption, const QString& directory,
                             const QString& filter) {
    QString path;
    if (takeNext(path))
        return path;
    if (const char* n = std::getenv("TAVORA_NONINTERACTIVE"); n && *n && *n != '0')
        return {};
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileDialog::saveFile(QWidget* parent, const QString& caption, const QString& proposed,
                             const QString& filter, const QString& suffix) {
    QString path;
    if (takeNext(path))
        return path;
    if (const char* n = std::getenv("TAVORA_NONINTERACTIVE"); n && *n && *n != '0')
        return {};
    QFileDialog dialog(parent, caption, proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.selectFile(proposed);
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace tavora::framework::ui
