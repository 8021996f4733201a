#pragma once
// The side-sheet panel that restores the price database from a backup (BuckupFukugenP): the
// backups newest first in a list and the run button. UI thread only.
#include "framework/ui/SideSheetPanel.h"

#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace tavora::csv::ui {

class BackupRestorePanel : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    static constexpr int Width = 850;

    explicit BackupRestorePanel(QWidget* parent = nullptr);

    QString panelName() const override { return "以前の株価データに復元"; }

    // The backups to offer, newest first; the newest chosen.
    void setBackups(const std::vector<std::string>& names);
    QComboBox* list() const { return m_list; }
    QPushButton* runButton() const { return m_run; }

signals:
    // "実行" with a backup chosen (command 153); the page asks before it replaces anything.
    void restoreRequested(const QString& name);

private:
    QPushButton* m_run;
    QComboBox* m_list;
};

} // namespace tavora::csv::ui
