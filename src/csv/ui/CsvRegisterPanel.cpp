#include "csv/ui/CsvRegisterPanel.h"

#include "csv/ui/CsvPreviewTable.h"
#include "csv/ui/SheetHead.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavora::csv::ui {

CsvRegisterPanel::CsvRegisterPanel(QWidget* parent) : SideSheetPanel(parent) {
    setObjectName("CSVTourokuP");
    auto* layout = new QVBoxLayout(this);
    const SheetHead head = makeSheetHead(this, "CSVデータを登録", "以下のデータ形式で登録します。", "実行");
    m_run = head.button;
    layout->addLayout(head.layout);
    layout->addWidget(
        sheetCaption(this, "バックアップの作成　（データ登録失敗時過去のデータに復元できます）"));
    m_backup = new QCheckBox("バックアップを作成する（登録時に時間がかかります）", this);
    m_backup->setObjectName("backup");
    layout->addWidget(m_backup);
    layout->addWidget(sheetCaption(this, "登録するＣＳＶデータ形式"));
    m_preview = new CsvPreviewTable(this);
    layout->addWidget(m_preview, 1);
    connect(m_run, &QPushButton::clicked, this, &CsvRegisterPanel::runRequested);
    connect(m_backup, &QCheckBox::clicked, this, &CsvRegisterPanel::backupToggled);
}

void CsvRegisterPanel::setBackup(bool on) {
    m_backup->setChecked(on);
}

bool CsvRegisterPanel::backup() const {
    return m_backup->isChecked();
}

} // namespace tavora::csv::ui
