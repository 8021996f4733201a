#include "framework/ui/MessageBox.h"

#include <cstdio>
#include <cstdlib>

namespace tavora::framework::ui {

namespace {
QMessageBox::StandardButton g_nextAnswer = QMessageBox::NoButton;
QString g_lastText;
QString g_lastCaption;

bool nonInteractive() {
    const char* v = std::getenv("TAVORA_NONINTERACTIVE");
    return v && *v && *v != '0';
}
}  // namespace

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer) { g_nextAnswer = answer; }
QString MessageBox::lastText() { return g_lastText; }
QString MessageBox::lastCaption() { return g_lastCaption; }

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                             const QString& caption, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    g_lastText = text;
    g_lastCaption = caption;
    if (g_nextAnswer != QMessageBox::NoButton) {
        const auto answer = g_nextAnswer;
        g_nextAnswer = QMessageBox::NoButton;
        return answer;
    }
    if (nonInteractive()) {
        // Unattended: say it where a script looks and take the safe default.
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        return defaultButton;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton MessageBox::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    return show(parent, QMessageBox::Warning, text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

void MessageBox::information(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, QMessageBox::Information, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBox::warning(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, QMessageBox::Warning, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace tavora::framework::ui
