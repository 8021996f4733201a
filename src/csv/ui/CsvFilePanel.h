#pragma once
// The upper panel of the データ取込 page: the import folder (tmp/createcsv) listed with its
// .csv files, which the user fills by dropping files from the file manager (they are copied
// in) and empties with the Delete key; beside it the page's command buttons. The list follows
// the folder as files arrive (a download) or go. UI thread only.
#include <QWidget>

#include <filesystem>
#include <vector>

class QFileSystemWatcher;
class QListWidget;
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
    // Reads the folder again (command 1124).
    void refresh();
    // Copies the .csv files among `paths` into the folder; returns how many were copied and
    // says what was left out through `message`.
    int addFiles(const QStringList& paths);
    QListWidget* list() const { return m_list; }
    QPushButton* button(int command) const;

signals:
    // A button was pressed (the command numbers of the main window).
    void command(int command);
    // A text for the status bar.
    void message(const QString& text);
    // The list was read again (a file may have come or gone).
    void filesChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void removeSelected();

    std::filesystem::path m_folder;
    std::vector<std::filesystem::path> m_files;
    QListWidget* m_list;
    QFileSystemWatcher* m_watcher;
    std::vector<std::pair<int, QPushButton*>> m_buttons;
};

} // namespace tavora::csv::ui
