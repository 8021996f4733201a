#pragma once
// The combo box of the three line styles ("―　実線", "…　点線", "－－破線") that the colour
// settings, the analysis editor and the annotation properties share. UI thread only.
#include <QString>

#include <string>

class QComboBox;
class QWidget;

namespace tavora::settings::ui {

// A fixed-size box of the three texts, the solid style chosen.
QComboBox* makeLineStyleBox(QWidget* parent, int width, int height = 25);
// Shows `text` when it is one of the three styles and returns true; otherwise leaves the box
// as it was and returns false.
bool showLineStyle(QComboBox* box, const std::string& text);
// The text shown (empty when the box shows nothing).
std::string lineStyleShown(const QComboBox* box);

} // namespace tavora::settings::ui
