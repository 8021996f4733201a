#pragma once
// The caption at the top of a side-sheet panel of the settings and property dialogs.
#include <QString>

class QLabel;
class QWidget;

namespace tavora::settings::ui {

// A bold caption label, 25 pixels high.
QLabel* makePanelTitle(QWidget* parent, const QString& caption);

} // namespace tavora::settings::ui
