#include "framework/ui/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <utility>

namespace tavora::framework::ui {

namespace {
std::deque<QMessageBox::StandardButton> g_nextAnswers;
std::function<void()> g_whileShown; // runs when the next answer is taken
QString g_lastText;
QString g_lastCaption;

bool nonInteractive() {
    const char* v = std::getenv("TAVORA_NONINTERACTIVE");
    return v && *v && *v != '0';
}
}  // namespace

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer) {
    g_nextAnswers.clear();
    g_whileShown = nullptr;
    if (answer != QMessageBox::NoButton)
        g_nextAnswers.push_back(answer);
}
void MessageBox::setNextAnswers(std::initializer_list<QMessageBox::StandardButton> answers) {
    g_nextAnswers.assign(answers.begin(), answers.end());
    g_whileShown = nullptr;
}
void MessageBox::setNextAnswer(QMessageBox::StandardButton answer, std::function<void()> whileShown) {
    setNextAnswer(answer);
    g_whileShown = std::move(whileShown);
}
QString MessageBox::lastText() { return g_lastText; }
QString MessageBox::lastCaption() { return g_lastCaption; }

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                             const QString& caption, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    return show(parent, icon, text, caption, buttons, defaultButton, defaultButton);
}

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                             const QString& caption, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton,
                                             QMessageBox::StandardButton unattendedAnswer) {
    g_lastText = text;
    g_lastCaption = caption;
    if (!g_nextAnswers.empty()) {
        const auto answer = g_nextAnswers.front();
        g_nextAnswers.pop_front();
        if (auto whileShown = std::exchange(g_whileShown, nullptr))
            whileShown();
        return answer;
    }
    if (nonInteractive()) {
        // Unattended: say it where a script looks and take the safe answer.
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        return unattendedAnswer;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton MessageBox::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    return show(parent, QMessageBox::Warning, text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

QMessageBox::StandardButton MessageBox::askSaveChanges(QWidget* parent, const QString& text,
                                                       const QString& caption) {
    return show(parent, QMessageBox::Warning, text, caption,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::Cancel);
}

QMessageBox::StandardButton MessageBox::askYesNoOrLater(QWidget* parent, const QString& text,
                                                        const QString& caption) {
    return show(parent, QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                QMessageBox::NoButton);
}

void MessageBox::information(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, QMessageBox::Information, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBox::warning(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, QMessageBox::Warning, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace tavora::framework::ui
