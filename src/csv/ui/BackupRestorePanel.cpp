#include "csv/ui/BackupRestorePanel.h"

#include "csv/ui/SheetHead.h"
#include "framework/ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavora::csv::ui {

BackupRestorePanel::BackupRestorePanel(QWidget* parent) : SideSheetPanel(parent) {
    setObjectName("BuckupFukugenP");
    auto* layout = new QVBoxLayout(this);
    const SheetHead head =
        makeSheetHead(this, "以前の株価データに復元",
                      "株価データを登録時に失敗した場合などに過去のデータを復元します。", "実行");
    m_run = head.button;
    layout->addLayout(head.layout);
    layout->addWidget(new QLabel("復元する日時", this));
    m_list = new QComboBox(this);
    m_list->setObjectName("backupList");
    m_list->setFixedWidth(400);
    layout->addWidget(m_list);
    layout->addStretch();
    connect(m_run, &QPushButton::clicked, this, [this] {
        if (m_list->currentIndex() < 0 || m_list->currentText().isEmpty()) {
            framework::ui::MessageBox::information(this, "復元日時が選択されていません。", QString());
            return;
        }
        emit restoreRequested(m_list->currentText());
    });
}

void BackupRestorePanel::setBackups(const std::vector<std::string>& names) {
    m_list->clear();
    for (const auto& name : names)
        m_list->addItem(QString::fromStdString(name));
    m_list->setCurrentIndex(names.empty() ? -1 : 0); // the newest: the usual way back
}

} // namespace tavora::csv::ui
