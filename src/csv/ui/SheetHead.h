#pragma once
// The head the data panels of the side sheet share: a bold title, a subtitle beside it and,
// when given, a run button ("実行") at the right. UI thread only.
#include <QString>

class QLayout;
class QPushButton;
class QWidget;

namespace tavora::csv::ui {

struct SheetHead {
    QLayout* layout;     // to add at the top of the panel's layout
    QPushButton* button; // null without a run button
};

SheetHead makeSheetHead(QWidget* panel, const QString& title, const QString& subtitle,
                        const QString& buttonCaption = QString());

// A caption line inside a panel.
QWidget* sheetCaption(QWidget* panel, const QString& text);

} // namespace tavora::csv::ui
