#include "settings/ui/LineStyleBox.h"

#include "settings/Settings.h"

#include <QComboBox>

namespace tavora::settings::ui {

QComboBox* makeLineStyleBox(QWidget* parent, int width, int height) {
    auto* box = new QComboBox(parent);
    for (const char* text : {kLineSolid, kLineDotted, kLineDashed})
        box->addItem(QString::fromUtf8(text));
    box->setFixedSize(width, height);
    box->setCurrentIndex(0);
    return box;
}

bool showLineStyle(QComboBox* box, const std::string& text) {
    const auto number = lineStyleNumber(text);
    if (!number)
        return false;
    box->setCurrentIndex(*number - 1);
    return true;
}

std::string lineStyleShown(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentText().toStdString();
}

} // namespace tavora::settings::ui
