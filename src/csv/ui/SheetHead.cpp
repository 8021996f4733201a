#include "csv/ui/SheetHead.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavora::csv::ui {

SheetHead makeSheetHead(QWidget* panel, const QString& title, const QString& subtitle,
                        const QString& buttonCaption) {
    auto* row = new QHBoxLayout;
    auto* titleLabel = new QLabel(title, panel);
    QFont f = titleLabel->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    titleLabel->setFont(f);
    row->addWidget(titleLabel, 0, Qt::AlignTop);
    auto* sub = new QLabel(subtitle, panel);
    sub->setWordWrap(true);
    row->addWidget(sub, 1, Qt::AlignTop);
    QPushButton* button = nullptr;
    if (!buttonCaption.isEmpty()) {
        button = new QPushButton(buttonCaption, panel);
        button->setObjectName("run");
        button->setFixedSize(100, 25);
        row->addWidget(button, 0, Qt::AlignTop);
        row->addSpacing(20);
    }
    return {row, button};
}

QWidget* sheetCaption(QWidget* panel, const QString& text) {
    auto* label = new QLabel(text, panel);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace tavora::csv::ui
