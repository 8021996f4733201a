#pragma once
// The upper panel of the データ取込 page: the import folder (tmp/createcsv) listed with its
// .csv files, which the user fills by dropping files from the file manager or through
// ファイルを追加 (both copy them in) and empties with the Delete key or the list's context menu
// (追加/削除); beside it the page's command buttons. The list follows the folder as files
// arrive (a download) or go. UI thread only.
#include "app/core/Commands.h"

#include <QWidget>

#include <filesystem>
#include <vector>

class QAction;
class QFileSystemWatcher;
class QListWidget;
class QMenu;
class QPushButton;

namespace tavora::csv::ui {

class CsvFilePanel : public QWidget {
    Q_OBJECT
public:
    explicit CsvFilePanel(QWidget* parent = nullptr);

    // The folder shown (created when missing).
    void setFolder(const std::filesystem::path& folder);
    const std::filesystem::path& folder() const { return m_folder; }
    // The .csv files listed, in the order they are registered.
    const std::vector<std::filesystem::path>& files() const { return m_files; }
    // Reads the folder again (Command::RefreshImportFolder).
    void refresh();
    // Copies the .csv files among `paths` into the folder; returns how many were copied and
    // says what was left out through `message`.
    int addFiles(const QStringList& paths);
    // ファイルを追加: the files chosen in a file dialog, copied in as dropped files are.
    void addFromDialog();
    // Removes the selected files from the folder after asking (Delete, 削除). The files are
    // the ones selected when asked, by name: the list may change while the question is open.
    void removeSelected();
    QListWidget* list() const { return m_list; }
    QPushButton* button(app::Command command) const;
    QPushButton* addButton() const { return m_add; }
    QMenu* contextMenu() const { return m_menu; }

signals:
    // A button was pressed.
    void command(tavora::app::Command command);
    // A text for the status bar.
    void message(const QString& text);
    // The list was read again (a file may have come or gone).
    void filesChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showContextMenu(const QPoint& at);

    std::filesystem::path m_folder;
    std::vector<std::filesystem::path> m_files;
    QListWidget* m_list;
    QPushButton* m_add;
    QMenu* m_menu;
    QAction* m_removeAction;
    QFileSystemWatcher* m_watcher;
    std::vector<std::pair<app::Command, QPushButton*>> m_buttons;
};

} // namespace tavora::csv::ui
