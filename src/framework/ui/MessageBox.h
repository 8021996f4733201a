#pragma once
// Message boxes of the desktop program. Every question and notice goes through here so
// that tests can answer the next box (setNextAnswer) and unattended runs
// (TAVORA_NONINTERACTIVE=1) never block on a modal window. UI thread only.
#include <QMessageBox>
#include <QString>

#include <functional>
#include <initializer_list>

namespace tavora::framework::ui {

class MessageBox {
public:
    // A question with Yes and No, warning icon, No as default.
    static QMessageBox::StandardButton askYesNo(QWidget* parent, const QString& text, const QString& caption);
    // Whether to save changes before they would be lost: Yes (save), No (discard) and Cancel
    // (stay), warning icon, Yes as default. An unattended run answers Cancel: nothing is
    // written and nothing is lost.
    static QMessageBox::StandardButton askSaveChanges(QWidget* parent, const QString& text, const QString& caption);
    // A question with Yes and No and Yes as default; an unattended run answers NoButton, so the
    // caller can leave the choice to a later, attended run.
    static QMessageBox::StandardButton askYesNoOrLater(QWidget* parent, const QString& text, const QString& caption);
    // A notice with one OK button.
    static void information(QWidget* parent, const QString& text, const QString& caption);
    static void warning(QWidget* parent, const QString& text, const QString& caption);

    // The next box is not shown; it returns `answer` at once. NoButton clears the seam.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The next boxes, one answer each in this order (replacing any answer still waiting).
    static void setNextAnswers(std::initializer_list<QMessageBox::StandardButton> answers);
    // As setNextAnswer, running `whileShown` first, as if it happened while the box was open (a
    // file arriving, a timer firing).
    static void setNextAnswer(QMessageBox::StandardButton answer, std::function<void()> whileShown);
    // Text and caption of the last box asked for (shown or answered by the seam).
    static QString lastText();
    static QString lastCaption();

private:
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                            const QString& caption, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                            const QString& caption, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton,
                                            QMessageBox::StandardButton unattendedAnswer);
};

}  // namespace tavora::framework::ui
