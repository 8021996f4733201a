#include "csv/ui/OldDataPanel.h"

#include "csv/OldData.h"
#include "csv/ui/SheetHead.h"
#include "framework/ui/MessageBox.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavora::csv::ui {

OldDataPanel::OldDataPanel(QWidget* parent) : SideSheetPanel(parent) {
    setObjectName("OldDataFukugenP");
    auto* layout = new QVBoxLayout(this);
    const SheetHead head = makeSheetHead(
        this, "旧式データ取込み",
        "旧タボラ（Ver.1.25以前）からご利用の方の為に、旧式のデータを現在の株価データに取込みます。", "実行");
    m_run = head.button;
    layout->addLayout(head.layout);
    layout->addWidget(sheetCaption(this, "取り込むデータ"));
    m_table = new QTableWidget(0, 1, this);
    m_table->setObjectName("CSVOldDataFukugenTable");
    m_table->setHorizontalHeaderLabels({"取り込む旧式コード"});
    m_table->setColumnWidth(0, 150);
    m_table->verticalHeader()->setDefaultSectionSize(25);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_table, 1);
    m_count = new QLabel(QString::fromStdString(oldDataCountText(0)), this);
    m_count->setObjectName("oldDataCount");
    layout->addWidget(m_count);
    // The layout of the old files is not known, so nothing can be taken over; say so rather
    // than look as if something happened.
    connect(m_run, &QPushButton::clicked, this, [this] {
        framework::ui::MessageBox::information(this, QString::fromUtf8(kOldDataNotAvailableText),
                                               panelName());
    });
}

void OldDataPanel::setFolders(const std::vector<std::string>& names, std::size_t total) {
    m_table->setRowCount(static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        m_table->setItem(static_cast<int>(i), 0, new QTableWidgetItem(QString::fromStdString(names[i])));
    m_count->setText(QString::fromStdString(oldDataCountText(total)));
}

} // namespace tavora::csv::ui
