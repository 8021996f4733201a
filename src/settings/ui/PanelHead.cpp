#include "settings/ui/PanelHead.h"

#include <QLabel>

namespace tavora::settings::ui {

QLabel* makePanelTitle(QWidget* parent, const QString& caption) {
    auto* title = new QLabel(caption, parent);
    title->setObjectName("paneltitle");
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    title->setFont(f);
    title->setFixedHeight(25);
    title->setContentsMargins(10, 0, 0, 0);
    return title;
}

} // namespace tavora::settings::ui
