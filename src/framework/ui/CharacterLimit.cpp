#include "framework/ui/CharacterLimit.h"

#include "framework/TextLimit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace tavora::framework::ui {

QString leadingCharacters(const QString& text, std::size_t maxCharacters) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view kept = framework::leadingCharacters(
        std::string_view(utf8.constData(), std::size_t(utf8.size())), maxCharacters);
    return kept.size() == std::size_t(utf8.size()) ? text
                                                   : QString::fromUtf8(kept.data(), qsizetype(kept.size()));
}

void limitCharacters(QLineEdit* edit, std::size_t maxCharacters) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, maxCharacters](const QString& text) {
        const QString kept = leadingCharacters(text, maxCharacters);
        if (kept.size() != text.size())
            edit->setText(kept);
    });
}

void limitCharacters(QPlainTextEdit* edit, std::size_t maxCharacters) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxCharacters] {
        const QString text = edit->toPlainText();
        const QString kept = leadingCharacters(text, maxCharacters);
        if (kept.size() == text.size())
            return;
        edit->setPlainText(kept); // emits textChanged again, now within the limit
        edit->moveCursor(QTextCursor::End);
    });
}

} // namespace tavora::framework::ui
