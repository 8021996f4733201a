#include "app/VersionDialog.h"

#include "app/AppIcon.h"
#include "app/core/AppContext.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace tavora::app {

VersionDialog::VersionDialog(const AppContext& ctx, QWidget* parent) : QDialog(parent) {
    setObjectName("versiondialog");
    const QString title = QString::fromStdString(ctx.appTitle);
    setWindowTitle(title + "のソフトウエア情報");
    setFixedSize(600, 500);
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(64, 64));
    auto* name = new QLabel(QString("<b style='font-size:18pt'>%1</b><br>%2")
                                .arg(title.toHtmlEscaped(), QString::fromStdString(ctx.versionText)),
                            this);
    auto* head = new QHBoxLayout;
    head->addWidget(icon);
    head->addWidget(name, 1);
    auto* notice = new QPlainTextEdit(QString::fromStdString(ctx.noticeText), this);
    notice->setObjectName("noticetext");
    notice->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(notice, 1);
    layout->addWidget(buttons);
}

void VersionDialog::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

}  // namespace tavora::app
